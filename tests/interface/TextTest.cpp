#include <gtest/gtest.h>

#include <string>

#include <View.h>
#include <Window.h>

#include "InterfaceTestSupport.h"

namespace {

// Ink is anything darker than the white background.
struct InkBox {
	int32 left = 1000;
	int32 top = 1000;
	int32 right = -1;
	int32 bottom = -1;
};

InkBox
FindInk(ShownWindow& window, int32 width, int32 height)
{
	InkBox box;
	for (int32 y = 0; y < height; y++) {
		for (int32 x = 0; x < width; x++) {
			if (window.Pixel(x, y).red == 255)
				continue;
			box.left = std::min(box.left, x);
			box.right = std::max(box.right, x);
			box.top = std::min(box.top, y);
			box.bottom = std::max(box.bottom, y);
		}
	}
	return box;
}

// Columns of ink in one row.
std::string
Row(ShownWindow& window, int32 y, int32 width)
{
	std::string row;
	for (int32 x = 0; x < width; x++)
		row += window.Pixel(x, y).red < 128 ? '#' : '.';
	return row;
}

TEST(TextTest, CapitalsStandOnTheBaselineRow)
{
	ShownWindow window(BRect(0, 0, 99, 39));
	window.Show(new DrawingView(window->Bounds(),
		[](BView* view) { view->DrawString("HIE", BPoint(10, 20)); }));
	InkBox ink = FindInk(window, 100, 40);
	EXPECT_EQ(20, ink.bottom);
	EXPECT_GE(ink.left, 10);
	EXPECT_LE(ink.left, 12);
	// A 10-point capital is about seven pixels tall.
	EXPECT_GE(ink.top, 11);
	EXPECT_LE(ink.top, 14);
}

TEST(TextTest, DescendersReachBelowTheBaseline)
{
	ShownWindow window(BRect(0, 0, 99, 39));
	window.Show(new DrawingView(window->Bounds(),
		[](BView* view) { view->DrawString("gjp", BPoint(10, 20)); }));
	InkBox ink = FindInk(window, 100, 40);
	EXPECT_GT(ink.bottom, 20);
	EXPECT_LE(ink.bottom, 24);
}

TEST(TextTest, InkStaysWithinTheStringWidth)
{
	float width = be_plain_font->StringWidth("HHHH");
	ShownWindow window(BRect(0, 0, 99, 39));
	window.Show(new DrawingView(window->Bounds(),
		[](BView* view) { view->DrawString("HHHH", BPoint(10, 20)); }));
	InkBox ink = FindInk(window, 100, 40);
	EXPECT_LT(ink.right, 10 + (int32)width);
	// Only the last letter's side bearing is left over.
	EXPECT_GE(ink.right, 10 + (int32)width - 3);
}

TEST(TextTest, ThePenMovesToTheEndOfTheText)
{
	BPoint penAfter;
	ShownWindow pieces(BRect(0, 0, 99, 29));
	pieces.Show(new DrawingView(pieces->Bounds(), [&penAfter](BView* view) {
		view->MovePenTo(5, 15);
		view->DrawString("Sett");
		view->DrawString("ings");
		penAfter = view->PenLocation();
	}));
	ShownWindow whole(BRect(0, 0, 99, 29));
	whole.Show(new DrawingView(whole->Bounds(),
		[](BView* view) { view->DrawString("Settings", BPoint(5, 15)); }));

	EXPECT_EQ(BPoint(5 + be_plain_font->StringWidth("Settings"), 15), penAfter);
	for (int32 y = 5; y < 20; y++)
		EXPECT_EQ(Row(whole, y, 100), Row(pieces, y, 100)) << "row " << y;
}

TEST(TextTest, TextIsDrawnInTheHighColourBlendedOverTheBackground)
{
	ShownWindow window(BRect(0, 0, 99, 39));
	window.Show(new DrawingView(window->Bounds(), [](BView* view) {
		view->SetHighColor(kBlue);
		view->FillRect(BRect(0, 0, 99, 19));
		view->SetHighColor(kRed);
		view->SetLowColor(kWhite);
		view->DrawString("Zorve", BPoint(10, 15));
	}));
	bool sawStrong = false;
	bool sawBlend = false;
	for (int32 y = 5; y <= 15; y++) {
		for (int32 x = 8; x < 50; x++) {
			rgb_color pixel = window.Pixel(x, y);
			EXPECT_EQ(0, pixel.green) << x << "," << y;
			// Hinted stems are a little under a pixel wide: nearly full red.
			sawStrong |= pixel.red >= 200 && pixel.blue <= 55;
			// Edges mix red with the blue under them, not with the low colour.
			sawBlend |= pixel.red > 0 && pixel.red < 255 && pixel.blue > 0;
		}
	}
	EXPECT_TRUE(sawStrong);
	EXPECT_TRUE(sawBlend);
}

TEST(TextTest, ShearOf105LeansTheGlyphsBack)
{
	auto drawL = [](float shear) {
		return [shear](BView* view) {
			BFont font;
			font.SetSize(20);
			font.SetShear(shear);
			view->SetFont(&font);
			view->DrawString("l", BPoint(20, 30));
		};
	};
	ShownWindow upright(BRect(0, 0, 49, 39));
	upright.Show(new DrawingView(upright->Bounds(), drawL(90)));
	ShownWindow leaning(BRect(0, 0, 49, 39));
	leaning.Show(new DrawingView(leaning->Bounds(), drawL(105)));

	InkBox straight = FindInk(upright, 50, 40);
	InkBox back = FindInk(leaning, 50, 40);
	EXPECT_EQ(30, straight.bottom);
	EXPECT_EQ(30, back.bottom);
	std::string uprightTop = Row(upright, straight.top, 50);
	std::string uprightBottom = Row(upright, straight.bottom, 50);
	EXPECT_EQ(uprightTop.find('#'), uprightBottom.find('#'));
	// Fifteen degrees over about fifteen rows: the top sits a few columns left.
	size_t top = Row(leaning, back.top, 50).find('#');
	size_t bottom = Row(leaning, back.bottom, 50).find('#');
	ASSERT_NE(std::string::npos, top);
	ASSERT_NE(std::string::npos, bottom);
	EXPECT_GE((int)bottom - (int)top, 3);
	EXPECT_LE((int)bottom - (int)top, 5);
}

TEST(TextTest, SetFontWithAMaskCopiesOnlyTheNamedProperties)
{
	ShownWindow window(BRect(0, 0, 9, 9));
	BView* view = new BView(BRect(0, 0, 9, 9), "view", B_FOLLOW_NONE, 0);
	window.Show(view);
	window->Lock();
	view->SetFont(be_bold_font);
	view->SetFontSize(20);
	BFont shear;
	shear.SetShear(105);
	shear.SetSize(12);
	view->SetFont(&shear, B_FONT_SHEAR);
	BFont result;
	view->GetFont(&result);
	window->Unlock();
	EXPECT_EQ(105.0f, result.Shear());
	EXPECT_EQ(20.0f, result.Size());
	EXPECT_EQ(be_bold_font->FamilyAndStyle(), result.FamilyAndStyle());
}

} // namespace

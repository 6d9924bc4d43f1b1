#include <gtest/gtest.h>

#include <string.h>

#include <Bitmap.h>
#include <View.h>
#include <Window.h>

#include "InterfaceTestSupport.h"

namespace {

const rgb_color kGreen = {0, 255, 0, 255};

// A window whose only view covers it and draws with `draw`.
class Canvas : public ShownWindow {
public:
	explicit Canvas(std::function<void(BView*)> draw)
	{
		Show(new DrawingView(Window()->Bounds(), draw));
	}
};

TEST(DrawingTest, LinesLightBothEndPixels)
{
	Canvas canvas([](BView* view) {
		view->StrokeLine(BPoint(2, 3), BPoint(7, 3));
		view->StrokeLine(BPoint(2, 10), BPoint(2, 14));
		view->StrokeLine(BPoint(13, 13), BPoint(10, 10));
		view->StrokeLine(BPoint(20, 5), BPoint(20, 5));
	});
	for (int32 x = 2; x <= 7; x++)
		EXPECT_EQ(kBlack, canvas.Pixel(x, 3)) << x;
	EXPECT_EQ(kWhite, canvas.Pixel(1, 3));
	EXPECT_EQ(kWhite, canvas.Pixel(8, 3));
	for (int32 y = 10; y <= 14; y++)
		EXPECT_EQ(kBlack, canvas.Pixel(2, y)) << y;
	EXPECT_EQ(kWhite, canvas.Pixel(2, 9));
	EXPECT_EQ(kWhite, canvas.Pixel(2, 15));
	for (int32 i = 10; i <= 13; i++)
		EXPECT_EQ(kBlack, canvas.Pixel(i, i)) << i;
	EXPECT_EQ(kWhite, canvas.Pixel(11, 10));
	EXPECT_EQ(kWhite, canvas.Pixel(14, 14));
	EXPECT_EQ(kBlack, canvas.Pixel(20, 5));
	EXPECT_EQ(kWhite, canvas.Pixel(21, 5));
}

TEST(DrawingTest, RectanglesIncludeTheirRightAndBottomEdges)
{
	Canvas canvas([](BView* view) {
		view->FillRect(BRect(2, 2, 5, 4));
		view->StrokeRect(BRect(10, 10, 14, 13));
	});
	for (int32 y = 2; y <= 4; y++) {
		for (int32 x = 2; x <= 5; x++)
			EXPECT_EQ(kBlack, canvas.Pixel(x, y)) << x << "," << y;
	}
	EXPECT_EQ(kWhite, canvas.Pixel(6, 2));
	EXPECT_EQ(kWhite, canvas.Pixel(2, 5));
	EXPECT_EQ(kWhite, canvas.Pixel(1, 1));

	EXPECT_EQ(kBlack, canvas.Pixel(10, 10));
	EXPECT_EQ(kBlack, canvas.Pixel(14, 10));
	EXPECT_EQ(kBlack, canvas.Pixel(14, 13));
	EXPECT_EQ(kBlack, canvas.Pixel(10, 13));
	EXPECT_EQ(kBlack, canvas.Pixel(12, 13));
	EXPECT_EQ(kWhite, canvas.Pixel(11, 11));
	EXPECT_EQ(kWhite, canvas.Pixel(13, 12));
	EXPECT_EQ(kWhite, canvas.Pixel(15, 13));
}

TEST(DrawingTest, MixedPatternAlternatesFromTheViewOrigin)
{
	ShownWindow window;
	// The view starts at an odd window column, so window parity differs from view parity.
	DrawingView* view = new DrawingView(BRect(5, 4, 20, 20), [](BView* view) {
		view->SetLowColor(kRed);
		view->FillRect(BRect(1, 0, 8, 3), B_MIXED_COLORS);
		view->StrokeLine(BPoint(12, 0), BPoint(12, 5), B_MIXED_COLORS);
	});
	window.Show(view);
	// View (1, 0) is odd: low colour, although the rectangle starts there.
	EXPECT_EQ(kRed, window.Pixel(6, 4));
	EXPECT_EQ(kBlack, window.Pixel(7, 4));
	EXPECT_EQ(kBlack, window.Pixel(6, 5));
	EXPECT_EQ(kRed, window.Pixel(7, 5));
	EXPECT_EQ(kBlack, window.Pixel(12, 7));
	// A vertical line with the pattern is dotted: high where x + y is even.
	for (int32 y = 0; y <= 5; y++)
		EXPECT_EQ(y % 2 == 0 ? kBlack : kRed, window.Pixel(17, 4 + y)) << y;
}

TEST(DrawingTest, OverDrawsOnlyTheHighColourBitsOfAPattern)
{
	Canvas canvas([](BView* view) {
		view->SetHighColor(kRed);
		view->FillRect(BRect(0, 0, 9, 9));
		view->SetHighColor(kBlue);
		view->SetLowColor(kGreen);
		view->SetDrawingMode(B_OP_OVER);
		view->FillRect(BRect(0, 0, 9, 9), B_MIXED_COLORS);
		view->StrokeLine(BPoint(0, 12), BPoint(5, 12), B_SOLID_LOW);
		view->SetDrawingMode(B_OP_COPY);
		view->StrokeLine(BPoint(0, 14), BPoint(5, 14), B_SOLID_LOW);
	});
	EXPECT_EQ(kBlue, canvas.Pixel(0, 0));
	EXPECT_EQ(kRed, canvas.Pixel(1, 0));
	EXPECT_EQ(kRed, canvas.Pixel(0, 1));
	EXPECT_EQ(kBlue, canvas.Pixel(9, 9));
	EXPECT_EQ(kWhite, canvas.Pixel(3, 12));
	EXPECT_EQ(kGreen, canvas.Pixel(3, 14));
}

TEST(DrawingTest, PaletteBitmapsSkipIndex255InOverAndShowItWhiteInCopy)
{
	BBitmap bitmap(BRect(0, 0, 3, 0), B_CMAP8);
	const uint8 pixels[] = {52, 255, 42, 255};
	memcpy(bitmap.Bits(), pixels, sizeof(pixels));
	Canvas canvas([&bitmap](BView* view) {
		view->SetHighColor(kBlue);
		view->FillRect(view->Bounds());
		view->SetDrawingMode(B_OP_OVER);
		view->DrawBitmap(&bitmap, BPoint(2, 2));
		view->SetDrawingMode(B_OP_COPY);
		view->DrawBitmap(&bitmap, BPoint(2, 4));
	});
	EXPECT_EQ(kGreen, canvas.Pixel(2, 2));
	EXPECT_EQ(kBlue, canvas.Pixel(3, 2));
	EXPECT_EQ(kRed, canvas.Pixel(4, 2));
	EXPECT_EQ(kBlue, canvas.Pixel(5, 2));
	EXPECT_EQ(kBlue, canvas.Pixel(6, 2));
	EXPECT_EQ(kGreen, canvas.Pixel(2, 4));
	EXPECT_EQ(kWhite, canvas.Pixel(3, 4));
	EXPECT_EQ(kWhite, canvas.Pixel(5, 4));
}

TEST(DrawingTest, TrueColourBitmapsSkipTheTransparentMagicInOver)
{
	BBitmap bitmap(BRect(0, 0, 1, 0), B_RGB32);
	const uint8 pixels[] = {0, 0, 255, 255, 0x77, 0x74, 0x77, 0x00};
	memcpy(bitmap.Bits(), pixels, sizeof(pixels));
	Canvas canvas([&bitmap](BView* view) {
		view->SetHighColor(kBlue);
		view->FillRect(view->Bounds());
		view->SetDrawingMode(B_OP_OVER);
		view->DrawBitmap(&bitmap, BPoint(0, 0));
		view->SetDrawingMode(B_OP_COPY);
		view->DrawBitmap(&bitmap, BPoint(0, 1));
	});
	EXPECT_EQ(kRed, canvas.Pixel(0, 0));
	EXPECT_EQ(kBlue, canvas.Pixel(1, 0));
	EXPECT_EQ(kRed, canvas.Pixel(0, 1));
	EXPECT_EQ(Color(0x77, 0x74, 0x77), canvas.Pixel(1, 1));
}

TEST(DrawingTest, BitmapsScaleToTheirDestination)
{
	BBitmap bitmap(BRect(0, 0, 1, 1), B_CMAP8);
	const uint8 pixels[] = {0, 63, 0, 0, 42, 52, 0, 0};
	memcpy(bitmap.Bits(), pixels, sizeof(pixels));
	Canvas canvas([&bitmap](BView* view) { view->DrawBitmap(&bitmap, BRect(4, 4, 7, 7)); });
	EXPECT_EQ(kBlack, canvas.Pixel(4, 4));
	EXPECT_EQ(kBlack, canvas.Pixel(5, 5));
	EXPECT_EQ(kWhite, canvas.Pixel(6, 4));
	EXPECT_EQ(kWhite, canvas.Pixel(7, 5));
	EXPECT_EQ(kRed, canvas.Pixel(4, 6));
	EXPECT_EQ(kRed, canvas.Pixel(5, 7));
	EXPECT_EQ(kGreen, canvas.Pixel(7, 7));
}

TEST(DrawingTest, AlphaModeBlendsByTheHighColoursAlpha)
{
	Canvas canvas([](BView* view) {
		view->SetDrawingMode(B_OP_ALPHA);
		view->SetHighColor(0, 0, 0, 128);
		view->FillRect(BRect(0, 0, 3, 3));
		view->SetHighColor(0, 0, 0, 0);
		view->FillRect(BRect(4, 0, 7, 3));
	});
	rgb_color half = canvas.Pixel(1, 1);
	EXPECT_NEAR(127, half.red, 1);
	EXPECT_EQ(half.red, half.blue);
	EXPECT_EQ(kWhite, canvas.Pixel(5, 1));
}

TEST(DrawingTest, InvertFlipsEveryChannel)
{
	Canvas canvas([](BView* view) {
		view->SetHighColor(Color(10, 20, 30));
		view->FillRect(BRect(0, 0, 3, 3));
		view->InvertRect(BRect(0, 0, 1, 1));
	});
	EXPECT_EQ(Color(245, 235, 225), canvas.Pixel(1, 1));
	EXPECT_EQ(Color(10, 20, 30), canvas.Pixel(2, 2));
}

TEST(DrawingTest, ViewColourFillsAViewBeforeItsDrawUnlessTransparent)
{
	ShownWindow window;
	BView* parent = new DrawingView(window->Bounds(), [](BView* view) {
		view->SetHighColor(kRed);
		view->FillRect(view->Bounds());
	});
	BView* opaque = new BView(BRect(0, 0, 4, 4), "opaque", B_FOLLOW_NONE, 0);
	opaque->SetViewColor(kBlue);
	BView* clear = new BView(BRect(10, 0, 14, 4), "clear", B_FOLLOW_NONE, B_WILL_DRAW);
	clear->SetViewColor(B_TRANSPARENT_COLOR);
	// Transparency is the whole colour, alpha included: this one is painted.
	const rgb_color nearlyClear = Color(0x77, 0x74, 0x77, 255);
	BView* painted = new BView(BRect(20, 0, 24, 4), "painted", B_FOLLOW_NONE, 0);
	painted->SetViewColor(nearlyClear);
	parent->AddChild(opaque);
	parent->AddChild(clear);
	parent->AddChild(painted);
	window.Show(parent);
	EXPECT_EQ(kBlue, window.Pixel(2, 2));
	EXPECT_EQ(kBlue, window.Pixel(4, 4));
	EXPECT_EQ(kRed, window.Pixel(5, 5));
	EXPECT_EQ(kRed, window.Pixel(12, 2));
	EXPECT_EQ(nearlyClear, window.Pixel(22, 2));
}

TEST(DrawingTest, ChildrenAreClippedToTheirOwnAndTheirParentsBounds)
{
	ShownWindow window;
	BView* parent = new BView(BRect(10, 10, 19, 19), "parent", B_FOLLOW_NONE, 0);
	parent->SetViewColor(kBlue);
	BView* child = new DrawingView(BRect(5, 5, 24, 24), [](BView* view) {
		view->SetHighColor(kRed);
		view->FillRect(BRect(-10, -10, 40, 40));
	});
	parent->AddChild(child);
	window.Show(parent);
	EXPECT_EQ(kBlue, window.Pixel(14, 14));
	EXPECT_EQ(kRed, window.Pixel(15, 15));
	EXPECT_EQ(kRed, window.Pixel(19, 19));
	EXPECT_EQ(kWhite, window.Pixel(20, 20));
	EXPECT_EQ(kWhite, window.Pixel(25, 15));
	EXPECT_EQ(kBlue, window.Pixel(12, 19));
}

TEST(DrawingTest, HiddenViewsAreNotDrawn)
{
	ShownWindow window;
	BView* hidden = new BView(BRect(0, 0, 9, 9), "hidden", B_FOLLOW_NONE, 0);
	hidden->SetViewColor(kRed);
	hidden->Hide();
	window.Show(hidden);
	EXPECT_EQ(kWhite, window.Pixel(5, 5));

	window->Lock();
	hidden->Show();
	window->Unlock();
	ASSERT_EQ(B_OK, window.Port().Sync());
	EXPECT_EQ(kRed, window.Pixel(5, 5));
}

TEST(DrawingTest, LineArraysDrawEachLineInItsColour)
{
	Canvas canvas([](BView* view) {
		view->BeginLineArray(2);
		view->AddLine(BPoint(0, 0), BPoint(4, 0), kRed);
		view->AddLine(BPoint(0, 2), BPoint(4, 2), kBlue);
		view->EndLineArray();
	});
	EXPECT_EQ(kRed, canvas.Pixel(4, 0));
	EXPECT_EQ(kBlue, canvas.Pixel(0, 2));
	EXPECT_EQ(kWhite, canvas.Pixel(0, 1));
}

} // namespace

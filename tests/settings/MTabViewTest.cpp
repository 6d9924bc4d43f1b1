#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>

#include <InterfaceDefs.h>
#include <View.h>
#include <Window.h>

#include "InterfaceTestSupport.h"
#include "InterfacePrivate.h"
#include "MTabView.h"

namespace {

const rgb_color kDefaultPanel = {216, 216, 216, 255};
const rgb_color kGrey = {192, 192, 192, 255};
const rgb_color kShadow = {96, 96, 96, 255};
const rgb_color kGripDark = {100, 100, 100, 255};

// The tab view of the settings window at its default size: bounds (0, 0, 261, 182).
class MTabViewTest : public testing::Test {
protected:
	void TearDown() override { BPrivate::set_ui_color(B_PANEL_BACKGROUND_COLOR, kDefaultPanel); }

	void Open(std::initializer_list<const char*> labels = {"About", "User", "Server", "Other",
				  "Log"},
		float tabHeight = 20, float fontSize = 10)
	{
		fTabs = new MTabView(BRect(0, 0, 261, 182), "settings-tab");
		for (const char* label : labels) {
			BView* page = new BView(BRect(0, 0, 259, 159), label, B_FOLLOW_ALL, B_WILL_DRAW);
			page->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
			fTabs->AddTab(page);
		}
		if (tabHeight != 20)
			fTabs->SetTabHeight(tabHeight);
		fTabs->SetFontSize(fontSize);
		fWindow.Show(fTabs);
	}

	void Select(int32 index)
	{
		fWindow->Lock();
		fTabs->Select(index);
		fWindow->Unlock();
		fWindow.Port().Sync();
	}

	rgb_color Pixel(int32 x, int32 y) { return fWindow.Pixel(x, y); }

	bool IsInk(rgb_color color) { return color.red < 100 && color.green < 100; }

	// The lowest row and the horizontal middle of the dark ink inside a rectangle.
	void InkOf(BRect area, int32* lowest, float* middle)
	{
		int32 left = 10000;
		int32 right = -1;
		*lowest = -1;
		for (int32 y = (int32)area.top; y <= (int32)area.bottom; y++) {
			for (int32 x = (int32)area.left; x <= (int32)area.right; x++) {
				rgb_color color = Pixel(x, y);
				if (!IsInk(color) || color == kShadow || color == kGripDark)
					continue;
				left = std::min(left, x);
				right = std::max(right, x);
				*lowest = std::max(*lowest, y);
			}
		}
		*middle = (left + right) / 2.0f;
	}

	ShownWindow fWindow{BRect(50, 50, 311, 232)};
	MTabView* fTabs = nullptr;
};

TEST_F(MTabViewTest, TabsShareTheWholeWidthEquallyWithoutRounding)
{
	Open();
	fWindow->Lock();
	for (int32 i = 0; i < 5; i++) {
		BRect frame = fTabs->TabFrame(i);
		EXPECT_FLOAT_EQ(52.2f * i, frame.left) << i;
		EXPECT_FLOAT_EQ(52.2f * i + 52.2f, frame.right) << i;
		EXPECT_EQ(0, frame.top);
		EXPECT_EQ(20, frame.bottom);
	}
	EXPECT_FLOAT_EQ(104.4f, fTabs->TabFrame(1).right);
	EXPECT_FLOAT_EQ(208.8f, fTabs->TabFrame(4).left);
	EXPECT_FLOAT_EQ(261.0f, fTabs->TabFrame(4).right);
	EXPECT_FALSE(fTabs->TabFrame(5).IsValid());
	EXPECT_FALSE(fTabs->TabFrame(-1).IsValid());
	EXPECT_EQ(0, fTabs->Selection());
	fWindow->Unlock();
}

TEST_F(MTabViewTest, TheSelectedTabIsRaisedAndOpensIntoTheBox)
{
	Open();
	const rgb_color white = kWhite;
	// Left highlight on x = 0 from y = 1 down to the tab height; top highlight to 51.2.
	EXPECT_EQ(kDefaultPanel, Pixel(0, 0));
	for (int32 y = 1; y <= 20; y++)
		EXPECT_EQ(white, Pixel(0, y)) << y;
	for (int32 x = 1; x <= 51; x++)
		EXPECT_EQ(white, Pixel(x, 0)) << x;
	EXPECT_NE(white, Pixel(52, 0));
	// Every tab's right shadow, the last one on the view's right edge.
	for (int32 column : {52, 104, 157, 209, 261}) {
		for (int32 y = 1; y <= 20; y++)
			EXPECT_EQ(kShadow, Pixel(column, y)) << column << "," << y;
	}
	EXPECT_EQ(kDefaultPanel, Pixel(48, 18));

	// The box: open under the selected tab, white on the left and top, dark on the right
	// and bottom.
	EXPECT_EQ(white, Pixel(0, 21));
	for (int32 x = 1; x <= 51; x++)
		EXPECT_EQ(kDefaultPanel, Pixel(x, 21)) << x;
	for (int32 x = 52; x <= 260; x++)
		EXPECT_EQ(white, Pixel(x, 21)) << x;
	for (int32 y = 21; y <= 181; y++) {
		EXPECT_EQ(white, Pixel(0, y)) << y;
		EXPECT_EQ(kShadow, Pixel(261, y)) << y;
	}
	for (int32 x = 1; x <= 261; x++)
		EXPECT_EQ(kShadow, Pixel(x, 182)) << x;

	// Another selection: its left highlight covers the shadow of the tab before it, and
	// the opening spans it without its two border columns.
	Select(2);
	for (int32 y = 1; y <= 20; y++) {
		EXPECT_EQ(white, Pixel(104, y)) << y;
		EXPECT_EQ(kShadow, Pixel(157, y)) << y;
	}
	for (int32 x = 105; x <= 156; x++) {
		EXPECT_EQ(white, Pixel(x, 0)) << x;
		EXPECT_EQ(kDefaultPanel, Pixel(x, 21)) << x;
	}
	EXPECT_EQ(white, Pixel(104, 21));
	EXPECT_EQ(white, Pixel(157, 21));
	EXPECT_EQ(white, Pixel(30, 21));
	// The first tab is flat now: no edges of its own, grey inside.
	EXPECT_EQ(kDefaultPanel, Pixel(0, 10));
	EXPECT_EQ(kDefaultPanel, Pixel(30, 0));
	EXPECT_EQ(kGrey, Pixel(48, 18));
}

TEST_F(MTabViewTest, UnselectedTabsAreGreyWhateverThePanelColour)
{
	const rgb_color panel = {180, 200, 230, 255};
	BPrivate::set_ui_color(B_PANEL_BACKGROUND_COLOR, panel);
	Open();
	EXPECT_EQ(panel, Pixel(48, 18));
	EXPECT_EQ(tint_color(panel, B_DARKEN_4_TINT), Pixel(52, 10));
	for (int32 x : {100, 150, 200, 256})
		EXPECT_EQ(kGrey, Pixel(x, 18)) << x;
	// The row below the tabs and the row above them are the view's own colour.
	EXPECT_EQ(panel, Pixel(100, 20));
	EXPECT_EQ(panel, Pixel(100, 0));
}

TEST_F(MTabViewTest, EachTabHasADottedGripAtItsLeft)
{
	Open();
	// Tab 0 (T = 0) and tab 1 (T = 52.2): light columns T + 2 and T + 4 from 2 to 16, dark
	// columns T + 3 and T + 5 from 3 to 17, each alternating with the low colour.
	struct Column {
		int32 x;
		rgb_color color;
		int32 top;
		int32 bottom;
	};
	for (Column column :
		{Column{2, kWhite, 2, 16}, Column{3, kGripDark, 3, 17}, Column{4, kWhite, 2, 16},
			Column{5, kGripDark, 3, 17}, Column{54, kWhite, 2, 16}, Column{55, kGripDark, 3, 17},
			Column{56, kWhite, 2, 16}, Column{57, kGripDark, 3, 17}}) {
		SCOPED_TRACE(column.x);
		rgb_color fill = column.x < 52 ? kDefaultPanel : kGrey;
		int32 own = 0;
		for (int32 y = column.top; y <= column.bottom; y++) {
			rgb_color color = Pixel(column.x, y);
			bool high = color == column.color;
			EXPECT_TRUE(high || color == kDefaultPanel) << y;
			if (y > column.top) {
				EXPECT_NE(high, Pixel(column.x, y - 1) == column.color) << y;
			}
			own += high ? 1 : 0;
		}
		EXPECT_GE(own, 7);
		EXPECT_EQ(fill, Pixel(column.x, column.top - 1));
		EXPECT_EQ(fill, Pixel(column.x, column.bottom + 1));
	}
	EXPECT_EQ(kGrey, Pixel(58, 10));
	EXPECT_EQ(kGrey, Pixel(53, 10));
}

TEST_F(MTabViewTest, LabelsAreCentredRightOfTheGripOnTheirBaseline)
{
	Open();
	int32 lowest;
	float middle;
	// Size 10 and tab height 20: baseline 10 + 5 - 1 = 14.
	InkOf(BRect(6, 1, 51, 19), &lowest, &middle);
	EXPECT_EQ(14, lowest);
	EXPECT_NEAR(6 + 46.2f / 2, middle, 1.5f);
	InkOf(BRect(163, 1, 208, 19), &lowest, &middle);
	EXPECT_EQ(14, lowest);
	EXPECT_NEAR(156.6f + 6 + 46.2f / 2, middle, 1.5f);
}

TEST_F(MTabViewTest, ATabHeightOf22PutsTenPointLabelsOnRow15)
{
	Open({"About", "User", "Server", "Other", "Log"}, 22);
	int32 lowest;
	float middle;
	InkOf(BRect(6, 1, 51, 21), &lowest, &middle);
	EXPECT_EQ(15, lowest);
	InkOf(BRect(58, 1, 103, 21), &lowest, &middle);
	EXPECT_EQ(15, lowest);
	// The box follows the taller tabs.
	EXPECT_EQ(kWhite, Pixel(100, 23));
}

TEST_F(MTabViewTest, ALabelWiderThanItsTabSpillsIntoTheTabBefore)
{
	Open({"About", "A label far too wide for its tab", "Server", "Other", "Log"});
	int32 spilled = 0;
	for (int32 x = 6; x < 52; x++) {
		for (int32 y = 5; y <= 14; y++)
			spilled += IsInk(Pixel(x, y)) ? 1 : 0;
	}
	EXPECT_GT(spilled, 0);
	// "About" alone ends well before the tab's right edge; the spilled label reaches it.
	int32 right = -1;
	for (int32 x = 0; x < 52; x++) {
		for (int32 y = 5; y <= 14; y++) {
			if (IsInk(Pixel(x, y)))
				right = std::max(right, x);
		}
	}
	EXPECT_GT(right, 46);
}

TEST_F(MTabViewTest, WithoutTabsThereAreNoFramesAndNothingIsDrawn)
{
	fTabs = new MTabView(BRect(0, 0, 261, 182), "settings-tab");
	fWindow.Show(fTabs);
	fWindow->Lock();
	EXPECT_FALSE(fTabs->TabFrame(0).IsValid());
	EXPECT_FALSE(fTabs->DrawTabs().IsValid());
	fWindow->Unlock();
	fWindow.Port().Redraw();
	for (int32 y = 0; y <= 182; y += 3) {
		for (int32 x = 0; x <= 261; x += 3)
			ASSERT_EQ(kDefaultPanel, Pixel(x, y)) << x << "," << y;
	}
	ASSERT_EQ(kDefaultPanel, Pixel(261, 182));
	ASSERT_EQ(kDefaultPanel, Pixel(0, 21));
}

} // namespace

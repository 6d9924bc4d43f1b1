#include <gtest/gtest.h>

#include <string>

#include <ScrollBar.h>
#include <ScrollView.h>
#include <TextView.h>
#include <Window.h>

#include "ControlsTestSupport.h"

namespace {

// The log page's text view: 236 wide, a text rect three times as wide, wrap off.
const BRect kTextFrame(4, 4, 240, 140);
const BRect kTextRect(5, 5, 717, 139);

BTextView*
MakeTextView()
{
	return new BTextView(kTextFrame, "log-text-view", kTextRect, B_FOLLOW_ALL_SIDES,
		B_WILL_DRAW | B_PULSE_NEEDED);
}

TEST(ScrollViewFrameTest, GrowsTheTargetsFrameByTheBarsAndTheBorder)
{
	struct Case {
		border_style border;
		BRect frame;
		BPoint target;
	} cases[] = {
		{B_FANCY_BORDER, BRect(2, 2, 256, 156), BPoint(2, 2)},
		{B_PLAIN_BORDER, BRect(3, 3, 255, 155), BPoint(1, 1)},
		{B_NO_BORDER, BRect(4, 4, 255, 155), BPoint(0, 0)},
	};
	for (const Case& test : cases) {
		BTextView* text = MakeTextView();
		BScrollView scroll("scroll-support", text, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, true, true,
			test.border);
		EXPECT_EQ(test.frame, scroll.Frame()) << test.border;
		EXPECT_EQ(test.target, text->Frame().LeftTop()) << test.border;
		EXPECT_EQ(test.border, scroll.Border());
		EXPECT_EQ(text, scroll.Target());
		EXPECT_EQ(&scroll, text->Parent());

		BScrollBar* horizontal = scroll.ScrollBar(B_HORIZONTAL);
		BScrollBar* vertical = scroll.ScrollBar(B_VERTICAL);
		ASSERT_NE(nullptr, horizontal);
		ASSERT_NE(nullptr, vertical);
		EXPECT_EQ(B_HORIZONTAL, horizontal->Orientation());
		EXPECT_EQ(text, horizontal->Target());
		EXPECT_EQ(text, vertical->Target());
		EXPECT_EQ(vertical, text->ScrollBar(B_VERTICAL));
		EXPECT_EQ(horizontal, text->ScrollBar(B_HORIZONTAL));
		EXPECT_EQ(B_H_SCROLL_BAR_HEIGHT, horizontal->Frame().Height());
		EXPECT_EQ(B_V_SCROLL_BAR_WIDTH, vertical->Frame().Width());
		// The bars lie right of and below the target, meeting at its corner.
		EXPECT_EQ(text->Frame().bottom + 1, horizontal->Frame().top);
		EXPECT_EQ(text->Frame().right + 1, vertical->Frame().left);
	}

	BTextView* alone = MakeTextView();
	BScrollView vertical("v", alone, B_FOLLOW_NONE, 0, false, true);
	EXPECT_EQ(nullptr, vertical.ScrollBar(B_HORIZONTAL));
	EXPECT_EQ(BRect(2, 2, 256, 142), vertical.Frame());
}

TEST(ScrollBarTest, KeepsItsValueWithinTheRangeAndFollowsANewRange)
{
	BView target(BRect(0, 0, 99, 99), "target", B_FOLLOW_NONE, 0);
	BScrollBar bar(BRect(0, 0, 14, 99), "bar", &target, 0, 100, B_VERTICAL);
	bar.SetValue(40.4f);
	EXPECT_EQ(40, bar.Value());
	EXPECT_EQ(40, target.Bounds().top);
	bar.SetValue(500);
	EXPECT_EQ(100, bar.Value());
	bar.SetValue(-3);
	EXPECT_EQ(0, bar.Value());
	bar.SetValue(90);
	bar.SetRange(0, 50);
	EXPECT_EQ(50, bar.Value());
	EXPECT_EQ(50, target.Bounds().top);
	float min;
	float max;
	bar.GetRange(&min, &max);
	EXPECT_EQ(0, min);
	EXPECT_EQ(50, max);
	bar.SetProportion(3);
	EXPECT_EQ(1, bar.Proportion());

	// Scrolling the target moves the bar; an unlinked bar is no longer the target's.
	target.ScrollTo(0, 20);
	EXPECT_EQ(20, bar.Value());
	bar.SetTarget((BView*)NULL);
	EXPECT_EQ(nullptr, target.ScrollBar(B_VERTICAL));
}

class ScrollViewTest : public testing::Test {
protected:
	void SetUp() override
	{
		fText = MakeTextView();
		fScroll = new BScrollView("scroll-support", fText, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, true,
			true, B_FANCY_BORDER);
		fText->SetWordWrap(false);
		fWindow.ShowWith({fScroll});
		fHorizontal = fScroll->ScrollBar(B_HORIZONTAL);
		fVertical = fScroll->ScrollBar(B_VERTICAL);
	}

	void Run(std::function<void()> work)
	{
		fWindow->Lock();
		work();
		fWindow->Unlock();
		fWindow.Port().Sync();
	}

	float Left()
	{
		fWindow->Lock();
		float left = fText->Bounds().left;
		EXPECT_EQ(left, fHorizontal->Value());
		fWindow->Unlock();
		return left;
	}

	// A bar's frame in window coordinates.
	BRect InWindow(BView* view)
	{
		fWindow->Lock();
		BRect frame = view->ConvertToScreen(view->Bounds());
		fWindow->Unlock();
		return fWindow->ConvertFromScreen(frame);
	}

	PanelWindow fWindow{BRect(100, 100, 399, 299)};
	BTextView* fText;
	BScrollView* fScroll;
	BScrollBar* fHorizontal;
	BScrollBar* fVertical;
};

TEST_F(ScrollViewTest, AnEmptyTextLeavesNothingToScroll)
{
	float min;
	float max;
	fWindow->Lock();
	fVertical->GetRange(&min, &max);
	EXPECT_EQ(0, max);
	// The text rect is wider than the view, so there is some way to go sideways.
	fHorizontal->GetRange(&min, &max);
	EXPECT_EQ(722 - 236, max);
	fWindow->Unlock();
}

TEST_F(ScrollViewTest, ArrowsAndTheTrackScrollTheTargetSideways)
{
	std::string line(120, 'w');
	Run([&] { fText->SetText(line.c_str()); });
	float min;
	float max;
	float small;
	float large;
	fWindow->Lock();
	fHorizontal->GetRange(&min, &max);
	fHorizontal->GetSteps(&small, &large);
	float lineRight = 5 + fText->LineWidth(0);
	fWindow->Unlock();
	EXPECT_EQ(ceilf(std::max(717.0f, lineRight) + 5 - 236), max);

	BRect bar = InWindow(fHorizontal);
	BPoint rightArrow(bar.right - 5, bar.top + 7);
	fWindow.Click(rightArrow);
	EXPECT_EQ(small, Left());
	fWindow.Click(rightArrow);
	EXPECT_EQ(2 * small, Left());
	fWindow.Click(BPoint(bar.left + 5, bar.top + 7));
	EXPECT_EQ(small, Left());
	// The track right of the thumb pages.
	fWindow.Click(BPoint(bar.right - 25, bar.top + 7));
	EXPECT_EQ(small + large, Left());
}

TEST_F(ScrollViewTest, DraggingTheThumbScrollsInProportion)
{
	std::string line(120, 'w');
	Run([&] { fText->SetText(line.c_str()); });
	BRect bar = InWindow(fHorizontal);
	// The thumb starts right of the left arrow.
	BPoint grab(bar.left + 15 + 8, bar.top + 7);
	BPrivate::WindowPort& port = fWindow.Port();
	port.MouseDown(grab, B_PRIMARY_MOUSE_BUTTON);
	port.MouseMoved(grab + BPoint(30, 0), B_PRIMARY_MOUSE_BUTTON);
	float afterThirty = Left();
	EXPECT_GT(afterThirty, 30);
	// Far past the end, and beyond the bar: the end of the range.
	port.MouseMoved(grab + BPoint(400, 60), B_PRIMARY_MOUSE_BUTTON);
	port.MouseUp(grab + BPoint(400, 60), 0);
	float min;
	float max;
	fWindow->Lock();
	fHorizontal->GetRange(&min, &max);
	fWindow->Unlock();
	EXPECT_EQ(max, Left());
	// Released: moving on changes nothing.
	port.MouseMoved(grab, 0);
	EXPECT_EQ(max, Left());
}

TEST_F(ScrollViewTest, TheBarsFollowTheTargetsOwnScrolling)
{
	std::string text;
	for (int32 i = 0; i < 30; i++)
		text += "line " + std::to_string(i) + " " + std::string(80, 'x') + "\n";
	Run([&] { fText->SetText(text.c_str()); });
	float max;
	fWindow->Lock();
	fVertical->GetRange(NULL, &max);
	EXPECT_EQ(ceilf(5 + 31 * fText->LineHeight(0) + 5) - 136, max);
	fWindow->Unlock();

	// The caret at the very end: the view scrolls to show it, the bars go along.
	Run([&] {
		fText->Select(fText->TextLength() - 1, fText->TextLength() - 1);
		fText->ScrollToSelection();
	});
	fWindow->Lock();
	BRect bounds = fText->Bounds();
	BPoint caret = fText->PointAt(fText->TextLength() - 1);
	EXPECT_TRUE(bounds.Contains(caret));
	EXPECT_GT(bounds.left, 0);
	EXPECT_GT(bounds.top, 0);
	EXPECT_EQ(bounds.left, fHorizontal->Value());
	EXPECT_EQ(bounds.top, fVertical->Value());
	fWindow->Unlock();

	// A click in the vertical track above the thumb pages back up.
	BRect vertical = InWindow(fVertical);
	float before = bounds.top;
	float large;
	fWindow->Lock();
	fVertical->GetSteps(NULL, &large);
	fWindow->Unlock();
	fWindow.Click(BPoint(vertical.left + 7, vertical.top + 20));
	fWindow->Lock();
	EXPECT_EQ(std::max(0.0f, before - large), fText->Bounds().top);
	fWindow->Unlock();
}

TEST_F(ScrollViewTest, TypingPastTheRightEdgeKeepsTheCaretInView)
{
	Run([&] { fText->MakeFocus(); });
	for (int32 i = 0; i < 60; i++)
		fWindow.Type("m");
	fWindow->Lock();
	BRect bounds = fText->Bounds();
	BPoint caret = fText->PointAt(fText->TextLength());
	EXPECT_GT(bounds.left, 0);
	EXPECT_LE(caret.x, bounds.right);
	EXPECT_GE(caret.x, bounds.left);
	EXPECT_EQ(bounds.left, fHorizontal->Value());
	fWindow->Unlock();
	// Home goes back to the start.
	fWindow.Type("\x01");
	EXPECT_EQ(0, Left());
}

TEST_F(ScrollViewTest, DrawsAFancyBorderAndBarsWithArrows)
{
	// The scroll view spans (2, 2) to (256, 156) of the window.
	EXPECT_EQ(Color(184, 184, 184), fWindow.Pixel(2, 50));
	EXPECT_EQ(Color(184, 184, 184), fWindow.Pixel(50, 2));
	EXPECT_EQ(Color(152, 152, 152), fWindow.Pixel(3, 50));
	EXPECT_EQ(Color(239, 239, 239), fWindow.Pixel(256, 50));
	EXPECT_EQ(Color(239, 239, 239), fWindow.Pixel(50, 156));
	EXPECT_EQ(kWhite, fWindow.Pixel(50, 50));

	// The focused text view's scroll view is framed in blue.
	Run([&] { fText->MakeFocus(); });
	EXPECT_EQ(Color(0, 0, 229), fWindow.Pixel(2, 50));
	EXPECT_EQ(Color(152, 152, 152), fWindow.Pixel(3, 50));

	// Each bar has a dark arrow at its ends.
	BRect bar = InWindow(fHorizontal);
	int32 dark = 0;
	for (int32 x = (int32)bar.left; x <= bar.left + 14; x++) {
		for (int32 y = (int32)bar.top; y <= bar.bottom; y++)
			dark += fWindow.Pixel(x, y).red < 40 ? 1 : 0;
	}
	EXPECT_GT(dark, 4);
}

} // namespace

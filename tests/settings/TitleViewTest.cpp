#include <gtest/gtest.h>

#include <Screen.h>
#include <TextControl.h>
#include <View.h>
#include <Window.h>

#include "DynDnsSettingsWin.h"
#include "InterfacePrivate.h"
#include "SettingsFixture.h"

namespace {

const rgb_color kLightEdge = {255, 255, 80, 255};
const rgb_color kStripFill = {255, 203, 0, 255};
const rgb_color kDarkEdge = {175, 123, 0, 255};

using BPrivate::WindowPort;

class TitleViewTest : public SettingsFixture {
protected:
	// A press of the primary button at a point of the window.
	void Press(BPoint where) { Port().MouseDown(where, B_PRIMARY_MOUSE_BUTTON); }

	// The pointer on the screen, with the buttons given.
	void MoveTo(float x, float y, uint32 buttons = B_PRIMARY_MOUSE_BUTTON)
	{
		Port().MouseMoved(BPoint(x, y), buttons, WindowPort::kScreenCoordinates);
	}

	void Release(float x, float y)
	{
		Port().MouseUp(BPoint(x, y), 0, WindowPort::kScreenCoordinates);
	}

	BPoint LeftTop() { return Window()->Frame().LeftTop(); }
};

TEST_F(TitleViewTest, StripIsLightAtTheTopAndLeftDarkAtTheRightAndFilledToTheBottom)
{
	Open();
	BView* strip = Find("title-view");
	ASSERT_NE(nullptr, strip);
	EXPECT_EQ(BRect(0, 0, 261, 7), strip->Frame());
	for (int32 y = 0; y <= 7; y++) {
		for (int32 x = 0; x <= 261; x++) {
			rgb_color expected = kStripFill;
			if (y == 0 || x == 0)
				expected = kLightEdge;
			else if (x == 261)
				expected = kDarkEdge;
			ASSERT_EQ(expected, Pixel(x, y)) << x << "," << y;
		}
	}
	// No bottom edge: the tabs begin right below.
	EXPECT_NE(kStripFill, Pixel(130, 8));
}

TEST_F(TitleViewTest, DraggingMovesTheWindowAndKeepsItOnTheScreen)
{
	Open();
	// The press is at screen (150, 53).
	Press(BPoint(100, 3));
	MoveTo(170, 63);
	EXPECT_EQ(BPoint(70, 60), LeftTop());
	MoveTo(171, 60);
	EXPECT_EQ(BPoint(71, 57), LeftTop());

	// Past the left edge, the right edge (1023), the top and the bottom (767).
	MoveTo(50, 60);
	EXPECT_EQ(BPoint(0, 57), LeftTop());
	MoveTo(1000, 60);
	EXPECT_EQ(BPoint(1023 - 261, 57), LeftTop());
	EXPECT_EQ(1023, Window()->Frame().right);
	MoveTo(1000, -200);
	EXPECT_EQ(BPoint(762, 0), LeftTop());
	MoveTo(1000, 900);
	EXPECT_EQ(BPoint(762, 767 - 190), LeftTop());
	EXPECT_EQ(767, Window()->Frame().bottom);

	// Released, the strip lets the window be.
	Release(1000, 900);
	MoveTo(900, 800);
	EXPECT_EQ(BPoint(762, 577), LeftTop());
}

// Its strip stays on the screen, where it can be dragged back.
TEST_F(TitleViewTest, AWindowLargerThanTheScreenKeepsItsLeftAndTopEdgesOnIt)
{
	Open(BRect(-10, 50, 1100, 240));
	Press(BPoint(100, 3));
	MoveTo(91, 54);
	EXPECT_EQ(BPoint(0, 51), LeftTop());
	Close();

	Open(BRect(50, -10, 311, 900));
	Press(BPoint(100, 3));
	MoveTo(151, -6);
	EXPECT_EQ(BPoint(51, 0), LeftTop());
}

TEST_F(TitleViewTest, MovesWithoutAButtonDoNothingAndAMissedReleaseKeepsTheDrag)
{
	Open();
	Press(BPoint(100, 3));
	MoveTo(200, 100, 0);
	EXPECT_EQ(BPoint(50, 50), LeftTop());
	// No release came: with a button again, the drag goes on from the press.
	MoveTo(160, 53);
	EXPECT_EQ(BPoint(60, 50), LeftTop());
	Release(160, 53);
	MoveTo(300, 300);
	EXPECT_EQ(BPoint(60, 50), LeftTop());
}

TEST_F(TitleViewTest, APressOnAPageNeverStartsADrag)
{
	Open();
	Press(BPoint(100, 60));
	MoveTo(300, 300);
	EXPECT_EQ(BPoint(50, 50), LeftTop());
	// Nor does a press outside the strip end one: it only clears it.
	Press(BPoint(100, 3));
	Press(BPoint(100, 100));
	MoveTo(300, 300);
	EXPECT_EQ(BPoint(50, 50), LeftTop());
}

TEST_F(TitleViewTest, AnInactiveWindowStaysAndCatchesUpWithThePointerOnceActiveAgain)
{
	Open();
	Press(BPoint(100, 3));
	MoveTo(160, 53);
	EXPECT_EQ(BPoint(60, 50), LeftTop());

	// Another window takes the activation; the button is still held.
	ShownWindow other(BRect(600, 600, 649, 649));
	other.Show();
	EXPECT_FALSE(Window()->IsActive());
	MoveTo(200, 53);
	EXPECT_EQ(BPoint(60, 50), LeftTop());

	// A click activates it again, without reaching the strip; the next move makes up for
	// the whole way since the last move it followed.
	Port().MouseDown(BPoint(200, 53), B_PRIMARY_MOUSE_BUTTON, 1, WindowPort::kScreenCoordinates);
	EXPECT_TRUE(Window()->IsActive());
	MoveTo(210, 60);
	EXPECT_EQ(BPoint(110, 57), LeftTop());
}

TEST_F(TitleViewTest, ClampingUsesTheScreenAsItIsNow)
{
	Open();
	struct ScreenGuard {
		~ScreenGuard() { BPrivate::set_main_screen_frame(BRect(0, 0, 1023, 767)); }
	} guard;
	BPrivate::set_main_screen_frame(BRect(0, 0, 639, 479));
	ASSERT_EQ(BRect(0, 0, 639, 479), BScreen().Frame());
	Press(BPoint(100, 3));
	MoveTo(1000, 700);
	EXPECT_EQ(BPoint(639 - 261, 479 - 190), LeftTop());
}

TEST_F(TitleViewTest, EscapeHidesAndSavesFromAnyFieldAndIsNeverTyped)
{
	Open();
	SelectTab(kUserTab);
	TypeInto("user-edit", "alice");
	PressEscape();
	EXPECT_TRUE(Window()->IsHidden());
	EXPECT_EQ("alice", TextOf("user-edit"));
	EXPECT_EQ("alice", std::string(Stored()->fUser.String()));

	Show();
	SelectTab(kOtherTab);
	TypeInto("mx-edit", "mx.example.org");
	PressEscape();
	EXPECT_TRUE(Window()->IsHidden());
	EXPECT_EQ("mx.example.org", std::string(Stored()->fMx.String()));

	// Without a focus as well.
	Show();
	SelectTab(kAboutTab);
	PressEscape();
	EXPECT_TRUE(Window()->IsHidden());
}

TEST_F(TitleViewTest, EscapeWhileHiddenDoesNothing)
{
	Open();
	PressEscape();
	ASSERT_TRUE(Window()->IsHidden());
	// The window takes no input while hidden; the strip itself checks too.
	BView* strip = Find("title-view");
	Window()->Lock();
	strip->KeyDown("\x1b", 1);
	strip->KeyDown("a", 1);
	Window()->Unlock();
	Show();
	EXPECT_FALSE(Window()->IsHidden());
}

TEST_F(TitleViewTest, TabAndShiftTabVisitThePagesFieldsWhileTheStripWatchesTheKeys)
{
	Open();
	SelectTab(kUserTab);
	auto next = [this](bool backwards) {
		Key("\t", backwards ? B_SHIFT_KEY : 0);
		Window()->Lock();
		BView* focus = Window()->CurrentFocus();
		Window()->Unlock();
		return focus;
	};
	BView* tabs = Find("settings-tab");
	EXPECT_EQ(tabs, next(false));
	EXPECT_EQ(Control("user-edit")->TextView(), next(false));
	EXPECT_EQ(Control("password-edit")->TextView(), next(false));
	EXPECT_EQ(Control("host-edit")->TextView(), next(false));
	EXPECT_EQ(Control("ip")->TextView(), next(false));
	EXPECT_EQ(tabs, next(false));
	EXPECT_EQ(Control("ip")->TextView(), next(true));
	EXPECT_EQ(Control("host-edit")->TextView(), next(true));
}

} // namespace

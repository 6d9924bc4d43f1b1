/*
 * Zorve on a desktop of its own: Xvfb with a tray (and openbox where a window manager
 * matters), the program started as a user starts it, driven with xdotool and looked at with
 * xwd, against a loopback server.
 */
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <stdlib.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "InterfaceTestSupport.h"
#include "StatusPictures.h"
#include "TestDisplay.h"
#include "ZorveFixture.h"

namespace {

using Pictures = StatusPictures;

const BRect kStoredFrame(300, 200, 561, 390);
const BRect kScreen(0, 0, 1023, 767);

// The icon's menu, in rows from its top: "Settings", "Force Ip Check", "Force Update", a
// separator, "Exit".
const int32 kSettingsRow = 10;
const int32 kForceUpdateRow = 42;
const int32 kExitFromBottom = 7;

} // namespace

class ZorveDisplayTest : public ZorveFixture {
protected:
	void SetUp() override
	{
		ASSERT_TRUE(fDisplay.Start()) << fDisplay.Failure();
		setenv("DISPLAY", fDisplay.Name().c_str(), 1);
		ZorveFixture::SetUp();
		WritePrefs([](CPreferences& prefs) {
			prefs.fUser = "demo";
			prefs.fSettingsWinPosition = kStoredFrame;
		});
	}

	void TearDown() override
	{
		ZorveFixture::TearDown();
		// The host runs the icon and its window: a sanitised build reports into its log.
		std::string log = fHome.ReadFile(fHome.Path() + "/run/be-deskbar.log");
		EXPECT_EQ(std::string::npos, log.find("Sanitizer")) << log;
		EXPECT_EQ(std::string::npos, log.find("runtime error")) << log;
		delete fPictures;
		unsetenv("DISPLAY");
	}

	// The picture the screen shows in the middle of the icon's window.
	Pictures::Picture PictureOnScreen(::Window icon)
	{
		if (fPictures == nullptr)
			fPictures = new Pictures;
		BRect frame = fDisplay.ScreenFrame(icon);
		int32 left = (int32)frame.left + (frame.IntegerWidth() + 1 - 16) / 2;
		int32 top = (int32)frame.top + (frame.IntegerHeight() + 1 - 16) / 2;
		std::vector<uint8> rgba;
		if (fPictures->InitCheck() != B_OK || !frame.IsValid()
			|| !fDisplay.ReadPixels(BRect(left, top, left + 15, top + 15), &rgba)) {
			return Pictures::kUnknown;
		}
		return fPictures->Match(rgba.data());
	}

	// Clicks the icon and waits for its menu; its frame on the screen.
	BRect OpenMenu(::Window icon)
	{
		BRect iconFrame = fDisplay.SettledFrame(icon);
		::Window menu = 0;
		if (fDisplay.Click((int32)(iconFrame.left + iconFrame.right) / 2,
				(int32)(iconFrame.top + iconFrame.bottom) / 2)) {
			menu = fDisplay.WaitForShown("Options");
		}
		return menu != 0 ? fDisplay.ScreenFrame(menu) : BRect();
	}

	// Opens the menu and clicks the row `offset` pixels below its top (or, negative, above
	// its bottom); waits until the menu has gone.
	void Choose(::Window icon, int32 offset)
	{
		BRect menu = OpenMenu(icon);
		ASSERT_TRUE(menu.IsValid()) << "no menu";
		int32 y = offset >= 0 ? (int32)menu.top + offset : (int32)menu.bottom + offset;
		ASSERT_TRUE(fDisplay.Click((int32)menu.left + 20, y));
		ASSERT_TRUE(WaitUntil([&] {
			::Window window = fDisplay.WindowNamed("Options");
			return window == 0 || !fDisplay.IsShown(window);
		}));
	}

	// Presses on the title strip, moves by (dx, dy) in steps with the button held, releases.
	bool DragStrip(::Window window, int32 dx, int32 dy)
	{
		BRect frame = fDisplay.ScreenFrame(window);
		int32 x = (int32)frame.left + 100;
		int32 y = (int32)frame.top + 3;
		std::vector<std::string> arguments = {"mousemove", std::to_string(x), std::to_string(y),
			"mousedown", "1"};
		// xdotool takes no negative coordinates; the screen stops the pointer anyway.
		for (int32 step = 1; step <= 4; step++) {
			arguments.insert(arguments.end(),
				{"sleep", "0.05", "mousemove", std::to_string(std::max(0, x + dx * step / 4)),
					std::to_string(std::max(0, y + dy * step / 4))});
		}
		arguments.insert(arguments.end(), {"sleep", "0.05", "mouseup", "1"});
		return fDisplay.Xdotool(arguments);
	}

	TestDisplay fDisplay;
	Pictures* fPictures = nullptr;
};

TEST_F(ZorveDisplayTest, TheIconDocksItsMenuOpensTheSettingsWindowWhichMovesAndSaves)
{
	ASSERT_TRUE(fDisplay.StartWindowManager()) << "openbox";
	ASSERT_TRUE(fDisplay.StartTray());
	ASSERT_EQ("", StartZorve());
	::Window icon = fDisplay.DockedIcon("Zorve");
	ASSERT_NE(0u, icon);
	EXPECT_TRUE(WaitUntil([&] { return PictureOnScreen(icon) == Pictures::kNormal; }));
	// The host's own shelf window leaves the screen to the tray.
	::Window shelf = fDisplay.WindowNamed("Deskbar");
	EXPECT_TRUE(shelf == 0 || WaitUntil([&] { return !fDisplay.IsShown(shelf); }));

	ASSERT_NO_FATAL_FAILURE(Choose(icon, kSettingsRow));
	::Window settings = fDisplay.WaitForShown("Settings");
	ASSERT_NE(0u, settings);
	EXPECT_EQ("Zorve", fDisplay.ClassOf(settings));
	EXPECT_TRUE(WaitUntil([&] { return fDisplay.ScreenFrame(settings) == kStoredFrame; }));
	int32 differences = -1;
	EXPECT_TRUE(WaitUntil([&] {
		return (differences = fDisplay.DifferencesFromHeadless(settings, "Settings")) == 0;
	})) << differences
		<< " pixels differ from the headless rendering";

	// Dragged by its strip, and past the screen's corner: it stops at the edges.
	ASSERT_TRUE(DragStrip(settings, 60, 40));
	BRect moved = kStoredFrame.OffsetByCopy(60, 40);
	EXPECT_TRUE(WaitUntil([&] { return fDisplay.ScreenFrame(settings) == moved; }));
	ASSERT_TRUE(DragStrip(settings, 900, 700));
	BRect clamped = kStoredFrame.OffsetToCopy(kScreen.right - kStoredFrame.Width(),
		kScreen.bottom - kStoredFrame.Height());
	EXPECT_TRUE(WaitUntil([&] { return fDisplay.ScreenFrame(settings) == clamped; }));
	ASSERT_TRUE(DragStrip(settings, -2000, -2000));
	BRect corner = kStoredFrame.OffsetToCopy(0, 0);
	EXPECT_TRUE(WaitUntil([&] { return fDisplay.ScreenFrame(settings) == corner; }));

	// The User page's tab, then its first field, typed into (the window's corner is the
	// screen's); Escape hides the window and saves.
	ASSERT_TRUE(fDisplay.Click(78, 18));
	ASSERT_TRUE(fDisplay.Click(160, 59));
	ASSERT_TRUE(fDisplay.Key("End BackSpace BackSpace BackSpace BackSpace"));
	ASSERT_TRUE(fDisplay.Type("alice"));
	ASSERT_TRUE(fDisplay.Key("Escape"));
	EXPECT_TRUE(WaitUntil([&] { return !fDisplay.IsShown(settings); }));
	EXPECT_TRUE(WaitUntil([&] { return Stored().fUser == "alice"; })) << Stored().fUser.String();

	// Exit: the icon leaves the tray, and the window's last frame is stored.
	ASSERT_NO_FATAL_FAILURE(Choose(icon, -kExitFromBottom));
	EXPECT_TRUE(WaitUntil([&] { return fDisplay.WindowNamed("Zorve") == 0; }));
	EXPECT_TRUE(WaitUntil([&] { return Stored().fSettingsWinPosition == corner; }));
}

TEST_F(ZorveDisplayTest, TheIconShowsTheErrorAfterBadauthAndAnimatesWhileTheServerStalls)
{
	ASSERT_TRUE(fDisplay.StartTray());
	// The answer trickles in over more than two pulses: an exchange that ends between two
	// pulses leaves the picture as it was.
	LoopbackHttpServer::Behaviour behaviour = fBehaviour;
	behaviour.update.status = 401;
	behaviour.update.fault = LoopbackHttpServer::kFaultTrickle;
	behaviour.trickleInterval = 15000;
	fServer.SetBehaviour(behaviour);
	ASSERT_EQ("", StartZorve());
	::Window icon = fDisplay.DockedIcon("Zorve");
	ASSERT_NE(0u, icon);
	ASSERT_TRUE(WaitUntil([&] { return PictureOnScreen(icon) == Pictures::kNormal; }));

	ASSERT_NO_FATAL_FAILURE(Choose(icon, kForceUpdateRow));
	ASSERT_TRUE(fServer.WaitForRequests(1, kWaitTimeout));
	EXPECT_TRUE(WaitUntil([&] { return PictureOnScreen(icon) == Pictures::kError; }))
		<< Pictures::Name(PictureOnScreen(icon));

	// The Deskbar's own pulse turns the frames over on the screen while the reply stalls.
	behaviour.update.status = 200;
	behaviour.update.fault = LoopbackHttpServer::kFaultStall;
	fServer.SetBehaviour(behaviour);
	ASSERT_NO_FATAL_FAILURE(Choose(icon, kForceUpdateRow));
	ASSERT_TRUE(fServer.WaitForRequests(2, kWaitTimeout));
	std::set<Pictures::Picture> seen;
	EXPECT_TRUE(WaitUntil([&] {
		seen.insert(PictureOnScreen(icon));
		return seen.count(Pictures::kPending1) == 1 && seen.count(Pictures::kPending2) == 1
			&& seen.count(Pictures::kPending3) == 1;
	})) << seen.size()
		<< " pictures seen";
}

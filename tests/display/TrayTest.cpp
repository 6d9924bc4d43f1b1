#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DeskbarProtocol.h"
#include "InterfaceTestSupport.h"
#include "DeskbarTesting.h"
#include "TemporaryHome.h"
#include "TestDisplay.h"
#include "XwdImage.h"

namespace {

// The test item's icon window has its name, as its title and its class.
const char* const kItemClass = "test_deskbar_item";
const rgb_color kItemRed = {255, 0, 0, 255};
const int32 kPatternColumn = 5;

} // namespace

// The Deskbar host as a person's desktop runs it, with the test item on its shelf.
class TrayTest : public testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_TRUE(fDisplay.Start()) << fDisplay.Failure();
		setenv("DISPLAY", fDisplay.Name().c_str(), 1);
		fLog = fHome.Path() + "/item.log";
		setenv("TEST_ITEM_LOG", fLog.c_str(), 1);
		setenv("TEST_ITEM_MENU", "1", 1);
		setenv("TEST_ITEM_PATTERN", "1", 1);
	}

	void TearDown() override
	{
		if (fHost.IsRunning()) {
			EXPECT_TRUE(StopDeskbarHost());
		}
		fHost.Stop();
		unsetenv("TEST_ITEM_PATTERN");
		unsetenv("TEST_ITEM_MENU");
		unsetenv("TEST_ITEM_LOG");
		unsetenv("DISPLAY");
	}

	// The Deskbar host, as BDeskbar would start it, answering requests.
	void StartHost()
	{
		ASSERT_TRUE(fHost.Start({DESKBAR_HOST}, {}, fHome.Path() + "/deskbar.log"));
		ASSERT_TRUE(WaitUntil([] { return HostAnswers(); }));
	}

	void AddItem(const std::string& path)
	{
		int status;
		RunControl("add " + path, &status);
		ASSERT_EQ(0, status);
	}

	void StartHostWithItem()
	{
		ASSERT_NO_FATAL_FAILURE(StartHost());
		ASSERT_NO_FATAL_FAILURE(AddItem(TEST_DESKBAR_ITEM));
	}

	void RemoveItem()
	{
		int status;
		RunControl("remove TestItem", &status);
		ASSERT_EQ(0, status);
	}

	bool HasAtom(::Window window, const char* property, const char* atom)
	{
		std::vector<long> atoms = fDisplay.LongProperty(window, property);
		long wanted = (long)XInternAtom(fDisplay.Connection(), atom, False);
		return std::find(atoms.begin(), atoms.end(), wanted) != atoms.end();
	}

	// The shelf on the screen, or in the window manager's list of clients, within a second.
	bool ShelfAppears()
	{
		return WaitUntil(
			[&] {
				::Window shelf = fDisplay.WindowNamed("Deskbar");
				std::vector<std::string> clients = fDisplay.ClientNames();
				return (shelf != 0 && fDisplay.IsShown(shelf))
					|| std::count(clients.begin(), clients.end(), "Deskbar") > 0;
			},
			1000000);
	}

	std::string Log() { return fHome.ReadFile(fLog); }

	bool Logged(const std::string& event)
	{
		return WaitUntil([&] { return Log().find(event + "\n") != std::string::npos; });
	}

	// Pixels of `frame` on the screen that are not the test item's picture enlarged by
	// `scale` and centred, with the margins in its corner's colour.
	int32 PictureMismatches(BRect frame, int32 scale)
	{
		XwdImage screen;
		if (!fDisplay.Grab(&screen))
			return -1;
		int32 width = frame.IntegerWidth() + 1;
		int32 height = frame.IntegerHeight() + 1;
		int32 offsetX = (width - 16 * scale) / 2;
		int32 offsetY = (height - 16 * scale) / 2;
		int32 mismatches = 0;
		for (int32 y = 0; y < height; y++) {
			for (int32 x = 0; x < width; x++) {
				bool line = x >= offsetX + kPatternColumn * scale
					&& x < offsetX + (kPatternColumn + 1) * scale && y >= offsetY
					&& y < offsetY + 16 * scale;
				rgb_color expected = line ? kWhite : kItemRed;
				if (screen.PixelAt((int32)frame.left + x, (int32)frame.top + y) != expected)
					mismatches++;
			}
		}
		return mismatches;
	}

	// Becomes the display's tray with a window at `trayFrame`, starts the host with the item,
	// and puts the item's icon into that window at `iconFrame` (in the tray's coordinates),
	// as a tray would; the icon's window once shown, or 0.
	::Window DockInOwnTray(BRect trayFrame, BRect iconFrame)
	{
		Display* connection = fDisplay.Connection();
		::Window root = DefaultRootWindow(connection);
		::Window tray = XCreateSimpleWindow(connection, root, (int)trayFrame.left,
			(int)trayFrame.top, trayFrame.IntegerWidth() + 1, trayFrame.IntegerHeight() + 1, 0, 0,
			0);
		XMapWindow(connection, tray);
		Atom selection = XInternAtom(connection, "_NET_SYSTEM_TRAY_S0", False);
		Atom opcode = XInternAtom(connection, "_NET_SYSTEM_TRAY_OPCODE", False);
		XSetSelectionOwner(connection, selection, tray, CurrentTime);
		XEvent announce = {};
		announce.xclient.type = ClientMessage;
		announce.xclient.window = root;
		announce.xclient.message_type = XInternAtom(connection, "MANAGER", False);
		announce.xclient.format = 32;
		announce.xclient.data.l[0] = CurrentTime;
		announce.xclient.data.l[1] = selection;
		announce.xclient.data.l[2] = tray;
		XSendEvent(connection, root, False, StructureNotifyMask, &announce);
		XSync(connection, False);

		StartHostWithItem();
		::Window icon = 0;
		if (!WaitUntil([&] {
				XEvent event;
				while (XCheckTypedWindowEvent(connection, tray, ClientMessage, &event)) {
					if (event.xclient.message_type == opcode && event.xclient.data.l[1] == 0)
						icon = (::Window)event.xclient.data.l[2];
				}
				return icon != 0;
			})) {
			return 0;
		}
		XReparentWindow(connection, icon, tray, (int)iconFrame.left, (int)iconFrame.top);
		XResizeWindow(connection, icon, iconFrame.IntegerWidth() + 1,
			iconFrame.IntegerHeight() + 1);
		XMapWindow(connection, icon);
		XSync(connection, False);
		return WaitUntil([&] { return fDisplay.IsShown(icon); }) ? icon : 0;
	}

	TemporaryHome fHome;
	TestDisplay fDisplay;
	ChildProcess fHost;
	std::string fLog;
};

TEST_F(TrayTest, WithoutATrayTheShelfWindowShowsTheItem)
{
	StartHostWithItem();
	::Window shelf = fDisplay.FindWindow("Deskbar");
	ASSERT_NE(0u, shelf);
	EXPECT_TRUE(WaitUntil([&] { return fDisplay.IsShown(shelf); }));
	EXPECT_EQ("Deskbar", fDisplay.ClassOf(shelf));
	// The item's slot, two pixels in from the shelf's corner.
	BRect slot = fDisplay.ScreenFrame(shelf).InsetByCopy(2, 2);
	slot.right = slot.left + 15;
	slot.bottom = slot.top + 15;
	EXPECT_TRUE(WaitUntil([&] { return PictureMismatches(slot, 1) == 0; }));
	::Window icon = fDisplay.WindowOfClass(kItemClass);
	EXPECT_TRUE(icon == 0 || !fDisplay.IsShown(icon));
}

TEST_F(TrayTest, TheScreenShowsTheShelfAsItsHeadlessRendering)
{
	StartHostWithItem();
	::Window shelf = fDisplay.FindWindow("Deskbar");
	ASSERT_NE(0u, shelf);
	ASSERT_TRUE(WaitUntil([&] { return fDisplay.IsShown(shelf); }));
	int32 differences = -1;
	EXPECT_TRUE(WaitUntil([&] {
		return (differences = fDisplay.DifferencesFromHeadless(shelf)) == 0;
	})) << differences
		<< " pixels differ";
}

TEST_F(TrayTest, WithATrayTheItemIsAnIconThereAndTheShelfHides)
{
	ASSERT_TRUE(fDisplay.StartTray());
	StartHostWithItem();
	::Window icon = fDisplay.DockedIcon(kItemClass);
	ASSERT_NE(0u, icon);
	::Window shelf = fDisplay.FindWindow("Deskbar");
	ASSERT_NE(0u, shelf);
	EXPECT_TRUE(WaitUntil([&] { return !fDisplay.IsShown(shelf); }));
	BRect frame = fDisplay.ScreenFrame(icon);
	EXPECT_TRUE(WaitUntil([&] { return PictureMismatches(frame, 1) == 0; }))
		<< PictureMismatches(frame, 1) << " pixels differ in " << frame.Width() + 1 << " x "
		<< frame.Height() + 1;
}

TEST_F(TrayTest, ATrayThatGivesMoreRoomGetsThePictureEnlargedByWholeMultiples)
{
	// A tray manager of the test's own that gives each icon 40 x 40 pixels.
	::Window icon = DockInOwnTray(BRect(600, 700, 699, 749), BRect(30, 5, 69, 44));
	ASSERT_NE(0u, icon);
	EXPECT_EQ("test_deskbar_item", fDisplay.ClassOf(icon));
	BRect frame = fDisplay.ScreenFrame(icon);
	EXPECT_EQ(BRect(630, 705, 669, 744), frame);
	EXPECT_TRUE(WaitUntil([&] { return PictureMismatches(frame, 2) == 0; }))
		<< PictureMismatches(frame, 2) << " pixels differ";
	// Docked, the shelf window goes.
	::Window shelf = fDisplay.FindWindow("Deskbar");
	ASSERT_NE(0u, shelf);
	EXPECT_TRUE(WaitUntil([&] { return !fDisplay.IsShown(shelf); }));
}

TEST_F(TrayTest, AHugeIconWindowGetsThePictureDrawnNoLargerThanSixteenTimes)
{
	// 700 x 600 pixels: the picture is drawn 256 pixels square in the middle, no larger.
	::Window icon = DockInOwnTray(BRect(100, 50, 899, 749), BRect(50, 50, 749, 649));
	ASSERT_NE(0u, icon);
	EXPECT_EQ(BRect(150, 100, 849, 699), fDisplay.ScreenFrame(icon));
	BRect drawn(150 + 222, 100 + 172, 150 + 222 + 255, 100 + 172 + 255);
	EXPECT_TRUE(WaitUntil([&] { return PictureMismatches(drawn, 16) == 0; }))
		<< PictureMismatches(drawn, 16) << " pixels differ";
}

TEST_F(TrayTest, AClickOnTheIconOpensItsMenuBesideItOnTheScreen)
{
	ASSERT_TRUE(fDisplay.StartTray());
	StartHostWithItem();
	::Window icon = fDisplay.DockedIcon(kItemClass);
	ASSERT_NE(0u, icon);
	BRect iconFrame = fDisplay.SettledFrame(icon);
	BPoint centre((iconFrame.left + iconFrame.right) / 2, (iconFrame.top + iconFrame.bottom) / 2);

	auto open = [&] {
		if (!fDisplay.Click((int32)centre.x, (int32)centre.y))
			return (::Window)0;
		return fDisplay.WaitForShown("TestMenu");
	};

	::Window menu = open();
	ASSERT_NE(0u, menu);
	BRect menuFrame = fDisplay.ScreenFrame(menu);
	EXPECT_TRUE(BRect(0, 0, 1023, 767).Contains(menuFrame));
	// Beside the icon, not over it.
	EXPECT_TRUE(menuFrame.InsetByCopy(-2, -2).Intersects(iconFrame));
	EXPECT_FALSE(menuFrame.Intersects(iconFrame))
		<< "menu " << menuFrame.left << "," << menuFrame.top << " to " << menuFrame.right << ","
		<< menuFrame.bottom << ", icon " << iconFrame.left << "," << iconFrame.top << " to "
		<< iconFrame.right << "," << iconFrame.bottom;
	ASSERT_TRUE(fDisplay.Click(100, 100));
	EXPECT_TRUE(Logged("chose nothing"));
	// Until the menu has left the screen, it holds the pointer.
	EXPECT_TRUE(WaitUntil([&] { return !fDisplay.IsShown(menu); }));

	menu = open();
	ASSERT_NE(0u, menu);
	menuFrame = fDisplay.ScreenFrame(menu);
	ASSERT_TRUE(fDisplay.Click((int32)menuFrame.left + 10, (int32)menuFrame.bottom - 5));
	EXPECT_TRUE(Logged("chose Exit"));
	EXPECT_TRUE(Logged("removal asked"));
	EXPECT_TRUE(WaitUntil([&] { return fDisplay.WindowOfClass(kItemClass) == 0; }));
}

TEST_F(TrayTest, TheShelfComesBackWhenTheTrayGoesAndLeavesWhenATrayComes)
{
	ASSERT_TRUE(fDisplay.StartTray());
	StartHostWithItem();
	ASSERT_NE(0u, fDisplay.DockedIcon(kItemClass));
	::Window shelf = fDisplay.FindWindow("Deskbar");
	ASSERT_NE(0u, shelf);
	ASSERT_TRUE(WaitUntil([&] { return !fDisplay.IsShown(shelf); }));

	fDisplay.StopTray();
	EXPECT_TRUE(WaitUntil([&] { return fDisplay.IsShown(shelf); }));
	// No stray icon window is left on the screen.
	EXPECT_TRUE(WaitUntil([&] {
		::Window icon = fDisplay.WindowOfClass(kItemClass);
		return icon == 0 || !fDisplay.IsShown(icon);
	}));

	ASSERT_TRUE(fDisplay.StartTray());
	EXPECT_NE(0u, fDisplay.DockedIcon(kItemClass));
	EXPECT_TRUE(WaitUntil([&] { return !fDisplay.IsShown(shelf); }));
}

TEST_F(TrayTest, TheShelfIsAPanelThatShowsOnlyWhileItHoldsAnItem)
{
	ASSERT_NO_FATAL_FAILURE(StartHost());
	// Started with nothing to show, as at a login with no archived item.
	EXPECT_FALSE(ShelfAppears());

	ASSERT_NO_FATAL_FAILURE(AddItem(TEST_DESKBAR_ITEM));
	::Window shelf = fDisplay.FindWindow("Deskbar");
	ASSERT_NE(0u, shelf);
	EXPECT_TRUE(WaitUntil([&] { return fDisplay.IsShown(shelf); }));
	EXPECT_TRUE(HasAtom(shelf, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DOCK"));
	EXPECT_TRUE(HasAtom(shelf, "_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR"));
	EXPECT_TRUE(HasAtom(shelf, "_NET_WM_STATE", "_NET_WM_STATE_SKIP_PAGER"));

	ASSERT_NO_FATAL_FAILURE(RemoveItem());
	EXPECT_TRUE(WaitUntil([&] { return !fDisplay.IsShown(shelf); }));
}

TEST_F(TrayTest, WithATrayTheShelfNeverReachesTheScreen)
{
	// Every top-level window mapped from now on is reported to this connection.
	Display* connection = fDisplay.Connection();
	XSelectInput(connection, DefaultRootWindow(connection), SubstructureNotifyMask);
	ASSERT_TRUE(fDisplay.StartTray());
	ASSERT_NO_FATAL_FAILURE(StartHostWithItem());
	ASSERT_NE(0u, fDisplay.DockedIcon(kItemClass));
	// The item leaves and comes back: the icon goes and docks again.
	ASSERT_NO_FATAL_FAILURE(RemoveItem());
	ASSERT_TRUE(WaitUntil([&] { return fDisplay.WindowOfClass(kItemClass) == 0; }));
	EXPECT_FALSE(ShelfAppears());
	ASSERT_NO_FATAL_FAILURE(AddItem(TEST_DESKBAR_ITEM));
	ASSERT_NE(0u, fDisplay.DockedIcon(kItemClass));

	::Window shelf = fDisplay.WindowNamed("Deskbar");
	ASSERT_NE(0u, shelf);
	int32 maps = 0;
	XEvent event;
	while (XCheckTypedEvent(connection, MapNotify, &event)) {
		if (event.xmap.window == shelf)
			maps++;
	}
	EXPECT_EQ(0, maps);
}

TEST_F(TrayTest, AHostWhoseDisplayGoesAwayQuitsAndKeepsItsItemForTheNextSession)
{
	ASSERT_TRUE(fDisplay.StartTray());
	ASSERT_NO_FATAL_FAILURE(StartHostWithItem());
	ASSERT_NE(0u, fDisplay.DockedIcon(kItemClass));
	// The person logs out. A host that outlived the session would keep the next one's from
	// starting.
	fDisplay.Stop();
	EXPECT_TRUE(WaitUntil([&] { return !fHost.IsRunning(); }, 10000000));
	EXPECT_TRUE(HostFinished());
	std::string archive = fHome.ReadFile(fHome.SettingsPath() + "/" + BPrivate::kDeskbarItemsFile);
	EXPECT_NE(std::string::npos, archive.find("TestItem"));
}

TEST_F(TrayTest, InAPanelTheIconComesAndGoesAndTheEmptyHostIsNoTask)
{
	ASSERT_TRUE(fDisplay.StartWindowManager()) << "openbox";
	ASSERT_TRUE(fDisplay.StartPanel()) << "tint2";
	ASSERT_NO_FATAL_FAILURE(StartHostWithItem());
	::Window icon = fDisplay.DockedIcon(kItemClass);
	ASSERT_NE(0u, icon);
	EXPECT_FALSE(ShelfAppears());

	ASSERT_NO_FATAL_FAILURE(RemoveItem());
	EXPECT_TRUE(WaitUntil([&] { return fDisplay.WindowOfClass(kItemClass) == 0; }));
	EXPECT_FALSE(ShelfAppears());
}

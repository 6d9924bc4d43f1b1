#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <unistd.h>

#include <Screen.h>
#include <View.h>
#include <Window.h>

#include "InterfaceTestSupport.h"
#include "DisplayTestSupport.h"
#include "XwdImage.h"

namespace {

const char* const kProgramName = "test_display";

// Lines, fills, text and colours: something whose every pixel is worth comparing.
void
DrawScene(BView* view)
{
	view->SetHighColor(255, 255, 255);
	view->FillRect(view->Bounds());
	view->SetHighColor(200, 30, 40);
	view->FillRect(BRect(10, 10, 59, 39));
	view->SetHighColor(20, 90, 200);
	view->StrokeLine(BPoint(0, 0), BPoint(119, 79));
	view->SetHighColor(0, 0, 0);
	view->DrawString("Zorve", BPoint(20, 70));
}

// Waits until the screen shows the window as the window itself last drew it.
bool
ScreenShowsWindow(TestDisplay& display, BWindow* window, XwdImage* screen, int32* mismatches)
{
	BPrivate::WindowPort port(window);
	return WaitUntil([&] {
		*mismatches = 0;
		if (port.Sync() != B_OK || !display.Grab(screen))
			return false;
		BRect frame = window->Frame();
		for (int32 y = 0; y <= frame.IntegerHeight(); y++) {
			for (int32 x = 0; x <= frame.IntegerWidth(); x++) {
				if (screen->PixelAt((int32)frame.left + x, (int32)frame.top + y)
					!= port.PixelAt(x, y)) {
					(*mismatches)++;
				}
			}
		}
		return *mismatches == 0;
	});
}

} // namespace

TEST_F(DisplayTest, AShownWindowAppearsAtItsFrameNamedForItsProgram)
{
	BWindow* window = Keep(
		new BWindow(BRect(100, 120, 299, 219), "Display Test", B_TITLED_WINDOW, B_NOT_RESIZABLE));
	window->Show();
	::Window shown = fDisplay.WaitForShown("Display Test");
	ASSERT_NE(0u, shown);
	EXPECT_EQ(BRect(100, 120, 299, 219), fDisplay.ScreenFrame(shown));
	EXPECT_EQ(kProgramName, fDisplay.ClassOf(shown));
	EXPECT_EQ("Display Test", fDisplay.Utf8Property(shown, "_NET_WM_NAME"));
	EXPECT_EQ(std::vector<long>{getpid()}, fDisplay.LongProperty(shown, "_NET_WM_PID"));
	// A titled window leaves its frame to the window manager.
	EXPECT_TRUE(fDisplay.LongProperty(shown, "_MOTIF_WM_HINTS").empty());
	EXPECT_FALSE(fDisplay.IsOverrideRedirect(shown));

	Locked(window, [&] { window->SetTitle("Renamed"); });
	EXPECT_TRUE(WaitUntil([&] { return fDisplay.WindowNamed("Renamed") == shown; }));
	EXPECT_EQ("Renamed", fDisplay.Utf8Property(shown, "_NET_WM_NAME"));
}

TEST_F(DisplayTest, ABorderlessWindowAsksForNoDecorations)
{
	BWindow* window = Keep(new BWindow(BRect(50, 60, 149, 99), "Borderless",
		B_NO_BORDER_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0));
	window->Show();
	::Window shown = fDisplay.FindWindow("Borderless");
	ASSERT_NE(0u, shown);
	EXPECT_EQ((std::vector<long>{2, 0, 0, 0, 0}), fDisplay.LongProperty(shown, "_MOTIF_WM_HINTS"));
	EXPECT_FALSE(fDisplay.IsOverrideRedirect(shown));
}

TEST_F(DisplayTest, HideShowMoveAndResizeReachTheDisplay)
{
	BWindow* window = Keep(new BWindow(BRect(10, 20, 109, 69), "Mapped", B_NO_BORDER_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, 0));
	window->Show();
	::Window shown = fDisplay.WaitForShown("Mapped");
	ASSERT_NE(0u, shown);

	window->Hide();
	EXPECT_TRUE(WaitUntil([&] { return !fDisplay.IsShown(shown); }));
	Locked(window, [&] {
		window->MoveTo(300, 200);
		window->ResizeTo(149, 79);
	});
	window->Show();
	EXPECT_TRUE(WaitUntil([&] { return fDisplay.IsShown(shown); }));
	EXPECT_TRUE(
		WaitUntil([&] { return fDisplay.ScreenFrame(shown) == BRect(300, 200, 449, 279); }));

	Locked(window, [&] { window->MoveBy(-50, 25); });
	EXPECT_TRUE(
		WaitUntil([&] { return fDisplay.ScreenFrame(shown) == BRect(250, 225, 399, 304); }));
}

TEST_F(DisplayTest, AMoveByTheDisplayReachesFrame)
{
	BWindow* window = Keep(new BWindow(BRect(10, 20, 109, 69), "Moved", B_NO_BORDER_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, 0));
	window->Show();
	::Window shown = fDisplay.WaitForShown("Moved");
	ASSERT_NE(0u, shown);

	// As a window manager would move it.
	XMoveWindow(fDisplay.Connection(), shown, 400, 300);
	XFlush(fDisplay.Connection());
	EXPECT_TRUE(WaitUntil([&] { return window->Frame() == BRect(400, 300, 499, 349); }))
		<< window->Frame().left << "," << window->Frame().top;
}

TEST_F(DisplayTest, AMoveReportedBeforeTheWindowsOwnMoveWasDoneDoesNotOutlastIt)
{
	BWindow* window = Keep(new BWindow(BRect(10, 20, 109, 69), "Reported", B_NO_BORDER_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, 0));
	window->Show();
	::Window shown = fDisplay.WaitForShown("Reported");
	ASSERT_NE(0u, shown);

	// The window asks to move while the server serves only the test, which meanwhile reports
	// the old place, as a window manager answering an earlier request would.
	Display* connection = fDisplay.Connection();
	XGrabServer(connection);
	XSync(connection, False);
	Locked(window, [&] { window->MoveTo(200, 150); });
	snooze(200000);
	XEvent report = {};
	report.xconfigure.type = ConfigureNotify;
	report.xconfigure.event = shown;
	report.xconfigure.window = shown;
	report.xconfigure.x = 10;
	report.xconfigure.y = 20;
	report.xconfigure.width = 100;
	report.xconfigure.height = 50;
	XSendEvent(connection, shown, False, StructureNotifyMask, &report);
	XUngrabServer(connection);
	XSync(connection, False);

	EXPECT_TRUE(
		WaitUntil([&] { return fDisplay.ScreenFrame(shown) == BRect(200, 150, 299, 199); }));
	EXPECT_TRUE(WaitUntil([&] { return window->Frame() == BRect(200, 150, 299, 199); }))
		<< window->Frame().left << "," << window->Frame().top;
}

TEST_F(DisplayTest, FocusGivenByTheDisplayActivatesTheWindow)
{
	BWindow* first = Keep(new BWindow(BRect(10, 20, 109, 69), "First", B_NO_BORDER_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, 0));
	BWindow* second = Keep(new BWindow(BRect(210, 20, 309, 69), "Second", B_NO_BORDER_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, 0));
	first->Show();
	second->Show();
	::Window firstShown = fDisplay.FindWindow("First");
	::Window secondShown = fDisplay.FindWindow("Second");
	ASSERT_NE(0u, firstShown);
	ASSERT_NE(0u, secondShown);
	// The window shown last has the keyboard, on the display too.
	EXPECT_TRUE(WaitUntil([&] { return fDisplay.Focus() == secondShown; }));
	EXPECT_TRUE(WaitUntil([&] { return second->IsActive() && !first->IsActive(); }));

	XSetInputFocus(fDisplay.Connection(), firstShown, RevertToPointerRoot, CurrentTime);
	XFlush(fDisplay.Connection());
	EXPECT_TRUE(WaitUntil([&] { return first->IsActive() && !second->IsActive(); }));
}

TEST_F(DisplayTest, TheScreenShowsTheWindowsOwnPixels)
{
	BWindow* window = Keep(new BWindow(BRect(200, 150, 319, 229), "Pixels", B_NO_BORDER_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, 0));
	Locked(window, [&] { window->AddChild(new DrawingView(window->Bounds(), DrawScene)); });
	window->Show();
	ASSERT_NE(0u, fDisplay.FindWindow("Pixels"));
	XwdImage screen;
	int32 mismatches = 0;
	EXPECT_TRUE(ScreenShowsWindow(fDisplay, window, &screen, &mismatches))
		<< mismatches << " pixels differ";
	// Not a blank window that happens to match: the scene's red block is there.
	EXPECT_EQ(Color(200, 30, 40), screen.PixelAt(200 + 15, 150 + 35));
}

TEST_F(DisplayTest, OnlyTheRedrawnPartTravelsAndExposuresAreRepaired)
{
	BWindow* window = Keep(new BWindow(BRect(100, 100, 219, 179), "Damage", B_NO_BORDER_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, 0));
	BView* small = new DrawingView(BRect(40, 30, 49, 39), [](BView* view) {
		view->SetHighColor(0, 160, 0);
		view->FillRect(view->Bounds());
	});
	Locked(window, [&] {
		window->AddChild(new DrawingView(window->Bounds(), DrawScene));
		window->AddChild(small);
	});
	window->Show();
	::Window shown = fDisplay.FindWindow("Damage");
	ASSERT_NE(0u, shown);
	XwdImage screen;
	int32 mismatches = 0;
	ASSERT_TRUE(ScreenShowsWindow(fDisplay, window, &screen, &mismatches));

	// Another client paints the whole window black; a redraw of the small view brings back
	// that view only.
	Display* connection = fDisplay.Connection();
	GC gc = XCreateGC(connection, shown, 0, NULL);
	XSetForeground(connection, gc, 0);
	XFillRectangle(connection, shown, gc, 0, 0, 120, 80);
	XSync(connection, False);
	XFreeGC(connection, gc);
	ASSERT_EQ(B_OK, BPrivate::WindowPort::Redraw(small));
	EXPECT_TRUE(WaitUntil(
		[&] { return fDisplay.Grab(&screen) && screen.PixelAt(145, 135) == Color(0, 160, 0); }));
	EXPECT_EQ(kBlack, screen.PixelAt(100 + 30, 100 + 20));
	EXPECT_EQ(kBlack, screen.PixelAt(100 + 39, 100 + 35));

	// A window of another client covering it for a while: what it hid comes back without the
	// kit drawing anything.
	uint32 updates = BPrivate::WindowPort(window).UpdateCount();
	::Window cover = XCreateSimpleWindow(connection, DefaultRootWindow(connection), 90, 90, 200,
		120, 0, 0, 0);
	XSetWindowAttributes attributes;
	attributes.override_redirect = True;
	XChangeWindowAttributes(connection, cover, CWOverrideRedirect, &attributes);
	XMapWindow(connection, cover);
	XSync(connection, False);
	XDestroyWindow(connection, cover);
	XSync(connection, False);
	EXPECT_TRUE(ScreenShowsWindow(fDisplay, window, &screen, &mismatches))
		<< mismatches << " pixels differ";
	EXPECT_EQ(updates, BPrivate::WindowPort(window).UpdateCount());
}

TEST(DisplayScreenTest, TheScreenIsAsLargeAsTheDisplay)
{
	TemporaryHome home;
	TestDisplay display(800, 600);
	ASSERT_TRUE(display.Start()) << display.Failure();
	setenv("DISPLAY", display.Name().c_str(), 1);
	EXPECT_EQ(BRect(0, 0, 799, 599), BScreen().Frame());
	unsetenv("DISPLAY");
}

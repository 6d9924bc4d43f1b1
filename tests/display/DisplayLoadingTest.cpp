#include <gtest/gtest.h>

#include <stdio.h>

#include <fstream>
#include <sstream>
#include <string>

#include <Looper.h>
#include <Message.h>
#include <Window.h>

#include "DeskbarTesting.h"
#include "DisplayTestSupport.h"

namespace {

bool
Loaded(const char* library)
{
	std::ifstream maps("/proc/self/maps");
	std::stringstream text;
	text << maps.rdbuf();
	return text.str().find(library) != std::string::npos;
}

} // namespace

// This test program uses Xlib itself: the backend module is what it watches.
TEST_F(DisplayTest, TheBackendIsLoadedOnlyWhenAWindowShows)
{
	BWindow* window = Keep(new BWindow(BRect(10, 10, 49, 49), "Lean", B_NO_BORDER_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, 0));
	BMessage message('test');
	message.AddString("text", "a message is no reason to load Xlib");
	EXPECT_FALSE(Loaded("libbe_x11.so"));

	window->Show();
	EXPECT_TRUE(Loaded("libbe_x11.so"));
	EXPECT_NE(0u, fDisplay.FindWindow("Lean"));
}

TEST_F(DisplayTest, AOneShotToolNeverLoadsXlib)
{
	// The dynamic loader lists every library it opens.
	int status;
	std::string output = RunCommand(std::string("LD_DEBUG=files ") + ZORVE_PREFS + " 2>&1",
		&status);
	EXPECT_NE(std::string::npos, output.find("libbe.so")) << output;
	EXPECT_EQ(std::string::npos, output.find("libX11")) << output;
}

TEST(DisplayHeadlessTest, WithoutAReachableDisplayWindowsStayHeadless)
{
	TemporaryHome home;
	// Nothing listens there.
	setenv("DISPLAY", ":64999", 1);
	BWindow* window = new BWindow(BRect(10, 10, 49, 49), "Headless", B_NO_BORDER_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, 0);
	window->Show();
	BPrivate::WindowPort port(window);
	EXPECT_EQ(B_OK, port.Sync());
	EXPECT_EQ(1u, port.UpdateCount());
	EXPECT_FALSE(Loaded("libbe_x11.so"));
	window->Lock();
	window->Quit();
	unsetenv("DISPLAY");
}

TEST_F(DisplayTest, AProgramWhoseDisplayGoesAwayCarriesOnHeadless)
{
	BWindow* window = Keep(new BWindow(BRect(10, 10, 49, 49), "Orphan", B_NO_BORDER_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, 0));
	window->Show();
	ASSERT_NE(0u, fDisplay.FindWindow("Orphan"));
	fDisplay.Stop();

	// Xlib would have ended the process; the window goes on drawing for itself.
	BPrivate::WindowPort port(window);
	uint32 updates = port.UpdateCount();
	Locked(window, [&] { window->MoveTo(100, 100); });
	EXPECT_EQ(B_OK, port.Redraw());
	EXPECT_GT(port.UpdateCount(), updates);
	EXPECT_EQ(BRect(100, 100, 139, 139), window->Frame());
	window->Hide();
	window->Show();
	EXPECT_EQ(B_OK, port.Sync());
}

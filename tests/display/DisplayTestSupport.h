/*
 * The display tests' fixture: a private home and a display of the test's own, which this
 * process's windows show on (the kit finds it through DISPLAY when a window first shows).
 */
#ifndef DISPLAY_TEST_SUPPORT_H
#define DISPLAY_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <stdlib.h>

#include <functional>
#include <string>
#include <vector>

#include <Window.h>

#include "MenuPrivate.h"
#include "TemporaryHome.h"
#include "TestDisplay.h"
#include "WindowPort.h"

class DisplayTest : public testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_TRUE(fDisplay.Start()) << fDisplay.Failure();
		setenv("DISPLAY", fDisplay.Name().c_str(), 1);
	}

	void TearDown() override
	{
		// A menu a failed test left open would hold its opener's window.
		for (int32 attempt = 0; attempt < 10; attempt++) {
			BWindow* menu = BPrivate::open_menu_window();
			if (menu == NULL)
				break;
			BPrivate::WindowPort(menu).KeyDown("\x1b");
		}
		// Windows go before their display does.
		for (BWindow* window : fWindows) {
			if (window->Lock())
				window->Quit();
		}
		fWindows.clear();
		unsetenv("DISPLAY");
	}

	// A window quit at the end of the test.
	BWindow* Keep(BWindow* window)
	{
		fWindows.push_back(window);
		return window;
	}

	// The display's window of that title once it shows and has the focus, 0 if it does not
	// in time: a click that came before the focus would only activate the window, as a
	// person's first click on an inactive window does.
	::Window WaitForActive(BWindow* window, const std::string& title)
	{
		::Window shown = fDisplay.WaitForShown(title);
		if (shown == 0
			|| !WaitUntil([&] { return fDisplay.Focus() == shown && window->IsActive(); }))
			return 0;
		return shown;
	}

	void Locked(BWindow* window, std::function<void()> work)
	{
		ASSERT_TRUE(window->Lock());
		work();
		window->Unlock();
	}

	TemporaryHome fHome;
	TestDisplay fDisplay;
	std::vector<BWindow*> fWindows;
};

#endif // DISPLAY_TEST_SUPPORT_H

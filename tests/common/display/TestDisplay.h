/*
 * A display of a test's own: Xvfb on a free display number, with optional tray (trayer) and
 * window manager (openbox), and the means to look at it as a person would:
 * find a window by name with a time-out, read its place and properties, click and type with
 * xdotool, grab the screen with xwd and hold it against the Deskbar host's headless rendering.
 * Everything started is stopped by the destructor; every
 * wait is bounded.
 */
#ifndef TEST_DISPLAY_H
#define TEST_DISPLAY_H

#include <X11/Xlib.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <OS.h>
#include <Rect.h>

#include "ChildProcess.h"
#include "WaitUntil.h"

class XwdImage;

class TestDisplay {
public:
	TestDisplay(int32 width = 1024, int32 height = 768);
	~TestDisplay();

	// Starts Xvfb and connects to it; false (with the reason in Failure()) if it cannot.
	bool Start();
	// Ends the display, as a person's session ends.
	void Stop();
	const std::string& Name() const { return fName; }
	std::string Environment() const { return "DISPLAY=" + fName; }
	const std::string& Failure() const { return fFailure; }
	Display* Connection() const { return fConnection; }

	// openbox (one of the test packages); false when it cannot start.
	bool StartWindowManager();
	// A tray along the bottom edge, `height` pixels high.
	bool StartTray(int32 height = 24);
	// A panel along the bottom edge with a task list and a tray (tint2, which lists the
	// tasks a window manager reports); in place of the tray above.
	bool StartPanel();
	void StopTray();
	// The tray's manager window, 0 while none runs.
	::Window TrayManager();

	// Windows, searched through the whole tree by WM_NAME or by WM_CLASS instance name;
	// 0 when none appears in time.
	::Window FindWindow(const std::string& name, bigtime_t timeout = kWaitTimeout);
	::Window FindWindowOfClass(const std::string& instance, bigtime_t timeout = kWaitTimeout);
	// The same without waiting; 0 when there is none.
	::Window WindowNamed(const std::string& name);
	::Window WindowOfClass(const std::string& instance);
	// The window of that name once it shows; 0 when none does in time.
	::Window WaitForShown(const std::string& name);
	// A tray's icon (a window named and classed after its item), once the tray has taken it
	// in and shows it; 0 when none does in time.
	::Window DockedIcon(const std::string& name);
	bool IsShown(::Window window);
	// The window that has the keyboard.
	::Window Focus();
	// The window's inside on the screen.
	BRect ScreenFrame(::Window window);
	// The frame once it has stayed the same for a while: a tray lays a docked icon out in
	// steps, and a click aimed at an earlier place misses it.
	BRect SettledFrame(::Window window);
	::Window Parent(::Window window);
	// The windows the window manager lists as clients (what task lists show), by name.
	std::vector<std::string> ClientNames();
	bool IsOverrideRedirect(::Window window);
	std::string ClassOf(::Window window);
	std::string Utf8Property(::Window window, const char* name);
	std::vector<long> LongProperty(::Window window, const char* name);

	// Gives the keyboard layout keys for these characters (keysyms), on keys that have none:
	// xdotool types other characters by remapping a key for a moment, which a busy client
	// may read after the mapping has changed again.
	bool AddKeys(const std::vector<unsigned long>& keysyms);
	// Input through the XTEST extension, as a person's mouse and keyboard.
	bool Xdotool(const std::vector<std::string>& arguments);
	bool Click(int32 x, int32 y, int32 button = 1);
	bool Type(const std::string& text);
	// Key names as xdotool knows them, separated by spaces ("Left Left Delete").
	bool Key(const std::string& keys);

	bool Grab(XwdImage* image);
	// The screen's pixels in `rect`, row by row, four bytes (RGBA) each; read straight from
	// the display, far faster than a grab, so that pictures shown for a moment are seen.
	bool ReadPixels(BRect rect, std::vector<uint8>* rgba);
	// How many pixels of `window` on the screen differ from the Deskbar host's headless
	// rendering of its window of that title (the shelf when NULL); -1 when either cannot be
	// had or their sizes differ.
	int32 DifferencesFromHeadless(::Window window, const char* title = NULL);
	// Saves part of a grab as PNG (for people to look at).
	static bool SavePNG(const XwdImage& image, BRect rect, const std::string& path,
		int32 scale = 1);

private:
	// Hands the property's data to `take` when it has items of that format (8 or 32 bits),
	// at most `length` 32-bit units of it.
	void _ReadProperty(::Window window, const char* name, int wantedFormat, long length,
		const std::function<void(unsigned char*, unsigned long)>& take);
	::Window _Search(::Window parent, const std::function<bool(::Window)>& matches);

	int32 fWidth;
	int32 fHeight;
	std::string fName;
	std::string fFailure;
	std::string fDirectory;
	ChildProcess fServer;
	ChildProcess fTray;
	ChildProcess fWindowManager;
	Display* fConnection;
};

#endif // TEST_DISPLAY_H

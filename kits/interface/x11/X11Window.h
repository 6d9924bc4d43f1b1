/*
 * Part of the X11 display backend (Xlib): one BWindow as a real window. The window's pixels
 * are kept in a server-side pixmap of its size, so that exposures are repaired without the
 * kit; only what the kit redrew travels. Lives on the backend's event thread.
 */
#ifndef X11_WINDOW_H
#define X11_WINDOW_H

#include <X11/Xlib.h>

#include <deque>
#include <string>

#include <Rect.h>
#include <SupportDefs.h>

class BWindow;
struct X11Context;

// What the display needs to know of a window, taken on the window's thread.
struct X11WindowSpec {
	BRect frame;
	std::string title;
	// WM_CLASS: the program or add-on the window belongs to.
	std::string instanceName;
	std::string className;
	bool borderless = false;
	bool menu = false;
	bool floating = false;
	bool takesFocus = true;
	// A panel of status pictures (the Deskbar's shelf): kept out of task lists and pagers.
	bool dock = false;
};

class X11Window {
public:
	X11Window(X11Context& context, BWindow* owner, const X11WindowSpec& spec);
	~X11Window();

	BWindow* Owner() const { return fOwner; }
	::Window XWindow() const { return fWindow; }
	bool IsMenu() const { return fSpec.menu; }
	BRect Frame() const { return fSpec.frame; }

	// Shown by the kit; `allowed` lets a tray keep a shown window off the screen.
	void SetShown(bool shown);
	void SetAllowed(bool allowed);
	void SetFrame(BRect frame);
	void SetTitle(const std::string& title);
	// Asks for the keyboard focus: from the window manager when there is one (which gives a
	// window it maps the focus itself), else directly.
	void Activate();
	// The focus came (at the server time given): a press on the window no later than that
	// made the window manager give it, and is the click that activated the window.
	void Focused(Time when);
	bool TakeActivatingPress(Time pressed);

	void Draw(const uint8* bits, int32 bytesPerRow, int32 x, int32 y, int32 width, int32 height);
	void Repaint(int32 x, int32 y, int32 width, int32 height);

	// Events about this window. A ConfigureNotify returns true with the position when the
	// display moved the window on its own (not as this side asked).
	bool Configured(const XConfigureEvent& event, BPoint* where);
	void Mapped();
	void Unmapped();
	void Reparented(::Window parent);

private:
	void _UpdateMapping();
	// Names the window and its program (WM_CLASS, title, process, machine, protocols).
	void _SetIdentity();
	// What a window manager reads: focus, size, decorations, type and state.
	void _SetManagerHints();
	void _SetSizeHints();
	void _Grab();

	X11Context& fContext;
	BWindow* fOwner;
	X11WindowSpec fSpec;
	::Window fWindow;
	::Window fParent;
	Pixmap fPixmap;
	GC fGC;
	bool fShown;
	bool fAllowed;
	bool fMapped;
	bool fFocusWanted;
	bool fGrabbed;
	bool fMapWanted;
	Time fFocusTime;
	// Positions asked for and not yet confirmed by a ConfigureNotify.
	std::deque<BPoint> fRequested;
};

#endif // X11_WINDOW_H

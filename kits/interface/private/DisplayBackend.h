/*
 * Private to the interface kit: the seam between the kit and a display backend module.
 * The kit calls a backend from the thread that changes a window, usually with the window
 * locked; a backend never blocks there and never locks a window. It hands input and
 * changes made by the display back through BPrivate::WindowPort and DisplayLink.
 */
#ifndef _DISPLAY_BACKEND_H
#define _DISPLAY_BACKEND_H

#include <vector>

#include <Rect.h>

class BRegion;
class BView;
class BWindow;

namespace BPrivate {

class DisplayBackend {
public:
	virtual ~DisplayBackend() {}

	virtual BRect ScreenFrame() = 0;

	// Called with the window locked.
	virtual void WindowShown(BWindow* window) = 0;
	virtual void WindowHidden(BWindow* window) = 0;
	virtual void WindowFrameChanged(BWindow* window, BRect frame) = 0;
	// Asks the display for the keyboard focus; true when the display shows the window and
	// will report the focus back (DisplayLink::ActivatedFromDisplay), false when it cannot.
	virtual bool RequestActivation(BWindow* window) = 0;
	virtual void WindowTitleChanged(BWindow* window, const char* title) = 0;
	// What the window has just drawn: `bits` are its B_RGB32 pixels, `region` the part of
	// them that changed.
	virtual void WindowDrawn(BWindow* window, const uint8* bits, int32 width, int32 height,
		const BRegion& region)
		= 0;
	// From the window's destructor; the backend forgets the window.
	virtual void WindowDeleted(BWindow* window) = 0;

	// These views of the window, a 16 x 16 status picture each, become icons in the
	// desktop's system tray whenever one runs; the window itself shows only while no icon is
	// docked. An empty list gives the window back its own place on the screen.
	virtual void SetTrayItems(BWindow* window, const std::vector<BView*>& items) = 0;

	// At exit: stops the backend's threads; every later call is ignored.
	virtual void Shutdown() = 0;
};

// The module's entry point: a connected backend, or NULL when no display can be reached.
typedef DisplayBackend* (*create_display_backend_func)();
#define DISPLAY_BACKEND_ENTRY "create_display_backend"

} // namespace BPrivate

#endif // _DISPLAY_BACKEND_H

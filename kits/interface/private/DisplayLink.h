/*
 * Private to the interface kit and its hosts: the kit's side of the display. Headless until
 * a window is shown or the screen is asked about while DISPLAY names a display that answers;
 * then every window is also a real window there. BWindow reports its changes through the
 * Window* calls; a backend reports the display's changes through the *FromDisplay calls.
 */
#ifndef _DISPLAY_LINK_H
#define _DISPLAY_LINK_H

#include <vector>

#include <Point.h>
#include <Rect.h>
#include <SupportDefs.h>

class BLooper;
class BRegion;
class BView;
class BWindow;

namespace BPrivate {

class DisplayBackend;

class DisplayLink {
public:
	// Loads the backend once per process if a display is reachable; NULL when headless.
	static DisplayBackend* Backend();
	// The backend if it is loaded already; never loads it.
	static DisplayBackend* LoadedBackend();
	// From BWindow.
	static void WindowShown(BWindow* window);
	static void WindowHidden(BWindow* window);
	static void WindowFrameChanged(BWindow* window);
	// Asks the display to give the window the keyboard focus; false when the kit decides
	// alone (headless, or the display does not show the window).
	static bool RequestActivation(BWindow* window);
	static void WindowTitleChanged(BWindow* window);
	static void WindowDrawn(BWindow* window, const uint8* bits, int32 width, int32 height,
		const BRegion& region);
	static void WindowDeleted(BWindow* window);

	// From a host that keeps status pictures (the Deskbar's shelf).
	static void SetTrayItems(BWindow* window, const std::vector<BView*>& items);
	// From a host: `what` is posted to `target` once the display the program shows on has
	// gone away (at once if it has gone already); a NULL target asks no more.
	static void WatchDisplayLoss(BLooper* target, uint32 what);

	// For the kit: the offset from a view's window coordinates to the screen's where the
	// view, or the view it lies in, shows in a tray; false while it shows in its window.
	static bool DockedOffset(const BView* view, BPoint* offset);
	// The icon in a tray that shows at this point of the screen; invalid where there is none.
	static BRect DockedFrameAt(BPoint where);

	// From a backend, on its own thread: the display moved the window, or gave it the
	// focus or took it away (queued behind the window's input), or asks it to close. The
	// window must be held (WindowHold).
	static void FrameMovedFromDisplay(BWindow* window, BPoint where);
	static void ActivatedFromDisplay(BWindow* window, bool active);
	static void CloseRequestedFromDisplay(BWindow* window);
	// From a backend, on its own thread: a tray item (see SetTrayItems) shows as the icon
	// `frame` on the screen, where `offset` turns its window's coordinates into the screen's;
	// an invalid frame when it is back in its window.
	static void DockedItemPlaced(BView* item, BPoint offset, BRect frame);
	// From a backend, once, when it has noticed that the display has gone.
	static void DisplayLost();
	// Focus changes are numbered in the order the display made them. Each window applies its
	// own from its queue, on its own thread, so a change can come after a later one to another
	// window: it is stale then, and dropped.
	static int64 NumberFocusChange();
	// On the window's thread: the display's focus change, applied without asking the
	// display again, unless a later one came first.
	static void ApplyFocusChange(BWindow* window, bool active, int64 number);
};

} // namespace BPrivate

#endif // _DISPLAY_LINK_H

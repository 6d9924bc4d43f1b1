/*
 * Private to the kits and their hosts: the seam between a window and whatever shows it.
 * Through it a host (a display backend, the Deskbar host, a test) reads a window's pixels,
 * saves them as PNG, and feeds the window pointer and keyboard input, pulses and redraws.
 * Every call that delivers something returns once the window has handled it and drawn
 * what it invalidated.
 */
#ifndef _WINDOW_PORT_H
#define _WINDOW_PORT_H

#include <GraphicsDefs.h>
#include <Rect.h>

class BMessage;
class BView;
class BWindow;

namespace BPrivate {

class WindowPort {
public:
	enum coordinate_space {
		kWindowCoordinates,
		kScreenCoordinates
	};

	enum delivery {
		kWaitUntilHandled,
		// Queue and return at once: for a display's event thread, which must never wait
		// for a window (one may be waiting in a menu for the display's next event).
		kQueueOnly
	};

	explicit WindowPort(BWindow* window, delivery mode = kWaitUntilHandled);

	BWindow* Window() const { return fWindow; }

	// A pixel of the window as last drawn, in window coordinates; transparent black
	// outside the window.
	rgb_color PixelAt(int32 x, int32 y) const;
	rgb_color PixelAt(BPoint point) const;
	status_t SaveAsPNG(const char* path) const;
	// Part of the window, in window coordinates, clipped to the window.
	status_t SaveAsPNG(const char* path, BRect windowRect) const;
	// The whole window, each pixel enlarged to a `scale` x `scale` square.
	status_t SaveAsPNG(const char* path, int32 scale) const;
	// Part of a view, in the view's coordinates, as its window shows it.
	static status_t SaveViewAsPNG(BView* view, const char* path, BRect viewRect);
	static status_t SaveViewAsPNG(BView* view, const char* path);

	// Finished redraws so far; each Invalidate leads to at least one more.
	uint32 UpdateCount() const;

	// Waits until every message queued before this call is handled and drawn.
	status_t Sync();
	// One B_PULSE now, delivered to every view with B_PULSE_NEEDED.
	status_t Pulse();
	// Invalidates the whole window, or one view, and waits for the redraw.
	status_t Redraw();
	static status_t Redraw(BView* view);

	// Pointer and keyboard input, as a display would deliver it.
	status_t MouseMoved(BPoint where, uint32 buttons, coordinate_space space = kWindowCoordinates);
	// `activating`: the press made a window manager give the window the focus before it
	// arrived; it counts as the click that activates the window, which is active by now.
	status_t MouseDown(BPoint where, uint32 buttons, int32 clicks = 1,
		coordinate_space space = kWindowCoordinates, bool activating = false);
	status_t MouseUp(BPoint where, uint32 buttons = 0, coordinate_space space = kWindowCoordinates);
	status_t KeyDown(const char* bytes, uint32 modifiers = 0, int32 key = 0);
	status_t KeyUp(const char* bytes, uint32 modifiers = 0, int32 key = 0);
	// The display gave the window the keyboard focus or took it away; handled in order
	// with the input around it.
	status_t FocusChanged(bool focused);

private:
	status_t _Deliver(BMessage* message);
	status_t _SavePixels(const char* path, BRect windowRect, int32 scale = 1) const;

	BWindow* fWindow;
	delivery fDelivery;
};

} // namespace BPrivate

#endif // _WINDOW_PORT_H

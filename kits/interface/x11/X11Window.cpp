/*
 * Part of the X11 display backend (Xlib): a window of the kit as a top-level X window, with
 * the hints that give it its look (Motif hints for borderless windows, override-redirect
 * for menus), its names and its pixmap. It does not let the window manager resize it.
 */
#include "X11Window.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include <OS.h>

#include "X11Context.h"
#include "X11Image.h"

namespace {

const size_t kMaxRequested = 32;
const int kGrabAttempts = 100;
const bigtime_t kGrabRetryDelay = 2000;

struct MotifHints {
	unsigned long flags;
	unsigned long functions;
	unsigned long decorations;
	long inputMode;
	unsigned long status;
};

const unsigned long kMotifHintsDecorations = 2;

int32
WidthOf(BRect frame)
{
	return std::max((int32)1, frame.IntegerWidth() + 1);
}

int32
HeightOf(BRect frame)
{
	return std::max((int32)1, frame.IntegerHeight() + 1);
}

} // namespace

X11Window::X11Window(X11Context& context, BWindow* owner, const X11WindowSpec& spec) :
	fContext(context),
	fOwner(owner),
	fSpec(spec),
	fWindow(0),
	fParent(context.root),
	fPixmap(0),
	fGC(0),
	fShown(false),
	fAllowed(true),
	fMapped(false),
	fFocusWanted(false),
	fGrabbed(false),
	fMapWanted(false),
	fFocusTime(CurrentTime)
{
	Display* display = context.display;
	XSetWindowAttributes attributes;
	memset(&attributes, 0, sizeof(attributes));
	attributes.override_redirect = spec.menu ? True : False;
	attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask
		| KeyPressMask | KeyReleaseMask | FocusChangeMask | StructureNotifyMask
		| PropertyChangeMask;
	attributes.bit_gravity = NorthWestGravity;
	attributes.background_pixmap = None;
	attributes.border_pixel = 0;
	int32 width = WidthOf(spec.frame);
	int32 height = HeightOf(spec.frame);
	fWindow = XCreateWindow(display, context.root, (int)spec.frame.left, (int)spec.frame.top, width,
		height, 0, context.depth, InputOutput, context.visual,
		CWOverrideRedirect | CWEventMask | CWBitGravity | CWBackPixmap | CWBorderPixel,
		&attributes);
	_SetIdentity();
	_SetManagerHints();

	fPixmap = XCreatePixmap(display, fWindow, width, height, context.depth);
	fGC = XCreateGC(display, fWindow, 0, NULL);
	XSetGraphicsExposures(display, fGC, False);
	XSetForeground(display, fGC, 0xd8d8d8);
	XFillRectangle(display, fPixmap, fGC, 0, 0, width, height);
}

X11Window::~X11Window()
{
	Display* display = fContext.display;
	if (fGrabbed) {
		XUngrabPointer(display, CurrentTime);
		XUngrabKeyboard(display, CurrentTime);
	}
	XFreeGC(display, fGC);
	XFreePixmap(display, fPixmap);
	XDestroyWindow(display, fWindow);
}

void
X11Window::SetShown(bool shown)
{
	fShown = shown;
	if (!shown)
		fFocusWanted = false;
	_UpdateMapping();
}

void
X11Window::SetAllowed(bool allowed)
{
	fAllowed = allowed;
	_UpdateMapping();
}

void
X11Window::SetFrame(BRect frame)
{
	Display* display = fContext.display;
	BRect old = fSpec.frame;
	fSpec.frame = frame;
	if (frame.LeftTop() != old.LeftTop()) {
		XMoveWindow(display, fWindow, (int)frame.left, (int)frame.top);
		fRequested.push_back(frame.LeftTop());
		if (fRequested.size() > kMaxRequested)
			fRequested.pop_front();
	}
	if (WidthOf(frame) != WidthOf(old) || HeightOf(frame) != HeightOf(old)) {
		_SetSizeHints();
		XResizeWindow(display, fWindow, WidthOf(frame), HeightOf(frame));
		// The kit redraws the whole window after a resize.
		XFreePixmap(display, fPixmap);
		fPixmap = XCreatePixmap(display, fWindow, WidthOf(frame), HeightOf(frame), fContext.depth);
		XFillRectangle(display, fPixmap, fGC, 0, 0, WidthOf(frame), HeightOf(frame));
	}
}

void
X11Window::SetTitle(const std::string& title)
{
	Display* display = fContext.display;
	fSpec.title = title;
	XStoreName(display, fWindow, title.c_str());
	XChangeProperty(display, fWindow, fContext[kNetWmName], fContext[kUtf8String], 8,
		PropModeReplace, (const unsigned char*)title.c_str(), title.size());
}

void
X11Window::Activate()
{
	if (!fMapped) {
		fFocusWanted = fShown;
		return;
	}
	fFocusWanted = false;
	Display* display = fContext.display;
	if (fContext.hasWindowManager) {
		// From an application (1), as a click would ask.
		fContext.SendMessage(fContext.root, fWindow, kNetActiveWindow,
			SubstructureRedirectMask | SubstructureNotifyMask, {1, CurrentTime});
	} else {
		XRaiseWindow(display, fWindow);
		XSetInputFocus(display, fWindow, RevertToPointerRoot, CurrentTime);
	}
}

void
X11Window::Focused(Time when)
{
	fFocusTime = when;
}

bool
X11Window::TakeActivatingPress(Time pressed)
{
	// Only the first press after the focus came can be the one that brought it; server
	// times are milliseconds that wrap around.
	bool activating = fFocusTime != CurrentTime && (int32)(pressed - fFocusTime) <= 0;
	fFocusTime = CurrentTime;
	return activating;
}

void
X11Window::Draw(const uint8* bits, int32 bytesPerRow, int32 x, int32 y, int32 width, int32 height)
{
	X11Image::Put(fContext, fPixmap, fGC, bits, bytesPerRow, width, height, x, y);
	if (fMapped)
		XCopyArea(fContext.display, fPixmap, fWindow, fGC, x, y, width, height, x, y);
}

void
X11Window::Repaint(int32 x, int32 y, int32 width, int32 height)
{
	XCopyArea(fContext.display, fPixmap, fWindow, fGC, x, y, width, height, x, y);
}

bool
X11Window::Configured(const XConfigureEvent& event, BPoint* where)
{
	if (event.window != fWindow)
		return false;
	BPoint position(event.x, event.y);
	if (!event.send_event && fParent != fContext.root) {
		int x;
		int y;
		::Window child;
		if (!XTranslateCoordinates(fContext.display, fWindow, fContext.root, 0, 0, &x, &y,
				&child)) {
			return false;
		}
		position.Set(x, y);
	}
	auto requested = std::find(fRequested.begin(), fRequested.end(), position);
	if (requested != fRequested.end()) {
		fRequested.erase(fRequested.begin(), requested + 1);
		// Our own move, done: news only when the display reported another place since it was
		// asked for (a window manager telling where the window stood before), and no later
		// move is on its way.
		if (!fRequested.empty() || position == fSpec.frame.LeftTop())
			return false;
	}
	if (position == fSpec.frame.LeftTop())
		return false;
	fSpec.frame.OffsetTo(position);
	*where = position;
	return true;
}

void
X11Window::Mapped()
{
	fMapped = true;
	Repaint(0, 0, WidthOf(fSpec.frame), HeightOf(fSpec.frame));
	if (fSpec.menu)
		_Grab();
	// A window manager focuses the windows it maps as it sees fit; asking it again would
	// only bring back the focus of windows shown earlier.
	if (fFocusWanted && !fContext.hasWindowManager)
		Activate();
	fFocusWanted = false;
}

void
X11Window::Unmapped()
{
	fMapped = false;
	if (fGrabbed) {
		XUngrabPointer(fContext.display, CurrentTime);
		XUngrabKeyboard(fContext.display, CurrentTime);
		fGrabbed = false;
	}
}

void
X11Window::Reparented(::Window parent)
{
	fParent = parent;
}

void
X11Window::_UpdateMapping()
{
	Display* display = fContext.display;
	bool wanted = fShown && fAllowed;
	// Withdrawing a window that was never mapped would tell a window manager to forget the
	// map that follows.
	if (wanted == fMapWanted)
		return;
	fMapWanted = wanted;
	if (wanted) {
		// A window manager places a window anew each time it maps.
		XMoveWindow(display, fWindow, (int)fSpec.frame.left, (int)fSpec.frame.top);
		_SetSizeHints();
		XMapRaised(display, fWindow);
	} else if (fSpec.menu) {
		XUnmapWindow(display, fWindow);
	} else {
		XWithdrawWindow(display, fWindow, fContext.screen);
	}
}

void
X11Window::_SetIdentity()
{
	Display* display = fContext.display;
	XClassHint classHint;
	classHint.res_name = (char*)fSpec.instanceName.c_str();
	classHint.res_class = (char*)fSpec.className.c_str();
	XSetClassHint(display, fWindow, &classHint);
	SetTitle(fSpec.title);
	long pid = getpid();
	XChangeProperty(display, fWindow, fContext[kNetWmPid], XA_CARDINAL, 32, PropModeReplace,
		(unsigned char*)&pid, 1);
	char host[256] = "";
	gethostname(host, sizeof(host) - 1);
	XChangeProperty(display, fWindow, fContext[kWmClientMachine], XA_STRING, 8, PropModeReplace,
		(unsigned char*)host, strlen(host));
	Atom protocols[] = {fContext[kWmDeleteWindow], fContext[kNetWmPing]};
	XSetWMProtocols(display, fWindow, protocols, 2);
}

void
X11Window::_SetManagerHints()
{
	Display* display = fContext.display;
	XWMHints wmHints;
	memset(&wmHints, 0, sizeof(wmHints));
	wmHints.flags = InputHint | StateHint;
	wmHints.input = fSpec.takesFocus ? True : False;
	wmHints.initial_state = NormalState;
	XSetWMHints(display, fWindow, &wmHints);
	_SetSizeHints();
	if (fSpec.borderless && !fSpec.menu) {
		MotifHints motif = {kMotifHintsDecorations, 0, 0, 0, 0};
		XChangeProperty(display, fWindow, fContext[kMotifWmHints], fContext[kMotifWmHints], 32,
			PropModeReplace, (unsigned char*)&motif, 5);
	}
	Atom type = fSpec.menu ? fContext[kNetWmWindowTypePopupMenu]
		: fSpec.dock       ? fContext[kNetWmWindowTypeDock]
						   : fContext[kNetWmWindowTypeNormal];
	XChangeProperty(display, fWindow, fContext[kNetWmWindowType], XA_ATOM, 32, PropModeReplace,
		(unsigned char*)&type, 1);
	std::vector<Atom> states;
	if (fSpec.floating)
		states.push_back(fContext[kNetWmStateAbove]);
	if (fSpec.dock)
		states.insert(states.end(),
			{fContext[kNetWmStateSkipTaskbar], fContext[kNetWmStateSkipPager]});
	if (!states.empty()) {
		XChangeProperty(display, fWindow, fContext[kNetWmState], XA_ATOM, 32, PropModeReplace,
			(unsigned char*)states.data(), states.size());
	}
}

void
X11Window::_SetSizeHints()
{
	XSizeHints* hints = XAllocSizeHints();
	if (hints == NULL)
		return;
	hints->flags = USPosition | PPosition | PMinSize | PMaxSize | PWinGravity;
	hints->x = (int)fSpec.frame.left;
	hints->y = (int)fSpec.frame.top;
	hints->min_width = hints->max_width = WidthOf(fSpec.frame);
	hints->min_height = hints->max_height = HeightOf(fSpec.frame);
	// The frame of a BWindow is its content: decorations go around it.
	hints->win_gravity = StaticGravity;
	XSetWMNormalHints(fContext.display, fWindow, hints);
	XFree(hints);
}

void
X11Window::_Grab()
{
	Display* display = fContext.display;
	// The click that opened the menu may still hold the pointer for a moment.
	for (int attempt = 0; attempt < kGrabAttempts; attempt++) {
		int result = XGrabPointer(display, fWindow, False,
			ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync, GrabModeAsync,
			None, None, CurrentTime);
		if (result == GrabSuccess) {
			fGrabbed = true;
			break;
		}
		snooze(kGrabRetryDelay);
	}
	if (fGrabbed)
		XGrabKeyboard(display, fWindow, False, GrabModeAsync, GrabModeAsync, CurrentTime);
}

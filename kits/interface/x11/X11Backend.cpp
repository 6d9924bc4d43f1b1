/*
 * Part of the X11 display backend (Xlib): the connection, its event thread and the queue of
 * the kit's requests. It wraps XOpenDisplay and the event loop, one handler per kind of event;
 * when the display goes away the program carries on headless. It handles no selections or
 * drag and drop.
 */
#include "X11Backend.h"

#include <X11/Xatom.h>
#include <X11/Xproto.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <array>
#include <utility>

#include <Region.h>
#include <View.h>
#include <Window.h>

#include "DisplayLink.h"
#include "Handshake.h"
#include "InterfacePrivate.h"
#include "MenuWindow.h"
#include "WindowHold.h"
#include "WindowPort.h"
#include "X11Keyboard.h"
#include "X11Tray.h"
#include "X11Window.h"

using BPrivate::DisplayLink;
using BPrivate::Handshake;
using BPrivate::WindowHold;
using BPrivate::WindowPort;

namespace {

// Presses of one button this close together count as one multiple click.
const Time kClickInterval = 400;

// A window of another client (a tray, a window manager's frame) may vanish, or one of ours
// be unmapped by it, between a request and its arrival.
bool
CausedByVanishedWindow(const XErrorEvent& error)
{
	switch (error.error_code) {
		case BadWindow:
		case BadDrawable:
			return true;
		case BadMatch:
			return error.request_code == X_SetInputFocus || error.request_code == X_ConfigureWindow;
		default:
			return false;
	}
}

int
LogError(Display* display, XErrorEvent* error)
{
	if (CausedByVanishedWindow(*error))
		return 0;
	// Each kind once. The handler is the process's, with no place of its own for the list.
	static std::mutex sLock;
	static std::set<std::pair<int, int>> sLogged;
	std::lock_guard<std::mutex> guard(sLock);
	if (!sLogged.insert({error->error_code, error->request_code}).second)
		return 0;
	char text[128] = "";
	XGetErrorText(display, error->error_code, text, sizeof(text));
	fprintf(stderr, "X11: %s (error %d) from request %d.%d; the next ones like it go unreported\n",
		text, error->error_code, error->request_code, error->minor_code);
	return 0;
}

int
ReturnFromIOError(Display* /*display*/)
{
	// The exit handler set for the connection takes it from here.
	return 0;
}

std::string
FileNameOf(const char* path)
{
	std::string name = path != NULL ? path : "";
	size_t slash = name.rfind('/');
	if (slash != std::string::npos)
		name = name.substr(slash + 1);
	return name;
}

// The program or add-on that defines the object's class, by the image its virtual table
// lies in: an add-on's windows inside the Deskbar are named for the add-on. Classes of the
// kit itself belong to the program.
std::string
ImageNameFor(const void* object)
{
	Dl_info kit;
	Dl_info image;
	std::string name;
	if (dladdr((void*)&BPrivate::set_main_screen_frame, &kit) != 0
		&& dladdr(*(void* const*)object, &image) != 0 && image.dli_fname != NULL
		&& strcmp(image.dli_fname, kit.dli_fname) != 0) {
		name = FileNameOf(image.dli_fname);
	}
	if (name.empty())
		name = FileNameOf(program_invocation_short_name);
	if (name.compare(0, 3, "lib") == 0 && name.find(".so") != std::string::npos)
		name = name.substr(3);
	size_t suffix = name.find(".so");
	if (suffix != std::string::npos)
		name = name.substr(0, suffix);
	return name;
}

uint32
ButtonsFor(unsigned int state)
{
	uint32 buttons = 0;
	if ((state & Button1Mask) != 0)
		buttons |= B_PRIMARY_MOUSE_BUTTON;
	if ((state & Button3Mask) != 0)
		buttons |= B_SECONDARY_MOUSE_BUTTON;
	if ((state & Button2Mask) != 0)
		buttons |= B_TERTIARY_MOUSE_BUTTON;
	return buttons;
}

uint32
ButtonFor(unsigned int button)
{
	switch (button) {
		case Button1:
			return B_PRIMARY_MOUSE_BUTTON;
		case Button2:
			return B_TERTIARY_MOUSE_BUTTON;
		case Button3:
			return B_SECONDARY_MOUSE_BUTTON;
		default:
			return 0;
	}
}

// A pointer event, whichever kind it is.
struct Pointer {
	int type;
	::Window window;
	int x;
	int y;
	int rootX;
	int rootY;
	unsigned int state;
	Time time;
	// The kit's buttons held after the event.
	uint32 buttons;
};

Pointer
PointerFrom(const XEvent& event)
{
	if (event.type == MotionNotify) {
		const XMotionEvent& motion = event.xmotion;
		return {MotionNotify, motion.window, motion.x, motion.y, motion.x_root, motion.y_root,
			motion.state, motion.time, ButtonsFor(motion.state)};
	}
	const XButtonEvent& button = event.xbutton;
	uint32 held = ButtonsFor(button.state);
	uint32 changed = ButtonFor(button.button);
	return {button.type, button.window, button.x, button.y, button.x_root, button.y_root,
		button.state, button.time, button.type == ButtonPress ? held | changed : held & ~changed};
}

// Only the latest position matters, up to the next other event: a move is never taken from
// behind a press or a release.
void
SkipToLatestMotion(Display* display, XEvent& event)
{
	XEvent next;
	while (XEventsQueued(display, QueuedAfterReading) > 0) {
		XPeekEvent(display, &next);
		if (next.type != MotionNotify || next.xmotion.window != event.xmotion.window)
			break;
		XNextEvent(display, &event);
	}
}

} // namespace

extern "C" BPrivate::DisplayBackend*
create_display_backend()
{
	return X11Backend::Create();
}

X11Backend*
X11Backend::Create()
{
	X11Backend* backend = new X11Backend;
	if (!backend->_Start()) {
		delete backend;
		return NULL;
	}
	return backend;
}

X11Backend::X11Backend() :
	fStopped(false),
	fLost(false),
	fLastClickTime(0),
	fLastClickButton(0),
	fClicks(0)
{
	fWakePipe[0] = -1;
	fWakePipe[1] = -1;
}

bool
X11Backend::_Start()
{
	if (pipe2(fWakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
		return false;
	// Everything Xlib is done on this one thread, from the connection on.
	auto connected = std::make_shared<Handshake<bool>>();
	fThread = std::thread([this, connected] {
		pthread_setname_np(pthread_self(), "x11 events");
		// A display that went away makes writes to it fail with EPIPE rather than end the
		// process: the signal is this thread's own, and it never takes it.
		sigset_t pipe;
		sigemptyset(&pipe);
		sigaddset(&pipe, SIGPIPE);
		pthread_sigmask(SIG_BLOCK, &pipe, NULL);
		XSetErrorHandler(LogError);
		XSetIOErrorHandler(ReturnFromIOError);
		Display* display = XOpenDisplay(NULL);
		if (display != NULL)
			_Connect(display);
		connected->Finish(display != NULL);
		if (display != NULL)
			_Run();
	});
	bool running = false;
	connected->Wait(B_INFINITE_TIMEOUT, &running);
	if (running)
		return true;
	fThread.join();
	return false;
}

void
X11Backend::_Connect(Display* display)
{
	fContext.display = display;
	// Xlib would end the process when the display goes away.
	XSetIOErrorExitHandler(display, _DisplayLost, this);
	fContext.screen = DefaultScreen(display);
	fContext.root = RootWindow(display, fContext.screen);
	fContext.visual = DefaultVisual(display, fContext.screen);
	fContext.depth = DefaultDepth(display, fContext.screen);
	fContext.InternAtoms();
	fContext.CheckWindowManager();
	{
		std::lock_guard<std::mutex> guard(fLock);
		fScreenFrame.Set(0, 0, DisplayWidth(display, fContext.screen) - 1,
			DisplayHeight(display, fContext.screen) - 1);
	}
	// The root's properties tell when a window manager comes or goes.
	XSelectInput(display, fContext.root, StructureNotifyMask | PropertyChangeMask);

	fKeyboard.reset(new X11Keyboard(display));
	fTray.reset(new X11Tray(fContext, [this](BWindow* window) { _DockingChanged(window); }));
	fTray->FindManager();
	XFlush(display);
}

X11Backend::~X11Backend()
{
	Shutdown();
	for (int fd : fWakePipe) {
		if (fd >= 0)
			close(fd);
	}
}

BRect
X11Backend::ScreenFrame()
{
	std::lock_guard<std::mutex> guard(fLock);
	return fScreenFrame;
}

void
X11Backend::WindowShown(BWindow* window)
{
	X11WindowSpec spec;
	spec.frame = window->Frame();
	spec.title = window->Title();
	spec.instanceName = ImageNameFor(window);
	spec.className = spec.instanceName;
	spec.borderless = window->Look() == B_NO_BORDER_WINDOW_LOOK
		|| window->Look() == B_BORDERED_WINDOW_LOOK;
	spec.menu = dynamic_cast<BPrivate::MenuWindow*>(window) != NULL;
	spec.floating = window->IsFloating();
	spec.takesFocus = (window->Flags() & B_AVOID_FOCUS) == 0;
	{
		std::lock_guard<std::mutex> guard(fLock);
		fShown.insert(window);
	}
	_Queue([this, window, spec] {
		X11Window* shown = _Find(window);
		if (shown == NULL) {
			X11WindowSpec created = spec;
			created.dock = fTray->HasItems(window);
			shown = new X11Window(fContext, window, created);
			fWindows[window].reset(shown);
		}
		shown->SetAllowed(_MayShow(window));
		shown->SetShown(true);
	});
}

void
X11Backend::WindowHidden(BWindow* window)
{
	{
		std::lock_guard<std::mutex> guard(fLock);
		fShown.erase(window);
	}
	_Queue([this, window] {
		if (X11Window* hidden = _Find(window))
			hidden->SetShown(false);
	});
}

void
X11Backend::WindowFrameChanged(BWindow* window, BRect frame)
{
	_Queue([this, window, frame] {
		if (X11Window* changed = _Find(window))
			changed->SetFrame(frame);
	});
}

bool
X11Backend::RequestActivation(BWindow* window)
{
	{
		std::lock_guard<std::mutex> guard(fLock);
		if (fStopped || fLost || fShown.count(window) == 0)
			return false;
	}
	_Queue([this, window] {
		if (X11Window* activated = _Find(window))
			activated->Activate();
	});
	return true;
}

void
X11Backend::WindowTitleChanged(BWindow* window, const char* title)
{
	std::string copy = title != NULL ? title : "";
	_Queue([this, window, copy] {
		if (X11Window* titled = _Find(window))
			titled->SetTitle(copy);
	});
}

void
X11Backend::WindowDrawn(BWindow* window, const uint8* bits, int32 width, int32 height,
	const BRegion& region)
{
	for (int32 i = 0; i < region.CountRects(); i++) {
		clipping_rect rect = region.RectAtInt(i);
		rect.left = std::max(rect.left, (int32)0);
		rect.top = std::max(rect.top, (int32)0);
		rect.right = std::min(rect.right, width - 1);
		rect.bottom = std::min(rect.bottom, height - 1);
		if (rect.left > rect.right || rect.top > rect.bottom)
			continue;
		int32 rectWidth = rect.right - rect.left + 1;
		int32 rectHeight = rect.bottom - rect.top + 1;
		std::shared_ptr<std::vector<uint8>> copy(
			new std::vector<uint8>((size_t)rectWidth * rectHeight * 4));
		for (int32 y = 0; y < rectHeight; y++) {
			memcpy(copy->data() + (size_t)y * rectWidth * 4,
				bits + ((size_t)(rect.top + y) * width + rect.left) * 4, (size_t)rectWidth * 4);
		}
		_Queue([this, window, rect, copy, width, height, rectWidth, rectHeight] {
			if (X11Window* drawn = _Find(window)) {
				drawn->Draw(copy->data(), rectWidth * 4, rect.left, rect.top, rectWidth,
					rectHeight);
			}
			fTray->Drawn(window, width, height, copy->data(), rectWidth * 4, rect);
		});
	}
}

void
X11Backend::WindowDeleted(BWindow* window)
{
	_Queue([this, window] {
		auto found = fWindows.find(window);
		if (found != fWindows.end()) {
			fKeyboard->WindowDestroyed(found->second->XWindow());
			fWindows.erase(found);
		}
		fTray->RemoveWindow(window);
	});
	std::lock_guard<std::mutex> guard(fLock);
	fShown.erase(window);
}

void
X11Backend::SetTrayItems(BWindow* window, const std::vector<BView*>& views)
{
	std::vector<X11TrayItem> items;
	for (BView* view : views) {
		if (view->Window() != window)
			continue;
		// The picture's place in the window, wherever the screen shows it.
		BRect rect = view->Frame();
		for (BView* parent = view->Parent(); parent != NULL; parent = parent->Parent())
			parent->ConvertToParent(&rect);
		items.push_back({view, rect, ImageNameFor(view)});
	}
	_Queue([this, window, items] {
		fTray->SetItems(window, items);
		_DockingChanged(window);
	});
}

void
X11Backend::Shutdown()
{
	{
		std::lock_guard<std::mutex> guard(fLock);
		fStopped = true;
	}
	if (fWakePipe[1] >= 0)
		(void)!write(fWakePipe[1], "q", 1);
	// The thread may have ended already, when the display went away.
	if (fThread.joinable() && fThread.get_id() != std::this_thread::get_id())
		fThread.join();
}

void
X11Backend::_DisplayLost(Display* /*display*/, void* backend)
{
	static_cast<X11Backend*>(backend)->fLost = true;
}

void
X11Backend::_Queue(Task task)
{
	{
		std::lock_guard<std::mutex> guard(fLock);
		if (fStopped)
			return;
		fTasks.push_back(std::move(task));
	}
	if (fWakePipe[1] >= 0)
		(void)!write(fWakePipe[1], "t", 1);
}

void
X11Backend::_Run()
{
	Display* display = fContext.display;
	while (true) {
		_RunTasks();
		{
			std::lock_guard<std::mutex> guard(fLock);
			if (fStopped || fLost)
				break;
		}
		while (!fLost && XPending(display) > 0) {
			XEvent event;
			XNextEvent(display, &event);
			_HandleEvent(event);
		}
		if (fLost)
			break;
		XFlush(display);
		{
			std::lock_guard<std::mutex> guard(fLock);
			if (!fTasks.empty())
				continue;
		}
		struct pollfd descriptors[2] = {{ConnectionNumber(display), POLLIN, 0},
			{fWakePipe[0], POLLIN, 0}};
		if (poll(descriptors, fWakePipe[0] >= 0 ? 2 : 1, -1) < 0 && errno != EINTR)
			break;
		if ((descriptors[1].revents & POLLIN) != 0) {
			char drained[64];
			while (read(fWakePipe[0], drained, sizeof(drained)) > 0) {
			}
		}
	}
	{
		std::lock_guard<std::mutex> guard(fLock);
		fStopped = true;
		fTasks.clear();
	}
	if (fLost)
		DisplayLink::DisplayLost();
	else
		XFlush(display);
}

void
X11Backend::_RunTasks()
{
	std::deque<Task> tasks;
	{
		std::lock_guard<std::mutex> guard(fLock);
		tasks.swap(fTasks);
	}
	for (Task& task : tasks) {
		if (fLost)
			break;
		task();
	}
}

void
X11Backend::_HandleEvent(XEvent& event)
{
	static const std::array<EventHandler, LASTEvent> kHandlers = [] {
		std::array<EventHandler, LASTEvent> handlers{};
		handlers[Expose] = &X11Backend::_Exposed;
		handlers[ConfigureNotify] = &X11Backend::_Configured;
		handlers[MapNotify] = &X11Backend::_Mapped;
		handlers[UnmapNotify] = &X11Backend::_Unmapped;
		handlers[ReparentNotify] = &X11Backend::_Reparented;
		handlers[ButtonPress] = &X11Backend::_HandlePointer;
		handlers[ButtonRelease] = &X11Backend::_HandlePointer;
		handlers[MotionNotify] = &X11Backend::_HandlePointer;
		handlers[KeyPress] = &X11Backend::_HandleKey;
		handlers[KeyRelease] = &X11Backend::_HandleKey;
		handlers[MappingNotify] = &X11Backend::_KeyboardMapped;
		handlers[FocusIn] = &X11Backend::_FocusChanged;
		handlers[FocusOut] = &X11Backend::_FocusChanged;
		handlers[ClientMessage] = &X11Backend::_ClientMessage;
		handlers[PropertyNotify] = &X11Backend::_PropertyChanged;
		return handlers;
	}();
	if (fTray->HandleEvent(event))
		return;
	if (event.type >= 0 && event.type < LASTEvent && kHandlers[event.type] != NULL)
		(this->*kHandlers[event.type])(event);
}

void
X11Backend::_Exposed(XEvent& event)
{
	const XExposeEvent& expose = event.xexpose;
	if (X11Window* window = _Find(expose.window))
		window->Repaint(expose.x, expose.y, expose.width, expose.height);
}

void
X11Backend::_Configured(XEvent& event)
{
	const XConfigureEvent& configure = event.xconfigure;
	if (configure.window == fContext.root) {
		_ScreenResized(configure.width, configure.height);
		return;
	}
	X11Window* window = _Find(configure.window);
	BPoint where;
	if (window == NULL || !window->Configured(configure, &where))
		return;
	WindowHold hold(window->Owner());
	if (hold)
		DisplayLink::FrameMovedFromDisplay(hold.Window(), where);
}

void
X11Backend::_Mapped(XEvent& event)
{
	if (X11Window* window = _Find(event.xmap.window))
		window->Mapped();
}

void
X11Backend::_Unmapped(XEvent& event)
{
	if (X11Window* window = _Find(event.xunmap.window))
		window->Unmapped();
}

void
X11Backend::_Reparented(XEvent& event)
{
	if (X11Window* window = _Find(event.xreparent.window))
		window->Reparented(event.xreparent.parent);
}

void
X11Backend::_HandlePointer(XEvent& event)
{
	if (event.type == MotionNotify)
		SkipToLatestMotion(fContext.display, event);
	// Wheels and extra buttons are not passed on.
	else if (ButtonFor(event.xbutton.button) == 0)
		return;
	Pointer pointer = PointerFrom(event);
	if (pointer.type == ButtonPress)
		_CountClick(event.xbutton.button, pointer.time);

	BWindow* target;
	BPoint where;
	WindowPort::coordinate_space space;
	bool activating = false;
	X11Tray::Hit hit;
	if (fTray->HitFor(pointer.window, pointer.x, pointer.y, pointer.rootX, pointer.rootY, &hit)) {
		target = hit.window;
		where = hit.where;
		space = WindowPort::kWindowCoordinates;
	} else if (X11Window* window = _Find(pointer.window)) {
		target = window->Owner();
		if (pointer.type == ButtonPress)
			activating = window->TakeActivatingPress(pointer.time);
		// Screen coordinates: right even while the window is moving under the pointer.
		where.Set(pointer.rootX, pointer.rootY);
		space = WindowPort::kScreenCoordinates;
	} else {
		return;
	}
	WindowHold hold(target);
	if (!hold)
		return;
	BPrivate::set_modifiers(X11Keyboard::ModifiersFor(pointer.state));
	WindowPort port(target, WindowPort::kQueueOnly);
	if (pointer.type == ButtonPress)
		port.MouseDown(where, pointer.buttons, fClicks, space, activating);
	else if (pointer.type == ButtonRelease)
		port.MouseUp(where, pointer.buttons, space);
	else
		port.MouseMoved(where, pointer.buttons, space);
}

void
X11Backend::_HandleKey(XEvent& event)
{
	X11Window* window = _Find(event.xkey.window);
	if (window == NULL)
		return;
	std::string bytes = fKeyboard->BytesFor(event.xkey);
	if (bytes.empty())
		return;
	WindowHold hold(window->Owner());
	if (!hold)
		return;
	WindowPort port(hold.Window(), WindowPort::kQueueOnly);
	uint32 modifiers = X11Keyboard::ModifiersFor(event.xkey.state);
	if (event.type == KeyPress)
		port.KeyDown(bytes.c_str(), modifiers, (int32)event.xkey.keycode);
	else
		port.KeyUp(bytes.c_str(), modifiers, (int32)event.xkey.keycode);
}

void
X11Backend::_KeyboardMapped(XEvent& event)
{
	// A new keyboard layout, or a key a program has just given a new character.
	XRefreshKeyboardMapping(&event.xmapping);
}

void
X11Backend::_FocusChanged(XEvent& event)
{
	// Grabs (an open menu) and the pointer's wanderings are no change of the active window.
	const XFocusChangeEvent& focus = event.xfocus;
	if (focus.mode == NotifyGrab || focus.mode == NotifyUngrab || focus.detail == NotifyPointer
		|| focus.detail == NotifyInferior) {
		return;
	}
	X11Window* window = _Find(focus.window);
	if (window == NULL || window->IsMenu())
		return;
	WindowHold hold(window->Owner());
	if (!hold)
		return;
	if (focus.type == FocusIn)
		window->Focused(_ServerTime(window->XWindow()));
	DisplayLink::ActivatedFromDisplay(hold.Window(), focus.type == FocusIn);
}

void
X11Backend::_ClientMessage(XEvent& event)
{
	if (event.xclient.message_type != fContext[kWmProtocols])
		return;
	Atom protocol = (Atom)event.xclient.data.l[0];
	if (protocol == fContext[kNetWmPing]) {
		event.xclient.window = fContext.root;
		XSendEvent(fContext.display, fContext.root, False,
			SubstructureNotifyMask | SubstructureRedirectMask, &event);
	} else if (protocol == fContext[kWmDeleteWindow]) {
		X11Window* window = _Find(event.xclient.window);
		WindowHold hold(window != NULL ? window->Owner() : NULL);
		if (hold)
			DisplayLink::CloseRequestedFromDisplay(hold.Window());
	}
}

void
X11Backend::_PropertyChanged(XEvent& event)
{
	const XPropertyEvent& property = event.xproperty;
	if (property.window == fContext.root && property.atom == fContext[kNetSupportingWmCheck])
		fContext.CheckWindowManager();
}

void
X11Backend::_ScreenResized(int width, int height)
{
	BRect frame(0, 0, width - 1, height - 1);
	{
		std::lock_guard<std::mutex> guard(fLock);
		fScreenFrame = frame;
	}
	BPrivate::set_main_screen_frame(frame);
}

void
X11Backend::_CountClick(unsigned int button, Time time)
{
	if (button == fLastClickButton && time - fLastClickTime < kClickInterval)
		fClicks++;
	else
		fClicks = 1;
	fLastClickButton = button;
	fLastClickTime = time;
}

void
X11Backend::_DockingChanged(BWindow* window)
{
	if (X11Window* shown = _Find(window))
		shown->SetAllowed(_MayShow(window));
}

bool
X11Backend::_MayShow(BWindow* window) const
{
	// A window whose pictures are icons stays off the screen while a tray runs, whether or
	// not it has taken them in yet.
	return !fTray->HasItems(window) || !fTray->HasManager();
}

namespace {

struct TimestampOf {
	::Window window;
	Atom property;
};

Bool
IsTimestampOf(Display* /*display*/, XEvent* event, XPointer argument)
{
	const TimestampOf* wanted = (const TimestampOf*)argument;
	return event->type == PropertyNotify && event->xproperty.window == wanted->window
		&& event->xproperty.atom == wanted->property;
}

} // namespace

Time
X11Backend::_ServerTime(::Window window)
{
	// Focus events carry no time: appending nothing to a property of the window's own
	// answers with one, taken after everything the server has done so far.
	Display* display = fContext.display;
	XChangeProperty(display, window, fContext[kBeTimestamp], XA_INTEGER, 8, PropModeAppend, NULL,
		0);
	XSync(display, False);
	TimestampOf wanted = {window, fContext[kBeTimestamp]};
	XEvent event;
	if (!XCheckIfEvent(display, &event, IsTimestampOf, (XPointer)&wanted))
		return CurrentTime;
	return event.xproperty.time;
}

X11Window*
X11Backend::_Find(BWindow* window)
{
	auto found = fWindows.find(window);
	return found != fWindows.end() ? found->second.get() : NULL;
}

X11Window*
X11Backend::_Find(::Window window)
{
	for (auto& entry : fWindows) {
		if (entry.second->XWindow() == window)
			return entry.second.get();
	}
	return NULL;
}

/*
 * Part of the X11 display backend (Xlib): the connection, its event thread and the queue of
 * the kit's requests. It wraps XOpenDisplay and the event loop; it does not survive the loss
 * of the display (Xlib ends the process then) and handles no selections or drag and drop.
 */
#include "X11Backend.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <string.h>
#include <unistd.h>

#include <future>

#include <Region.h>
#include <View.h>
#include <Window.h>

#include "DisplayLink.h"
#include "InterfacePrivate.h"
#include "MenuWindow.h"
#include "WindowList.h"
#include "WindowPort.h"
#include "X11Keyboard.h"
#include "X11Tray.h"
#include "X11Window.h"

using BPrivate::DisplayLink;
using BPrivate::WindowList;
using BPrivate::WindowPort;

namespace {

// Presses of one button this close together count as one multiple click.
const Time kClickInterval = 400;
// A menu shown this soon after a click on a tray icon is that icon's menu.
const bigtime_t kIconMenuDelay = 2000000;

int
IgnoreErrors(Display* /*display*/, XErrorEvent* /*error*/)
{
	// A tray or a window of another client may vanish between two requests.
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
	fClicks(0),
	fClickedIconTime(0)
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
	std::promise<bool> connected;
	std::future<bool> result = connected.get_future();
	fThread = std::thread([this, &connected] {
		pthread_setname_np(pthread_self(), "x11 events");
		// A display that went away makes writes to it fail with EPIPE rather than end the
		// process: the signal is this thread's own, and it never takes it.
		sigset_t pipe;
		sigemptyset(&pipe);
		sigaddset(&pipe, SIGPIPE);
		pthread_sigmask(SIG_BLOCK, &pipe, NULL);
		XSetErrorHandler(IgnoreErrors);
		XSetIOErrorHandler(ReturnFromIOError);
		Display* display = XOpenDisplay(NULL);
		if (display != NULL)
			_Connect(display);
		connected.set_value(display != NULL);
		if (display != NULL)
			_Run();
	});
	if (result.get())
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
	{
		std::lock_guard<std::mutex> guard(fLock);
		fScreenFrame.Set(0, 0, DisplayWidth(display, fContext.screen) - 1,
			DisplayHeight(display, fContext.screen) - 1);
	}
	XSelectInput(display, fContext.root, StructureNotifyMask);

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
		if (shown->IsMenu())
			_PlaceBesideClickedIcon(shown);
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
		X11Window* activated = _Find(window);
		if (activated == NULL)
			return;
		Atom type;
		int format;
		unsigned long count;
		unsigned long remaining;
		unsigned char* data = NULL;
		fContext.hasWindowManager = XGetWindowProperty(fContext.display, fContext.root,
										fContext.netSupportingWmCheck, 0, 1, False, XA_WINDOW,
										&type, &format, &count, &remaining, &data)
				== Success
			&& count == 1;
		if (data != NULL)
			XFree(data);
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
		BRect rect = view->Bounds();
		view->ConvertToScreen(&rect);
		window->ConvertFromScreen(&rect);
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
	std::lock_guard<std::mutex> guard(fLock);
	fStopped = true;
	fTasks.clear();
	if (!fLost)
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
	if (fTray->HandleEvent(event))
		return;
	switch (event.type) {
		case Expose:
			if (X11Window* window = _Find(event.xexpose.window)) {
				window->Repaint(event.xexpose.x, event.xexpose.y, event.xexpose.width,
					event.xexpose.height);
			}
			break;
		case ConfigureNotify:
		{
			if (event.xconfigure.window == fContext.root) {
				BRect frame(0, 0, event.xconfigure.width - 1, event.xconfigure.height - 1);
				{
					std::lock_guard<std::mutex> guard(fLock);
					fScreenFrame = frame;
				}
				BPrivate::set_main_screen_frame(frame);
				break;
			}
			X11Window* window = _Find(event.xconfigure.window);
			BPoint where;
			if (window != NULL && window->Configured(event.xconfigure, &where)
				&& WindowList::Acquire(window->Owner())) {
				DisplayLink::FrameMovedFromDisplay(window->Owner(), where);
				WindowList::Release(window->Owner());
			}
			break;
		}
		case MapNotify:
			if (X11Window* window = _Find(event.xmap.window))
				window->Mapped();
			break;
		case UnmapNotify:
			if (X11Window* window = _Find(event.xunmap.window))
				window->Unmapped();
			break;
		case ReparentNotify:
			if (X11Window* window = _Find(event.xreparent.window))
				window->Reparented(event.xreparent.parent);
			break;
		case ButtonPress:
		case ButtonRelease:
		case MotionNotify:
			_HandlePointer(event);
			break;
		case KeyPress:
		case KeyRelease:
			_HandleKey(event);
			break;
		case MappingNotify:
			// A new keyboard layout, or a key a program has just given a new character.
			XRefreshKeyboardMapping(&event.xmapping);
			break;
		case FocusIn:
		case FocusOut:
		{
			// Grabs (an open menu) and the pointer's wanderings are no change of the
			// active window.
			const XFocusChangeEvent& focus = event.xfocus;
			if (focus.mode == NotifyGrab || focus.mode == NotifyUngrab
				|| focus.detail == NotifyPointer || focus.detail == NotifyInferior) {
				break;
			}
			X11Window* window = _Find(focus.window);
			if (window == NULL || window->IsMenu() || !WindowList::Acquire(window->Owner()))
				break;
			if (event.type == FocusIn)
				window->Focused(_ServerTime(window->XWindow()));
			DisplayLink::ActivatedFromDisplay(window->Owner(), event.type == FocusIn);
			WindowList::Release(window->Owner());
			break;
		}
		case ClientMessage:
		{
			if (event.xclient.message_type != fContext.wmProtocols)
				break;
			Atom protocol = (Atom)event.xclient.data.l[0];
			if (protocol == fContext.netWmPing) {
				event.xclient.window = fContext.root;
				XSendEvent(fContext.display, fContext.root, False,
					SubstructureNotifyMask | SubstructureRedirectMask, &event);
			} else if (protocol == fContext.wmDeleteWindow) {
				X11Window* window = _Find(event.xclient.window);
				if (window != NULL && WindowList::Acquire(window->Owner())) {
					DisplayLink::CloseRequestedFromDisplay(window->Owner());
					WindowList::Release(window->Owner());
				}
			}
			break;
		}
		default:
			break;
	}
}

void
X11Backend::_HandlePointer(XEvent& event)
{
	::Window source = event.xany.window;
	if (event.type == MotionNotify) {
		// Only the latest position matters, up to the next other event: a move is never
		// taken from behind a press or a release.
		Display* display = fContext.display;
		XEvent next;
		while (XEventsQueued(display, QueuedAfterReading) > 0) {
			XPeekEvent(display, &next);
			if (next.type != MotionNotify || next.xmotion.window != source)
				break;
			XNextEvent(display, &event);
		}
	}
	int x;
	int y;
	int rootX;
	int rootY;
	unsigned int state;
	Time time;
	uint32 buttons;
	if (event.type == MotionNotify) {
		x = event.xmotion.x;
		y = event.xmotion.y;
		rootX = event.xmotion.x_root;
		rootY = event.xmotion.y_root;
		state = event.xmotion.state;
		time = event.xmotion.time;
		buttons = ButtonsFor(state);
	} else {
		x = event.xbutton.x;
		y = event.xbutton.y;
		rootX = event.xbutton.x_root;
		rootY = event.xbutton.y_root;
		state = event.xbutton.state;
		time = event.xbutton.time;
		uint32 button = ButtonFor(event.xbutton.button);
		// Wheels and extra buttons are not passed on.
		if (button == 0)
			return;
		buttons = event.type == ButtonPress ? ButtonsFor(state) | button
											: ButtonsFor(state) & ~button;
		if (event.type == ButtonPress) {
			if (event.xbutton.button == fLastClickButton && time - fLastClickTime < kClickInterval)
				fClicks++;
			else
				fClicks = 1;
			fLastClickButton = event.xbutton.button;
			fLastClickTime = time;
		}
	}

	BWindow* target;
	BPoint where;
	WindowPort::coordinate_space space;
	X11Tray::Hit hit;
	bool activating = false;
	if (fTray->HitFor(source, x, y, rootX, rootY, &hit)) {
		target = hit.window;
		where = hit.where;
		space = WindowPort::kWindowCoordinates;
	} else if (X11Window* window = _Find(source)) {
		target = window->Owner();
		if (event.type == ButtonPress)
			activating = window->TakeActivatingPress(time);
		// Screen coordinates: right even while the window is moving under the pointer.
		where.Set(rootX, rootY);
		space = WindowPort::kScreenCoordinates;
	} else {
		return;
	}
	if (!WindowList::Acquire(target))
		return;
	BPrivate::set_modifiers(X11Keyboard::ModifiersFor(state));
	WindowPort port(target, WindowPort::kQueueOnly);
	switch (event.type) {
		case ButtonPress:
			// A status picture's menu opens by the icon that was clicked.
			if (space == WindowPort::kWindowCoordinates) {
				DisplayLink::FrameMovedFromDisplay(target, hit.windowOrigin);
				fClickedIcon = hit.iconFrame;
				fClickedIconTime = system_time();
			}
			port.MouseDown(where, buttons, fClicks, space, activating);
			break;
		case ButtonRelease:
			port.MouseUp(where, buttons, space);
			break;
		case MotionNotify:
			port.MouseMoved(where, buttons, space);
			break;
	}
	WindowList::Release(target);
}

void
X11Backend::_HandleKey(XEvent& event)
{
	X11Window* window = _Find(event.xkey.window);
	if (window == NULL)
		return;
	std::string bytes = fKeyboard->BytesFor(event.xkey);
	if (bytes.empty() || !WindowList::Acquire(window->Owner()))
		return;
	WindowPort port(window->Owner(), WindowPort::kQueueOnly);
	uint32 modifiers = X11Keyboard::ModifiersFor(event.xkey.state);
	if (event.type == KeyPress)
		port.KeyDown(bytes.c_str(), modifiers, (int32)event.xkey.keycode);
	else
		port.KeyUp(bytes.c_str(), modifiers, (int32)event.xkey.keycode);
	WindowList::Release(window->Owner());
}

void
X11Backend::_DockingChanged(BWindow* window)
{
	int32 docked = fTray->CountDocked(window);
	X11Window* shown = _Find(window);
	if (shown == NULL)
		return;
	shown->SetAllowed(_MayShow(window));
	// Back on its own place after the clicks on icons moved it about.
	if (docked == 0 && WindowList::Acquire(window)) {
		DisplayLink::FrameMovedFromDisplay(window, shown->Frame().LeftTop());
		WindowList::Release(window);
	}
}

bool
X11Backend::_MayShow(BWindow* window) const
{
	// A window whose pictures are icons stays off the screen while a tray runs, whether or
	// not it has taken them in yet.
	return !fTray->HasItems(window) || !fTray->HasManager();
}

void
X11Backend::_PlaceBesideClickedIcon(X11Window* menu)
{
	// A menu that a click on a tray icon opens would cover the icon where the screen's edge
	// pushed it back: it goes below the icon, or above where there is no room below.
	BRect icon = fClickedIcon;
	fClickedIcon = BRect();
	BRect frame = menu->Frame();
	if (!icon.IsValid() || system_time() - fClickedIconTime > kIconMenuDelay
		|| !frame.Intersects(icon)) {
		return;
	}
	BRect screen = ScreenFrame();
	BPoint where = frame.LeftTop();
	if (icon.bottom + 1 + frame.Height() <= screen.bottom)
		where.y = icon.bottom + 1;
	else if (icon.top - 1 - frame.Height() >= screen.top)
		where.y = icon.top - 1 - frame.Height();
	else
		return;
	menu->SetFrame(frame.OffsetToCopy(where));
	if (WindowList::Acquire(menu->Owner())) {
		DisplayLink::FrameMovedFromDisplay(menu->Owner(), where);
		WindowList::Release(menu->Owner());
	}
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
	XChangeProperty(display, window, fContext.beTimestamp, XA_INTEGER, 8, PropModeAppend, NULL, 0);
	XSync(display, False);
	TimestampOf wanted = {window, fContext.beTimestamp};
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

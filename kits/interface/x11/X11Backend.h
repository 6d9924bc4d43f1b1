/*
 * Part of the X11 display backend (Xlib): the kit's DisplayBackend on an X11 display. One
 * thread of its own is the only caller of Xlib: the kit's calls are queued to it (with a copy
 * of the pixels they concern), and it turns the display's events into the kit's input.
 */
#ifndef X11_BACKEND_H
#define X11_BACKEND_H

#include <X11/Xlib.h>

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "DisplayBackend.h"
#include "X11Context.h"

class X11Keyboard;
class X11Tray;
class X11Window;

class X11Backend : public BPrivate::DisplayBackend {
public:
	// NULL when the display named by DISPLAY cannot be opened.
	static X11Backend* Create();
	~X11Backend() override;

	BRect ScreenFrame() override;

	void WindowShown(BWindow* window) override;
	void WindowHidden(BWindow* window) override;
	void WindowFrameChanged(BWindow* window, BRect frame) override;
	bool RequestActivation(BWindow* window) override;
	void WindowTitleChanged(BWindow* window, const char* title) override;
	void WindowDrawn(BWindow* window, const uint8* bits, int32 width, int32 height,
		const BRegion& region) override;
	void WindowDeleted(BWindow* window) override;

	void SetTrayItems(BWindow* window, const std::vector<BView*>& items) override;

	void Shutdown() override;

private:
	X11Backend();
	bool _Start();
	void _Connect(Display* display);

	static void _DisplayLost(Display* display, void* backend);

	typedef std::function<void()> Task;
	void _Queue(Task task);
	void _Run();
	void _RunTasks();

	// The display's events, one handler each.
	typedef void (X11Backend::*EventHandler)(XEvent& event);
	void _HandleEvent(XEvent& event);
	void _Exposed(XEvent& event);
	void _Configured(XEvent& event);
	void _Mapped(XEvent& event);
	void _Unmapped(XEvent& event);
	void _Reparented(XEvent& event);
	void _HandlePointer(XEvent& event);
	void _HandleKey(XEvent& event);
	void _KeyboardMapped(XEvent& event);
	void _FocusChanged(XEvent& event);
	void _ClientMessage(XEvent& event);
	void _PropertyChanged(XEvent& event);

	void _ScreenResized(int width, int height);
	void _CountClick(unsigned int button, Time time);
	void _DockingChanged(BWindow* window);
	bool _MayShow(BWindow* window) const;
	Time _ServerTime(::Window window);
	X11Window* _Find(BWindow* window);
	X11Window* _Find(::Window window);

	X11Context fContext;
	int fWakePipe[2];
	std::thread fThread;

	std::mutex fLock;
	std::deque<Task> fTasks;
	bool fStopped;
	// The display went away: from then on the program is headless.
	std::atomic<bool> fLost;
	BRect fScreenFrame;
	// Shown by the kit: the display reports their focus.
	std::set<BWindow*> fShown;

	// Event thread only.
	std::map<BWindow*, std::unique_ptr<X11Window>> fWindows;
	std::unique_ptr<X11Keyboard> fKeyboard;
	std::unique_ptr<X11Tray> fTray;
	Time fLastClickTime;
	unsigned int fLastClickButton;
	int32 fClicks;
};

#endif // X11_BACKEND_H

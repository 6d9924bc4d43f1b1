/*
 * The kit's side of the display. Host-specific only in how it finds one: a local X display's
 * socket is tried with a plain connect before the backend module (and with it Xlib) is
 * loaded; nothing else of X11 is known here.
 */
#include "DisplayLink.h"

#include <stddef.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <string>

#include <AppDefs.h>
#include <Looper.h>
#include <View.h>
#include <Window.h>

#include "DisplayBackend.h"
#include "InterfacePrivate.h"
#include "KitModule.h"
#include "WindowPort.h"

namespace BPrivate {

namespace {

std::once_flag sLoadOnce;
std::atomic<DisplayBackend*> sBackend{NULL};

// Set while a change made by the display is applied, so that it is not sent back.
thread_local bool sFromDisplay = false;

// The focus changes numbered, and the last one applied.
std::atomic<int64> sFocusChanges{0};
std::mutex sFocusLock;
int64 sLastFocusChange = 0;

// The tray items of every window, and where the display shows them. An item is compared,
// never reached through: it may be deleted shortly before its window's list is renewed.
struct DockedItem {
	BWindow* window;
	BPoint offset;
	BRect frame;
};

// Never destroyed, as the backend's thread may still report while the team exits.
struct DockedItems {
	std::mutex lock;
	std::map<const BView*, DockedItem> items;
	// How many show in a tray: while none does, no view's conversion needs to look.
	std::atomic<int32> shown{0};

	void Recount()
	{
		shown = (int32)std::count_if(items.begin(), items.end(),
			[](const std::pair<const BView* const, DockedItem>& entry) {
				return entry.second.frame.IsValid();
			});
	}

	void Forget(BWindow* window, const std::vector<BView*>& kept)
	{
		for (auto entry = items.begin(); entry != items.end();) {
			if (entry->second.window == window
				&& std::find(kept.begin(), kept.end(), entry->first) == kept.end()) {
				entry = items.erase(entry);
			} else {
				++entry;
			}
		}
	}
};

DockedItems&
TheDockedItems()
{
	static DockedItems* items = new DockedItems;
	return *items;
}

// Who is told that the display has gone.
struct LossWatch {
	std::mutex lock;
	BLooper* target = NULL;
	uint32 what = 0;
	bool lost = false;
};

LossWatch&
TheLossWatch()
{
	static LossWatch* watch = new LossWatch;
	return *watch;
}

void
ShutdownBackend()
{
	DisplayBackend* backend = sBackend.load();
	if (backend != NULL)
		backend->Shutdown();
}

// A local display (":N" or "unix:N") answers on its socket; whether it does is known without
// loading Xlib. Other names are left to the backend.
bool
LooksReachable(const char* display)
{
	std::string name = display;
	if (name.compare(0, 5, "unix:") == 0)
		name = name.substr(4);
	if (name.empty() || name[0] != ':')
		return true;
	std::string number = name.substr(1, name.find('.') - 1);
	if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
		return false;
	std::string path = "/tmp/.X11-unix/X" + number;
	for (int abstract = 1; abstract >= 0; abstract--) {
		int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
		if (fd < 0)
			return false;
		struct sockaddr_un address;
		memset(&address, 0, sizeof(address));
		address.sun_family = AF_UNIX;
		// The abstract name first, as Xlib tries it.
		memcpy(address.sun_path + abstract, path.c_str(), path.size());
		socklen_t length = offsetof(struct sockaddr_un, sun_path) + abstract + path.size();
		bool connected = connect(fd, (struct sockaddr*)&address, length) == 0;
		close(fd);
		if (connected)
			return true;
	}
	return false;
}

void
LoadBackend()
{
	const char* display = getenv("DISPLAY");
	if (display == NULL || display[0] == '\0' || !LooksReachable(display))
		return;
	create_display_backend_func create = (create_display_backend_func)kit_module_symbol("be_x11",
		DISPLAY_BACKEND_ENTRY);
	if (create == NULL)
		return;
	DisplayBackend* backend = create();
	if (backend == NULL)
		return;
	set_main_screen_frame(backend->ScreenFrame());
	sBackend = backend;
	atexit(ShutdownBackend);
}

} // namespace

DisplayBackend*
DisplayLink::Backend()
{
	std::call_once(sLoadOnce, LoadBackend);
	return sBackend;
}

DisplayBackend*
DisplayLink::LoadedBackend()
{
	return sBackend;
}

void
DisplayLink::WindowShown(BWindow* window)
{
	if (DisplayBackend* backend = Backend())
		backend->WindowShown(window);
}

void
DisplayLink::WindowHidden(BWindow* window)
{
	if (DisplayBackend* backend = LoadedBackend())
		backend->WindowHidden(window);
}

void
DisplayLink::WindowFrameChanged(BWindow* window)
{
	if (sFromDisplay)
		return;
	if (DisplayBackend* backend = LoadedBackend())
		backend->WindowFrameChanged(window, window->Frame());
}

bool
DisplayLink::RequestActivation(BWindow* window)
{
	if (sFromDisplay)
		return false;
	DisplayBackend* backend = LoadedBackend();
	return backend != NULL && backend->RequestActivation(window);
}

void
DisplayLink::WindowTitleChanged(BWindow* window)
{
	if (DisplayBackend* backend = LoadedBackend())
		backend->WindowTitleChanged(window, window->Title());
}

void
DisplayLink::WindowDrawn(BWindow* window, const uint8* bits, int32 width, int32 height,
	const BRegion& region)
{
	if (DisplayBackend* backend = LoadedBackend())
		backend->WindowDrawn(window, bits, width, height, region);
}

void
DisplayLink::WindowDeleted(BWindow* window)
{
	{
		DockedItems& docked = TheDockedItems();
		std::lock_guard<std::mutex> guard(docked.lock);
		docked.Forget(window, {});
		docked.Recount();
	}
	if (DisplayBackend* backend = LoadedBackend())
		backend->WindowDeleted(window);
}

void
DisplayLink::SetTrayItems(BWindow* window, const std::vector<BView*>& items)
{
	{
		DockedItems& docked = TheDockedItems();
		std::lock_guard<std::mutex> guard(docked.lock);
		docked.Forget(window, items);
		for (BView* item : items)
			docked.items.emplace(item, DockedItem{window, B_ORIGIN, BRect()});
		docked.Recount();
	}
	if (DisplayBackend* backend = Backend())
		backend->SetTrayItems(window, items);
}

void
DisplayLink::WatchDisplayLoss(BLooper* target, uint32 what)
{
	LossWatch& watch = TheLossWatch();
	std::lock_guard<std::mutex> guard(watch.lock);
	watch.target = target;
	watch.what = what;
	if (watch.lost && target != NULL)
		target->PostMessage(what);
}

bool
DisplayLink::DockedOffset(const BView* view, BPoint* offset)
{
	DockedItems& docked = TheDockedItems();
	if (docked.shown == 0)
		return false;
	std::lock_guard<std::mutex> guard(docked.lock);
	for (const BView* shown = view; shown != NULL; shown = shown->Parent()) {
		auto found = docked.items.find(shown);
		if (found != docked.items.end() && found->second.frame.IsValid()) {
			*offset = found->second.offset;
			return true;
		}
	}
	return false;
}

BRect
DisplayLink::DockedFrameAt(BPoint where)
{
	DockedItems& docked = TheDockedItems();
	if (docked.shown == 0)
		return BRect();
	std::lock_guard<std::mutex> guard(docked.lock);
	for (const auto& entry : docked.items) {
		if (entry.second.frame.Contains(where))
			return entry.second.frame;
	}
	return BRect();
}

void
DisplayLink::FrameMovedFromDisplay(BWindow* window, BPoint where)
{
	sFromDisplay = true;
	window->MoveTo(where);
	sFromDisplay = false;
}

void
DisplayLink::ActivatedFromDisplay(BWindow* window, bool active)
{
	WindowPort(window, WindowPort::kQueueOnly).FocusChanged(active);
}

int64
DisplayLink::NumberFocusChange()
{
	return ++sFocusChanges;
}

void
DisplayLink::ApplyFocusChange(BWindow* window, bool active, int64 number)
{
	std::lock_guard<std::mutex> guard(sFocusLock);
	if (number <= sLastFocusChange)
		return;
	sLastFocusChange = number;
	sFromDisplay = true;
	window->Activate(active);
	sFromDisplay = false;
}

void
DisplayLink::CloseRequestedFromDisplay(BWindow* window)
{
	window->PostMessage(B_QUIT_REQUESTED);
}

void
DisplayLink::DockedItemPlaced(BView* item, BPoint offset, BRect frame)
{
	DockedItems& docked = TheDockedItems();
	std::lock_guard<std::mutex> guard(docked.lock);
	auto found = docked.items.find(item);
	if (found == docked.items.end())
		return;
	found->second.offset = offset;
	found->second.frame = frame;
	docked.Recount();
}

void
DisplayLink::DisplayLost()
{
	LossWatch& watch = TheLossWatch();
	std::lock_guard<std::mutex> guard(watch.lock);
	if (watch.lost)
		return;
	watch.lost = true;
	if (watch.target != NULL)
		watch.target->PostMessage(watch.what);
}

} // namespace BPrivate

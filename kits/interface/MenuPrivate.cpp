#include "MenuPrivate.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <vector>

#include <Menu.h>
#include <MenuItem.h>
#include <Window.h>

#include "WindowPort.h"

namespace BPrivate {

namespace {

struct OpenMenu {
	BMenu* menu;
	BWindow* window;
};

// The open menus, oldest first, and how many choosers are using each menu window.
std::mutex sLock;
std::condition_variable sIdle;
std::vector<OpenMenu> sOpenMenus;
std::map<BWindow*, int32> sBusyWindows;

status_t
ChooseIn(BMenu* menu, BWindow* window, const char* label)
{
	if (!window->Lock())
		return B_ERROR;
	if (menu->Window() != window) {
		// Closed in the meantime.
		window->Unlock();
		return B_NAME_NOT_FOUND;
	}
	BMenuItem* item = menu->FindItem(label);
	if (item == NULL || dynamic_cast<BSeparatorItem*>(item) != NULL) {
		window->Unlock();
		return B_NAME_NOT_FOUND;
	}
	if (!item->IsEnabled() || !menu->IsEnabled()) {
		window->Unlock();
		return B_NOT_ALLOWED;
	}
	BRect frame = item->Frame();
	BPoint where(floorf((frame.left + frame.right) / 2), floorf((frame.top + frame.bottom) / 2));
	menu->ConvertToParent(&where);
	window->Unlock();

	WindowPort port(window);
	status_t status = port.MouseMoved(where, 0);
	if (status == B_OK)
		status = port.MouseDown(where, B_PRIMARY_MOUSE_BUTTON);
	if (status == B_OK)
		status = port.MouseUp(where, 0);
	return status;
}

} // namespace

status_t
choose_menu_item(const char* label)
{
	if (label == NULL)
		return B_BAD_VALUE;
	OpenMenu open;
	{
		std::lock_guard<std::mutex> guard(sLock);
		if (sOpenMenus.empty())
			return B_NAME_NOT_FOUND;
		open = sOpenMenus.back();
		sBusyWindows[open.window]++;
	}
	status_t status = ChooseIn(open.menu, open.window, label);
	{
		std::lock_guard<std::mutex> guard(sLock);
		if (--sBusyWindows[open.window] == 0)
			sBusyWindows.erase(open.window);
	}
	sIdle.notify_all();
	return status;
}

int32
close_open_menus()
{
	std::vector<OpenMenu> open;
	{
		std::lock_guard<std::mutex> guard(sLock);
		open = sOpenMenus;
		for (const OpenMenu& menu : open)
			sBusyWindows[menu.window]++;
	}
	// Only queued: the window's own thread closes its menu, whatever the caller holds.
	for (const OpenMenu& menu : open)
		WindowPort(menu.window, WindowPort::kQueueOnly).KeyDown("\x1b", 0);
	{
		std::lock_guard<std::mutex> guard(sLock);
		for (const OpenMenu& menu : open) {
			if (--sBusyWindows[menu.window] == 0)
				sBusyWindows.erase(menu.window);
		}
	}
	sIdle.notify_all();
	return (int32)open.size();
}

BWindow*
open_menu_window()
{
	std::lock_guard<std::mutex> guard(sLock);
	return sOpenMenus.empty() ? NULL : sOpenMenus.back().window;
}

void
register_open_menu(BMenu* menu, BWindow* window)
{
	std::lock_guard<std::mutex> guard(sLock);
	sOpenMenus.push_back({menu, window});
}

void
unregister_open_menu(BMenu* menu)
{
	std::lock_guard<std::mutex> guard(sLock);
	sOpenMenus.erase(std::remove_if(sOpenMenus.begin(), sOpenMenus.end(),
						 [menu](const OpenMenu& open) { return open.menu == menu; }),
		sOpenMenus.end());
}

void
retire_menu_window(BWindow* window)
{
	std::unique_lock<std::mutex> guard(sLock);
	sIdle.wait(guard, [window] { return sBusyWindows.count(window) == 0; });
}

} // namespace BPrivate

/*
 * Private to the kits and their hosts: the pop-up menus open in the team. Every open menu
 * shows in a borderless window titled with the menu's name; a host (the Deskbar's control
 * client, a test) can find it and choose an item through the window's normal input.
 */
#ifndef _MENU_PRIVATE_H
#define _MENU_PRIVATE_H

#include <SupportDefs.h>

class BMenu;
class BWindow;

namespace BPrivate {

// Message a menu field receives from its menu's window when the menu closes; "index" is the
// chosen item's index, or -1 when nothing was chosen.
const uint32 kMsgMenuClosed = '_MCL';

// Chooses the item with this label in the menu opened last that is still open: moves the
// pointer onto the item in the menu's window, presses and releases there, and returns once
// the window has handled all three. B_NAME_NOT_FOUND when no menu is open or none of its
// items has the label; B_NOT_ALLOWED for a disabled item.
status_t choose_menu_item(const char* label);

// Closes every open menu as an Escape would (its Go() returns no item): posts the key to
// each menu's window and returns at once. The number of menus it closes.
int32 close_open_menus();

// The window of the menu opened last that is still open, or NULL. It stays valid while the
// menu exists.
BWindow* open_menu_window();

// For BMenu: a menu opened in its window, and closed again.
void register_open_menu(BMenu* menu, BWindow* window);
void unregister_open_menu(BMenu* menu);
// For BMenu: waits until no chooser is using the window, which may then go.
void retire_menu_window(BWindow* window);

} // namespace BPrivate

#endif // _MENU_PRIVATE_H

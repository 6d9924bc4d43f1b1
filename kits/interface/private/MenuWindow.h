/*
 * Private to the interface kit: the borderless window a menu opens in, titled with the
 * menu's name. It belongs to its menu, which deletes it; a quit request is refused.
 */
#ifndef _MENU_WINDOW_H
#define _MENU_WINDOW_H

#include <Window.h>

namespace BPrivate {

class MenuWindow : public BWindow {
public:
	MenuWindow(BRect frame, const char* title);
	virtual ~MenuWindow();

	virtual bool QuitRequested() override;
};

} // namespace BPrivate

#endif // _MENU_WINDOW_H

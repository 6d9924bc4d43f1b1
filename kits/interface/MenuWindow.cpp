#include "MenuWindow.h"

namespace BPrivate {

MenuWindow::MenuWindow(BRect frame, const char* title) :
	BWindow(frame, title, B_NO_BORDER_WINDOW_LOOK, B_FLOATING_ALL_WINDOW_FEEL,
		B_NOT_MOVABLE | B_NOT_CLOSABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE | B_NOT_RESIZABLE
			| B_AVOID_FOCUS | B_WILL_ACCEPT_FIRST_CLICK)
{
}

MenuWindow::~MenuWindow()
{
}

bool
MenuWindow::QuitRequested()
{
	return false;
}

} // namespace BPrivate

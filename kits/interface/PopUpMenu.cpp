#include <PopUpMenu.h>

#include <MenuItem.h>

BPopUpMenu::BPopUpMenu(const char* title, bool radioMode, bool labelFromMarked,
	menu_layout layout) :
	BMenu(title, layout),
	fWhere(B_ORIGIN)
{
	SetRadioMode(radioMode);
	if (labelFromMarked)
		SetLabelFromMarked(true);
}

BPopUpMenu::~BPopUpMenu()
{
}

BMenuItem*
BPopUpMenu::Go(BPoint where, bool deliversMessage, bool openAnyway, bool asynchronous)
{
	if (CountItems() == 0 && !openAnyway)
		return NULL;
	fWhere = where;
	if (_Open(where, NULL, asynchronous, deliversMessage) != B_OK || asynchronous)
		return NULL;
	BMenuItem* chosen = _WaitForClose();
	if (chosen != NULL && deliversMessage)
		chosen->Invoke();
	return chosen;
}

BMenuItem*
BPopUpMenu::Go(BPoint where, bool deliversMessage, bool openAnyway, BRect /*clickToOpen*/,
	bool asynchronous)
{
	return Go(where, deliversMessage, openAnyway, asynchronous);
}

void
BPopUpMenu::MessageReceived(BMessage* message)
{
	BMenu::MessageReceived(message);
}

void
BPopUpMenu::MouseDown(BPoint where)
{
	BMenu::MouseDown(where);
}

void
BPopUpMenu::MouseUp(BPoint where)
{
	BMenu::MouseUp(where);
}

void
BPopUpMenu::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	BMenu::MouseMoved(where, transit, dragMessage);
}

void
BPopUpMenu::AttachedToWindow()
{
	BMenu::AttachedToWindow();
}

void
BPopUpMenu::DetachedFromWindow()
{
	BMenu::DetachedFromWindow();
}

void
BPopUpMenu::FrameMoved(BPoint newPosition)
{
	BMenu::FrameMoved(newPosition);
}

void
BPopUpMenu::FrameResized(float newWidth, float newHeight)
{
	BMenu::FrameResized(newWidth, newHeight);
}

void
BPopUpMenu::ResizeToPreferred()
{
	BMenu::ResizeToPreferred();
}

void
BPopUpMenu::GetPreferredSize(float* width, float* height)
{
	BMenu::GetPreferredSize(width, height);
}

void
BPopUpMenu::MakeFocus(bool focus)
{
	BMenu::MakeFocus(focus);
}

void
BPopUpMenu::AllAttached()
{
	BMenu::AllAttached();
}

void
BPopUpMenu::AllDetached()
{
	BMenu::AllDetached();
}

BPoint
BPopUpMenu::ScreenLocation()
{
	return fWhere;
}

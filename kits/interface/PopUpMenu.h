/*
 * BPopUpMenu: a menu that opens where it is told, in a window of its own, and reports the
 * item chosen. Archiving, click-to-open rectangles and automatic deletion after an
 * asynchronous run are not provided.
 */
#ifndef _POP_UP_MENU_H
#define _POP_UP_MENU_H

#include <Menu.h>

class BPopUpMenu : public BMenu {
public:
	BPopUpMenu(const char* title, bool radioMode = true, bool labelFromMarked = true,
		menu_layout layout = B_ITEMS_IN_COLUMN);
	virtual ~BPopUpMenu();

	// Opens the menu with its top left at `where` (screen coordinates). Synchronously, it
	// returns once the menu has closed: the chosen item, or NULL after Escape or a click
	// outside the menu; the item is invoked first when `deliversMessage` is set. The
	// calling thread (a window's own, from a hook, too) waits meanwhile while the menu's
	// window takes the input. Asynchronously it returns NULL at once. An empty menu opens
	// only with `openAnyway`.
	BMenuItem* Go(BPoint where, bool deliversMessage = false, bool openAnyway = false,
		bool asynchronous = false);
	BMenuItem* Go(BPoint where, bool deliversMessage, bool openAnyway, BRect clickToOpen,
		bool asynchronous = false);

	virtual void MessageReceived(BMessage* message) override;
	virtual void MouseDown(BPoint where) override;
	virtual void MouseUp(BPoint where) override;
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
	virtual void AttachedToWindow() override;
	virtual void DetachedFromWindow() override;
	virtual void FrameMoved(BPoint newPosition) override;
	virtual void FrameResized(float newWidth, float newHeight) override;
	virtual void ResizeToPreferred() override;
	virtual void GetPreferredSize(float* width, float* height) override;
	virtual void MakeFocus(bool focus = true) override;
	virtual void AllAttached() override;
	virtual void AllDetached() override;

protected:
	virtual BPoint ScreenLocation() override;

private:
	BPoint fWhere;
};

#endif // _POP_UP_MENU_H

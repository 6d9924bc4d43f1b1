/*
 * BMenuField: a label and, right of the divider, a box showing the label of its menu's item
 * (the marked item's label when the menu takes it from there, else the menu's title); a
 * click on the box opens the menu under it. The menu bar behind the box on the platform is
 * not provided (MenuBar), nor archiving.
 */
#ifndef _MENU_FIELD_H
#define _MENU_FIELD_H

#include <Menu.h>

class BMenuItem;

namespace BPrivate {
class MenuFieldItem;
}

class BMenuField : public BView {
public:
	// Takes ownership of the menu.
	BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	// With a fixed size the box reaches the right edge; otherwise it fits its text.
	BMenuField(BRect frame, const char* name, const char* label, BMenu* menu, bool fixedSize,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	virtual ~BMenuField();

	virtual void Draw(BRect updateRect) override;
	virtual void AttachedToWindow() override;
	virtual void AllAttached() override;
	virtual void MouseDown(BPoint where) override;
	// The space bar, Enter or the down arrow opens the menu.
	virtual void KeyDown(const char* bytes, int32 numBytes) override;
	virtual void MakeFocus(bool focus = true) override;
	virtual void MessageReceived(BMessage* message) override;
	virtual void WindowActivated(bool active) override;
	virtual void MouseUp(BPoint where) override;
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
	virtual void DetachedFromWindow() override;
	virtual void AllDetached() override;
	virtual void FrameMoved(BPoint newPosition) override;
	virtual void FrameResized(float newWidth, float newHeight) override;

	BMenu* Menu() const;
	// The item whose label the field shows.
	BMenuItem* MenuItem() const;

	virtual void SetLabel(const char* label);
	const char* Label() const;
	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const;
	virtual void SetAlignment(alignment label);
	alignment Alignment() const;
	virtual void SetDivider(float dividingLine);
	float Divider() const;
	void ShowPopUpMarker();
	void HidePopUpMarker();

	virtual void ResizeToPreferred() override;
	virtual void GetPreferredSize(float* width, float* height) override;

private:
	void _Init(const char* label, BMenu* menu, bool fixedSize);
	BRect _MenuFrame() const;
	float _Baseline() const;
	void _OpenMenu();

	char* fLabel;
	BMenu* fMenu;
	BPrivate::MenuFieldItem* fMenuItem;
	alignment fAlignment;
	float fDivider;
	bool fEnabled;
	bool fFixedSize;
	bool fShowMarker;
	bool fWantsNavigation;
};

#endif // _MENU_FIELD_H

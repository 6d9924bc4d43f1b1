/*
 * BMenu: a list of items laid out in a column, a row or at given places. A menu opens in a
 * borderless window of its own (see BPopUpMenu and BMenuField) and takes the pointer and the
 * keys there through the window's normal input. Submenus, menu bars, shortcuts, triggers,
 * dynamic items, tracking hooks, archiving and scripting are not provided.
 */
#ifndef _MENU_H
#define _MENU_H

#include <vector>

#include <InterfaceDefs.h>
#include <View.h>

class BMenuItem;
class BMenuField;
class BPopUpMenu;
class BWindow;

enum menu_layout {
	B_ITEMS_IN_ROW = 0,
	B_ITEMS_IN_COLUMN,
	B_ITEMS_IN_MATRIX
};

struct menu_info {
	float font_size;
	font_family f_family;
	font_style f_style;
	rgb_color background_color;
	int32 separator;
	bool click_to_open;
	bool triggers_always_shown;
};

status_t get_menu_info(menu_info* info);

class BMenu : public BView {
public:
	BMenu(const char* title, menu_layout layout = B_ITEMS_IN_COLUMN);
	// A matrix menu of a fixed size, whose items are placed with AddItem(item, frame).
	BMenu(const char* title, float width, float height);
	// Deletes its items.
	virtual ~BMenu();

	virtual void AttachedToWindow() override;
	virtual void DetachedFromWindow() override;

	// The menu takes ownership; an item already in a menu is refused.
	bool AddItem(BMenuItem* item);
	bool AddItem(BMenuItem* item, int32 index);
	bool AddItem(BMenuItem* item, BRect frame);
	bool AddItem(BMenu* menu);
	bool AddItem(BMenu* menu, int32 index);
	bool AddItem(BMenu* menu, BRect frame);
	bool AddSeparatorItem();
	// Removed items are handed back, not deleted.
	bool RemoveItem(BMenuItem* item);
	BMenuItem* RemoveItem(int32 index);
	bool RemoveItems(int32 index, int32 count, bool deleteItems = false);
	bool RemoveItem(BMenu* menu);

	BMenuItem* ItemAt(int32 index) const;
	BMenu* SubmenuAt(int32 index) const;
	int32 CountItems() const;
	// Negative for NULL and for an item or submenu that is not in this menu.
	int32 IndexOf(BMenuItem* item) const;
	int32 IndexOf(BMenu* menu) const;
	BMenuItem* FindItem(uint32 command) const;
	BMenuItem* FindItem(const char* label) const;

	virtual status_t SetTargetForItems(BHandler* target);
	virtual void SetEnabled(bool enabled);
	// Radio mode keeps at most one item marked; turning it off also stops the superitem
	// from taking the marked item's label.
	virtual void SetRadioMode(bool on);
	virtual void SetTriggersEnabled(bool on);
	virtual void SetMaxContentWidth(float maxWidth);
	// Also turns radio mode on.
	void SetLabelFromMarked(bool on);
	bool IsLabelFromMarked();
	bool IsEnabled() const;
	bool IsRadioMode() const;
	bool AreTriggersEnabled() const;
	bool IsRedrawAfterSticky() const;
	float MaxContentWidth() const;

	BMenuItem* FindMarked();
	BMenu* Supermenu() const;
	BMenuItem* Superitem() const;

	virtual void MessageReceived(BMessage* message) override;
	// While open: Escape closes, the up and down arrows move the highlight, Enter or the
	// space bar chooses the highlighted item.
	virtual void KeyDown(const char* bytes, int32 numBytes) override;
	// While open: a press outside closes the menu; a release on an enabled item chooses it.
	virtual void MouseDown(BPoint where) override;
	virtual void MouseUp(BPoint where) override;
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
	virtual void Draw(BRect updateRect) override;
	virtual void GetPreferredSize(float* width, float* height) override;
	virtual void ResizeToPreferred() override;
	virtual void FrameMoved(BPoint newPosition) override;
	virtual void FrameResized(float newWidth, float newHeight) override;
	void InvalidateLayout();
	virtual void MakeFocus(bool focus = true) override;
	virtual void AllAttached() override;
	virtual void AllDetached() override;

	virtual void DrawBackground(BRect updateRect);

protected:
	BMenu(BRect frame, const char* name, uint32 resizingMode, uint32 flags, menu_layout layout,
		bool resizeToFit);

	// Where the menu's top left goes on the screen when it opens.
	virtual BPoint ScreenLocation();

	void SetItemMargins(float left, float top, float right, float bottom);
	void GetItemMargins(float* left, float* top, float* right, float* bottom) const;
	menu_layout Layout() const;

private:
	friend class BMenuItem;
	friend class BMenuField;
	friend class BPopUpMenu;

	struct Tracking;

	BMenu(const BMenu&);
	BMenu& operator=(const BMenu&);

	void _Init(menu_layout layout);
	bool _AddItem(BMenuItem* item, int32 index);
	void _Layout();
	int32 _ItemIndexAt(BPoint where) const;
	bool _IsChoosable(int32 index) const;
	void _Highlight(int32 index);
	void _InvalidateItem(BMenuItem* item);
	// Shows the menu in its window with the top left at `where` (screen coordinates).
	// When it closes, `notify` (if any) gets kMsgMenuClosed with the chosen item's "index",
	// or the asynchronous chooser invokes the item when `deliver` is set.
	status_t _Open(BPoint where, BHandler* notify, bool asynchronous, bool deliver);
	BMenuItem* _WaitForClose();
	void _Close(BMenuItem* chosen);
	bool _IsOpen() const;
	BWindow* _DefaultTargetWindow() const;

	std::vector<BMenuItem*> fItems;
	BMenuItem* fSuperitem;
	BView* fOwner;
	BWindow* fMenuWindow;
	Tracking* fTracking;
	BRect fPad;
	menu_layout fLayout;
	float fMaxContentWidth;
	float fWidth;
	float fHeight;
	int32 fHighlighted;
	bool fLayoutValid;
	bool fResizeToFit;
	bool fEnabled;
	bool fRadioMode;
	bool fLabelFromMarked;
	bool fTriggersEnabled;
};

#endif // _MENU_H

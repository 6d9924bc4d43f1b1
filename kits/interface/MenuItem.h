/*
 * BMenuItem and BSeparatorItem: the entries of a BMenu. An item has a label, an optional
 * message sent when it is invoked, a mark, and may stand for a submenu (as the item of a
 * BMenuField does); submenus are not tracked. Triggers are stored but not drawn or typed;
 * archiving is not provided.
 */
#ifndef _MENU_ITEM_H
#define _MENU_ITEM_H

#include <Archivable.h>
#include <InterfaceDefs.h>
#include <Invoker.h>
#include <Rect.h>

class BMenu;
class BMessage;

class BMenuItem : public BArchivable, public BInvoker {
public:
	BMenuItem(const char* label, BMessage* message, char shortcut = 0, uint32 modifiers = 0);
	// An item standing for a submenu, labelled with its name; it owns the submenu.
	BMenuItem(BMenu* menu, BMessage* message = NULL);
	virtual ~BMenuItem();

	virtual void SetLabel(const char* label);
	virtual void SetEnabled(bool enabled);
	// In a radio-mode menu, marking one item unmarks the others; in a menu that labels its
	// superitem from the marked item, the superitem takes this item's label.
	virtual void SetMarked(bool marked);
	virtual void SetTrigger(char trigger);
	virtual void SetShortcut(char shortcut, uint32 modifiers);

	const char* Label() const;
	bool IsEnabled() const;
	bool IsMarked() const;
	char Trigger() const;
	char Shortcut(uint32* modifiers = NULL) const;

	BMenu* Submenu() const;
	BMenu* Menu() const;
	// In the menu's coordinates, once the menu has laid its items out.
	BRect Frame() const;

	// Marks the item in a radio-mode menu, then sends a copy of the message with "when",
	// "source" and "index" added; B_BAD_VALUE without a message.
	virtual status_t Invoke(BMessage* message = NULL) override;

protected:
	virtual void GetContentSize(float* width, float* height);
	virtual void TruncateLabel(float maxWidth, char* newLabel);
	virtual void DrawContent();
	virtual void Draw();
	virtual void Highlight(bool highlighted);
	bool IsSelected() const;
	BPoint ContentLocation() const;

private:
	friend class BMenu;

	BMenuItem(const BMenuItem&);
	BMenuItem& operator=(const BMenuItem&);

	void _DrawMark();

	char* fLabel;
	BMenu* fSubmenu;
	BMenu* fMenu;
	BRect fBounds;
	uint32 fModifiers;
	char fShortcut;
	char fTrigger;
	bool fMarked;
	bool fEnabled;
	bool fSelected;
};

class BSeparatorItem : public BMenuItem {
public:
	BSeparatorItem();
	virtual ~BSeparatorItem();

	// A separator is never enabled.
	virtual void SetEnabled(bool enabled) override;

protected:
	virtual void GetContentSize(float* width, float* height) override;
	virtual void Draw() override;
};

#endif // _MENU_ITEM_H

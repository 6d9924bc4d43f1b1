/*
 * Private to the interface kit: the item behind a BMenuField, standing for its menu. A new
 * label (from the marked item) redraws the field.
 */
#ifndef _MENU_FIELD_ITEM_H
#define _MENU_FIELD_ITEM_H

#include <MenuItem.h>

class BMenuField;

namespace BPrivate {

class MenuFieldItem : public BMenuItem {
public:
	MenuFieldItem(BMenuField* field, BMenu* menu);
	virtual ~MenuFieldItem();

	virtual void SetLabel(const char* label) override;

private:
	BMenuField* fField;
};

} // namespace BPrivate

#endif // _MENU_FIELD_ITEM_H

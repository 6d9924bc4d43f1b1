#include "MenuFieldItem.h"

#include <MenuField.h>

namespace BPrivate {

MenuFieldItem::MenuFieldItem(BMenuField* field, BMenu* menu) :
	BMenuItem(menu),
	fField(field)
{
}

MenuFieldItem::~MenuFieldItem()
{
}

void
MenuFieldItem::SetLabel(const char* label)
{
	BMenuItem::SetLabel(label);
	if (fField != NULL && fField->Window() != NULL)
		fField->Invalidate();
}

} // namespace BPrivate

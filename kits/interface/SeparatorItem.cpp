#include <MenuItem.h>

#include <Menu.h>

BSeparatorItem::BSeparatorItem() :
	BMenuItem("", NULL)
{
	BMenuItem::SetEnabled(false);
}

BSeparatorItem::~BSeparatorItem()
{
}

void
BSeparatorItem::SetEnabled(bool /*enabled*/)
{
}

void
BSeparatorItem::GetContentSize(float* width, float* height)
{
	if (width != NULL)
		*width = 0;
	if (height != NULL)
		*height = 4;
}

void
BSeparatorItem::Draw()
{
	BMenu* menu = Menu();
	if (menu == NULL)
		return;
	// A groove across the item: a shadow line over a light one.
	BRect frame = Frame();
	float y = floorf((frame.top + frame.bottom) / 2);
	rgb_color background = ui_color(B_MENU_BACKGROUND_COLOR);
	menu->BeginLineArray(2);
	menu->AddLine(BPoint(frame.left + 1, y), BPoint(frame.right - 1, y),
		tint_color(background, B_DARKEN_2_TINT));
	menu->AddLine(BPoint(frame.left + 1, y + 1), BPoint(frame.right - 1, y + 1),
		tint_color(background, B_LIGHTEN_MAX_TINT));
	menu->EndLineArray();
}

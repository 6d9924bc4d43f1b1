#include <InterfaceDefs.h>

#include <atomic>

#include "InterfacePrivate.h"

namespace {

std::atomic<uint32> sModifiers{0};

uint8
TintChannel(uint8 value, float tint)
{
	// Truncating, not rounding: 216 lightened by B_LIGHTEN_2_TINT gives 239.
	float result;
	if (tint < 1.0f)
		result = 255 - (255 - value) * tint;
	else
		result = value * (2.0f - tint);
	if (result <= 0)
		return 0;
	if (result >= 255)
		return 255;
	return (uint8)result;
}

} // namespace

uint32
modifiers()
{
	return sModifiers;
}

void
BPrivate::set_modifiers(uint32 modifiers)
{
	sModifiers = modifiers;
}

rgb_color
ui_color(color_which which)
{
	switch (which) {
		case B_PANEL_BACKGROUND_COLOR:
		case B_MENU_BACKGROUND_COLOR:
			return {216, 216, 216, 255};
		case B_WINDOW_TAB_COLOR:
			return {255, 203, 0, 255};
		case B_KEYBOARD_NAVIGATION_COLOR:
			return {0, 0, 229, 255};
		case B_DESKTOP_COLOR:
			return {51, 102, 152, 255};
		case B_MENU_SELECTION_BACKGROUND_COLOR:
			return {152, 152, 152, 255};
		case B_MENU_ITEM_TEXT_COLOR:
		case B_MENU_SELECTED_ITEM_TEXT_COLOR:
			return {0, 0, 0, 255};
	}
	return {0, 0, 0, 255};
}

rgb_color
tint_color(rgb_color color, float tint)
{
	return {TintChannel(color.red, tint), TintChannel(color.green, tint),
		TintChannel(color.blue, tint), color.alpha};
}

rgb_color
keyboard_navigation_color()
{
	return ui_color(B_KEYBOARD_NAVIGATION_COLOR);
}

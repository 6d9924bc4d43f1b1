#include <InterfaceDefs.h>

#include <atomic>

#include "InterfacePrivate.h"

namespace {

std::atomic<uint32> sModifiers{0};

uint32
PackColor(rgb_color color)
{
	return ((uint32)color.red << 24) | ((uint32)color.green << 16) | ((uint32)color.blue << 8)
		| color.alpha;
}

// The user colours by selector (1 to 8), packed as RGBA, so that any thread reads them whole.
std::atomic<uint32> sUserColors[] = {
	{0},
	{PackColor({216, 216, 216, 255})},
	{PackColor({216, 216, 216, 255})},
	{PackColor({255, 203, 0, 255})},
	{PackColor({0, 0, 229, 255})},
	{PackColor({51, 102, 152, 255})},
	{PackColor({152, 152, 152, 255})},
	{PackColor({0, 0, 0, 255})},
	{PackColor({0, 0, 0, 255})},
};
const int32 kUserColorCount = sizeof(sUserColors) / sizeof(sUserColors[0]);

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
	if ((int32)which < 1 || (int32)which >= kUserColorCount)
		return {0, 0, 0, 255};
	uint32 packed = sUserColors[which];
	return {(uint8)(packed >> 24), (uint8)(packed >> 16), (uint8)(packed >> 8), (uint8)packed};
}

void
BPrivate::set_ui_color(color_which which, rgb_color color)
{
	if ((int32)which >= 1 && (int32)which < kUserColorCount)
		sUserColors[which] = PackColor(color);
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

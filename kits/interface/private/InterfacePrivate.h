/*
 * Private to the interface kit and its hosts: the pixel-grid convention, colour comparison,
 * and the state that a display backend (or a test) sets on the kit's behalf.
 */
#ifndef _INTERFACE_PRIVATE_H
#define _INTERFACE_PRIVATE_H

#include <math.h>

#include <GraphicsDefs.h>
#include <InterfaceDefs.h>
#include <Rect.h>

namespace BPrivate {

// Integral coordinates lie on pixel centres: the pixel a coordinate falls in, saturated at
// 2^30 either way (the lower end for NaN), so that a pixel plus an origin stays defined.
inline int32
pixel_for(float coordinate)
{
	const float kLimit = 1073741824.0f;
	float pixel = floorf(coordinate + 0.5f);
	if (pixel >= -kLimit && pixel <= kLimit)
		return (int32)pixel;
	return pixel > 0 ? (int32)kLimit : -(int32)kLimit;
}

// rgb_color has no comparison of its own: all four components.
inline bool
same_color(const rgb_color& a, const rgb_color& b)
{
	return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

// A view colour of B_TRANSPARENT_COLOR asks for no background at all.
inline bool
is_transparent_color(const rgb_color& color)
{
	return same_color(color, B_TRANSPARENT_COLOR);
}

void set_modifiers(uint32 modifiers);

// What ui_color answers for a selector from now on, as when the user picks another colour.
void set_ui_color(color_which which, rgb_color color);

// The main screen's frame; 1024 x 768 until a display says otherwise.
BRect main_screen_frame();
void set_main_screen_frame(BRect frame);

} // namespace BPrivate

#endif // _INTERFACE_PRIVATE_H

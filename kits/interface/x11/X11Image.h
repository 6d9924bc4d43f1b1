/*
 * Part of the X11 display backend (Xlib): sends B_RGB32 pixels to a drawable with PutImage.
 * Pixels go as they are when the visual is 24 or 32 bits deep with the usual masks (which
 * is how the kit stores them), and are converted one by one otherwise. No MIT-SHM.
 */
#ifndef X11_IMAGE_H
#define X11_IMAGE_H

#include <X11/Xlib.h>

#include <SupportDefs.h>

struct X11Context;

class X11Image {
public:
	// Sends the `width` x `height` pixels at `bits` (rows `bytesPerRow` apart) to the
	// drawable at (x, y).
	static void Put(const X11Context& context, Drawable drawable, GC gc, const uint8* bits,
		int32 bytesPerRow, int32 width, int32 height, int32 x, int32 y);
};

#endif // X11_IMAGE_H

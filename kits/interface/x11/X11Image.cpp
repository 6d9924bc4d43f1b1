/*
 * Part of the X11 display backend (Xlib): PutImage of the kit's pixels. It does not use
 * MIT-SHM: only damaged areas travel, and they are small.
 */
#include "X11Image.h"

#include <X11/Xutil.h>

#include <vector>

#include "X11Context.h"

namespace {

// An 8-bit channel value placed in the bits of `mask`, whatever their number.
unsigned long
Channel(uint8 value, unsigned long mask)
{
	int shift = 0;
	while (mask != 0 && ((mask >> shift) & 1) == 0)
		shift++;
	int bits = 0;
	while (((mask >> (shift + bits)) & 1) != 0)
		bits++;
	unsigned long scaled = bits >= 8 ? (unsigned long)value << (bits - 8) : value >> (8 - bits);
	return (scaled << shift) & mask;
}

} // namespace

void
X11Image::Put(const X11Context& context, Drawable drawable, GC gc, const uint8* bits,
	int32 bytesPerRow, int32 width, int32 height, int32 x, int32 y)
{
	if (width <= 0 || height <= 0)
		return;
	Visual* visual = context.visual;
	bool direct = (context.depth == 24 || context.depth == 32) && visual->red_mask == 0xff0000
		&& visual->green_mask == 0xff00 && visual->blue_mask == 0xff
		&& ImageByteOrder(context.display) == LSBFirst;
	XImage* image;
	std::vector<char> converted;
	if (direct) {
		image = XCreateImage(context.display, visual, context.depth, ZPixmap, 0, (char*)bits, width,
			height, 32, bytesPerRow);
	} else {
		image = XCreateImage(context.display, visual, context.depth, ZPixmap, 0, NULL, width,
			height, 32, 0);
		if (image == NULL)
			return;
		converted.resize((size_t)image->bytes_per_line * height);
		image->data = converted.data();
		for (int32 row = 0; row < height; row++) {
			const uint8* pixel = bits + (size_t)row * bytesPerRow;
			for (int32 column = 0; column < width; column++, pixel += 4) {
				unsigned long value = Channel(pixel[2], visual->red_mask)
					| Channel(pixel[1], visual->green_mask) | Channel(pixel[0], visual->blue_mask);
				XPutPixel(image, column, row, value);
			}
		}
	}
	if (image == NULL)
		return;
	XPutImage(context.display, drawable, gc, image, 0, 0, x, y, width, height);
	// The pixels belong to the caller.
	image->data = NULL;
	XDestroyImage(image);
}

/*
 * A screen dump in X Window Dump format, as `xwd` writes it, read into RGB pixels: a
 * TrueColor dump of 24 or 32 bits per pixel in either byte order.
 */
#ifndef XWD_IMAGE_H
#define XWD_IMAGE_H

#include <string>
#include <vector>

#include <GraphicsDefs.h>
#include <SupportDefs.h>

class XwdImage {
public:
	XwdImage();

	// B_OK, or B_BAD_DATA for a dump this reader does not understand.
	status_t Read(const std::string& path);
	status_t Parse(const std::vector<uint8>& bytes);

	int32 Width() const { return fWidth; }
	int32 Height() const { return fHeight; }
	// Opaque; transparent black outside the image.
	rgb_color PixelAt(int32 x, int32 y) const;
	// A channel of a pixel value, where the display's mask for it puts it.
	static uint8 Channel(uint32 value, uint32 mask);
	// Part of the image, as B_RGB32 rows, for the kit's PNG writer.
	std::vector<uint8> Bits(int32 left, int32 top, int32 width, int32 height) const;

private:
	int32 fWidth;
	int32 fHeight;
	std::vector<rgb_color> fPixels;
};

#endif // XWD_IMAGE_H

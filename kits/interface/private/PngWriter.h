/*
 * Private to the interface kit: saves pixels as a PNG file (see PngWriter.cpp).
 */
#ifndef _PNG_WRITER_H
#define _PNG_WRITER_H

#include <SupportDefs.h>

namespace BPrivate {

// Writes `width` x `height` pixels stored blue, green, red, alpha as an 8-bit RGB PNG file,
// each pixel enlarged to a `scale` x `scale` square; with `alpha`, an RGBA file that keeps
// the pixels' alpha.
status_t write_png(const char* path, const uint8* bits, int32 width, int32 height,
	int32 bytesPerRow, int32 scale = 1, bool alpha = false);

} // namespace BPrivate

#endif // _PNG_WRITER_H

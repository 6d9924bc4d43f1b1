/*
 * Private to the interface kit: what it asks of the host's font renderer and image encoder.
 * They live in the module be_drawing (kits/interface/drawing), loaded on first use, so that a
 * program that draws no text and saves no image loads neither.
 */
#ifndef _DRAWING_BACK_END_H
#define _DRAWING_BACK_END_H

#include <vector>

#include <SupportDefs.h>

namespace BPrivate {

// An anti-aliased glyph: coverage 0-255, top row first.
struct GlyphImage {
	int32 left; // columns from the pen position to the first column
	int32 top;  // rows from the first row down to the baseline's row, inclusive
	int32 width;
	int32 height;
	int32 advance; // whole pixels
	std::vector<uint8> coverage;
};

// A face's vertical metrics in font units.
struct FaceMetrics {
	int32 unitsPerEm;
	int32 ascender;
	int32 descender;
	int32 height;
};

class DrawingBackEnd {
public:
	virtual ~DrawingBackEnd() {}

	// An opaque face of the font file, or NULL.
	virtual void* OpenFace(const char* path) = 0;
	virtual void GetFaceMetrics(void* face, FaceMetrics* metrics) = 0;
	// Fills the image of the character at `size` (1/64 pixel), sheared by `shear` degrees
	// (90 is upright); leaves it empty when the face has no such glyph.
	virtual void RenderGlyph(void* face, int32 size, float shear, bool antialiased,
		uint32 character, GlyphImage* image)
		= 0;

	// Writes `width` x `height` pixels stored blue, green, red, alpha as an 8-bit RGB PNG
	// file (RGBA with `alpha`), each pixel enlarged to a `scale` x `scale` square. 0 or the
	// host's errno value.
	virtual int WritePng(const char* path, const uint8* bits, int32 width, int32 height,
		int32 bytesPerRow, int32 scale, bool alpha)
		= 0;
};

// The back end, loaded the first time it is asked for; NULL when the module is missing.
DrawingBackEnd* drawing_back_end();

} // namespace BPrivate

// The module's one entry point.
extern "C" BPrivate::DrawingBackEnd* be_drawing_back_end();

#endif // _DRAWING_BACK_END_H

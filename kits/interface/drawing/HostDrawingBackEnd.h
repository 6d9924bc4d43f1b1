/*
 * The module be_drawing: the interface kit's drawing back end on the host's FreeType and
 * libpng (see HostDrawingBackEnd.cpp and PngEncoder.cpp).
 */
#ifndef _HOST_DRAWING_BACK_END_H
#define _HOST_DRAWING_BACK_END_H

#include <map>

#include "DrawingBackEnd.h"

namespace BPrivate {

class HostDrawingBackEnd : public DrawingBackEnd {
public:
	HostDrawingBackEnd();
	~HostDrawingBackEnd() override;

	void* OpenFace(const char* path) override;
	void GetFaceMetrics(void* face, FaceMetrics* metrics) override;
	void RenderGlyph(void* face, int32 size, float shear, bool antialiased, uint32 character,
		GlyphImage* image) override;
	int WritePng(const char* path, const uint8* bits, int32 width, int32 height, int32 bytesPerRow,
		int32 scale, bool alpha) override;

private:
	struct Data;
	Data* fData;
};

// Writes the PNG file for HostDrawingBackEnd::WritePng.
int encode_png(const char* path, const uint8* bits, int32 width, int32 height, int32 bytesPerRow,
	int32 scale, bool alpha);

} // namespace BPrivate

#endif // _HOST_DRAWING_BACK_END_H

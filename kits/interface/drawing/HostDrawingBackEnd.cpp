/*
 * Wraps FreeType for the interface kit: opens font files and renders 8-bit anti-aliased (or
 * one-bit) glyphs, auto-hinted, sheared as asked. No kerning, no bitmap strikes. The caller
 * serialises every use. Images go to encode_png (PngEncoder.cpp).
 */
#include "HostDrawingBackEnd.h"

#include <math.h>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace BPrivate {

struct HostDrawingBackEnd::Data {
	FT_Library library = NULL;
	bool libraryFailed = false;
	// The size last set on each face, which FreeType keeps per face.
	std::map<FT_Face, int32> sizes;
};

HostDrawingBackEnd::HostDrawingBackEnd() :
	fData(new Data)
{
}

HostDrawingBackEnd::~HostDrawingBackEnd()
{
	// Lives as long as the process: faces handed out may be in use until its very end.
}

void*
HostDrawingBackEnd::OpenFace(const char* path)
{
	if (fData->library == NULL && !fData->libraryFailed)
		fData->libraryFailed = FT_Init_FreeType(&fData->library) != 0;
	if (fData->library == NULL)
		return NULL;
	FT_Face face;
	if (FT_New_Face(fData->library, path, 0, &face) != 0)
		return NULL;
	return face;
}

void
HostDrawingBackEnd::GetFaceMetrics(void* handle, FaceMetrics* metrics)
{
	FT_Face face = (FT_Face)handle;
	metrics->unitsPerEm = face->units_per_EM;
	metrics->ascender = face->ascender;
	metrics->descender = face->descender;
	metrics->height = face->height;
}

void
HostDrawingBackEnd::RenderGlyph(void* handle, int32 size, float shear, bool antialiased,
	uint32 character, GlyphImage* image)
{
	FT_Face face = (FT_Face)handle;
	image->left = image->top = image->width = image->height = image->advance = 0;
	image->coverage.clear();

	int32& faceSize = fData->sizes[face];
	if (faceSize != size) {
		FT_Set_Char_Size(face, 0, size, 72, 72);
		faceSize = size;
	}
	if (shear != 90.0f) {
		double slant = tan((90.0 - shear) * M_PI / 180.0);
		FT_Matrix matrix = {0x10000, (FT_Fixed)(slant * 0x10000), 0, 0x10000};
		FT_Set_Transform(face, &matrix, NULL);
	}
	FT_UInt index = FT_Get_Char_Index(face, character);
	// The auto-hinter snaps stems to whole pixels as well, which keeps ten-point text crisp.
	FT_Int32 loadFlags = FT_LOAD_NO_BITMAP | FT_LOAD_FORCE_AUTOHINT | FT_LOAD_TARGET_NORMAL;
	if (FT_Load_Glyph(face, index, loadFlags) == 0
		&& FT_Render_Glyph(face->glyph, antialiased ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO)
			== 0) {
		FT_GlyphSlot glyph = face->glyph;
		const FT_Bitmap& bitmap = glyph->bitmap;
		image->advance = (int32)((glyph->advance.x + 32) >> 6);
		image->left = glyph->bitmap_left;
		image->top = glyph->bitmap_top;
		image->width = (int32)bitmap.width;
		image->height = (int32)bitmap.rows;
		image->coverage.resize((size_t)image->width * image->height);
		for (int32 y = 0; y < image->height; y++) {
			const uint8* row = bitmap.buffer + y * bitmap.pitch;
			uint8* target = image->coverage.data() + (size_t)y * image->width;
			for (int32 x = 0; x < image->width; x++) {
				if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
					target[x] = (row[x >> 3] & (0x80 >> (x & 7))) != 0 ? 255 : 0;
				else
					target[x] = row[x];
			}
		}
	}
	if (shear != 90.0f)
		FT_Set_Transform(face, NULL, NULL);
}

int
HostDrawingBackEnd::WritePng(const char* path, const uint8* bits, int32 width, int32 height,
	int32 bytesPerRow, int32 scale, bool alpha)
{
	return encode_png(path, bits, width, height, bytesPerRow, scale, alpha);
}

} // namespace BPrivate

extern "C" BPrivate::DrawingBackEnd*
be_drawing_back_end()
{
	static BPrivate::DrawingBackEnd* backEnd = new BPrivate::HostDrawingBackEnd;
	return backEnd;
}

/*
 * Private to the interface kit: the font families and the glyphs behind BFont, rendered from
 * the host's font files by the drawing back end (see FontEngine.cpp).
 */
#ifndef _FONT_ENGINE_H
#define _FONT_ENGINE_H

#include <memory>
#include <vector>

#include <Font.h>

#include "DrawingBackEnd.h"

namespace BPrivate {

struct PlacedGlyph {
	std::shared_ptr<const GlyphImage> image;
	int32 penX; // pixels from the string's start
};

class FontEngine {
public:
	enum {
		kSansFamily = 0,
		kFixedFamily = 1
	};
	enum {
		kRegularStyle = 0,
		kBoldStyle = 1,
		kItalicStyle = 2,
		kBoldItalicStyle = 3
	};

	static FontEngine& Default();

	// The global fonts, made without touching the font files.
	static BFont MakeFont(uint16 familyID, uint16 styleID, float size);

	int32 CountFamilies();
	status_t GetFamily(int32 index, font_family* name, uint32* flags);
	int32 CountStyles(const char* family);
	status_t GetStyle(const char* family, int32 index, font_style* name, uint16* face,
		uint32* flags);
	status_t FindStyle(const char* family, const char* style, uint16* familyID, uint16* styleID);
	status_t FindFace(const char* family, uint16 face, uint16* familyID, uint16* styleID);
	void GetNames(uint16 familyID, uint16 styleID, font_family* family, font_style* style);
	uint16 FaceFor(uint16 styleID) const;
	uint16 StyleForFace(uint16 face) const;

	float StringWidth(const BFont& font, const char* string, int32 length);
	void GetEscapements(const BFont& font, const char* string, int32 numChars, float* escapements);
	void GetHeight(const BFont& font, font_height* height);
	// Glyphs of the string with their pen offsets; returns the whole advance in pixels.
	int32 Layout(const BFont& font, const char* string, int32 length,
		std::vector<PlacedGlyph>* glyphs);

private:
	FontEngine();
	~FontEngine();
	FontEngine(const FontEngine&);
	FontEngine& operator=(const FontEngine&);

	struct Data;
	Data* fData;
};

} // namespace BPrivate

#endif // _FONT_ENGINE_H

/*
 * BFont: family and style, size, shear and the measurements of text. The families are a
 * Helvetica-metric sans-serif face and a monospaced face from the host's font files; rotation,
 * encodings other than UTF-8, tuned fonts, unicode blocks and bounding boxes of glyphs are
 * not provided (rotation is stored but text is drawn horizontally).
 */
#ifndef _FONT_H
#define _FONT_H

#include <InterfaceDefs.h>
#include <Rect.h>
#include <SupportDefs.h>

class BString;

namespace BPrivate {
class FontEngine;
}

#define B_FONT_FAMILY_LENGTH 63
#define B_FONT_STYLE_LENGTH 63

typedef char font_family[B_FONT_FAMILY_LENGTH + 1];
typedef char font_style[B_FONT_STYLE_LENGTH + 1];

enum {
	B_CHAR_SPACING = 0,
	B_STRING_SPACING = 1,
	B_BITMAP_SPACING = 2,
	B_FIXED_SPACING = 3
};

enum font_direction {
	B_FONT_LEFT_TO_RIGHT = 0,
	B_FONT_RIGHT_TO_LEFT = 1
};

enum {
	B_DISABLE_ANTIALIASING = 0x00000001,
	B_FORCE_ANTIALIASING = 0x00000002
};

enum {
	B_TRUNCATE_END = 0,
	B_TRUNCATE_BEGINNING = 1,
	B_TRUNCATE_MIDDLE = 2,
	B_TRUNCATE_SMART = 3
};

enum {
	B_UNICODE_UTF8 = 0,
	B_ISO_8859_1 = 1,
	B_ISO_8859_2 = 2,
	B_ISO_8859_3 = 3,
	B_ISO_8859_4 = 4,
	B_ISO_8859_5 = 5,
	B_ISO_8859_6 = 6,
	B_ISO_8859_7 = 7,
	B_ISO_8859_8 = 8,
	B_ISO_8859_9 = 9,
	B_ISO_8859_10 = 10,
	B_MACINTOSH_ROMAN = 11
};

enum {
	B_SCREEN_FONT_CACHE = 0x0001,
	B_PRINTING_FONT_CACHE = 0x0002,
	B_DEFAULT_CACHE_SETTING = 0x0004,
	B_APP_CACHE_SETTING = 0x0008
};

enum {
	B_HAS_TUNED_FONT = 0x0001,
	B_IS_FIXED = 0x0002
};

enum {
	B_ITALIC_FACE = 0x0001,
	B_UNDERSCORE_FACE = 0x0002,
	B_NEGATIVE_FACE = 0x0004,
	B_OUTLINED_FACE = 0x0008,
	B_STRIKEOUT_FACE = 0x0010,
	B_BOLD_FACE = 0x0020,
	B_REGULAR_FACE = 0x0040
};

// Which properties SetFont copies into a view.
enum {
	B_FONT_FAMILY_AND_STYLE = 0x00000001,
	B_FONT_SIZE = 0x00000002,
	B_FONT_SHEAR = 0x00000004,
	B_FONT_ROTATION = 0x00000008,
	B_FONT_SPACING = 0x00000010,
	B_FONT_ENCODING = 0x00000020,
	B_FONT_FACE = 0x00000040,
	B_FONT_FLAGS = 0x00000080,
	B_FONT_ALL = 0x000000FF
};

enum font_metric_mode {
	B_SCREEN_METRIC = 0,
	B_PRINTING_METRIC = 1
};

enum font_file_format {
	B_TRUETYPE_WINDOWS = 0,
	B_POSTSCRIPT_TYPE1_WINDOWS = 1
};

struct edge_info {
	float left;
	float right;
};

struct font_height {
	float ascent;
	float descent;
	float leading;
};

struct escapement_delta {
	float nonspace;
	float space;
};

class BFont {
public:
	// A copy of be_plain_font.
	BFont();
	BFont(const BFont& font);
	BFont(const BFont* font);

	status_t SetFamilyAndStyle(const font_family family, const font_style style);
	void SetFamilyAndStyle(uint32 code);
	status_t SetFamilyAndFace(const font_family family, uint16 face);

	void SetSize(float size);
	// Degrees between the baseline and the glyph stems, 90 upright; kept within 45 to 135.
	void SetShear(float shear);
	void SetRotation(float rotation);
	void SetSpacing(uint8 spacing);
	void SetEncoding(uint8 encoding);
	void SetFace(uint16 face);
	void SetFlags(uint32 flags);

	void GetFamilyAndStyle(font_family* family, font_style* style) const;
	uint32 FamilyAndStyle() const;
	float Size() const;
	float Shear() const;
	float Rotation() const;
	uint8 Spacing() const;
	uint8 Encoding() const;
	uint16 Face() const;
	uint32 Flags() const;
	font_direction Direction() const;
	bool IsFixed() const;
	bool IsFullAndHalfFixed() const;
	font_file_format FileFormat() const;

	void TruncateString(BString* inOut, uint32 mode, float width) const;

	float StringWidth(const char* string) const;
	float StringWidth(const char* string, int32 length) const;
	void GetStringWidths(const char* stringArray[], const int32 lengthArray[], int32 numStrings,
		float widthArray[]) const;
	// Advances of each character, in units of the font size.
	void GetEscapements(const char charArray[], int32 numChars, float escapementArray[]) const;
	void GetEscapements(const char charArray[], int32 numChars, escapement_delta* delta,
		float escapementArray[]) const;

	void GetHeight(font_height* height) const;

	BFont& operator=(const BFont& font);
	bool operator==(const BFont& font) const;
	bool operator!=(const BFont& font) const;

	void PrintToStream() const;

private:
	friend class BPrivate::FontEngine;

	BFont(uint16 familyID, uint16 styleID, float size);

	uint16 fFamilyID;
	uint16 fStyleID;
	float fSize;
	float fShear;
	float fRotation;
	uint8 fSpacing;
	uint8 fEncoding;
	uint16 fFace;
	uint32 fFlags;
};

extern const BFont* be_plain_font;
extern const BFont* be_bold_font;
extern const BFont* be_fixed_font;

int32 count_font_families();
status_t get_font_family(int32 index, font_family* name, uint32* flags = NULL);
int32 count_font_styles(font_family name);
status_t get_font_style(font_family family, int32 index, font_style* name, uint32* flags = NULL);
status_t get_font_style(font_family family, int32 index, font_style* name, uint16* face,
	uint32* flags = NULL);
bool update_font_families(bool checkOnly);

#endif // _FONT_H

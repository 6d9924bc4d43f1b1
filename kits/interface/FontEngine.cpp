/*
 * Finds the sans-serif and monospaced font files of the host (Debian's Liberation fonts,
 * falling back on DejaVu), measures text and keeps the glyphs that the drawing back end
 * renders, sheared as BFont asks, in a cache shared by every window. The back end is loaded
 * with the first face. No kerning, no rotation, no glyph substitution; one lock serialises
 * all use of the back end's fonts.
 */
#include "FontEngine.h"

#include <math.h>
#include <stdio.h>
#include <string.h>
#include <strings.h>
#include <unistd.h>

#include <mutex>
#include <string>
#include <unordered_map>

namespace BPrivate {

namespace {

const int32 kStyleCount = 4;

struct FamilyCandidate {
	const char* name;
	const char* directory;
	const char* files[kStyleCount];
};

// In order of preference; the first whose regular face exists names the family.
const FamilyCandidate kSansCandidates[] = {
	{"Liberation Sans", "/usr/share/fonts/truetype/liberation2/",
		{"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf", "LiberationSans-Italic.ttf",
			"LiberationSans-BoldItalic.ttf"}},
	{"Liberation Sans", "/usr/share/fonts/truetype/liberation/",
		{"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf", "LiberationSans-Italic.ttf",
			"LiberationSans-BoldItalic.ttf"}},
	{"Liberation Sans", "/usr/share/fonts/liberation-sans/",
		{"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf", "LiberationSans-Italic.ttf",
			"LiberationSans-BoldItalic.ttf"}},
	{"DejaVu Sans", "/usr/share/fonts/truetype/dejavu/",
		{"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf",
			"DejaVuSans-BoldOblique.ttf"}},
};

const FamilyCandidate kFixedCandidates[] = {
	{"Liberation Mono", "/usr/share/fonts/truetype/liberation2/",
		{"LiberationMono-Regular.ttf", "LiberationMono-Bold.ttf", "LiberationMono-Italic.ttf",
			"LiberationMono-BoldItalic.ttf"}},
	{"Liberation Mono", "/usr/share/fonts/truetype/liberation/",
		{"LiberationMono-Regular.ttf", "LiberationMono-Bold.ttf", "LiberationMono-Italic.ttf",
			"LiberationMono-BoldItalic.ttf"}},
	{"Liberation Mono", "/usr/share/fonts/liberation-mono/",
		{"LiberationMono-Regular.ttf", "LiberationMono-Bold.ttf", "LiberationMono-Italic.ttf",
			"LiberationMono-BoldItalic.ttf"}},
	{"DejaVu Sans Mono", "/usr/share/fonts/truetype/dejavu/",
		{"DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf", "DejaVuSansMono-Oblique.ttf",
			"DejaVuSansMono-BoldOblique.ttf"}},
};

const char* const kStyleNames[kStyleCount] = {"Regular", "Bold", "Italic", "Bold Italic"};
const uint16 kStyleFaces[kStyleCount] = {B_REGULAR_FACE, B_BOLD_FACE, B_ITALIC_FACE,
	B_BOLD_FACE | B_ITALIC_FACE};

// Names that code written for the platform asks for.
const struct {
	const char* alias;
	uint16 family;
} kFamilyAliases[] = {
	{"Swis721 BT", FontEngine::kSansFamily},
	{"Courier10 BT", FontEngine::kFixedFamily},
	{"Liberation Sans", FontEngine::kSansFamily},
	{"DejaVu Sans", FontEngine::kSansFamily},
	{"Liberation Mono", FontEngine::kFixedFamily},
	{"DejaVu Sans Mono", FontEngine::kFixedFamily},
};

const struct {
	const char* alias;
	uint16 style;
} kStyleAliases[] = {
	{"Regular", FontEngine::kRegularStyle},
	{"Roman", FontEngine::kRegularStyle},
	{"Book", FontEngine::kRegularStyle},
	{"Bold", FontEngine::kBoldStyle},
	{"Italic", FontEngine::kItalicStyle},
	{"Oblique", FontEngine::kItalicStyle},
	{"Bold Italic", FontEngine::kBoldItalicStyle},
	{"Bold Oblique", FontEngine::kBoldItalicStyle},
};

// A cache this large holds every glyph of a few sizes of both families.
const size_t kMaxCachedGlyphs = 8192;

struct Family {
	std::string name;
	std::string paths[kStyleCount];
	void* faces[kStyleCount] = {};
	bool loadFailed[kStyleCount] = {};
};

bool
FileExists(const std::string& path)
{
	return access(path.c_str(), R_OK) == 0;
}

template<size_t N>
void
Resolve(Family& family, const FamilyCandidate (&candidates)[N])
{
	for (const FamilyCandidate& candidate : candidates) {
		std::string regular = std::string(candidate.directory) + candidate.files[0];
		if (!FileExists(regular))
			continue;
		family.name = candidate.name;
		for (int32 style = 0; style < kStyleCount; style++) {
			std::string path = std::string(candidate.directory) + candidate.files[style];
			if (FileExists(path))
				family.paths[style] = path;
		}
		return;
	}
}

// Decodes one UTF-8 character; malformed bytes read as U+FFFD, one byte at a time.
uint32
NextCharacter(const char*& string, const char* end)
{
	const uint8* bytes = (const uint8*)string;
	uint8 first = bytes[0];
	int32 length;
	uint32 code;
	if (first < 0x80) {
		string++;
		return first;
	}
	if ((first & 0xe0) == 0xc0) {
		length = 2;
		code = first & 0x1f;
	} else if ((first & 0xf0) == 0xe0) {
		length = 3;
		code = first & 0x0f;
	} else if ((first & 0xf8) == 0xf0) {
		length = 4;
		code = first & 0x07;
	} else {
		string++;
		return 0xfffd;
	}
	if (end - string < length) {
		string++;
		return 0xfffd;
	}
	for (int32 i = 1; i < length; i++) {
		if ((bytes[i] & 0xc0) != 0x80) {
			string++;
			return 0xfffd;
		}
		code = (code << 6) | (bytes[i] & 0x3f);
	}
	string += length;
	return code;
}

} // namespace

struct FontEngine::Data {
	std::mutex lock;
	Family families[2];
	std::unordered_map<uint64, std::shared_ptr<const GlyphImage>> glyphs;

	void* Face(uint16 familyID, uint16 styleID);
	std::shared_ptr<const GlyphImage> Glyph(const BFont& font, void* face, uint64 slot,
		uint32 character);
};

void*
FontEngine::Data::Face(uint16 familyID, uint16 styleID)
{
	if (familyID > kFixedFamily)
		familyID = kSansFamily;
	if (styleID >= kStyleCount)
		styleID = kRegularStyle;
	Family& family = families[familyID];
	if (family.paths[styleID].empty())
		styleID = kRegularStyle;
	if (family.paths[styleID].empty())
		return NULL;
	if (family.faces[styleID] != NULL || family.loadFailed[styleID])
		return family.faces[styleID];

	DrawingBackEnd* backEnd = drawing_back_end();
	void* face = backEnd != NULL ? backEnd->OpenFace(family.paths[styleID].c_str()) : NULL;
	if (face == NULL) {
		family.loadFailed[styleID] = true;
		return NULL;
	}
	family.faces[styleID] = face;
	return face;
}

std::shared_ptr<const GlyphImage>
FontEngine::Data::Glyph(const BFont& font, void* face, uint64 slot, uint32 character)
{
	int32 size = (int32)(font.Size() * 64 + 0.5f);
	if (size < 64)
		size = 64;
	uint64 shearKey = (uint64)(font.Shear() * 16 + 0.5f);
	bool antialiased = (font.Flags() & B_DISABLE_ANTIALIASING) == 0;
	uint64 key = (slot << 61) | ((uint64)(size & 0xfffff) << 41) | ((shearKey & 0xfff) << 29)
		| ((uint64)antialiased << 21) | (character & 0x1fffff);
	auto found = glyphs.find(key);
	if (found != glyphs.end())
		return found->second;

	// A face exists only once the back end does.
	std::shared_ptr<GlyphImage> image = std::make_shared<GlyphImage>();
	drawing_back_end()->RenderGlyph(face, size, font.Shear(), antialiased, character, image.get());

	if (glyphs.size() >= kMaxCachedGlyphs)
		glyphs.clear();
	glyphs[key] = image;
	return image;
}

FontEngine::FontEngine() :
	fData(new Data)
{
	Resolve(fData->families[kSansFamily], kSansCandidates);
	Resolve(fData->families[kFixedFamily], kFixedCandidates);
}

FontEngine::~FontEngine()
{
	// Lives as long as the process; glyph images may still be in use by other statics.
}

FontEngine&
FontEngine::Default()
{
	static FontEngine* sEngine = new FontEngine;
	return *sEngine;
}

BFont
FontEngine::MakeFont(uint16 familyID, uint16 styleID, float size)
{
	return BFont(familyID, styleID, size);
}

int32
FontEngine::CountFamilies()
{
	int32 count = 0;
	for (const Family& family : fData->families) {
		if (!family.name.empty())
			count++;
	}
	return count;
}

status_t
FontEngine::GetFamily(int32 index, font_family* name, uint32* flags)
{
	for (int32 id = 0; id < 2; id++) {
		const Family& family = fData->families[id];
		if (family.name.empty() || index-- > 0)
			continue;
		if (name != NULL)
			snprintf(*name, sizeof(font_family), "%s", family.name.c_str());
		if (flags != NULL)
			*flags = id == kFixedFamily ? B_IS_FIXED : 0;
		return B_OK;
	}
	return B_BAD_VALUE;
}

int32
FontEngine::CountStyles(const char* familyName)
{
	uint16 familyID = kSansFamily;
	uint16 styleID = kRegularStyle;
	if (familyName == NULL || FindStyle(familyName, NULL, &familyID, &styleID) != B_OK)
		return 0;
	int32 count = 0;
	for (const std::string& path : fData->families[familyID].paths) {
		if (!path.empty())
			count++;
	}
	return count;
}

status_t
FontEngine::GetStyle(const char* familyName, int32 index, font_style* name, uint16* face,
	uint32* flags)
{
	uint16 familyID = kSansFamily;
	uint16 styleID = kRegularStyle;
	if (familyName == NULL || FindStyle(familyName, NULL, &familyID, &styleID) != B_OK)
		return B_NAME_NOT_FOUND;
	const Family& family = fData->families[familyID];
	for (int32 style = 0; style < kStyleCount; style++) {
		if (family.paths[style].empty() || index-- > 0)
			continue;
		if (name != NULL)
			snprintf(*name, sizeof(font_style), "%s", kStyleNames[style]);
		if (face != NULL)
			*face = kStyleFaces[style];
		if (flags != NULL)
			*flags = familyID == kFixedFamily ? B_IS_FIXED : 0;
		return B_OK;
	}
	return B_BAD_VALUE;
}

status_t
FontEngine::FindStyle(const char* familyName, const char* styleName, uint16* familyID,
	uint16* styleID)
{
	int32 family = -1;
	if (familyName != NULL) {
		for (const auto& alias : kFamilyAliases) {
			if (strcasecmp(alias.alias, familyName) == 0) {
				family = alias.family;
				break;
			}
		}
		if (family < 0 || fData->families[family].name.empty())
			return B_NAME_NOT_FOUND;
	}
	int32 style = -1;
	if (styleName != NULL) {
		for (const auto& alias : kStyleAliases) {
			if (strcasecmp(alias.alias, styleName) == 0) {
				style = alias.style;
				break;
			}
		}
		if (style < 0)
			return B_NAME_NOT_FOUND;
	}
	if (family >= 0)
		*familyID = (uint16)family;
	if (style >= 0)
		*styleID = (uint16)style;
	return B_OK;
}

status_t
FontEngine::FindFace(const char* familyName, uint16 face, uint16* familyID, uint16* styleID)
{
	status_t status = FindStyle(familyName, NULL, familyID, styleID);
	if (status != B_OK)
		return status;
	*styleID = StyleForFace(face);
	return B_OK;
}

void
FontEngine::GetNames(uint16 familyID, uint16 styleID, font_family* family, font_style* style)
{
	if (family != NULL) {
		const char* name = familyID <= kFixedFamily ? fData->families[familyID].name.c_str() : "";
		snprintf(*family, sizeof(font_family), "%s", name);
	}
	if (style != NULL)
		snprintf(*style, sizeof(font_style), "%s",
			kStyleNames[styleID < kStyleCount ? styleID : 0]);
}

uint16
FontEngine::FaceFor(uint16 styleID) const
{
	return kStyleFaces[styleID < kStyleCount ? styleID : 0];
}

uint16
FontEngine::StyleForFace(uint16 face) const
{
	bool bold = (face & B_BOLD_FACE) != 0;
	bool italic = (face & B_ITALIC_FACE) != 0;
	if (bold && italic)
		return kBoldItalicStyle;
	if (bold)
		return kBoldStyle;
	if (italic)
		return kItalicStyle;
	return kRegularStyle;
}

float
FontEngine::StringWidth(const BFont& font, const char* string, int32 length)
{
	std::vector<PlacedGlyph> glyphs;
	return (float)Layout(font, string, length, &glyphs);
}

void
FontEngine::GetEscapements(const BFont& font, const char* string, int32 numChars,
	float* escapements)
{
	std::lock_guard<std::mutex> guard(fData->lock);
	void* face = fData->Face(font.fFamilyID, font.fStyleID);
	uint64 slot = (uint64)(font.fFamilyID & 1) * 4 + (font.fStyleID & 3);
	const char* end = string + strlen(string);
	for (int32 i = 0; i < numChars; i++) {
		if (string >= end) {
			escapements[i] = 0;
			continue;
		}
		uint32 character = NextCharacter(string, end);
		int32 advance = 0;
		if (face != NULL && character >= 0x20)
			advance = fData->Glyph(font, face, slot, character)->advance;
		escapements[i] = font.Size() > 0 ? advance / font.Size() : 0;
	}
}

void
FontEngine::GetHeight(const BFont& font, font_height* height)
{
	std::lock_guard<std::mutex> guard(fData->lock);
	void* face = fData->Face(font.fFamilyID, font.fStyleID);
	float size = font.Size();
	FaceMetrics metrics = {};
	if (face != NULL)
		drawing_back_end()->GetFaceMetrics(face, &metrics);
	if (metrics.unitsPerEm == 0) {
		height->ascent = ceilf(size * 0.8f);
		height->descent = ceilf(size * 0.2f);
		height->leading = 0;
		return;
	}
	float scale = size / metrics.unitsPerEm;
	height->ascent = metrics.ascender * scale;
	height->descent = -metrics.descender * scale;
	float lineGap = (metrics.height - metrics.ascender + metrics.descender) * scale;
	height->leading = lineGap > 0 ? lineGap : 0;
}

int32
FontEngine::Layout(const BFont& font, const char* string, int32 length,
	std::vector<PlacedGlyph>* glyphs)
{
	glyphs->clear();
	if (string == NULL || length <= 0)
		return 0;
	std::lock_guard<std::mutex> guard(fData->lock);
	void* face = fData->Face(font.fFamilyID, font.fStyleID);
	if (face == NULL)
		return 0;
	uint64 slot = (uint64)(font.fFamilyID & 1) * 4 + (font.fStyleID & 3);
	const char* end = string + length;
	int32 pen = 0;
	while (string < end && *string != '\0') {
		uint32 character = NextCharacter(string, end);
		if (character < 0x20)
			continue;
		std::shared_ptr<const GlyphImage> image = fData->Glyph(font, face, slot, character);
		glyphs->push_back({image, pen});
		pen += image->advance;
	}
	return pen;
}

} // namespace BPrivate

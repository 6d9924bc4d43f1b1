#include <Font.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include <String.h>

#include "FontEngine.h"

using BPrivate::FontEngine;

namespace {

const float kDefaultSize = 10.0f;
const float kMinShear = 45.0f;
const float kMaxShear = 135.0f;
const float kMaxSize = 10000.0f;

const BFont sPlainFont = FontEngine::MakeFont(FontEngine::kSansFamily, FontEngine::kRegularStyle,
	kDefaultSize);
const BFont sBoldFont = FontEngine::MakeFont(FontEngine::kSansFamily, FontEngine::kBoldStyle,
	kDefaultSize);
const BFont sFixedFont = FontEngine::MakeFont(FontEngine::kFixedFamily, FontEngine::kRegularStyle,
	kDefaultSize);

// Byte offsets at which the characters of a UTF-8 string start, plus its length.
std::vector<int32>
CharacterStarts(const std::string& text)
{
	std::vector<int32> starts;
	for (int32 i = 0; i < (int32)text.size(); i++) {
		if (((uint8)text[i] & 0xc0) != 0x80)
			starts.push_back(i);
	}
	starts.push_back((int32)text.size());
	return starts;
}

} // namespace

const BFont* be_plain_font = &sPlainFont;
const BFont* be_bold_font = &sBoldFont;
const BFont* be_fixed_font = &sFixedFont;

BFont::BFont() :
	BFont(FontEngine::kSansFamily, FontEngine::kRegularStyle, kDefaultSize)
{
}

BFont::BFont(const BFont& font)
{
	*this = font;
}

BFont::BFont(const BFont* font)
{
	*this = font != NULL ? *font : BFont();
}

BFont::BFont(uint16 familyID, uint16 styleID, float size) :
	fFamilyID(familyID),
	fStyleID(styleID),
	fSize(size),
	fShear(90.0f),
	fRotation(0.0f),
	fSpacing(B_BITMAP_SPACING),
	fEncoding(B_UNICODE_UTF8),
	fFace(styleID == FontEngine::kBoldStyle ? B_BOLD_FACE : B_REGULAR_FACE),
	fFlags(0)
{
}

status_t
BFont::SetFamilyAndStyle(const font_family family, const font_style style)
{
	uint16 familyID = fFamilyID;
	uint16 styleID = FontEngine::kRegularStyle;
	status_t status = FontEngine::Default().FindStyle(family, style, &familyID, &styleID);
	if (status != B_OK)
		return status;
	fFamilyID = familyID;
	fStyleID = styleID;
	fFace = FontEngine::Default().FaceFor(styleID);
	return B_OK;
}

void
BFont::SetFamilyAndStyle(uint32 code)
{
	fFamilyID = (uint16)(code >> 16);
	fStyleID = (uint16)(code & 0xffff);
	fFace = FontEngine::Default().FaceFor(fStyleID);
}

status_t
BFont::SetFamilyAndFace(const font_family family, uint16 face)
{
	uint16 familyID = fFamilyID;
	uint16 styleID = fStyleID;
	status_t status = FontEngine::Default().FindFace(family, face, &familyID, &styleID);
	if (status != B_OK)
		return status;
	fFamilyID = familyID;
	fStyleID = styleID;
	fFace = face;
	return B_OK;
}

void
BFont::SetSize(float size)
{
	if (size < 0)
		size = 0;
	fSize = size > kMaxSize ? kMaxSize : size;
}

void
BFont::SetShear(float shear)
{
	if (shear < kMinShear)
		shear = kMinShear;
	fShear = shear > kMaxShear ? kMaxShear : shear;
}

void
BFont::SetRotation(float rotation)
{
	fRotation = rotation;
}

void
BFont::SetSpacing(uint8 spacing)
{
	fSpacing = spacing;
}

void
BFont::SetEncoding(uint8 encoding)
{
	fEncoding = encoding;
}

void
BFont::SetFace(uint16 face)
{
	fFace = face;
	fStyleID = FontEngine::Default().StyleForFace(face);
}

void
BFont::SetFlags(uint32 flags)
{
	fFlags = flags;
}

void
BFont::GetFamilyAndStyle(font_family* family, font_style* style) const
{
	FontEngine::Default().GetNames(fFamilyID, fStyleID, family, style);
}

uint32
BFont::FamilyAndStyle() const
{
	return ((uint32)fFamilyID << 16) | fStyleID;
}

float
BFont::Size() const
{
	return fSize;
}

float
BFont::Shear() const
{
	return fShear;
}

float
BFont::Rotation() const
{
	return fRotation;
}

uint8
BFont::Spacing() const
{
	return fSpacing;
}

uint8
BFont::Encoding() const
{
	return fEncoding;
}

uint16
BFont::Face() const
{
	return fFace;
}

uint32
BFont::Flags() const
{
	return fFlags;
}

font_direction
BFont::Direction() const
{
	return B_FONT_LEFT_TO_RIGHT;
}

bool
BFont::IsFixed() const
{
	return fFamilyID == FontEngine::kFixedFamily;
}

bool
BFont::IsFullAndHalfFixed() const
{
	return false;
}

font_file_format
BFont::FileFormat() const
{
	return B_TRUETYPE_WINDOWS;
}

void
BFont::TruncateString(BString* inOut, uint32 mode, float width) const
{
	if (inOut == NULL)
		return;
	std::string text(inOut->String(), inOut->Length());
	if (StringWidth(text.c_str(), (int32)text.size()) <= width)
		return;

	const std::string ellipsis = B_UTF8_ELLIPSIS;
	std::vector<int32> starts = CharacterStarts(text);
	int32 count = (int32)starts.size() - 1;
	std::string best;
	bool found = false;
	// Keep as many characters as fit, from the end, the start or both sides of the middle.
	for (int32 kept = count - 1; kept >= 0 && !found; kept--) {
		std::string candidate;
		switch (mode) {
			case B_TRUNCATE_BEGINNING:
				candidate = ellipsis + text.substr(starts[count - kept]);
				break;
			case B_TRUNCATE_MIDDLE:
			case B_TRUNCATE_SMART:
			{
				int32 head = (kept + 1) / 2;
				int32 tail = kept - head;
				candidate = text.substr(0, starts[head]) + ellipsis
					+ text.substr(starts[count - tail]);
				break;
			}
			default:
				candidate = text.substr(0, starts[kept]) + ellipsis;
				break;
		}
		if (StringWidth(candidate.c_str(), (int32)candidate.size()) <= width) {
			best = candidate;
			found = true;
		}
	}
	inOut->SetTo(best.c_str());
}

float
BFont::StringWidth(const char* string) const
{
	if (string == NULL)
		return 0;
	return StringWidth(string, (int32)strlen(string));
}

float
BFont::StringWidth(const char* string, int32 length) const
{
	if (string == NULL || length <= 0)
		return 0;
	return FontEngine::Default().StringWidth(*this, string, length);
}

void
BFont::GetStringWidths(const char* stringArray[], const int32 lengthArray[], int32 numStrings,
	float widthArray[]) const
{
	for (int32 i = 0; i < numStrings; i++)
		widthArray[i] = StringWidth(stringArray[i], lengthArray[i]);
}

void
BFont::GetEscapements(const char charArray[], int32 numChars, float escapementArray[]) const
{
	GetEscapements(charArray, numChars, NULL, escapementArray);
}

void
BFont::GetEscapements(const char charArray[], int32 numChars, escapement_delta* delta,
	float escapementArray[]) const
{
	if (charArray == NULL || escapementArray == NULL || numChars <= 0)
		return;
	FontEngine::Default().GetEscapements(*this, charArray, numChars, escapementArray);
	if (delta == NULL || fSize <= 0)
		return;
	// The deltas are in pixels; escapements are in units of the size.
	const char* character = charArray;
	for (int32 i = 0; i < numChars && *character != '\0'; i++) {
		escapementArray[i] += (*character == ' ' ? delta->space : delta->nonspace) / fSize;
		do
			character++;
		while (((uint8)*character & 0xc0) == 0x80);
	}
}

void
BFont::GetHeight(font_height* height) const
{
	if (height != NULL)
		FontEngine::Default().GetHeight(*this, height);
}

BFont&
BFont::operator=(const BFont& font)
{
	fFamilyID = font.fFamilyID;
	fStyleID = font.fStyleID;
	fSize = font.fSize;
	fShear = font.fShear;
	fRotation = font.fRotation;
	fSpacing = font.fSpacing;
	fEncoding = font.fEncoding;
	fFace = font.fFace;
	fFlags = font.fFlags;
	return *this;
}

bool
BFont::operator==(const BFont& font) const
{
	return fFamilyID == font.fFamilyID && fStyleID == font.fStyleID && fSize == font.fSize
		&& fShear == font.fShear && fRotation == font.fRotation && fSpacing == font.fSpacing
		&& fEncoding == font.fEncoding && fFace == font.fFace && fFlags == font.fFlags;
}

bool
BFont::operator!=(const BFont& font) const
{
	return !(*this == font);
}

void
BFont::PrintToStream() const
{
	font_family family;
	font_style style;
	GetFamilyAndStyle(&family, &style);
	printf("BFont(%s, %s, size %.1f, shear %.1f, rotation %.1f)\n", family, style, fSize, fShear,
		fRotation);
}

int32
count_font_families()
{
	return FontEngine::Default().CountFamilies();
}

status_t
get_font_family(int32 index, font_family* name, uint32* flags)
{
	return FontEngine::Default().GetFamily(index, name, flags);
}

int32
count_font_styles(font_family name)
{
	return FontEngine::Default().CountStyles(name);
}

status_t
get_font_style(font_family family, int32 index, font_style* name, uint32* flags)
{
	return FontEngine::Default().GetStyle(family, index, name, NULL, flags);
}

status_t
get_font_style(font_family family, int32 index, font_style* name, uint16* face, uint32* flags)
{
	return FontEngine::Default().GetStyle(family, index, name, face, flags);
}

bool
update_font_families(bool /*checkOnly*/)
{
	return false;
}

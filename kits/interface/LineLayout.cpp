#include "LineLayout.h"

#include <math.h>

#include <algorithm>

#include <Font.h>

#include "StyleRuns.h"

namespace BPrivate {

namespace {

const float kDefaultTabWidth = 28.0f;

} // namespace

int32
utf8_character_length(const std::string& text, int32 offset)
{
	uint8 lead = (uint8)text[offset];
	int32 length = 1;
	if ((lead & 0xe0) == 0xc0)
		length = 2;
	else if ((lead & 0xf0) == 0xe0)
		length = 3;
	else if ((lead & 0xf8) == 0xf0)
		length = 4;
	length = std::min(length, (int32)text.size() - offset);
	for (int32 i = 1; i < length; i++) {
		if (((uint8)text[offset + i] & 0xc0) != 0x80)
			return i;
	}
	return length;
}

LineLayout::LineLayout(const std::string& text, const StyleRuns& runs) :
	fText(text),
	fRuns(runs),
	fTabWidth(kDefaultTabWidth),
	fHidden(false)
{
}

void
LineLayout::SetTabWidth(float width)
{
	fTabWidth = width;
}

float
LineLayout::TabWidth() const
{
	return fTabWidth;
}

void
LineLayout::SetHidden(bool hidden)
{
	fHidden = hidden;
}

bool
LineLayout::IsHidden() const
{
	return fHidden;
}

void
LineLayout::Update(float top, bool wrap, float wrapWidth,
	const std::function<bool(int32 offset)>& canEndLine)
{
	fLines.clear();
	int32 length = (int32)fText.size();
	int32 offset = 0;
	while (true) {
		int32 start = offset;
		int32 end = start;
		int32 lastBreak = -1;
		float x = 0;
		float widthAtBreak = 0;
		bool newline = false;
		while (end < length) {
			char character = fText[end];
			if (character == '\n') {
				end++;
				newline = true;
				break;
			}
			int32 characterLength = utf8_character_length(fText, end);
			float width = CharacterWidth(end, characterLength, x);
			// Blanks may hang past the edge; anything else starts a new line.
			if (wrap && end > start && x + width > wrapWidth && character != ' '
				&& character != '\t') {
				if (lastBreak > start) {
					end = lastBreak;
					x = widthAtBreak;
				}
				break;
			}
			x += width;
			end += characterLength;
			if (canEndLine(end - characterLength)) {
				lastBreak = end;
				widthAtBreak = x;
			}
		}

		TextLine line;
		line.offset = start;
		line.top = top;
		line.width = x;
		float ascent = 0;
		float descent = 0;
		float leading = 0;
		int32 lastStyled = std::max(start, std::min(end, length) - 1);
		for (int32 run = fRuns.IndexAt(start > 0 && start == length ? start - 1 : start);
			 run < fRuns.CountRuns() && (fRuns.RunAt(run).offset <= lastStyled || run == 0);
			 run++) {
			font_height height;
			fRuns.RunAt(run).font.GetHeight(&height);
			ascent = std::max(ascent, height.ascent);
			descent = std::max(descent, height.descent);
			leading = std::max(leading, height.leading);
		}
		line.ascent = ascent;
		line.height = ceilf(ascent + descent + leading);
		fLines.push_back(line);
		top += line.height;

		offset = end;
		if (end >= length) {
			if (newline) {
				TextLine last = line;
				last.offset = length;
				last.top = top;
				last.width = 0;
				fLines.push_back(last);
			}
			break;
		}
	}
}

int32
LineLayout::CountLines() const
{
	return (int32)fLines.size();
}

const TextLine&
LineLayout::Line(int32 index) const
{
	return fLines[index];
}

int32
LineLayout::LineAt(int32 offset) const
{
	if (fLines.empty())
		return 0;
	auto found = std::upper_bound(fLines.begin(), fLines.end(), offset,
		[](int32 value, const TextLine& line) { return value < line.offset; });
	if (found == fLines.begin())
		return 0;
	return (int32)(found - fLines.begin()) - 1;
}

int32
LineLayout::LineAtY(float y) const
{
	for (int32 line = 0; line < CountLines(); line++) {
		if (y < fLines[line].top + fLines[line].height)
			return line;
	}
	return std::max((int32)0, CountLines() - 1);
}

int32
LineLayout::LineEnd(int32 line) const
{
	int32 length = (int32)fText.size();
	int32 end = line + 1 < CountLines() ? fLines[line + 1].offset : length;
	if (end > fLines[line].offset && end <= length && fText[end - 1] == '\n')
		end--;
	return end;
}

float
LineLayout::WidestLine() const
{
	float widest = 0;
	for (const TextLine& line : fLines)
		widest = std::max(widest, line.width);
	return widest;
}

float
LineLayout::Bottom() const
{
	return fLines.empty() ? 0 : fLines.back().top + fLines.back().height;
}

float
LineLayout::CharacterWidth(int32 offset, int32 length, float x) const
{
	char character = fText[offset];
	if (character == '\n')
		return 0;
	if (character == '\t')
		return (floorf(x / fTabWidth) + 1) * fTabWidth - x;
	const BFont& font = fRuns.StyleAt(offset).font;
	if (fHidden)
		return font.StringWidth(kHiddenTypingBullet);
	return font.StringWidth(fText.data() + offset, length);
}

float
LineLayout::XAt(int32 line, int32 offset, float lineLeft) const
{
	float x = 0;
	int32 end = std::min(offset, LineEnd(line));
	for (int32 at = fLines[line].offset; at < end;) {
		int32 length = utf8_character_length(fText, at);
		x += CharacterWidth(at, length, x);
		at += length;
	}
	return lineLeft + x;
}

int32
LineLayout::OffsetAtX(int32 line, float x, float lineLeft) const
{
	float position = lineLeft;
	int32 end = LineEnd(line);
	int32 at = fLines[line].offset;
	while (at < end) {
		int32 length = utf8_character_length(fText, at);
		float width = CharacterWidth(at, length, position - lineLeft);
		if (x < position + width / 2)
			return at;
		position += width;
		at += length;
	}
	// Past a wrapped line's end the caret stays before its hanging blank.
	bool wrapped = line + 1 < CountLines() && end == fLines[line + 1].offset;
	if (wrapped && end > fLines[line].offset && (fText[end - 1] == ' ' || fText[end - 1] == '\t'))
		return end - 1;
	return end;
}

} // namespace BPrivate

/*
 * Private to the interface kit: a BTextView's text laid out in lines, and the measuring of
 * its characters. Lines end after a newline and, when wrapping, before the first character
 * that would pass the wrap width, after the last place a line may end when there is one;
 * blanks may hang past the edge. A text that ends with a newline has an empty last line.
 */
#ifndef _LINE_LAYOUT_H
#define _LINE_LAYOUT_H

#include <functional>
#include <string>
#include <vector>

#include <SupportDefs.h>

namespace BPrivate {

class StyleRuns;

// Hidden typing shows every character as this bullet.
const char* const kHiddenTypingBullet = "\xE2\x80\xA2";

// The length in bytes of the UTF-8 character at `offset` (1 for a stray byte).
int32 utf8_character_length(const std::string& text, int32 offset);

struct TextLine {
	int32 offset;
	float top;
	float height;
	float ascent;
	float width;
};

class LineLayout {
public:
	// Lays out `text` in the styles of `runs`; both stay the caller's and outlive the layout.
	LineLayout(const std::string& text, const StyleRuns& runs);

	void SetTabWidth(float width);
	float TabWidth() const;
	// Measures every character as the bullet of hidden typing.
	void SetHidden(bool hidden);
	bool IsHidden() const;

	// Lays the whole text out again from `top`. `canEndLine` says whether a line may end
	// after the byte at an offset.
	void Update(float top, bool wrap, float wrapWidth,
		const std::function<bool(int32 offset)>& canEndLine);

	int32 CountLines() const;
	const TextLine& Line(int32 index) const;
	// The line that holds the byte at `offset`.
	int32 LineAt(int32 offset) const;
	// The first line that reaches below `y`, else the last.
	int32 LineAtY(float y) const;
	// The end of a line's text, before its newline.
	int32 LineEnd(int32 line) const;
	float WidestLine() const;
	// Below the last line.
	float Bottom() const;

	// The width of the character of `length` bytes at `offset`, `x` into its line.
	float CharacterWidth(int32 offset, int32 length, float x) const;
	// The left of the character at `offset` of a line that starts at `lineLeft`.
	float XAt(int32 line, int32 offset, float lineLeft) const;
	// The offset nearest `x` on a line that starts at `lineLeft`.
	int32 OffsetAtX(int32 line, float x, float lineLeft) const;

private:
	const std::string& fText;
	const StyleRuns& fRuns;
	std::vector<TextLine> fLines;
	float fTabWidth;
	bool fHidden;
};

} // namespace BPrivate

#endif // _LINE_LAYOUT_H

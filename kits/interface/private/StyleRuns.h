/*
 * Private to the interface kit: the style runs of a BTextView's text. Each run gives the font
 * and colour of the bytes from its offset to the next run's; the first starts at 0 and no two
 * neighbours look alike. The runs know only offsets, not the text.
 */
#ifndef _STYLE_RUNS_H
#define _STYLE_RUNS_H

#include <vector>

#include <Font.h>
#include <GraphicsDefs.h>

namespace BPrivate {

struct StyleRun {
	int32 offset;
	BFont font;
	rgb_color color;
};

class StyleRuns {
public:
	StyleRuns(const BFont& font, const rgb_color& color);

	int32 CountRuns() const;
	const StyleRun& RunAt(int32 index) const;
	// The run that holds the byte at `offset`; past the text's end, the last run.
	int32 IndexAt(int32 offset) const;
	const StyleRun& StyleAt(int32 offset) const;
	// Where the run ends: the next run's start, or the end of a text `textLength` long.
	int32 RunEnd(int32 index, int32 textLength) const;

	// Gives the bytes from `from` to `to` of a text `textLength` long the parts of `font` that
	// `mode` names, and `color`, each when not NULL. An empty text keeps one style, the one
	// typing starts with: an empty range of it sets that.
	void Apply(int32 from, int32 to, int32 textLength, const BFont* font, uint32 mode,
		const rgb_color* color);
	// The bytes from `from` to `to` were removed: runs inside the range go, runs after it move
	// back.
	void Remove(int32 from, int32 to);
	// `length` bytes were inserted at `offset`; they continue the style before them (the first
	// style at the start).
	void Insert(int32 offset, int32 length);
	// `length` bytes inserted at `offset` into a text `oldLength` long take `runs`, whose
	// offsets count from `offset`; the text after them keeps its own style.
	void Insert(int32 offset, int32 length, int32 oldLength, const std::vector<StyleRun>& runs);

private:
	// Of runs that start together the last wins; neighbours that look alike become one.
	void _Merge();

	std::vector<StyleRun> fRuns;
};

} // namespace BPrivate

#endif // _STYLE_RUNS_H

#include "StyleRuns.h"

#include <algorithm>

#include "InterfacePrivate.h"

namespace BPrivate {

namespace {

void
SetStyle(StyleRun& run, const BFont* font, uint32 mode, const rgb_color* color)
{
	if (font != NULL) {
		if (mode == B_FONT_ALL) {
			run.font = *font;
		} else {
			if ((mode & B_FONT_FAMILY_AND_STYLE) != 0)
				run.font.SetFamilyAndStyle(font->FamilyAndStyle());
			if ((mode & B_FONT_SIZE) != 0)
				run.font.SetSize(font->Size());
			if ((mode & B_FONT_SHEAR) != 0)
				run.font.SetShear(font->Shear());
			if ((mode & B_FONT_ROTATION) != 0)
				run.font.SetRotation(font->Rotation());
			if ((mode & B_FONT_SPACING) != 0)
				run.font.SetSpacing(font->Spacing());
			if ((mode & B_FONT_FACE) != 0)
				run.font.SetFace(font->Face());
			if ((mode & B_FONT_FLAGS) != 0)
				run.font.SetFlags(font->Flags());
		}
	}
	if (color != NULL)
		run.color = *color;
}

} // namespace

StyleRuns::StyleRuns(const BFont& font, const rgb_color& color)
{
	fRuns.push_back(StyleRun{0, font, color});
}

int32
StyleRuns::CountRuns() const
{
	return (int32)fRuns.size();
}

const StyleRun&
StyleRuns::RunAt(int32 index) const
{
	return fRuns[index];
}

int32
StyleRuns::IndexAt(int32 offset) const
{
	auto found = std::upper_bound(fRuns.begin(), fRuns.end(), offset,
		[](int32 value, const StyleRun& run) { return value < run.offset; });
	if (found == fRuns.begin())
		return 0;
	return (int32)(found - fRuns.begin()) - 1;
}

const StyleRun&
StyleRuns::StyleAt(int32 offset) const
{
	return fRuns[IndexAt(offset)];
}

int32
StyleRuns::RunEnd(int32 index, int32 textLength) const
{
	return index + 1 < CountRuns() ? fRuns[index + 1].offset : textLength;
}

void
StyleRuns::Apply(int32 from, int32 to, int32 textLength, const BFont* font, uint32 mode,
	const rgb_color* color)
{
	from = std::max((int32)0, std::min(from, textLength));
	to = std::max(from, std::min(to, textLength));
	if (from == to) {
		if (textLength == 0)
			SetStyle(fRuns[0], font, mode, color);
		return;
	}
	for (int32 boundary : {from, to}) {
		if (boundary >= textLength)
			continue;
		int32 index = IndexAt(boundary);
		if (fRuns[index].offset != boundary) {
			StyleRun split = fRuns[index];
			split.offset = boundary;
			fRuns.insert(fRuns.begin() + index + 1, split);
		}
	}
	for (StyleRun& run : fRuns) {
		if (run.offset >= from && run.offset < to)
			SetStyle(run, font, mode, color);
	}
	_Merge();
}

void
StyleRuns::Remove(int32 from, int32 to)
{
	int32 removed = to - from;
	for (StyleRun& run : fRuns) {
		if (run.offset >= to)
			run.offset -= removed;
		else if (run.offset > from)
			run.offset = from;
	}
	_Merge();
}

void
StyleRuns::Insert(int32 offset, int32 length)
{
	for (StyleRun& run : fRuns) {
		if (run.offset > offset || (run.offset == offset && offset > 0))
			run.offset += length;
	}
}

void
StyleRuns::Insert(int32 offset, int32 length, int32 oldLength, const std::vector<StyleRun>& runs)
{
	StyleRun following = StyleAt(offset);
	std::vector<StyleRun> result;
	bool followingStarts = false;
	for (const StyleRun& run : fRuns) {
		if (run.offset < offset) {
			result.push_back(run);
			continue;
		}
		followingStarts |= run.offset == offset;
		StyleRun moved = run;
		moved.offset += length;
		result.push_back(moved);
	}
	if (!followingStarts && offset < oldLength) {
		following.offset = offset + length;
		result.push_back(following);
	}
	for (const StyleRun& run : runs) {
		StyleRun placed = run;
		placed.offset += offset;
		result.push_back(placed);
	}
	std::stable_sort(result.begin(), result.end(),
		[](const StyleRun& a, const StyleRun& b) { return a.offset < b.offset; });
	fRuns.swap(result);
	_Merge();
}

void
StyleRuns::_Merge()
{
	std::vector<StyleRun> merged;
	for (const StyleRun& run : fRuns) {
		if (!merged.empty() && merged.back().offset == run.offset) {
			merged.back() = run;
			continue;
		}
		merged.push_back(run);
	}
	std::vector<StyleRun> result;
	for (const StyleRun& run : merged) {
		if (!result.empty() && result.back().font == run.font
			&& same_color(result.back().color, run.color)) {
			continue;
		}
		result.push_back(run);
	}
	if (result.empty())
		result.push_back(StyleRun{0, BFont(), {0, 0, 0, 255}});
	result[0].offset = 0;
	fRuns.swap(result);
}

} // namespace BPrivate

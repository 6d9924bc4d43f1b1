#include <gtest/gtest.h>

#include <vector>

#include <Font.h>

#include "InterfaceTestSupport.h"
#include "StyleRuns.h"

using BPrivate::StyleRun;
using BPrivate::StyleRuns;

namespace {

// The runs as (offset, colour is red) pairs, the shape the tests state.
std::vector<std::pair<int32, bool>>
Shape(const StyleRuns& runs)
{
	std::vector<std::pair<int32, bool>> shape;
	for (int32 i = 0; i < runs.CountRuns(); i++) {
		const StyleRun& run = runs.RunAt(i);
		shape.push_back({run.offset, run.color.red == 255});
	}
	return shape;
}

typedef std::vector<std::pair<int32, bool>> Expected;

} // namespace

TEST(StyleRunsTest, ApplySplitsRunsAtTheRangeAndMergesNeighboursThatLookAlike)
{
	StyleRuns runs(*be_plain_font, kBlack);
	runs.Apply(2, 5, 10, NULL, B_FONT_ALL, &kRed);
	EXPECT_EQ(Shape(runs), (Expected{{0, false}, {2, true}, {5, false}}));
	EXPECT_EQ(runs.IndexAt(4), 1);
	EXPECT_EQ(runs.RunEnd(1, 10), 5);
	EXPECT_EQ(runs.RunEnd(2, 10), 10);

	runs.Apply(5, 10, 10, NULL, B_FONT_ALL, &kRed);
	EXPECT_EQ(Shape(runs), (Expected{{0, false}, {2, true}}));
	runs.Apply(0, 10, 10, NULL, B_FONT_ALL, &kBlack);
	EXPECT_EQ(Shape(runs), (Expected{{0, false}}));
}

TEST(StyleRunsTest, ApplyChangesOnlyTheFontPartsItsModeNames)
{
	StyleRuns runs(*be_plain_font, kBlack);
	BFont large(*be_bold_font);
	large.SetSize(20);
	runs.Apply(0, 4, 4, &large, B_FONT_SIZE, NULL);
	const BFont& font = runs.StyleAt(0).font;
	EXPECT_EQ(font.Size(), 20.0f);
	EXPECT_EQ(font.FamilyAndStyle(), be_plain_font->FamilyAndStyle());
	EXPECT_EQ(Color(0, 0, 0), runs.StyleAt(0).color);
}

TEST(StyleRunsTest, AnEmptyTextKeepsTheStyleTypingStartsWith)
{
	StyleRuns runs(*be_plain_font, kBlack);
	runs.Apply(0, 0, 0, NULL, B_FONT_ALL, &kRed);
	EXPECT_EQ(Shape(runs), (Expected{{0, true}}));
	// An empty range of a text that has bytes changes nothing.
	runs.Apply(3, 3, 6, NULL, B_FONT_ALL, &kBlack);
	EXPECT_EQ(Shape(runs), (Expected{{0, true}}));
}

TEST(StyleRunsTest, UnstyledInsertionContinuesTheStyleBeforeIt)
{
	StyleRuns runs(*be_plain_font, kBlack);
	runs.Apply(5, 10, 10, NULL, B_FONT_ALL, &kRed);
	runs.Insert(5, 2);
	EXPECT_EQ(Shape(runs), (Expected{{0, false}, {7, true}}));
	// At the very start there is no style before: the first one continues.
	runs.Insert(0, 3);
	EXPECT_EQ(Shape(runs), (Expected{{0, false}, {10, true}}));
}

TEST(StyleRunsTest, StyledInsertionLeavesTheFollowingTextItsOwnStyle)
{
	StyleRuns runs(*be_plain_font, kBlack);
	runs.Insert(3, 2, 10, {StyleRun{0, *be_plain_font, kRed}});
	EXPECT_EQ(Shape(runs), (Expected{{0, false}, {3, true}, {5, false}}));

	// Inserted at the end, nothing follows.
	StyleRuns atEnd(*be_plain_font, kBlack);
	atEnd.Insert(10, 2, 10, {StyleRun{0, *be_plain_font, kRed}});
	EXPECT_EQ(Shape(atEnd), (Expected{{0, false}, {10, true}}));
}

TEST(StyleRunsTest, RemovalDropsTheRunsInsideAndJoinsWhatMeets)
{
	StyleRuns runs(*be_plain_font, kBlack);
	runs.Apply(3, 6, 10, NULL, B_FONT_ALL, &kRed);
	runs.Remove(4, 8);
	EXPECT_EQ(Shape(runs), (Expected{{0, false}, {3, true}, {4, false}}));
	runs.Remove(2, 5);
	EXPECT_EQ(Shape(runs), (Expected{{0, false}}));
}

#include <gtest/gtest.h>

#include <string>

#include <Font.h>

#include "LineLayout.h"
#include "StyleRuns.h"

using BPrivate::LineLayout;
using BPrivate::StyleRuns;

namespace {

// Lays text out in the fixed font, where every character is one width wide; lines may end
// after blanks, as in a text view.
class LineLayoutTest : public testing::Test {
protected:
	LineLayoutTest() :
		fRuns(*be_fixed_font, rgb_color{0, 0, 0, 255}),
		fLayout(fText, fRuns),
		fWidth(be_fixed_font->StringWidth("a"))
	{
	}

	void Lay(const std::string& text, bool wrap, float columns)
	{
		fText = text;
		fLayout.Update(0, wrap, columns * fWidth, [this](int32 offset) {
			return fText[offset] == ' ' || fText[offset] == '\t' || fText[offset] == '\n';
		});
	}

	std::string fText;
	StyleRuns fRuns;
	LineLayout fLayout;
	float fWidth;
};

} // namespace

TEST_F(LineLayoutTest, WrapsAfterTheLastBlankBeforeTheEdge)
{
	Lay("aaa bbb ccc", true, 8);
	ASSERT_EQ(fLayout.CountLines(), 2);
	EXPECT_EQ(fLayout.Line(1).offset, 8);
	EXPECT_EQ(fLayout.LineEnd(0), 8);
	EXPECT_FLOAT_EQ(fLayout.Line(0).width, 8 * fWidth);
	EXPECT_EQ(fLayout.LineAt(7), 0);
	EXPECT_EQ(fLayout.LineAt(8), 1);
	EXPECT_EQ(fLayout.LineAtY(fLayout.Line(1).top), 1);
	EXPECT_EQ(fLayout.LineAtY(1e6f), 1);

	// A word longer than the line is cut where it reaches the edge.
	Lay("abcdefgh", true, 5);
	ASSERT_EQ(fLayout.CountLines(), 2);
	EXPECT_EQ(fLayout.Line(1).offset, 5);
}

TEST_F(LineLayoutTest, BlanksHangPastTheEdgeAndTheCaretStaysBeforeThem)
{
	Lay("aaaa bbbb", true, 4);
	ASSERT_EQ(fLayout.CountLines(), 2);
	EXPECT_EQ(fLayout.Line(1).offset, 5);
	EXPECT_FLOAT_EQ(fLayout.Line(0).width, 5 * fWidth);
	EXPECT_EQ(fLayout.OffsetAtX(0, 100 * fWidth, 0), 4);
	EXPECT_EQ(fLayout.OffsetAtX(1, 100 * fWidth, 0), 9);
}

TEST_F(LineLayoutTest, NewlinesEndLinesAndAFinalOneAddsAnEmptyLine)
{
	Lay("ab\ncd\n", false, 0);
	ASSERT_EQ(fLayout.CountLines(), 3);
	EXPECT_EQ(fLayout.Line(1).offset, 3);
	EXPECT_EQ(fLayout.Line(2).offset, 6);
	EXPECT_EQ(fLayout.LineEnd(0), 2);
	EXPECT_EQ(fLayout.LineEnd(2), 6);
	EXPECT_FLOAT_EQ(fLayout.Line(2).width, 0);
	EXPECT_FLOAT_EQ(fLayout.Line(2).top, fLayout.Line(1).top + fLayout.Line(1).height);
	EXPECT_FLOAT_EQ(fLayout.Bottom(), fLayout.Line(2).top + fLayout.Line(2).height);

	Lay("one long line without wrapping", false, 4);
	EXPECT_EQ(fLayout.CountLines(), 1);
	EXPECT_FLOAT_EQ(fLayout.WidestLine(), 30 * fWidth);
}

TEST_F(LineLayoutTest, PositionsAndOffsetsMeetHalfwayThroughACharacter)
{
	Lay("abc", false, 0);
	EXPECT_FLOAT_EQ(fLayout.XAt(0, 2, 10), 10 + 2 * fWidth);
	EXPECT_EQ(fLayout.OffsetAtX(0, 10 + 1.4f * fWidth, 10), 1);
	EXPECT_EQ(fLayout.OffsetAtX(0, 10 + 1.6f * fWidth, 10), 2);
	EXPECT_EQ(fLayout.OffsetAtX(0, 0, 10), 0);
}

TEST_F(LineLayoutTest, TabsReachTheNextStopAndHiddenTypingMeasuresBullets)
{
	Lay("a\tb", false, 0);
	fLayout.SetTabWidth(28);
	EXPECT_FLOAT_EQ(fLayout.CharacterWidth(1, 1, 5), 23);
	EXPECT_FLOAT_EQ(fLayout.CharacterWidth(1, 1, 28), 28);

	fLayout.SetHidden(true);
	float bullet = be_fixed_font->StringWidth(BPrivate::kHiddenTypingBullet);
	EXPECT_FLOAT_EQ(fLayout.CharacterWidth(0, 1, 0), bullet);
}

TEST(Utf8Test, CharacterLengthFollowsTheLeadByteButStopsAtStrayBytes)
{
	std::string text = "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\xc3z";
	EXPECT_EQ(BPrivate::utf8_character_length(text, 0), 1);
	EXPECT_EQ(BPrivate::utf8_character_length(text, 1), 2);
	EXPECT_EQ(BPrivate::utf8_character_length(text, 3), 3);
	EXPECT_EQ(BPrivate::utf8_character_length(text, 6), 4);
	// A lead byte whose continuation is missing stands alone.
	EXPECT_EQ(BPrivate::utf8_character_length(text, 10), 1);
	EXPECT_EQ(BPrivate::utf8_character_length(std::string("\xe2\x82"), 0), 2);
}

#include <gtest/gtest.h>

#include <string.h>

#include <Font.h>
#include <String.h>

namespace {

TEST(FontTest, GlobalFontsAreTenPointSansBoldAndMonospaced)
{
	EXPECT_EQ(10.0f, be_plain_font->Size());
	EXPECT_EQ(10.0f, be_bold_font->Size());
	EXPECT_EQ(10.0f, be_fixed_font->Size());
	EXPECT_EQ(90.0f, be_plain_font->Shear());

	font_family family;
	font_style style;
	be_plain_font->GetFamilyAndStyle(&family, &style);
	EXPECT_TRUE(strstr(family, "Sans") != NULL) << family;
	EXPECT_STREQ("Regular", style);
	be_bold_font->GetFamilyAndStyle(&family, &style);
	EXPECT_STREQ("Bold", style);
	EXPECT_NE(0, be_bold_font->Face() & B_BOLD_FACE);
	EXPECT_TRUE(be_fixed_font->IsFixed());
	EXPECT_FALSE(be_plain_font->IsFixed());

	// A default font is the plain font.
	BFont font;
	EXPECT_TRUE(font == *be_plain_font);
}

TEST(FontTest, FamiliesAreListedWithTheirStyles)
{
	ASSERT_EQ(2, count_font_families());
	bool sawFixed = false;
	for (int32 i = 0; i < count_font_families(); i++) {
		font_family family;
		uint32 flags;
		ASSERT_EQ(B_OK, get_font_family(i, &family, &flags));
		sawFixed |= (flags & B_IS_FIXED) != 0;
		EXPECT_GE(count_font_styles(family), 2) << family;
		font_style style;
		uint16 face;
		ASSERT_EQ(B_OK, get_font_style(family, 0, &style, &face));
		EXPECT_STREQ("Regular", style);
		EXPECT_EQ(B_REGULAR_FACE, face);
	}
	EXPECT_TRUE(sawFixed);
	font_family missing;
	EXPECT_EQ(B_BAD_VALUE, get_font_family(2, &missing));
}

TEST(FontTest, FamilyAndStyleAreFoundByNameIncludingThePlatformNames)
{
	BFont font;
	EXPECT_EQ(B_OK, font.SetFamilyAndStyle("Swis721 BT", "Bold"));
	EXPECT_EQ(be_bold_font->FamilyAndStyle(), font.FamilyAndStyle());
	EXPECT_EQ(B_OK, font.SetFamilyAndStyle("Courier10 BT", "Roman"));
	EXPECT_TRUE(font.IsFixed());
	EXPECT_EQ(B_NAME_NOT_FOUND, font.SetFamilyAndStyle("No Such Family", "Regular"));
	EXPECT_TRUE(font.IsFixed());
	font.SetFamilyAndStyle(be_plain_font->FamilyAndStyle());
	EXPECT_EQ(be_plain_font->FamilyAndStyle(), font.FamilyAndStyle());
}

TEST(FontTest, ShearStaysBetween45And135Degrees)
{
	BFont font;
	font.SetShear(105);
	EXPECT_EQ(105.0f, font.Shear());
	font.SetShear(10);
	EXPECT_EQ(45.0f, font.Shear());
	font.SetShear(180);
	EXPECT_EQ(135.0f, font.Shear());
}

TEST(FontTest, StringWidthGrowsWithTextAndSize)
{
	BFont font;
	float empty = font.StringWidth("");
	float one = font.StringWidth("W");
	float word = font.StringWidth("Settings");
	EXPECT_EQ(0.0f, empty);
	EXPECT_GT(one, 4.0f);
	EXPECT_LT(one, 14.0f);
	EXPECT_EQ(font.StringWidth("Set") + font.StringWidth("tings"), word);
	EXPECT_EQ(font.StringWidth("Settings", 3), font.StringWidth("Set"));
	EXPECT_EQ(font.StringWidth("xx"), 2 * font.StringWidth("x"));

	BFont large(font);
	large.SetSize(20);
	EXPECT_GT(large.StringWidth("Settings"), 1.7f * word);
	// Shear leans the glyphs but does not change their advances.
	BFont leaning(large);
	leaning.SetShear(105);
	EXPECT_EQ(large.StringWidth("Zorve"), leaning.StringWidth("Zorve"));
}

TEST(FontTest, FixedFontAdvancesEveryCharacterAlike)
{
	EXPECT_EQ(be_fixed_font->StringWidth("i"), be_fixed_font->StringWidth("W"));
	EXPECT_NE(be_plain_font->StringWidth("i"), be_plain_font->StringWidth("W"));
	float escapements[3];
	be_fixed_font->GetEscapements("iW.", 3, escapements);
	EXPECT_EQ(escapements[0], escapements[1]);
	EXPECT_NEAR(be_fixed_font->StringWidth("i") / 10.0f, escapements[2], 0.0001f);
}

TEST(FontTest, HeightScalesWithSize)
{
	font_height small;
	be_plain_font->GetHeight(&small);
	EXPECT_GT(small.ascent, 7.0f);
	EXPECT_LT(small.ascent, 11.0f);
	EXPECT_GT(small.descent, 1.0f);
	EXPECT_LT(small.descent, 4.0f);
	EXPECT_GE(small.leading, 0.0f);

	BFont font;
	font.SetSize(20);
	font_height large;
	font.GetHeight(&large);
	EXPECT_NEAR(2 * small.ascent, large.ascent, 0.01f);
	EXPECT_NEAR(2 * small.descent, large.descent, 0.01f);
}

TEST(FontTest, TruncatedStringsFitTheirWidth)
{
	BFont font;
	const char* text = "A rather long label for a tab";
	float full = font.StringWidth(text);

	BString unchanged(text);
	font.TruncateString(&unchanged, B_TRUNCATE_END, full);
	EXPECT_STREQ(text, unchanged.String());

	for (uint32 mode : {B_TRUNCATE_END, B_TRUNCATE_BEGINNING, B_TRUNCATE_MIDDLE}) {
		BString truncated(text);
		font.TruncateString(&truncated, mode, full / 2);
		EXPECT_LE(font.StringWidth(truncated.String()), full / 2) << mode;
		EXPECT_NE(-1, truncated.FindFirst(B_UTF8_ELLIPSIS)) << mode;
		EXPECT_GT(truncated.Length(), 5) << mode;
	}
	BString start(text);
	font.TruncateString(&start, B_TRUNCATE_END, full / 2);
	EXPECT_EQ(0, strncmp(start.String(), "A rather", 8));
	BString end(text);
	font.TruncateString(&end, B_TRUNCATE_BEGINNING, full / 2);
	EXPECT_EQ(end.Length() - 3, end.FindLast("tab"));
}

} // namespace

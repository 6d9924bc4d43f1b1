#include <gtest/gtest.h>

#include <GraphicsDefs.h>
#include <InterfaceDefs.h>
#include <Screen.h>

#include "InterfacePrivate.h"
#include "InterfaceTestSupport.h"

namespace {

struct PaletteEntry {
	int32 index;
	rgb_color color;
};

// Spot checks across the table, including its irregular entries.
const PaletteEntry kPaletteSamples[] = {
	{0, {0, 0, 0, 255}},
	{1, {8, 8, 8, 255}},
	{27, {216, 216, 216, 255}},
	{31, {248, 248, 248, 255}},
	{32, {0, 0, 255, 255}},
	{42, {255, 0, 0, 255}},
	{52, {0, 255, 0, 255}},
	{54, {0, 203, 0, 255}},
	{56, {0, 153, 0, 255}},
	{62, {0, 152, 51, 255}},
	{63, {255, 255, 255, 255}},
	{64, {203, 255, 255, 255}},
	{152, {230, 134, 0, 255}},
	{189, {255, 175, 19, 255}},
	{229, {255, 227, 70, 255}},
	{235, {152, 0, 0, 255}},
	{248, {255, 203, 51, 255}},
	{254, {255, 255, 203, 255}},
	{255, {255, 255, 255, 255}},
};

TEST(ColorTest, SystemPaletteHoldsThePlatformColours)
{
	const color_map* map = system_colors();
	ASSERT_NE(nullptr, map);
	for (const PaletteEntry& entry : kPaletteSamples)
		EXPECT_EQ(entry.color, map->color_list[entry.index]) << "index " << entry.index;
	for (int32 i = 0; i < 32; i++)
		EXPECT_EQ(Color(i * 8, i * 8, i * 8), map->color_list[i]) << "grey " << i;
}

TEST(ColorTest, ScreenFindsExactPaletteColoursAndNeverTheTransparentIndex)
{
	BScreen screen;
	EXPECT_EQ(63, screen.IndexForColor(255, 255, 255));
	EXPECT_EQ(0, screen.IndexForColor(0, 0, 0));
	EXPECT_EQ(52, screen.IndexForColor(0, 255, 0));
	EXPECT_EQ(B_TRANSPARENT_MAGIC_CMAP8, screen.IndexForColor(B_TRANSPARENT_COLOR));
	for (int32 index = 0; index < 255; index++) {
		rgb_color color = screen.ColorForIndex(index);
		uint8 found = screen.IndexForColor(color);
		EXPECT_NE(B_TRANSPARENT_MAGIC_CMAP8, found);
		// Duplicates (the two whites) may map to either of their indices.
		EXPECT_EQ(color, screen.ColorForIndex(found)) << "index " << index;
	}
}

TEST(ColorTest, TransparentConstantsHaveTheirPlatformValues)
{
	EXPECT_EQ(Color(0x77, 0x74, 0x77, 0), B_TRANSPARENT_COLOR);
	EXPECT_EQ(Color(0x77, 0x74, 0x77, 0), B_TRANSPARENT_32_BIT);
	EXPECT_EQ(0xff, B_TRANSPARENT_MAGIC_CMAP8);
	EXPECT_EQ(0xff, B_TRANSPARENT_8_BIT);
	EXPECT_EQ(0x00777477u, B_TRANSPARENT_MAGIC_RGBA32);
	EXPECT_EQ(0x39ce, B_TRANSPARENT_MAGIC_RGBA15);
}

TEST(ColorTest, PatternsAreRowsWithTheLeftmostPixelInTheHighBit)
{
	for (int32 row = 0; row < 8; row++) {
		EXPECT_EQ(0xff, B_SOLID_HIGH.data[row]);
		EXPECT_EQ(0x00, B_SOLID_LOW.data[row]);
		EXPECT_EQ(row % 2 == 0 ? 0xaa : 0x55, B_MIXED_COLORS.data[row]);
	}
}

struct TintCase {
	float tint;
	uint8 from216;
	uint8 from255;
	uint8 from0;
};

// Values of the truncating rule for the panel grey and both extremes.
const TintCase kTints[] = {
	{B_LIGHTEN_MAX_TINT, 255, 255, 255},
	{B_LIGHTEN_2_TINT, 239, 255, 156},
	{B_LIGHTEN_1_TINT, 231, 255, 104},
	{B_NO_TINT, 216, 255, 0},
	{B_DARKEN_1_TINT, 184, 217, 0},
	{B_DARKEN_2_TINT, 152, 179, 0},
	{B_DARKEN_3_TINT, 128, 151, 0},
	{B_DARKEN_4_TINT, 96, 113, 0},
	{B_DARKEN_MAX_TINT, 0, 0, 0},
};

TEST(ColorTest, TintColorTruncatesPerChannelAndKeepsAlpha)
{
	for (const TintCase& tint : kTints) {
		EXPECT_EQ(Color(tint.from216, tint.from216, tint.from216, 17),
			tint_color(Color(216, 216, 216, 17), tint.tint))
			<< "tint " << tint.tint;
		EXPECT_EQ(tint.from255, tint_color(kWhite, tint.tint).red) << "tint " << tint.tint;
		EXPECT_EQ(tint.from0, tint_color(kBlack, tint.tint).red) << "tint " << tint.tint;
	}
	rgb_color mixed = tint_color(Color(255, 203, 0), B_DARKEN_1_TINT);
	EXPECT_EQ(Color(217, 173, 0), mixed);
	EXPECT_EQ(B_DARKEN_3_TINT, B_DISABLED_LABEL_TINT);
	EXPECT_EQ(B_DARKEN_2_TINT, B_HIGHLIGHT_BACKGROUND_TINT);
	EXPECT_EQ(B_LIGHTEN_2_TINT, B_DISABLED_MARK_TINT);
}

TEST(ColorTest, TintsBeyondTheirRangeSaturate)
{
	EXPECT_EQ(kBlack, tint_color(kWhite, 3.0f));
	EXPECT_EQ(kWhite, tint_color(kBlack, -1.0f));
}

TEST(ColorTest, UserColoursOfTheSelectorsThatExist)
{
	EXPECT_EQ(Color(216, 216, 216), ui_color(B_PANEL_BACKGROUND_COLOR));
	EXPECT_EQ(Color(216, 216, 216), ui_color(B_MENU_BACKGROUND_COLOR));
	EXPECT_EQ(Color(152, 152, 152), ui_color(B_MENU_SELECTION_BACKGROUND_COLOR));
	EXPECT_EQ(Color(255, 203, 0), ui_color(B_WINDOW_TAB_COLOR));
	EXPECT_EQ(Color(0, 0, 229), ui_color(B_KEYBOARD_NAVIGATION_COLOR));
	EXPECT_EQ(Color(51, 102, 152), ui_color(B_DESKTOP_COLOR));
	EXPECT_EQ(kBlack, ui_color(B_MENU_ITEM_TEXT_COLOR));
	EXPECT_EQ(1, B_PANEL_BACKGROUND_COLOR);
	EXPECT_EQ(2, B_MENU_BACKGROUND_COLOR);
	EXPECT_EQ(6, B_MENU_SELECTION_BACKGROUND_COLOR);
	// The replicant's background: menu grey one step darker.
	EXPECT_EQ(Color(184, 184, 184), tint_color(ui_color(B_MENU_BACKGROUND_COLOR), B_DARKEN_1_TINT));
}

TEST(ColorTest, MainScreenIs1024By768WithoutADisplay)
{
	BScreen screen(B_MAIN_SCREEN_ID);
	EXPECT_TRUE(screen.IsValid());
	EXPECT_EQ(BRect(0, 0, 1023, 767), screen.Frame());
	EXPECT_EQ(B_RGB32, screen.ColorSpace());
	EXPECT_EQ(system_colors(), screen.ColorMap());
}

} // namespace

TEST(ColorTest, AUserColourSetOnTheKitsBehalfIsWhatEveryoneReads)
{
	BPrivate::set_ui_color(B_PANEL_BACKGROUND_COLOR, Color(100, 120, 140));
	EXPECT_EQ(Color(100, 120, 140), ui_color(B_PANEL_BACKGROUND_COLOR));
	EXPECT_EQ(Color(216, 216, 216), ui_color(B_MENU_BACKGROUND_COLOR));
	// Selectors the platform does not have stay black.
	BPrivate::set_ui_color((color_which)9, kWhite);
	EXPECT_EQ(kBlack, ui_color((color_which)9));
	EXPECT_EQ(kBlack, ui_color((color_which)0));
	BPrivate::set_ui_color(B_PANEL_BACKGROUND_COLOR, Color(216, 216, 216));
}

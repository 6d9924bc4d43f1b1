#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include <AppFileInfo.h>
#include <Bitmap.h>
#include <File.h>
#include <GraphicsDefs.h>
#include <Resources.h>
#include <Roster.h>
#include <StorageDefs.h>
#include <TypeConstants.h>

#include "TemporaryHome.h"

TEST(AppFileInfoTest, ReadsTheApplicationsSignatureFlagsAndVersion)
{
	BFile file(ZORVE_EXECUTABLE, B_READ_ONLY);
	BAppFileInfo info(&file);
	ASSERT_EQ(info.InitCheck(), B_OK);

	char text[B_MIME_TYPE_LENGTH];
	ASSERT_EQ(info.GetSignature(text), B_OK);
	EXPECT_STREQ(text, "application/x-vnd.Orbel.Zorve");
	ASSERT_EQ(info.GetType(text), B_OK);
	EXPECT_STREQ(text, "application/x-vnd.Be-elfexecutable");

	uint32 flags = 0xFFFFFFFF;
	ASSERT_EQ(info.GetAppFlags(&flags), B_OK);
	EXPECT_EQ(flags & B_LAUNCH_MASK, (uint32)B_SINGLE_LAUNCH);
	EXPECT_EQ(flags & (B_BACKGROUND_APP | B_ARGV_ONLY), 0u);

	version_info version;
	ASSERT_EQ(info.GetVersionInfo(&version, B_APP_VERSION_KIND), B_OK);
	EXPECT_EQ(version.major, 0u);
	EXPECT_EQ(version.middle, 1u);
	EXPECT_EQ(version.minor, 0u);
	EXPECT_EQ(version.variety, (uint32)B_DEVELOPMENT_VERSION);
	EXPECT_EQ(version.internal, 0u);
	EXPECT_STREQ(version.short_info, "");
	EXPECT_NE(strstr(version.long_info, "Zorve"), nullptr);
	ASSERT_EQ(info.GetVersionInfo(&version, B_SYSTEM_VERSION_KIND), B_OK);
	EXPECT_EQ(version.major + version.middle + version.minor + version.variety, 0u);
	EXPECT_STREQ(version.long_info, "");
	EXPECT_EQ(info.GetVersionInfo(&version, (version_kind)2), B_BAD_VALUE);
}

TEST(AppFileInfoTest, IconsFillBitmapsOfTheirOwnSize)
{
	BFile file(ZORVE_EXECUTABLE, B_READ_ONLY);
	BResources resources(&file);
	BAppFileInfo info(&file);
	ASSERT_EQ(info.InitCheck(), B_OK);

	struct Case {
		icon_size which;
		type_code type;
	};
	for (Case c : {Case{B_LARGE_ICON, B_LARGE_ICON_TYPE}, Case{B_MINI_ICON, B_MINI_ICON_TYPE}}) {
		SCOPED_TRACE(c.which);
		const int32 side = c.which;
		size_t size = 0;
		const uint8* stored = static_cast<const uint8*>(resources.LoadResource(c.type, 101, &size));
		ASSERT_NE(stored, nullptr);
		ASSERT_EQ(size, (size_t)side * side);

		BBitmap icon(BRect(0, 0, side - 1, side - 1), B_CMAP8);
		ASSERT_EQ(info.GetIcon(&icon, c.which), B_OK);
		const uint8* bits = static_cast<const uint8*>(icon.Bits());
		for (int32 y = 0; y < side; y++)
			EXPECT_EQ(memcmp(bits + y * icon.BytesPerRow(), stored + y * side, side), 0) << y;

		// A true-colour bitmap receives the palette's colours.
		BBitmap colour(BRect(0, 0, side - 1, side - 1), B_RGB32);
		ASSERT_EQ(info.GetIcon(&colour, c.which), B_OK);
		const int32 centre = (side / 2) * side + side / 2;
		const rgb_color expected = system_colors()->color_list[stored[centre]];
		const uint8* pixel = static_cast<const uint8*>(colour.Bits())
			+ (side / 2) * colour.BytesPerRow() + (side / 2) * 4;
		EXPECT_EQ(pixel[0], expected.blue);
		EXPECT_EQ(pixel[1], expected.green);
		EXPECT_EQ(pixel[2], expected.red);

		BBitmap wrong(BRect(0, 0, side, side - 1), B_CMAP8);
		EXPECT_EQ(info.GetIcon(&wrong, c.which), B_BAD_VALUE);
	}
}

TEST(AppFileInfoTest, MissingAndMalformedInformationIsReported)
{
	BAppFileInfo unset;
	char text[B_MIME_TYPE_LENGTH];
	EXPECT_EQ(unset.InitCheck(), B_NO_INIT);
	EXPECT_EQ(unset.GetSignature(text), B_NO_INIT);

	TemporaryHome home;
	std::string path = home.Path() + "/app";
	{
		BFile created(path.c_str(), B_READ_WRITE | B_CREATE_FILE);
		BResources resources(&created);
		ASSERT_EQ(resources.AddResource(B_MIME_STRING_TYPE, 1, "no/terminator", 13, "BEOS:APP_SIG"),
			B_OK);
		ASSERT_EQ(resources.AddResource('APPF', 1, "\0\0", 2, "BEOS:APP_FLAGS"), B_OK);
		version_info one = {1, 2, 3, B_FINAL_VERSION, 4, "short", "long"};
		ASSERT_EQ(resources.AddResource('APPV', 1, &one, sizeof(one), "BEOS:APP_VERSION"), B_OK);
	}
	BFile file(path.c_str(), B_READ_ONLY);
	BAppFileInfo info(&file);
	ASSERT_EQ(info.InitCheck(), B_OK);
	EXPECT_EQ(info.GetSignature(text), B_BAD_DATA);
	EXPECT_EQ(info.GetType(text), B_ENTRY_NOT_FOUND);
	uint32 flags;
	EXPECT_EQ(info.GetAppFlags(&flags), B_BAD_DATA);
	version_info version;
	ASSERT_EQ(info.GetVersionInfo(&version, B_APP_VERSION_KIND), B_OK);
	EXPECT_EQ(version.minor, 3u);
	EXPECT_STREQ(version.long_info, "long");
	EXPECT_EQ(info.GetVersionInfo(&version, B_SYSTEM_VERSION_KIND), B_BAD_DATA);
	BBitmap icon(BRect(0, 0, 31, 31), B_CMAP8);
	EXPECT_EQ(info.GetIcon(&icon, B_LARGE_ICON), B_ENTRY_NOT_FOUND);
}

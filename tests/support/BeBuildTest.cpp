#include <gtest/gtest.h>

#include <string.h>

#include <SupportDefs.h>

namespace {

#define SPELLED(macro) #macro
#define EXPANDED(macro) SPELLED(macro)

} // namespace

// Written the platform's way; on ELF the symbol is exported without any attribute.
extern "C" _EXPORT int32
be_build_test_exported(int32 value)
{
	return value + 1;
}

TEST(BeBuildTest, SupportDefsBringsTheLinkageMacrosEmptyOnElf)
{
	EXPECT_STREQ("", EXPANDED(_EXPORT));
	EXPECT_STREQ("", EXPANDED(_IMPORT));
	EXPECT_EQ(2, be_build_test_exported(1));
}

TEST(BeBuildTest, VersionIsTheFifthRelease)
{
	EXPECT_EQ(0x0500, B_BEOS_VERSION);
	EXPECT_EQ(B_BEOS_VERSION_5, B_BEOS_VERSION_MAUI);
	EXPECT_LT(B_BEOS_VERSION_4_5, B_BEOS_VERSION);
}

/*
 * The application is compiled against the kits' public headers only, as on the platform, which
 * has none of the substitute's private ones: this file is compiled with the application's
 * include path and asks, for every kit header, whether that path reaches it.
 */
#include <gtest/gtest.h>

namespace {

struct HeaderProbe {
	const char* name;
	bool isPublic;
	bool reachable;
};

// Written by the build from the kits' folders: a public header is included as <Name.h>, a
// private one is probed as "Name.h", the form that searches the most places.
const HeaderProbe kProbes[] = {
#include "HeaderProbes.inc"
};

} // namespace

TEST(ApplicationIncludePathTest, ReachesEveryPublicKitHeader)
{
	int32_t count = 0;
	for (const HeaderProbe& probe : kProbes) {
		if (!probe.isPublic)
			continue;
		count++;
		EXPECT_TRUE(probe.reachable) << probe.name;
	}
	EXPECT_GT(count, 0);
}

TEST(ApplicationIncludePathTest, ReachesNoPrivateKitHeader)
{
	int32_t count = 0;
	for (const HeaderProbe& probe : kProbes) {
		if (probe.isPublic)
			continue;
		count++;
		EXPECT_FALSE(probe.reachable) << probe.name << " is private to the kits";
	}
	EXPECT_GT(count, 0);
}

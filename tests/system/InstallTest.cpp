#include "SystemFixture.h"

#include <algorithm>

#include <Deskbar.h>

#include "DeskbarTesting.h"

namespace {

bool
Has(const std::vector<std::string>& names, const char* name)
{
	return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

// Installing the icon, and bringing it back with the Deskbar.
class InstallTest : public SystemFixture {};

TEST_F(InstallTest, AFreshHomeGetsTheIconWithoutAWord)
{
	EXPECT_EQ(StartZorve(), "");
	EXPECT_TRUE(BDeskbar().HasItem("ZorveReplicant"));
	EXPECT_EQ(ShownPicture(), StatusPictures::kNormal);
	// The engine runs in the Deskbar's process, and the settings window waits there hidden.
	EXPECT_TRUE(Has(HostThreads(), "ZorveLooper"));
	EXPECT_FALSE(WindowShown("Settings"));

	// Started again, the program finds the icon there and leaves it alone.
	EXPECT_EQ(StartZorve(), "");
	EXPECT_EQ(BDeskbar().CountItems(), 1u);
}

TEST_F(InstallTest, ARestartedDeskbarBringsTheIconBackFromItsArchive)
{
	StartZorve();
	ASSERT_TRUE(StopDeskbarHost());
	// The host lets go of its lock before its process has quite ended.
	EXPECT_TRUE(Eventually([this] { return HostThreads().empty(); }));

	// Any request starts a host, which restores its items.
	EXPECT_TRUE(Eventually([] { return BDeskbar().HasItem("ZorveReplicant"); }));
	EXPECT_TRUE(Eventually([this] { return ShownPicture() == StatusPictures::kNormal; }));
	EXPECT_TRUE(Has(HostThreads(), "ZorveLooper"));
}

TEST_F(InstallTest, StartingTheProgramAlsoStartsTheDeskbarWithItsIconOnce)
{
	StartZorve();
	ASSERT_TRUE(StopDeskbarHost());
	// The program's question starts the host, which restores its items before answering.
	EXPECT_EQ(StartZorve(), "");
	EXPECT_EQ(BDeskbar().CountItems(), 1u);
}

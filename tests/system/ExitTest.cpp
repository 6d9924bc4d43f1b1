#include "SystemFixture.h"

#include <algorithm>

#include <Deskbar.h>
#include <OS.h>

#include "DeskbarTesting.h"

namespace {

using Server = LoopbackHttpServer;

const char* const kOtherTab = "180 18";
const char* const kWildcardBox = "20 55";

bool
Has(const std::vector<std::string>& names, const char* name)
{
	return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

// Leaving: the icon's Exit, and its removal by others, never hold the Deskbar and lose
// nothing.
class ExitTest : public SystemFixture {};

TEST_F(ExitTest, ExitRemovesTheIconStoresTheFrameAndQuitsTheEngine)
{
	StartZorve();
	Choose("Settings");
	// Moved by its strip, from (50, 50) to (90, 80).
	Do("drag 100 3 140 33 --window Settings");
	Do("key '\\e' --window Settings");
	Do("wait-hidden Settings");

	Choose("Exit");
	EXPECT_TRUE(Eventually([] { return !BDeskbar().HasItem("ZorveReplicant"); }));
	EXPECT_TRUE(Eventually([this] { return !Has(HostThreads(), "ZorveLooper"); }));
	EXPECT_TRUE(Eventually([this] { return !Has(HostThreads(), "Settings"); }));
	EXPECT_EQ(Stored().fSettingsWinPosition, BRect(90, 80, 351, 270));
	// The Deskbar goes on.
	EXPECT_TRUE(HostAnswers());
}

TEST_F(ExitTest, ExitWithTheWindowOpenSavesItsPages)
{
	StartZorve();
	Choose("Settings");
	Do(std::string("click ") + kOtherTab + " --window Settings");
	Do(std::string("click ") + kWildcardBox + " --window Settings");
	Choose("Exit");
	EXPECT_TRUE(Eventually([] { return !BDeskbar().HasItem("ZorveReplicant"); }));
	EXPECT_EQ(Stored().fWildcard, 1);
}

TEST_F(ExitTest, RemovalWhileTheServerStallsReturnsPromptly)
{
	Server::Behaviour behaviour = fBehaviour;
	behaviour.update.fault = Server::kFaultStall;
	SetServer(behaviour);
	WritePrefs([](CPreferences& prefs) { prefs.fTimeOut = 100; });
	StartZorve();
	Choose("Force Update");
	ASSERT_TRUE(fServer.WaitForRequests(1, 5000000));

	bigtime_t start = system_time();
	EXPECT_EQ(BDeskbar().RemoveItem("ZorveReplicant"), B_OK);
	EXPECT_LT(system_time() - start, 2000000);
	EXPECT_FALSE(BDeskbar().HasItem("ZorveReplicant"));
	EXPECT_EQ(Stored().fIpCache, kServerAddress);
}

TEST_F(ExitTest, QuittingTheDeskbarWhileTheServerStallsIsPromptToo)
{
	Server::Behaviour behaviour = fBehaviour;
	behaviour.checkPage.fault = Server::kFaultStall;
	SetServer(behaviour);
	WritePrefs([](CPreferences& prefs) {
		prefs.fTimeOut = 100;
		prefs.fCheckDelay = 0;
	});
	StartZorve();
	ASSERT_TRUE(fServer.WaitForRequests(1, 5000000));
	bigtime_t start = system_time();
	EXPECT_TRUE(StopDeskbarHost());
	EXPECT_LT(system_time() - start, 3000000);
	// The abandoned check did not take the missing page for "no address".
	EXPECT_EQ(Stored().fIpCache, kServerAddress);
}

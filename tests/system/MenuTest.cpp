#include "SystemFixture.h"

#include "DeskbarTesting.h"

namespace {

using Server = LoopbackHttpServer;

// Where the settings window's Other tab, and the Wildcard box on its page, are.
const char* const kOtherTab = "180 18";
const char* const kWildcardBox = "20 55";

} // namespace

// The icon's menu, clicked and chosen through the control client.
class MenuTest : public SystemFixture {};

TEST_F(MenuTest, SettingsShowsTheWindowAtItsStoredFrameOnce)
{
	WritePrefs([](CPreferences& prefs) { prefs.fSettingsWinPosition.Set(120, 130, 381, 320); });
	StartZorve();
	Choose("Settings");
	ASSERT_TRUE(WindowShown("Settings"));
	EXPECT_NE(RunControl("windows").find("Settings\t120 130 381 320\tshown"), std::string::npos)
		<< RunControl("windows");

	// Again while shown: nothing, so one Escape hides it.
	Choose("Settings");
	Do("key '\\e' --window Settings");
	Do("wait-hidden Settings");
}

TEST_F(MenuTest, EscapeInTheWindowSavesItsPages)
{
	StartZorve();
	Choose("Settings");
	Do(std::string("click ") + kOtherTab + " --window Settings");
	Do(std::string("click ") + kWildcardBox + " --window Settings");
	// Tab navigation with Shift moves the focus about; the keys go to the window all the same.
	Do("key '\\t' --shift --window Settings");
	EXPECT_EQ(Stored().fWildcard, 0);
	Do("key '\\e' --window Settings");
	Do("wait-hidden Settings");
	EXPECT_EQ(Stored().fWildcard, 1);
}

TEST_F(MenuTest, ForceIpCheckMakesTheNextPulsePostTheCheck)
{
	StartZorve();
	Do("pulse-rate 0");
	Choose("Force Ip Check");
	EXPECT_FALSE(fServer.WaitForRequests(1, 500000));
	Do("pulse");
	EXPECT_TRUE(fServer.WaitForRequests(1, 5000000));
	EXPECT_EQ(Server::RouteOf(fServer.LastRequest()), Server::kRouteCheckPage);
}

TEST_F(MenuTest, ForceUpdatePostsAtOnceAndABusyIconOpensNoMenu)
{
	ASSERT_NO_FATAL_FAILURE(StartAStalledUpdate());
	EXPECT_EQ(Server::RouteOf(fServer.LastRequest()), Server::kRouteUpdate);

	Do("click 9 9");
	int status = -1;
	RunControl("wait-shown Options --timeout 1", &status);
	EXPECT_NE(status, 0) << "a menu opened while the engine works";
}

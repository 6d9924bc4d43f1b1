#include "EngineFixture.h"

#include <OS.h>

#include "EngineMessages.h"
#include "ChildProcess.h"

namespace {

using Server = LoopbackHttpServer;

} // namespace

// A check in flight must not take back what another writer saved meanwhile: it changes only
// "ip-cache".
class PreferencesWritersTest : public EngineFixture {};

// As reproduced: the check-IP server stalls, the one-shot cycle runs, and a second later
// another program saves a new user and password; the check's save at its end keeps them.
TEST_F(PreferencesWritersTest, StalledCheckKeepsWhatAnotherProcessSaved)
{
	WritePrefs([](CPreferences& prefs) {
		prefs.fTimeOut = 3;
		prefs.fIpCache = "198.51.100.1";
	});
	fBehaviour.checkPage.fault = Server::kFaultStall;
	ApplyBehaviour();

	ChildProcess cycle({ZORVE_CYCLE});
	ASSERT_TRUE(cycle.Started());
	ASSERT_TRUE(fServer.WaitForRequests(1, 10000000)) << cycle.Output();
	snooze(1000000);
	ChildProcess change({ZORVE_PREFS, "user=NEWUSER", "password=newpass"});
	EXPECT_EQ(change.Wait(20000000), 0) << change.Output();
	EXPECT_EQ(cycle.Wait(30000000), 1) << cycle.Output();

	CPreferences prefs;
	ASSERT_EQ(prefs.Load(), B_OK);
	EXPECT_STREQ(prefs.fUser.String(), "NEWUSER");
	EXPECT_STREQ(prefs.fPassword.String(), "newpass");
	// The check found no address in the page it never got.
	EXPECT_STREQ(prefs.fIpCache.String(), "0.0.0.0");
	EXPECT_EQ(prefs.fTimeOut, 3);
}

// The same inside one process, as when the settings window's pages save while a check waits
// for a slow page: both the pages' keys and the new address are kept.
TEST_F(PreferencesWritersTest, SlowCheckKeepsWhatAnotherThreadSaved)
{
	WritePrefs([](CPreferences& prefs) { prefs.fTimeOut = 10; });
	fBehaviour.checkPage.fault = Server::kFaultTrickle;
	fBehaviour.trickleInterval = 3000;
	ApplyBehaviour();

	::testing::internal::CaptureStdout();
	fEngine->PostMessage(MSG_CHECK_IP);
	ASSERT_TRUE(fServer.WaitForRequests(1, 10000000));
	{
		CPreferences page;
		page.LockFile();
		ASSERT_EQ(page.Load(), B_OK);
		page.fUser = "page-user";
		page.fHost = "page.example.org";
		ASSERT_EQ(page.Save(), B_OK);
		page.UnlockFile();
	}
	ASSERT_TRUE(fServer.WaitForRequests(2, 30000000)) << "the check ended without an update";
	::testing::internal::GetCapturedStdout();
	// A message the engine ignores, queued behind the update: its end is the update's.
	Run('idle');

	EXPECT_EQ(fEngine->fCheckResult, 0);
	CPreferences prefs;
	ASSERT_EQ(prefs.Load(), B_OK);
	EXPECT_STREQ(prefs.fUser.String(), "page-user");
	EXPECT_STREQ(prefs.fHost.String(), "page.example.org");
	EXPECT_STREQ(prefs.fIpCache.String(), "203.0.113.7");
	// The update that followed used the page's keys.
	EXPECT_NE(fServer.LastRequest().find("hostname=page.example.org"), std::string::npos);
}

// Printing the preferences only reads: a damaged file stays exactly as it is.
TEST(PreferencesReaderTest, PrintingADamagedFileFailsAndWritesNothing)
{
	TemporaryHome home;
	CPreferences prefs;
	home.WriteFile(prefs.SettingPath(), "garbage");
	ChildProcess print({ZORVE_PREFS});
	ASSERT_TRUE(print.Started());
	EXPECT_EQ(print.Wait(10000000), 1) << print.Output();
	EXPECT_EQ(home.ReadFile(prefs.SettingPath()), "garbage");
}

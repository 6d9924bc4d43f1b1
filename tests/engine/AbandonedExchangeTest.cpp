#include "EngineFixture.h"

#include <OS.h>

#include "EngineMessages.h"
#include "StalledListener.h"

namespace {

using Server = LoopbackHttpServer;

// Far longer than any wait below: an exchange that ends sooner was given up.
const int8 kLongTimeOut = 100;
const bigtime_t kPrompt = 1000000;
const char* const kCachedAddress = "198.51.100.1";

} // namespace

// The engine gives up the exchange it waits on when told to, from another thread, so that
// whoever quits it is not held up by a stalled server; the exchange so abandoned leaves no
// trace.
class AbandonedExchangeTest : public EngineFixture {
protected:
	void SetUp() override
	{
		EngineFixture::SetUp();
		WritePrefs([](CPreferences& prefs) {
			prefs.fTimeOut = kLongTimeOut;
			prefs.fIpCache = kCachedAddress;
		});
	}

	// Posts the message, waits until the engine is busy with it (and the server has the
	// request, when `request` is set), abandons it and returns how long the engine then took
	// to be lockable.
	bigtime_t AbandonWhileBusy(uint32 what, bool request = true)
	{
		::testing::internal::CaptureStdout();
		fEngine->PostMessage(what);
		bool waiting = request ? fServer.WaitForRequests(1, 5000000) : WaitUntilBusy();
		EXPECT_TRUE(waiting) << "the exchange did not begin";
		snooze(100000);
		EXPECT_TRUE(fEngine->fBusy);
		bigtime_t start = system_time();
		fEngine->AbandonExchange();
		EXPECT_EQ(fEngine->LockWithTimeout(10 * kPrompt), B_OK);
		bigtime_t took = system_time() - start;
		fEngine->Unlock();
		fPrinted = ::testing::internal::GetCapturedStdout();
		return took;
	}

	bool WaitUntilBusy()
	{
		for (int i = 0; i < 500 && !fEngine->fBusy; i++)
			snooze(10000);
		return fEngine->fBusy;
	}

	std::string fPrinted;
};

TEST_F(AbandonedExchangeTest, AStalledCheckEndsAtOnceAndKeepsTheCachedAddress)
{
	fBehaviour.checkPage.fault = Server::kFaultStall;
	ApplyBehaviour();
	EXPECT_LT(AbandonWhileBusy(MSG_CHECK_IP), kPrompt);
	EXPECT_FALSE(fEngine->fBusy);
	EXPECT_EQ(fEngine->fCheckResult, -1);
	// Nothing came, yet the missing page must not count as "no address".
	EXPECT_EQ(IpCache(), kCachedAddress);
	EXPECT_EQ(fEngine->LogText(), "");
}

TEST_F(AbandonedExchangeTest, AStalledUpdateEndsAtOnceAndLogsNothing)
{
	fBehaviour.update.fault = Server::kFaultStall;
	ApplyBehaviour();
	EXPECT_LT(AbandonWhileBusy(MSG_UPDATE), kPrompt);
	EXPECT_EQ(fEngine->fUpdateResult, -1);
	EXPECT_EQ(fEngine->LogText(), "");
	// The request was printed before the server stalled; nothing followed it.
	EXPECT_NE(fPrinted.find("Request : GET /nic/update"), std::string::npos) << fPrinted;
}

TEST_F(AbandonedExchangeTest, AStalledConnectEndsAtOnce)
{
	StalledListener stalled;
	ASSERT_NE(stalled.Port(), 0);
	WritePrefs([&](CPreferences& prefs) {
		prefs.fPort = stalled.Port();
		prefs.fTimeOut = kLongTimeOut;
		prefs.fIpCache = kCachedAddress;
	});
	EXPECT_LT(AbandonWhileBusy(MSG_CHECK_IP, false), kPrompt);
	EXPECT_EQ(fEngine->LogText(), "") << "no connection error is logged for it";
	EXPECT_EQ(IpCache(), kCachedAddress);
}

TEST_F(AbandonedExchangeTest, NothingRunsAfterwards)
{
	fEngine->AbandonExchange();
	Run(MSG_CHECK_IP);
	Run(MSG_UPDATE);
	EXPECT_EQ(fServer.CountConnections(), 0);
	EXPECT_EQ(fEngine->fCheckResult, 0);
	EXPECT_EQ(fEngine->fUpdateResult, 0);
	EXPECT_EQ(fEngine->LogText(), "");
}

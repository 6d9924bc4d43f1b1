#include "EngineFixture.h"

#include <OS.h>

#include "FakeClock.h"

void
EngineFixture::SetUp()
{
	fBehaviour.address = "203.0.113.7";
	fServer.SetBehaviour(fBehaviour);
	ASSERT_EQ(fServer.Start(), B_OK);
	fEngine = new Zorve();
	fEngine->Run();
}

void
EngineFixture::TearDown()
{
	if (fEngine != nullptr && fEngine->Lock())
		fEngine->Quit();
	fServer.Stop();
	clear_fake_time();
}

std::string
EngineFixture::IpCache()
{
	CPreferences prefs;
	prefs.Load();
	return prefs.fIpCache.String();
}

std::string
EngineFixture::Run(uint32 what)
{
	::testing::internal::CaptureStdout();
	fEngine->PostMessage(what);
	// The engine takes a message only with its lock held: an empty queue under the lock
	// means nothing is in flight.
	bigtime_t deadline = system_time() + 60000000;
	bool idle = false;
	while (!idle && system_time() < deadline) {
		snooze(2000);
		fEngine->Lock();
		idle = !fEngine->IsMessageWaiting();
		fEngine->Unlock();
	}
	std::string printed = ::testing::internal::GetCapturedStdout();
	EXPECT_TRUE(idle) << "the engine did not finish";
	return printed;
}

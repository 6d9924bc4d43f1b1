#include "SystemFixture.h"

#include <OS.h>

#include "DeskbarTesting.h"

namespace {

using Server = LoopbackHttpServer;
using Pictures = StatusPictures;

// Well within the trickled exchanges of these tests, well beyond the time-out of the engine.
const bigtime_t kTrickle = 2000;

} // namespace

// The periodic check and the pictures, with the Deskbar's own pulse or pulses by hand.
class StatusCycleTest : public SystemFixture {
protected:
	// Forces an update, pulses while the engine works on it, then once after it has ended;
	// the picture shown then.
	Pictures::Picture UpdateAndLook(int32 busyPulses)
	{
		fServer.ClearRecords();
		Choose("Force Update");
		EXPECT_TRUE(fServer.WaitForRequests(1, 10000000));
		for (int32 i = 0; i < busyPulses; i++)
			Do("pulse");
		EXPECT_TRUE(fServer.WaitForIdle(10000000));
		snooze(200000);
		return PulseAndLook();
	}
};

TEST_F(StatusCycleTest, NoCheckBeforeTheDelayThenPeriodicOnes)
{
	WritePrefs([](CPreferences& prefs) { prefs.fCheckDelay = 3; });
	bigtime_t start = system_time();
	StartZorve();
	// The shelf pulses twice a second; the first check falls due three clock seconds after
	// the attach, so at least two whole seconds later.
	ASSERT_TRUE(fServer.WaitForRequests(1, 10000000));
	EXPECT_GE(system_time() - start, 2000000);
	bigtime_t first = system_time();
	ASSERT_TRUE(fServer.WaitForRequests(2, 10000000));
	EXPECT_GE(system_time() - first, 2000000);
	EXPECT_EQ(Server::RouteOf(fServer.Requests()[0]), Server::kRouteCheckPage);
	// Once the checks are over, whichever frame their animation ended on.
	EXPECT_TRUE(Eventually([this] { return ShownPicture() == Pictures::kNormal; }));
}

TEST_F(StatusCycleTest, ACheckThatFallsDueWhileTheWindowIsOpenIsDropped)
{
	WritePrefs([](CPreferences& prefs) { prefs.fCheckDelay = 1; });
	StartZorve();
	Choose("Settings");
	fServer.ClearRecords();
	EXPECT_FALSE(fServer.WaitForRequests(1, 2500000));
	// Hidden, the window has saved its delay of at least five minutes: a forced check runs.
	Do("key '\\e' --window Settings");
	Choose("Force Ip Check");
	EXPECT_TRUE(fServer.WaitForRequests(1, 5000000));
}

TEST_F(StatusCycleTest, FramesAdvanceOnePerPulseWhileTheServerStalls)
{
	ASSERT_NO_FATAL_FAILURE(StartAStalledUpdate());
	for (Pictures::Picture expected : {Pictures::kNormal, Pictures::kPending1, Pictures::kPending2,
			 Pictures::kPending3, Pictures::kNormal, Pictures::kPending1}) {
		EXPECT_EQ(PulseAndLook(), expected);
	}
}

TEST_F(StatusCycleTest, ErrorAfterAFailedUpdateAndNormalAfterAGoodOne)
{
	Server::Behaviour behaviour = fBehaviour;
	behaviour.update.fault = Server::kFaultTrickle;
	behaviour.trickleInterval = kTrickle;
	behaviour.update.status = 401;
	SetServer(behaviour);
	StartZorve();
	Do("pulse-rate 0");
	EXPECT_EQ(UpdateAndLook(2), Pictures::kError) << "badauth";
	EXPECT_EQ(PulseAndLook(), Pictures::kError);

	behaviour.update.status = 200;
	SetServer(behaviour);
	EXPECT_EQ(UpdateAndLook(3), Pictures::kNormal);
}

// At the shelf's own pulse, against a server that answers at once: an exchange begins and ends
// between two pulses, and the picture still tells how it went.
TEST_F(StatusCycleTest, TheResultOfAnExchangeBetweenTwoPulsesIsShown)
{
	StartZorve();
	auto shows = [this](Pictures::Picture picture) {
		return Eventually([&] { return ShownPicture() == picture; });
	};
	Server::Behaviour behaviour = fBehaviour;
	for (int status : {401, 200}) {
		SCOPED_TRACE(status);
		behaviour.update.status = status;
		behaviour.answers = {Server::Answer(Server::kAnswerBadauth)};
		SetServer(behaviour);
		Choose("Force Update");
		EXPECT_TRUE(shows(Pictures::kError));

		behaviour.update.status = 200;
		behaviour.answers = {Server::Answer(Server::kAnswerGood, kServerAddress)};
		SetServer(behaviour);
		Choose("Force Update");
		EXPECT_TRUE(shows(Pictures::kNormal));
	}

	// A check that finds no server.
	fServer.Stop();
	Choose("Force Ip Check");
	EXPECT_TRUE(shows(Pictures::kError));
}

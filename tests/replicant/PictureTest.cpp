#include "ReplicantFixture.h"

#include <string>

#include <File.h>
#include <OS.h>
#include <Resources.h>

#include "WindowPort.h"

namespace {

using Server = LoopbackHttpServer;

// A trickled reply takes about half a second: a few pulses fit into it with room to spare,
// and it ends well within the time-out.
const bigtime_t kTrickle = 2000;
const int8 kTimeOut = 2;

} // namespace

// What the icon shows: one animation frame per pulse while the engine works; while it is idle,
// the error picture when the last check or update failed and the normal one otherwise.
class PictureTest : public ReplicantFixture {
protected:
	void SetUpdate(int status, Server::Fault fault)
	{
		Server::Behaviour behaviour = fServer.GetBehaviour();
		behaviour.update.status = status;
		behaviour.update.fault = fault;
		behaviour.trickleInterval = kTrickle;
		fServer.SetBehaviour(behaviour);
	}

	// Forces an update, pulses `busyPulses` times while the engine works on it, and once more
	// after it has ended; the picture that last pulse chose.
	StatusPictures::Picture UpdateAndPulse(int32 busyPulses)
	{
		fServer.ClearRecords();
		Choose("Force Update");
		EXPECT_TRUE(fServer.WaitForRequests(1, 5000000));
		Pulse(busyPulses);
		EXPECT_TRUE(WaitForServer());
		// The engine stores its result right after the server has let go.
		snooze(100000);
		Pulse();
		return Picture();
	}
};

TEST_F(PictureTest, TheBackgroundIsTheMenuColourOneStepDarker)
{
	WritePrefs([](CPreferences& prefs) { prefs.fApplicationPath = ""; });
	Attach();
	rgb_color corner = BPrivate::WindowPort(fShelf).PixelAt(0, 0);
	EXPECT_EQ(corner.red, 184);
	EXPECT_EQ(corner.green, 184);
	EXPECT_EQ(corner.blue, 184);
	EXPECT_EQ(Picture(), StatusPictures::kBackground);
}

TEST_F(PictureTest, FramesAdvanceOnePerPulseWhileTheServerStalls)
{
	SetUpdate(200, Server::kFaultStall);
	Attach();
	Choose("Force Update");
	ASSERT_TRUE(fServer.WaitForRequests(1, 5000000));
	for (StatusPictures::Picture expected : {StatusPictures::kNormal, StatusPictures::kPending1,
			 StatusPictures::kPending2, StatusPictures::kPending3, StatusPictures::kNormal,
			 StatusPictures::kPending1, StatusPictures::kPending2}) {
		Pulse();
		EXPECT_EQ(Picture(), expected);
	}
}

TEST_F(PictureTest, ErrorAfterAFailedUpdateAndNormalAfterAGoodOne)
{
	WritePrefs([](CPreferences& prefs) { prefs.fTimeOut = kTimeOut; });
	Attach();

	SetUpdate(200, Server::kFaultStall);
	EXPECT_EQ(UpdateAndPulse(2), StatusPictures::kError) << "no answer in time";
	// An idle pulse leaves the error picture alone.
	Pulse(3);
	EXPECT_EQ(Picture(), StatusPictures::kError);

	SetUpdate(200, Server::kFaultTrickle);
	EXPECT_EQ(UpdateAndPulse(2), StatusPictures::kNormal);

	SetUpdate(401, Server::kFaultTrickle);
	EXPECT_EQ(UpdateAndPulse(3), StatusPictures::kError) << "badauth";
}

TEST_F(PictureTest, TheResultsDecideWhateverThePulsesSawOfTheExchange)
{
	WritePrefs([](CPreferences& prefs) { prefs.fTimeOut = kTimeOut; });
	Attach();

	// A busy period between two pulses, as on any fast network.
	SetUpdate(401, Server::kFaultNone);
	EXPECT_EQ(UpdateAndPulse(0), StatusPictures::kError);
	SetUpdate(200, Server::kFaultNone);
	EXPECT_EQ(UpdateAndPulse(0), StatusPictures::kNormal);

	// The normal frame on show when the engine falls idle after a failure.
	SetUpdate(200, Server::kFaultStall);
	EXPECT_EQ(UpdateAndPulse(1), StatusPictures::kError);
}

TEST_F(PictureTest, EveryAnimationStartsFromItsFirstFrame)
{
	Attach();
	SetUpdate(200, Server::kFaultTrickle);
	EXPECT_EQ(UpdateAndPulse(3), StatusPictures::kNormal);

	SetUpdate(200, Server::kFaultStall);
	fServer.ClearRecords(); // else the first update's request would count, and pulse too early
	Choose("Force Update");
	ASSERT_TRUE(fServer.WaitForRequests(1, 5000000));
	for (StatusPictures::Picture expected : {StatusPictures::kNormal, StatusPictures::kPending1}) {
		Pulse();
		EXPECT_EQ(Picture(), expected);
	}
}

TEST_F(PictureTest, AMissingFrameShowsTheBackgroundAlone)
{
	// An application whose only picture is the normal one.
	std::string path = fHome.Path() + "/Zorve";
	{
		BFile source(ZORVE_EXECUTABLE, B_READ_ONLY);
		BResources resources(&source);
		size_t size = 0;
		const void* data = resources.LoadResource('BBMP', "ZRV:Normal", &size);
		ASSERT_NE(data, nullptr);
		BFile file(path.c_str(), B_READ_WRITE | B_CREATE_FILE);
		BResources copy(&file, true);
		ASSERT_EQ(copy.AddResource('BBMP', 1, data, size, "ZRV:Normal"), B_OK);
	}
	WritePrefs([&](CPreferences& prefs) { prefs.fApplicationPath = path.c_str(); });
	SetUpdate(200, Server::kFaultStall);
	Attach();
	EXPECT_EQ(Picture(), StatusPictures::kNormal);
	Choose("Force Update");
	ASSERT_TRUE(fServer.WaitForRequests(1, 5000000));
	Pulse();
	EXPECT_EQ(Picture(), StatusPictures::kNormal);
	Pulse();
	EXPECT_EQ(Picture(), StatusPictures::kBackground);
}

#include "ReplicantFixture.h"

#include <TabView.h>
#include <TextControl.h>
#include <Window.h>

#include "WindowPort.h"

// The pulse posts the periodic check once "check-delay" seconds have passed since the last
// one fell due, and only while the settings window is hidden.
class ScheduleTest : public ReplicantFixture {
protected:
	// Pulses once at `now` and waits for what the pulse started; the requests the server has
	// seen so far.
	int32 PulseAt(time_t now)
	{
		SetClock(now);
		Pulse();
		// A check posted by this pulse reaches the server at once on loopback.
		fServer.WaitForRequests(fRequests + 1, 300000);
		EXPECT_TRUE(WaitForServer());
		fRequests = fServer.CountRequests();
		return fRequests;
	}

	int32 fRequests = 0;
};

TEST_F(ScheduleTest, NoCheckBeforeTheDelayThenOneEachDelay)
{
	WritePrefs([](CPreferences& prefs) { prefs.fCheckDelay = 60; });
	Attach();
	EXPECT_EQ(Picture(), StatusPictures::kNormal);
	EXPECT_EQ(PulseAt(kAttachTime), 0);
	EXPECT_EQ(PulseAt(kAttachTime + 59), 0);
	EXPECT_EQ(PulseAt(kAttachTime + 60), 1);
	EXPECT_EQ(PulseAt(kAttachTime + 61), 1);
	// The next one falls due a full delay after the pulse that posted the last.
	EXPECT_EQ(PulseAt(kAttachTime + 119), 1);
	EXPECT_EQ(PulseAt(kAttachTime + 120), 2);
	EXPECT_EQ(PulseAt(kAttachTime + 500), 3) << "missed checks are not made up for";
	EXPECT_EQ(PulseAt(kAttachTime + 501), 3);
}

TEST_F(ScheduleTest, DelaysNearTheTopOfTheRangeNeverWrapAround)
{
	// The clock and the delay add up to more than a signed 32-bit number holds.
	for (int32 delay : {2147483647, 2000000000, 400000000}) {
		SCOPED_TRACE(delay);
		WritePrefs([delay](CPreferences& prefs) { prefs.fCheckDelay = delay; });
		Attach();
		for (time_t later : {0, 1, 3600, 86400 * 365})
			EXPECT_EQ(PulseAt(kAttachTime + later), 0) << later;
		Detach();
	}
}

TEST_F(ScheduleTest, ADelayOfZeroOrLessChecksAtEveryPulse)
{
	for (int32 delay : {0, -5}) {
		SCOPED_TRACE(delay);
		fServer.ClearRecords();
		fRequests = 0;
		WritePrefs([delay](CPreferences& prefs) { prefs.fCheckDelay = delay; });
		Attach();
		EXPECT_EQ(PulseAt(kAttachTime), 1);
		EXPECT_EQ(PulseAt(kAttachTime), 2);
		EXPECT_EQ(PulseAt(kAttachTime + 1), 3);
		Detach();
	}
}

TEST_F(ScheduleTest, ACheckDueWhileTheWindowIsOpenIsDropped)
{
	WritePrefs([](CPreferences& prefs) { prefs.fCheckDelay = 300; });
	Attach();
	Choose("Settings");
	BWindow* settings = SettingsWindow();
	ASSERT_NE(settings, nullptr);
	ASSERT_FALSE(settings->IsHidden());
	EXPECT_EQ(PulseAt(kAttachTime + 300), 0);

	// Closed again: the dropped check is not made up for; the next falls due a full delay
	// after the pulse that dropped it.
	BPrivate::WindowPort(settings).KeyDown("\x1b");
	ASSERT_TRUE(settings->IsHidden());
	EXPECT_EQ(PulseAt(kAttachTime + 301), 0);
	EXPECT_EQ(PulseAt(kAttachTime + 599), 0);
	EXPECT_EQ(PulseAt(kAttachTime + 600), 1);
}

TEST_F(ScheduleTest, ADelayChangedInTheWindowCountsFromTheLastCheckOnceItIsHidden)
{
	Attach();
	EXPECT_EQ(PulseAt(kAttachTime + 100), 0);
	Choose("Settings");
	BWindow* settings = SettingsWindow();
	ASSERT_NE(settings, nullptr);
	ASSERT_TRUE(settings->Lock());
	BTabView* tabs = dynamic_cast<BTabView*>(settings->FindView("settings-tab"));
	ASSERT_NE(tabs, nullptr);
	tabs->Select(2);
	BTextControl* delay = dynamic_cast<BTextControl*>(settings->FindView("delay"));
	ASSERT_NE(delay, nullptr);
	EXPECT_STREQ(delay->Text(), "60");
	delay->SetText("5");
	settings->Unlock();
	BPrivate::WindowPort(settings).KeyDown("\x1b");
	ASSERT_TRUE(settings->IsHidden());

	EXPECT_EQ(PulseAt(kAttachTime + 299), 0);
	EXPECT_EQ(PulseAt(kAttachTime + 300), 1);
	EXPECT_EQ(PulseAt(kAttachTime + 599), 1);
	EXPECT_EQ(PulseAt(kAttachTime + 600), 2);
}

TEST_F(ScheduleTest, ForceIpCheckMakesTheNextPulsePostTheCheck)
{
	Attach();
	SetClock(kAttachTime + 10);
	Choose("Force Ip Check");
	// Nothing is posted by the menu itself.
	EXPECT_FALSE(fServer.WaitForRequests(1, 300000));
	EXPECT_EQ(PulseAt(kAttachTime + 10), 1);
	EXPECT_EQ(PulseAt(kAttachTime + 11), 1);
	EXPECT_EQ(PulseAt(kAttachTime + 10 + 3600), 2);
}

TEST_F(ScheduleTest, ForceIpCheckWhileTheWindowIsOpenIsConsumedWithoutACheck)
{
	Attach();
	Choose("Settings");
	SetClock(kAttachTime + 10);
	Choose("Force Ip Check");
	EXPECT_EQ(PulseAt(kAttachTime + 10), 0);
	BPrivate::WindowPort(SettingsWindow()).KeyDown("\x1b");
	EXPECT_EQ(PulseAt(kAttachTime + 11), 0);
	EXPECT_EQ(PulseAt(kAttachTime + 10 + 3600), 1);
}

TEST_F(ScheduleTest, UnreadablePreferencesGiveTheDefaultDelay)
{
	CPreferences prefs;
	fHome.WriteFile(prefs.SettingPath(), "not a message");
	Attach();
	EXPECT_EQ(Picture(), StatusPictures::kBackground) << "no path to the pictures";
	EXPECT_EQ(PulseAt(kAttachTime + 299), 0);
	// Nothing to ask, as the file names no server: the check posted fails at once.
	SetClock(kAttachTime + 300);
	Pulse();
	EXPECT_EQ(fServer.CountRequests(), 0);
}

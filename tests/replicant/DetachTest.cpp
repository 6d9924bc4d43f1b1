#include "ReplicantFixture.h"

#include <Message.h>
#include <OS.h>
#include <TabView.h>
#include <TextControl.h>
#include <Window.h>

#include "WindowPort.h"
#include "ZorveReplicant.h"

namespace {

using Server = LoopbackHttpServer;

} // namespace

// Detaching undoes everything attaching did, stores the settings window's frame, and never
// waits for a server; the icon's archive brings it back.
class DetachTest : public ReplicantFixture {};

TEST_F(DetachTest, TheWindowsFrameIsStoredAndOtherKeysKept)
{
	WritePrefs([](CPreferences& prefs) { prefs.fUser = "kept"; });
	Attach();
	Choose("Settings");
	BWindow* settings = SettingsWindow();
	ASSERT_TRUE(settings->Lock());
	settings->MoveTo(200, 210);
	settings->Unlock();
	BPrivate::WindowPort(settings).KeyDown("\x1b");
	Detach();
	EXPECT_EQ(Stored().fSettingsWinPosition, BRect(200, 210, 461, 400));
	EXPECT_EQ(Stored().fUser, "kept");
	EXPECT_EQ(Stored().fApplicationPath, ZORVE_EXECUTABLE);
}

TEST_F(DetachTest, AnOpenWindowSavesItsPagesFirst)
{
	Attach();
	Choose("Settings");
	BWindow* settings = SettingsWindow();
	ASSERT_TRUE(settings->Lock());
	// The page's controls are in the window while its tab is selected.
	BTabView* tabs = dynamic_cast<BTabView*>(settings->FindView("settings-tab"));
	if (tabs != nullptr)
		tabs->Select(1);
	BTextControl* user = dynamic_cast<BTextControl*>(settings->FindView("user-edit"));
	if (user != nullptr)
		user->SetText("typed before exit");
	settings->Unlock();
	ASSERT_NE(user, nullptr);
	Detach();
	EXPECT_EQ(Stored().fUser, "typed before exit");
}

TEST_F(DetachTest, TheWindowGoesWhetherItWasShownOrNot)
{
	Attach();
	ASSERT_NE(SettingsWindow(), nullptr);
	Detach();
	EXPECT_EQ(SettingsWindow(), nullptr) << "a window never shown is quit from the detach";

	Attach();
	Choose("Settings");
	BPrivate::WindowPort(SettingsWindow()).KeyDown("\x1b");
	Detach();
	for (int i = 0; i < 200 && SettingsWindow() != nullptr; i++)
		snooze(10000);
	EXPECT_EQ(SettingsWindow(), nullptr);
}

TEST_F(DetachTest, ADetachWhileTheServerStallsReturnsPromptly)
{
	for (bool check : {true, false}) {
		SCOPED_TRACE(check ? "check" : "update");
		Server::Behaviour behaviour = fServer.GetBehaviour();
		behaviour.checkPage.fault = check ? Server::kFaultStall : Server::kFaultNone;
		behaviour.update.fault = check ? Server::kFaultNone : Server::kFaultStall;
		fServer.SetBehaviour(behaviour);
		fServer.ClearRecords();
		WritePrefs([](CPreferences& prefs) {
			prefs.fTimeOut = 100;
			prefs.fCheckDelay = 0;
		});
		Attach();
		if (check)
			Pulse();
		else
			Choose("Force Update");
		ASSERT_TRUE(fServer.WaitForRequests(1, 5000000));
		bigtime_t start = system_time();
		Detach();
		EXPECT_LT(system_time() - start, 1000000);
		EXPECT_EQ(Stored().fIpCache, kServerAddress) << "the abandoned check changed nothing";
	}
}

TEST_F(DetachTest, TheArchiveNamesTheApplicationAndOnlyItsClassIsInstantiated)
{
	ZorveReplicant replicant;
	BMessage archive;
	EXPECT_EQ(replicant.Archive(&archive, true), B_OK);
	const char* addOn = NULL;
	ASSERT_EQ(archive.FindString("add_on", &addOn), B_OK);
	EXPECT_STREQ(addOn, "application/x-vnd.Orbel.Zorve");
	const char* name = NULL;
	ASSERT_EQ(archive.FindString("_name", &name), B_OK);
	EXPECT_STREQ(name, "ZorveReplicant");

	BArchivable* copy = ZorveReplicant::Instantiate(&archive);
	ASSERT_NE(copy, nullptr);
	BView* view = dynamic_cast<BView*>(copy);
	ASSERT_NE(view, nullptr);
	EXPECT_EQ(view->Frame(), BRect(0, 0, 15, 15));
	EXPECT_EQ(view->Flags(), B_WILL_DRAW | B_PULSE_NEEDED);
	delete copy;

	BMessage other;
	other.AddString("class", "BView");
	other.AddString("add_on", "application/x-vnd.Orbel.Zorve");
	EXPECT_EQ(ZorveReplicant::Instantiate(&other), nullptr);
}

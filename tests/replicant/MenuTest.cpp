#include "ReplicantFixture.h"

#include <Menu.h>
#include <MenuItem.h>
#include <Window.h>

#include "WindowPort.h"

namespace {

using Server = LoopbackHttpServer;

} // namespace

// The icon's menu: Settings, Force Ip Check, Force Update, a separator and Exit. (Exit needs a
// Deskbar: the system tests choose it.)
class MenuTest : public ReplicantFixture {};

TEST_F(MenuTest, SettingsShowsTheWindowAtItsStoredFrameOnce)
{
	WritePrefs([](CPreferences& prefs) { prefs.fSettingsWinPosition.Set(100, 120, 361, 310); });
	Attach();
	BWindow* settings = SettingsWindow();
	ASSERT_NE(settings, nullptr);
	EXPECT_TRUE(settings->IsHidden());
	Choose("Settings");
	EXPECT_FALSE(settings->IsHidden());
	EXPECT_EQ(settings->Frame(), BRect(100, 120, 361, 310));

	// Chosen again while shown it does nothing: one Escape hides the window.
	Choose("Settings");
	BPrivate::WindowPort(settings).KeyDown("\x1b");
	EXPECT_TRUE(settings->IsHidden());
}

TEST_F(MenuTest, AStoredFrameOffTheScreenIsBroughtBackOntoIt)
{
	struct Case {
		BRect stored;
		BRect used;
	} cases[] = {
		{BRect(2000, 1500, 2261, 1690), BRect(762, 577, 1023, 767)},
		{BRect(-300, -20, -39, 170), BRect(0, 0, 261, 190)},
		{BRect(900, 10, 1161, 200), BRect(762, 10, 1023, 200)},
		// No rectangle at all.
		{BRect(0, 0, -1, -1), BRect(50, 50, 311, 240)},
	};
	for (const Case& test : cases) {
		WritePrefs([&](CPreferences& prefs) { prefs.fSettingsWinPosition = test.stored; });
		Attach();
		ASSERT_NE(SettingsWindow(), nullptr);
		EXPECT_EQ(SettingsWindow()->Frame(), test.used);
		Detach();
	}
}

TEST_F(MenuTest, TheMenuIsARadioMenuNamedOptionsWithItsEntriesInOrder)
{
	Attach();
	BWindow* window = OpenMenu();
	ASSERT_NE(window, nullptr);
	ASSERT_TRUE(window->Lock());
	BMenu* menu = dynamic_cast<BMenu*>(window->ChildAt(0));
	ASSERT_NE(menu, nullptr);
	EXPECT_STREQ(menu->Name(), "Options");
	EXPECT_TRUE(menu->IsRadioMode());
	EXPECT_TRUE(menu->IsLabelFromMarked());
	const char* labels[] = {"Settings", "Force Ip Check", "Force Update", NULL, "Exit"};
	ASSERT_EQ(menu->CountItems(), 5);
	for (int32 i = 0; i < 5; i++) {
		BMenuItem* item = menu->ItemAt(i);
		if (labels[i] == NULL)
			EXPECT_NE(dynamic_cast<BSeparatorItem*>(item), nullptr);
		else
			EXPECT_STREQ(item->Label(), labels[i]);
	}
	window->Unlock();
	BPrivate::WindowPort(window).KeyDown("\x1b");
}

TEST_F(MenuTest, ForceUpdatePostsTheUpdateAtOnceEvenWithTheWindowOpen)
{
	Attach();
	Choose("Settings");
	Choose("Force Update");
	ASSERT_TRUE(fServer.WaitForRequests(1, 5000000));
	EXPECT_EQ(fServer.LastRequest().rfind("GET /nic/update?", 0), 0u) << fServer.LastRequest();
}

TEST_F(MenuTest, AClickWhileTheEngineWorksOpensNoMenu)
{
	Server::Behaviour behaviour = fServer.GetBehaviour();
	behaviour.update.fault = Server::kFaultStall;
	fServer.SetBehaviour(behaviour);
	Attach();
	Choose("Force Update");
	ASSERT_TRUE(fServer.WaitForRequests(1, 5000000));
	EXPECT_EQ(OpenMenu(), nullptr);
}

TEST_F(MenuTest, AMenuClosedWithoutAChoiceDoesNothing)
{
	Attach();
	BWindow* menu = OpenMenu();
	ASSERT_NE(menu, nullptr);
	BPrivate::WindowPort(menu).KeyDown("\x1b");
	SetClock(kAttachTime + 1);
	Pulse();
	EXPECT_FALSE(fServer.WaitForRequests(1, 300000));
	EXPECT_TRUE(SettingsWindow()->IsHidden());
}

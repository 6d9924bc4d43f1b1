#include <gtest/gtest.h>

#include <string>

#include <OS.h>
#include <TabView.h>
#include <Window.h>

#include "SettingsFixture.h"
#include "WindowHold.h"

namespace {

using SettingsWindowTest = SettingsFixture;

TEST_F(SettingsWindowTest, IsBuiltHiddenAsABorderlessStripAboveFivePages)
{
	Build();
	EXPECT_TRUE(Window()->IsHidden());
	EXPECT_EQ(kDefaultFrame, Window()->Frame());
	EXPECT_STREQ("Settings", Window()->Title());
	EXPECT_EQ(B_NO_BORDER_WINDOW_LOOK, Window()->Look());
	EXPECT_EQ(B_NORMAL_WINDOW_FEEL, Window()->Feel());
	EXPECT_EQ((uint32)(B_NOT_RESIZABLE | B_NOT_ZOOMABLE), Window()->Flags());
	EXPECT_EQ((uint32)B_CURRENT_WORKSPACE, Window()->Workspaces());

	Window()->Lock();
	ASSERT_EQ(2, Window()->CountChildren());
	BView* strip = Window()->ChildAt(0);
	EXPECT_STREQ("title-view", strip->Name());
	EXPECT_EQ(BRect(0, 0, 261, 7), strip->Frame());
	BTabView* tabs = dynamic_cast<BTabView*>(Window()->ChildAt(1));
	ASSERT_NE(nullptr, tabs);
	EXPECT_STREQ("settings-tab", tabs->Name());
	EXPECT_EQ(BRect(0, 8, 261, 190), tabs->Frame());
	ASSERT_EQ(5, tabs->CountTabs());
	const char* labels[] = {"About", "User", "Server", "Other", "Log"};
	for (int32 i = 0; i < 5; i++) {
		EXPECT_STREQ(labels[i], tabs->TabAt(i)->Label());
		EXPECT_STREQ(labels[i], tabs->ViewForTab(i)->Name());
		EXPECT_EQ(BRect(0, 0, 259, 159), tabs->ViewForTab(i)->Bounds());
	}
	EXPECT_EQ(0, tabs->Selection());
	Window()->Unlock();

	Show();
	EXPECT_FALSE(Window()->IsHidden());
	EXPECT_TRUE(Window()->IsActive());
}

TEST_F(SettingsWindowTest, PagesFollowTheFrameTheyAreGiven)
{
	Build(BRect(10, 20, 410, 320));
	Window()->Lock();
	BTabView* tabs = dynamic_cast<BTabView*>(Window()->FindView("settings-tab"));
	EXPECT_EQ(BRect(0, 8, 400, 300), tabs->Frame());
	EXPECT_EQ(BRect(0, 0, 398, 269), tabs->ViewForTab(4)->Bounds());
	EXPECT_EQ(BRect(0, 0, 400, 7), Window()->FindView("title-view")->Frame());
	Window()->Unlock();
}

TEST_F(SettingsWindowTest, AWindowNeverShownGoesWithLockAndQuit)
{
	Build();
	ASSERT_LT(Window()->Thread(), 0);
	ASSERT_TRUE(Window()->Lock());
	Window()->Quit();
	fWindow = nullptr;
	fPort.reset();
}

TEST_F(SettingsWindowTest, AShownWindowGoesWithAQuitRequestWithoutSaving)
{
	Open();
	SelectTab(kUserTab);
	TypeInto("user-edit", "not saved");
	BWindow* window = Window();
	ASSERT_EQ(B_OK, window->PostMessage(B_QUIT_REQUESTED));
	fWindow = nullptr;
	fPort.reset();
	bool gone = false;
	for (int32 i = 0; i < 1000 && !gone; i++) {
		gone = !BPrivate::WindowHold(window);
		if (!gone)
			snooze(5000);
	}
	EXPECT_TRUE(gone);
	// The default the launcher wrote: quitting does not hide, so nothing was saved.
	EXPECT_EQ("no user", std::string(Stored()->fUser.String()));
}

} // namespace

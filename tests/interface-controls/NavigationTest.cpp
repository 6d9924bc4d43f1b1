#include <gtest/gtest.h>

#include <CheckBox.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <TabView.h>
#include <TextControl.h>
#include <Window.h>

#include "ControlsTestSupport.h"

namespace {

const uint32 kControlFlags = B_WILL_DRAW | B_NAVIGABLE;

BView*
MakePage(const char* name)
{
	BView* page = new BView(BRect(0, 0, 259, 159), name, B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
	page->SetViewColor(kPanel);
	return page;
}

// A tab view of two pages, as the settings window has: text controls on one (the second
// disabled), check boxes, a text control and a menu field on the other.
class NavigationTest : public testing::Test {
protected:
	void SetUp() override
	{
		fTabs = new BTabView(BRect(0, 8, 261, 190), "settings-tab", B_WIDTH_FROM_LABEL);
		BView* server = MakePage("Server");
		fDns = new BTextControl(BRect(10, 20, 250, 30), "server-Dns-edit", "Server DynDns", "",
			NULL, B_FOLLOW_LEFT | B_FOLLOW_TOP, kControlFlags);
		fCheckIp = new BTextControl(BRect(10, 45, 250, 55), "server-ip-edit", "Server Ip Check", "",
			NULL, B_FOLLOW_LEFT | B_FOLLOW_TOP, kControlFlags);
		fDelay = new BTextControl(BRect(10, 70, 180, 80), "delay", "Delay", "5", NULL,
			B_FOLLOW_LEFT | B_FOLLOW_TOP, kControlFlags);
		fCheckIp->SetEnabled(false);
		server->AddChild(fDns);
		server->AddChild(fCheckIp);
		server->AddChild(fDelay);

		BView* other = MakePage("Other");
		fWildcard = new BCheckBox(BRect(10, 20, 200, 30), "wildcard-check", "Wildcard", NULL);
		fOffline = new BCheckBox(BRect(10, 40, 200, 50), "offline-check", "Offline", NULL);
		fOffline->SetEnabled(false);
		fMx = new BTextControl(BRect(10, 85, 250, 95), "mx-edit", "Mail Exchanger", "", NULL);
		BPopUpMenu* menu = new BPopUpMenu("dyndns");
		menu->AddItem(new BMenuItem("dyndns", NULL));
		fSystem = new BMenuField(BRect(10, 110, 180, 130), "system-menufield", "System", menu,
			true);
		other->AddChild(fWildcard);
		other->AddChild(fOffline);
		other->AddChild(fMx);
		other->AddChild(fSystem);

		fTabs->AddTab(server);
		fTabs->AddTab(other);
		fWindow.ShowWith({fTabs});
	}

	BView* Next(bool backwards = false)
	{
		fWindow.Type("\t", backwards ? B_SHIFT_KEY : 0);
		fWindow->Lock();
		BView* focus = fWindow->CurrentFocus();
		fWindow->Unlock();
		return focus;
	}

	PanelWindow fWindow{BRect(50, 50, 311, 240)};
	BTabView* fTabs;
	BTextControl* fDns;
	BTextControl* fCheckIp;
	BTextControl* fDelay;
	BCheckBox* fWildcard;
	BCheckBox* fOffline;
	BTextControl* fMx;
	BMenuField* fSystem;
};

TEST_F(NavigationTest, TabVisitsTheNavigableViewsInOrderSkippingDisabledOnes)
{
	EXPECT_EQ(fTabs, Next());
	EXPECT_EQ(fDns->TextView(), Next());
	EXPECT_EQ(fDelay->TextView(), Next());
	EXPECT_EQ(fTabs, Next());
	EXPECT_EQ(fDelay->TextView(), Next(true));
	EXPECT_EQ(fDns->TextView(), Next(true));
	EXPECT_EQ(fTabs, Next(true));

	// On the other page: only its own controls, the disabled box passed over.
	fWindow->Lock();
	fTabs->Select(1);
	fWindow->Unlock();
	EXPECT_EQ(fWildcard, Next());
	EXPECT_EQ(fMx->TextView(), Next());
	EXPECT_EQ(fSystem, Next());
	EXPECT_EQ(fTabs, Next());

	// Enabled again, a control takes its place in the order.
	fWindow->Lock();
	fOffline->SetEnabled(true);
	fWildcard->MakeFocus();
	fWindow->Unlock();
	EXPECT_EQ(fOffline, Next());
}

TEST_F(NavigationTest, KeysGoToTheFocusedControlAlone)
{
	EXPECT_EQ(fTabs, Next());
	EXPECT_EQ(fDns->TextView(), Next());
	fWindow.Type("a");
	EXPECT_EQ(fDelay->TextView(), Next());
	fWindow.Type("b");
	fWindow->Lock();
	EXPECT_STREQ("a", fDns->Text());
	// Arriving by Tab selected "5", which the typing replaced.
	EXPECT_STREQ("b", fDelay->Text());
	EXPECT_STREQ("", fCheckIp->Text());
	fWindow->Unlock();
}

} // namespace

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <CheckBox.h>
#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Message.h>
#include <OS.h>
#include <TextControl.h>
#include <TextView.h>
#include <Window.h>

#include "MenuPrivate.h"
#include "OtherView.h"
#include "ServerView.h"
#include "SettingsFixture.h"
#include "UserView.h"

namespace {

std::string
Text(const BString& text)
{
	return text.String();
}

class PagesTest : public SettingsFixture {
protected:
	void SetUp() override
	{
		SettingsFixture::SetUp();
		WritePrefs([](CPreferences& prefs) {
			prefs.fUser = "someone";
			prefs.fPassword = "secret";
			prefs.fHost = "home.example.org";
			prefs.fIpCache = "203.0.113.7";
			prefs.fApplicationPath = "/boot/apps/Zorve";
		});
	}

	void TearDown() override
	{
		BWindow* menu = BPrivate::open_menu_window();
		if (menu != NULL)
			BPrivate::WindowPort(menu).KeyDown("\x1b");
		SettingsFixture::TearDown();
	}

	// Shows the window again if Escape hid it, on the given page.
	void ShowOn(int32 tab)
	{
		if (Window()->IsHidden())
			Show();
		SelectTab(tab);
	}

	// What the engine's address check does when it finds a new address.
	void EngineStores(const char* address)
	{
		CPreferences prefs;
		prefs.LockFile();
		ASSERT_EQ(B_OK, prefs.Load());
		prefs.fIpCache = address;
		ASSERT_EQ(B_OK, prefs.Save());
		prefs.UnlockFile();
	}

	void Click(BPoint pageWhere)
	{
		BPoint where = kPageOrigin + pageWhere;
		Port().MouseMoved(where, 0);
		Port().MouseDown(where, B_PRIMARY_MOUSE_BUTTON);
		Port().MouseUp(where, 0);
	}

	std::string PrefsPath() { return fHome.SettingsPath() + "/Zorve/Zorve.prefs"; }
};

TEST_F(PagesTest, UserPageShowsTheAccountAndSavesWhatIsTyped)
{
	Open();
	SelectTab(kUserTab);
	struct Field {
		const char* name;
		const char* label;
		BRect frame;
		const char* shown;
	};
	float height = Control("user-edit")->Frame().Height();
	for (Field field : {Field{"user-edit", "User", BRect(10, 20, 250, 20 + height), "someone"},
			 Field{"password-edit", "Password", BRect(10, 45, 250, 45 + height), "secret"},
			 Field{"host-edit", "Host", BRect(10, 70, 250, 70 + height), "home.example.org"},
			 Field{"ip", "Ip Address", BRect(10, 95, 250, 95 + height), "203.0.113.7"}}) {
		SCOPED_TRACE(field.name);
		BTextControl* control = Control(field.name);
		ASSERT_NE(nullptr, control);
		Window()->Lock();
		EXPECT_STREQ(field.label, control->Label());
		EXPECT_EQ(field.frame, control->Frame());
		EXPECT_EQ(55, control->Divider());
		EXPECT_TRUE(control->IsEnabled());
		EXPECT_FALSE(control->TextView()->IsTypingHidden());
		Window()->Unlock();
		EXPECT_EQ(field.shown, TextOf(field.name));
	}

	TypeInto("user-edit", "alice");
	TypeInto("host-edit", "alice.example.org");
	TypeInto("ip", "192.0.2.55");
	PressEscape();
	std::unique_ptr<CPreferences> stored = Stored();
	EXPECT_EQ("alice", Text(stored->fUser));
	EXPECT_EQ("secret", Text(stored->fPassword));
	EXPECT_EQ("alice.example.org", Text(stored->fHost));
	EXPECT_EQ("192.0.2.55", Text(stored->fIpCache));
	// Keys of other pages and of nobody are written back as they were.
	EXPECT_EQ("/boot/apps/Zorve", Text(stored->fApplicationPath));
	EXPECT_EQ("checkip.dyndns.org", Text(stored->fCheckIpServer));
	EXPECT_EQ(BRect(50, 50, 311, 240), stored->fSettingsWinPosition);

	// The edits stay in the fields across a hide and a show.
	ShowOn(kUserTab);
	EXPECT_EQ("alice", TextOf("user-edit"));
}

TEST_F(PagesTest, APasswordOfAnyCharactersIsStoredAsTyped)
{
	Open();
	SelectTab(kUserTab);
	const char* password = "p\xc3\xa4ss w0rd:\"#'\\%&<>";
	TypeInto("password-edit", password);
	PressEscape();
	EXPECT_EQ(password, Text(Stored()->fPassword));
}

TEST_F(PagesTest, EveryFieldRefusesEscapeAndAcceptsAnyLength)
{
	Open();
	struct Page {
		int32 tab;
		std::vector<const char*> fields;
	};
	std::string longText(500, 'x');
	for (Page page : {Page{kUserTab, {"user-edit", "password-edit", "host-edit", "ip"}},
			 Page{kServerTab, {"server-Dns-edit", "server-ip-edit", "delay"}},
			 Page{kOtherTab, {"mx-edit"}}}) {
		SelectTab(page.tab);
		for (const char* name : page.fields) {
			SCOPED_TRACE(name);
			BTextControl* control = Control(name);
			ASSERT_NE(nullptr, control);
			Window()->Lock();
			control->TextView()->SetText("");
			control->TextView()->Insert(
				"a\x1b"
				"b");
			EXPECT_STREQ("ab", control->Text());
			control->TextView()->SetText(longText.c_str());
			EXPECT_EQ(longText, control->Text());
			Window()->Unlock();
		}
	}
	// Typed, Escape hides the window instead.
	SelectTab(kUserTab);
	TypeInto("host-edit", "h");
	PressEscape();
	EXPECT_EQ("h", TextOf("host-edit"));
	EXPECT_TRUE(Window()->IsHidden());
}

TEST_F(PagesTest, TheDelayIsShownInWholeMinutesAndStoredInSeconds)
{
	Open();
	SelectTab(kServerTab);
	EXPECT_EQ("5", TextOf("delay"));
	BTextControl* delay = Control("delay");
	Window()->Lock();
	EXPECT_STREQ("Delay for ipCheck (minutes)", delay->Label());
	EXPECT_EQ(135, delay->Divider());
	EXPECT_EQ(170, delay->Frame().Width());
	Window()->Unlock();
	Close();

	// Truncated toward zero.
	WritePrefs([](CPreferences& prefs) { prefs.fCheckDelay = 299; });
	Open();
	SelectTab(kServerTab);
	EXPECT_EQ("4", TextOf("delay"));

	struct Case {
		const char* typed;
		int32 stored;
	};
	for (Case c : {Case{"10", 600}, Case{"0", 300}, Case{"4", 300}, Case{"-3", 300}, Case{"2", 300},
			 Case{"5", 300}, Case{"6", 360}, Case{"7 days", 420}, Case{" 12", 720}, Case{"+8", 480},
			 Case{"", 300}, Case{"abc", 300}, Case{"x9", 300}, Case{"35791394", 2147483640},
			 Case{"35791395", 2147483640}, Case{"99999999999999999999999", 2147483640},
			 Case{"-99999999999999999999999", 300}}) {
		SCOPED_TRACE(c.typed);
		ShowOn(kServerTab);
		TypeInto("delay", c.typed);
		PressEscape();
		EXPECT_EQ(c.stored, Stored()->fCheckDelay);
	}
}

TEST_F(PagesTest, ServerNamesAreShownDisabledAndLeftAsTheFileHoldsThem)
{
	WritePrefs([](CPreferences& prefs) {
		prefs.fDynDnsServer = "update.example.org";
		prefs.fCheckIpServer = "check.example.org";
	});
	Open();
	SelectTab(kServerTab);
	EXPECT_EQ("update.example.org", TextOf("server-Dns-edit"));
	EXPECT_EQ("check.example.org", TextOf("server-ip-edit"));
	for (const char* name : {"server-Dns-edit", "server-ip-edit"}) {
		BTextControl* control = Control(name);
		Window()->Lock();
		EXPECT_FALSE(control->IsEnabled()) << name;
		EXPECT_EQ(80, control->Divider()) << name;
		Window()->Unlock();
	}
	Window()->Lock();
	EXPECT_STREQ("Server DynDns", Control("server-Dns-edit")->Label());
	EXPECT_STREQ("Server Ip Check", Control("server-ip-edit")->Label());
	Window()->Unlock();

	// Changed in the file while the window is open: the hide keeps the change.
	WritePrefs([](CPreferences& prefs) {
		prefs.fDynDnsServer = "update2.example.org";
		prefs.fCheckIpServer = "check2.example.org";
	});
	PressEscape();
	std::unique_ptr<CPreferences> stored = Stored();
	EXPECT_EQ("update2.example.org", Text(stored->fDynDnsServer));
	EXPECT_EQ("check2.example.org", Text(stored->fCheckIpServer));
}

TEST_F(PagesTest, TheShownAddressIsRefreshedAtEveryShowAndAttach)
{
	Open();
	SelectTab(kUserTab);
	EXPECT_EQ("203.0.113.7", TextOf("ip"));
	PressEscape();

	// The engine finds a new address while the window is hidden.
	EngineStores("198.51.100.1");
	Show();
	EXPECT_EQ("198.51.100.1", TextOf("ip"));
	PressEscape();
	EXPECT_EQ("198.51.100.1", Text(Stored()->fIpCache));

	// Selecting the page again shows what the file holds.
	Show();
	SelectTab(kAboutTab);
	EngineStores("198.51.100.2");
	SelectTab(kUserTab);
	EXPECT_EQ("198.51.100.2", TextOf("ip"));
}

TEST_F(PagesTest, AnAddressStoredWhileTheWindowIsOpenSurvivesTheHide)
{
	Open();
	SelectTab(kUserTab);
	EngineStores("198.51.100.3");
	PressEscape();
	EXPECT_EQ("198.51.100.3", Text(Stored()->fIpCache));

	// A typed address still wins.
	ShowOn(kUserTab);
	EngineStores("198.51.100.4");
	TypeInto("ip", "192.0.2.1");
	PressEscape();
	EXPECT_EQ("192.0.2.1", Text(Stored()->fIpCache));
}

TEST_F(PagesTest, ATypedAddressNotYetSavedSurvivesAShowAndAChangeOfTab)
{
	Open();
	SelectTab(kUserTab);
	TypeInto("ip", "192.0.2.7");
	SelectTab(kAboutTab);
	SelectTab(kUserTab);
	EXPECT_EQ("192.0.2.7", TextOf("ip"));

	// A file size limit makes the hide's saves fail.
	struct rlimit old;
	getrlimit(RLIMIT_FSIZE, &old);
	sighandler_t oldHandler = signal(SIGXFSZ, SIG_IGN);
	struct rlimit small = {100, old.rlim_max};
	setrlimit(RLIMIT_FSIZE, &small);
	PressEscape();
	setrlimit(RLIMIT_FSIZE, &old);
	signal(SIGXFSZ, oldHandler);
	EXPECT_EQ("203.0.113.7", Text(Stored()->fIpCache));

	ShowOn(kUserTab);
	EXPECT_EQ("192.0.2.7", TextOf("ip"));
	PressEscape();
	EXPECT_EQ("192.0.2.7", Text(Stored()->fIpCache));
}

TEST_F(PagesTest, ACheckHoldingThePreferencesLockLosesNothingOfTheHideNorTheHideOfIt)
{
	Open();
	SelectTab(kUserTab);
	TypeInto("user-edit", "alice");

	// A check in the middle of its load, change and save.
	CPreferences check;
	check.LockFile();
	ASSERT_EQ(B_OK, check.Load());

	// Escape, handed over without waiting: the pages' saves wait for the check.
	BMessage escape(B_KEY_DOWN);
	escape.AddString("bytes", "\x1b");
	escape.AddInt8("byte", 0x1b);
	ASSERT_EQ(B_OK, Window()->PostMessage(&escape));
	snooze(200000);
	check.fIpCache = "198.51.100.9";
	ASSERT_EQ(B_OK, check.Save());
	check.UnlockFile();

	for (int32 i = 0; i < 500 && !Window()->IsHidden(); i++)
		snooze(10000);
	ASSERT_TRUE(Window()->IsHidden());
	std::unique_ptr<CPreferences> stored = Stored();
	EXPECT_EQ("alice", Text(stored->fUser));
	EXPECT_EQ("198.51.100.9", Text(stored->fIpCache));
}

TEST_F(PagesTest, ChecksRunningThroughTheHidesNeverLoseAnAddressNorThePagesEdits)
{
	Open();
	SelectTab(kUserTab);
	TypeInto("user-edit", "alice");
	// Checks that store a new address as fast as they can, and notice when the address
	// stored last is not what they find. The last address is only touched under the lock.
	std::atomic<bool> stop{false};
	std::atomic<int32> checks{0};
	std::atomic<int32> lost{0};
	std::string last = "203.0.113.7";
	auto check = [&] {
		while (!stop) {
			CPreferences prefs;
			prefs.LockFile();
			if (prefs.Load() == B_OK) {
				if (last != prefs.fIpCache.String())
					lost++;
				last = "10.0.0." + std::to_string(++checks % 250);
				prefs.fIpCache = last.c_str();
				prefs.Save();
			}
			prefs.UnlockFile();
		}
	};
	std::thread engines[] = {std::thread(check), std::thread(check), std::thread(check)};
	for (int32 i = 0; i < 12; i++) {
		ShowOn(i % 2 == 0 ? kUserTab : kOtherTab);
		PressEscape();
	}
	stop = true;
	for (std::thread& engine : engines)
		engine.join();
	EXPECT_GT(checks, 0);
	EXPECT_EQ(0, lost);
	EXPECT_EQ("alice", Text(Stored()->fUser));
}

TEST_F(PagesTest, APageWhoseLoadFailsKeepsTheDefaultsOfTheKeysItDoesNotEdit)
{
	Open();
	struct Page {
		int32 tab;
		const char* name;
	};
	for (Page page :
		{Page{kUserTab, "User"}, Page{kServerTab, "Server"}, Page{kOtherTab, "Other"}}) {
		SCOPED_TRACE(page.name);
		SelectTab(page.tab);
		BView* view = Find(page.name);
		ASSERT_NE(nullptr, view);
		ASSERT_EQ(0, unlink(PrefsPath().c_str()));
		Window()->Lock();
		if (page.tab == kUserTab)
			static_cast<UserView*>(view)->SaveSettings();
		else if (page.tab == kServerTab)
			static_cast<ServerView*>(view)->SaveSettings();
		else
			static_cast<OtherView*>(view)->SaveSettings();
		Window()->Unlock();

		std::unique_ptr<CPreferences> stored = Stored();
		EXPECT_EQ("checkip.dyndns.org", Text(stored->fCheckIpServer));
		EXPECT_EQ("https://members.dyndns.org", Text(stored->fDynDnsServer));
		EXPECT_EQ(80, stored->fPort);
		EXPECT_EQ(10, stored->fTimeOut);
		EXPECT_EQ(4096, stored->fLogSize);
		EXPECT_EQ(BRect(50, 50, 311, 240), stored->fSettingsWinPosition);
		if (page.tab != kUserTab) {
			EXPECT_EQ("no user", Text(stored->fUser));
			EXPECT_EQ("empty", Text(stored->fHost));
			EXPECT_EQ("0.0.0.0", Text(stored->fIpCache));
		} else {
			EXPECT_EQ("someone", Text(stored->fUser));
		}
		if (page.tab != kOtherTab) {
			EXPECT_EQ("dyndns", Text(stored->fSystem));
		}
		EXPECT_EQ(300, stored->fCheckDelay);
	}
}

TEST_F(PagesTest, FlagsCountAsSetOnlyWhenExactlyOne)
{
	WritePrefs([](CPreferences& prefs) {
		prefs.fWildcard = 1;
		prefs.fBackMx = 2;
		prefs.fOffline = -1;
	});
	Open();
	SelectTab(kOtherTab);
	struct Box {
		const char* name;
		const char* label;
		BRect frame;
		int32 value;
	};
	for (Box box : {Box{"wildcard-check", "Wildcard", BRect(10, 20, 200, 30), B_CONTROL_ON},
			 Box{"backmx-check", "Back mx", BRect(10, 40, 200, 50), B_CONTROL_OFF},
			 Box{"offline-check", "Offline", BRect(10, 60, 200, 70), B_CONTROL_OFF}}) {
		SCOPED_TRACE(box.name);
		BCheckBox* check = dynamic_cast<BCheckBox*>(Find(box.name));
		ASSERT_NE(nullptr, check);
		Window()->Lock();
		EXPECT_STREQ(box.label, check->Label());
		EXPECT_EQ(box.frame.LeftTop(), check->Frame().LeftTop());
		EXPECT_EQ(box.value, check->Value());
		Window()->Unlock();
	}
	PressEscape();
	std::unique_ptr<CPreferences> stored = Stored();
	EXPECT_EQ(1, stored->fWildcard);
	EXPECT_EQ(0, stored->fBackMx);
	EXPECT_EQ(0, stored->fOffline);

	// Checked by a click, then unchecked.
	ShowOn(kOtherTab);
	Click(BPoint(15, 45));
	PressEscape();
	EXPECT_EQ(1, Stored()->fBackMx);
	ShowOn(kOtherTab);
	Click(BPoint(15, 45));
	Click(BPoint(15, 25));
	PressEscape();
	EXPECT_EQ(0, Stored()->fBackMx);
	EXPECT_EQ(0, Stored()->fWildcard);
}

TEST_F(PagesTest, AStoredSystemThatIsNoneOfTheItemsIsKeptUntilOneIsPicked)
{
	WritePrefs([](CPreferences& prefs) { prefs.fSystem = "my-own-system"; });
	Open();
	SelectTab(kOtherTab);
	BMenuField* field = dynamic_cast<BMenuField*>(Find("system-menufield"));
	ASSERT_NE(nullptr, field);
	Window()->Lock();
	EXPECT_STREQ("System", field->Label());
	EXPECT_EQ(82, field->Divider());
	EXPECT_EQ(BRect(10, 110, 180, 130), field->Frame());
	BMenu* menu = field->Menu();
	ASSERT_EQ(3, menu->CountItems());
	EXPECT_STREQ("dyndns", menu->ItemAt(0)->Label());
	EXPECT_STREQ("statdns", menu->ItemAt(1)->Label());
	EXPECT_STREQ("custom", menu->ItemAt(2)->Label());
	EXPECT_TRUE(menu->IsRadioMode());
	EXPECT_TRUE(menu->IsLabelFromMarked());
	EXPECT_EQ(nullptr, menu->FindMarked());
	EXPECT_STREQ("my-own-system", field->MenuItem()->Label());
	Window()->Unlock();
	PressEscape();
	EXPECT_EQ("my-own-system", Text(Stored()->fSystem));

	ShowOn(kOtherTab);
	Click(BPoint(120, 118));
	ASSERT_NE(nullptr, BPrivate::open_menu_window());
	ASSERT_EQ(B_OK, BPrivate::choose_menu_item("statdns"));
	Port().Sync();
	// Nothing is saved at the pick itself.
	EXPECT_EQ("my-own-system", Text(Stored()->fSystem));
	PressEscape();
	EXPECT_EQ("statdns", Text(Stored()->fSystem));
}

TEST_F(PagesTest, TheMailExchangerIsStoredAsTypedEvenEmpty)
{
	WritePrefs([](CPreferences& prefs) { prefs.fMx = "mx.example.org"; });
	Open();
	SelectTab(kOtherTab);
	EXPECT_EQ("mx.example.org", TextOf("mx-edit"));
	BTextControl* mx = Control("mx-edit");
	Window()->Lock();
	EXPECT_STREQ("Mail Exchanger", mx->Label());
	EXPECT_EQ(80, mx->Divider());
	Window()->Unlock();
	TypeInto("mx-edit", "");
	PressEscape();
	EXPECT_EQ("", Text(Stored()->fMx));
}

TEST_F(PagesTest, HidingWritesTheFileThreeTimesEvenWhenNothingChanged)
{
	Open();
	std::string before = fHome.ReadFile(PrefsPath());
	// Every save writes a new file beside the old one and puts it in place under the
	// preferences' name. (The creations keep the kernel from merging the renames.)
	int watch = inotify_init1(IN_NONBLOCK);
	ASSERT_GE(watch, 0);
	ASSERT_GE(inotify_add_watch(watch, (fHome.SettingsPath() + "/Zorve").c_str(),
				  IN_CREATE | IN_MOVED_TO),
		0);
	PressEscape();
	ASSERT_TRUE(Window()->IsHidden());

	int32 replaced = 0;
	alignas(struct inotify_event) char buffer[4096];
	ssize_t length;
	while ((length = read(watch, buffer, sizeof(buffer))) > 0) {
		for (char* next = buffer; next < buffer + length;) {
			struct inotify_event* event = reinterpret_cast<struct inotify_event*>(next);
			if ((event->mask & IN_MOVED_TO) != 0 && event->len > 0
				&& strcmp(event->name, "Zorve.prefs") == 0)
				replaced++;
			next += sizeof(struct inotify_event) + event->len;
		}
	}
	close(watch);
	EXPECT_EQ(3, replaced);
	EXPECT_EQ(before, fHome.ReadFile(PrefsPath()));
}

} // namespace

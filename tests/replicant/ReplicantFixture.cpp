#include "ReplicantFixture.h"

#include <stdlib.h>
#include <string.h>

#include <thread>
#include <vector>

#include <OS.h>
#include <View.h>
#include <Window.h>

#include "FakeClock.h"
#include "MenuPrivate.h"
#include "WindowHold.h"
#include "WindowPort.h"
#include "ZorveReplicant.h"

using BPrivate::WindowPort;

namespace {

const bigtime_t kMenuWait = 2000000;

} // namespace

// A click runs on a thread of its own: the icon's hook waits in its menu until it closes.
struct ReplicantFixture::Click {
	std::thread thread;
};

void
ReplicantFixture::SetUp()
{
	// Headless, whatever the session around the test has.
	unsetenv("DISPLAY");
	ASSERT_NO_FATAL_FAILURE(ZorveFixture::SetUp());
	WritePrefs();
	fPictures = new StatusPictures;
	ASSERT_EQ(fPictures->InitCheck(), B_OK);

	fShelf = new BWindow(BRect(0, 0, 15, 15), "Test shelf", B_NO_BORDER_WINDOW_LOOK,
		B_FLOATING_ALL_WINDOW_FEEL, B_AVOID_FOCUS | B_WILL_ACCEPT_FIRST_CLICK);
	fShelf->SetPulseRate(0);
	fShelf->Show();
}

void
ReplicantFixture::TearDown()
{
	_FinishClick();
	if (fReplicant != nullptr)
		Detach();
	if (fShelf != nullptr && fShelf->Lock())
		fShelf->Quit();
	ZorveFixture::TearDown();
	clear_fake_time();
	delete fPictures;
}

void
ReplicantFixture::Attach()
{
	SetClock(kAttachTime);
	fReplicant = new ZorveReplicant();
	ASSERT_TRUE(fShelf->Lock());
	fShelf->AddChild(fReplicant);
	fShelf->Unlock();
	WindowPort(fShelf).Sync();
}

void
ReplicantFixture::Detach()
{
	_FinishClick();
	ASSERT_TRUE(fShelf->Lock());
	fReplicant->RemoveSelf();
	fShelf->Unlock();
	delete fReplicant;
	fReplicant = nullptr;
}

void
ReplicantFixture::Pulse(int32 count)
{
	for (int32 i = 0; i < count; i++)
		ASSERT_EQ(WindowPort(fShelf).Pulse(), B_OK);
}

void
ReplicantFixture::SetClock(time_t now)
{
	set_fake_time(now);
}

StatusPictures::Picture
ReplicantFixture::Picture()
{
	WindowPort port(fShelf);
	port.Sync();
	std::vector<uint8> pixels;
	for (int32 y = 0; y < 16; y++) {
		for (int32 x = 0; x < 16; x++) {
			rgb_color color = port.PixelAt(x, y);
			pixels.insert(pixels.end(), {color.red, color.green, color.blue, color.alpha});
		}
	}
	return fPictures->Match(pixels.data());
}

BWindow*
ReplicantFixture::OpenMenu()
{
	_FinishClick();
	BWindow* before = BPrivate::open_menu_window();
	fClick = new Click;
	BWindow* shelf = fShelf;
	fClick->thread = std::thread([shelf] {
		WindowPort port(shelf);
		port.MouseDown(BPoint(8, 8), B_PRIMARY_MOUSE_BUTTON);
		port.MouseUp(BPoint(8, 8), 0);
	});
	// Either a menu opens, or the click is handled without one.
	bigtime_t deadline = system_time() + kMenuWait;
	while (system_time() < deadline) {
		BWindow* menu = BPrivate::open_menu_window();
		if (menu != NULL && menu != before)
			return menu;
		snooze(5000);
	}
	return NULL;
}

void
ReplicantFixture::Choose(const char* label)
{
	ASSERT_NE(OpenMenu(), nullptr) << "no menu opened";
	ASSERT_EQ(BPrivate::choose_menu_item(label), B_OK) << label;
	_FinishClick();
	WindowPort(fShelf).Sync();
}

bool
ReplicantFixture::WaitForServer()
{
	return fServer.WaitForIdle(10000000);
}

BWindow*
ReplicantFixture::SettingsWindow()
{
	BWindow* found = NULL;
	for (int32 i = 0; BWindow* window = BPrivate::WindowList::At(i); i++) {
		BPrivate::WindowHold held(window);
		if (held && window->Title() != NULL && strcmp(window->Title(), "Settings") == 0)
			found = window;
	}
	return found;
}

void
ReplicantFixture::_FinishClick()
{
	if (fClick == nullptr)
		return;
	// A menu still open is closed without a choice.
	if (BWindow* menu = BPrivate::open_menu_window())
		WindowPort(menu).KeyDown("\x1b");
	fClick->thread.join();
	delete fClick;
	fClick = nullptr;
}

/*
 * The status icon attached to a headless window that stands in for the Deskbar's shelf: no
 * pulse of its own, so that each test pulses it by hand, with preferences in a temporary home
 * that point at a loopback server and at the built application's pictures, and a settable
 * clock.
 */
#ifndef REPLICANT_FIXTURE_H
#define REPLICANT_FIXTURE_H

#include <gtest/gtest.h>

#include <time.h>

#include <string>

#include "StatusPictures.h"
#include "ZorveFixture.h"

class BWindow;
class ZorveReplicant;

class ReplicantFixture : public ZorveFixture {
protected:
	// The clock at attach time, far from any edge of the 32-bit range.
	static const time_t kAttachTime = 1800000000;

	void SetUp() override;
	void TearDown() override;

	// Writes the defaults pointed at the server (check delay one hour, the address cached)
	// and at the built application, then lets `change` adjust them.
	template<typename Change>
	void WritePrefs(Change change)
	{
		ZorveFixture::WritePrefs([&](CPreferences& prefs) {
			prefs.fApplicationPath = ZORVE_EXECUTABLE;
			change(prefs);
		});
	}
	void WritePrefs()
	{
		WritePrefs([](CPreferences&) {});
	}

	// Attaches a new icon to the shelf at kAttachTime; Detach() removes and deletes it.
	void Attach();
	void Detach();

	void Pulse(int32 count = 1);
	void SetClock(time_t now);
	StatusPictures::Picture Picture();
	// Clicks the icon; the menu's window, or NULL when none opened.
	BWindow* OpenMenu();
	// Opens the menu and chooses the item.
	void Choose(const char* label);
	// Waits until no exchange is under way at the server.
	bool WaitForServer();
	// The settings window the icon made, found by its title.
	BWindow* SettingsWindow();

	StatusPictures* fPictures = nullptr;
	BWindow* fShelf = nullptr;
	ZorveReplicant* fReplicant = nullptr;

private:
	void _FinishClick();

	struct Click;
	Click* fClick = nullptr;
};

#endif // REPLICANT_FIXTURE_H

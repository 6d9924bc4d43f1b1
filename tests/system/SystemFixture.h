/*
 * One run of the whole system: a temporary home whose preferences point at a loopback
 * server, Zorve started there as a program (which starts a Deskbar host and installs its
 * icon), and the control client to drive the host. The host is stopped at the end.
 */
#ifndef SYSTEM_FIXTURE_H
#define SYSTEM_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CPreferences.h"
#include "LoopbackHttpServer.h"
#include "LoopbackPreferences.h"
#include "StatusPictures.h"
#include "TemporaryHome.h"

class SystemFixture : public ::testing::Test {
protected:
	static const char* const kServerAddress;

	void SetUp() override;
	void TearDown() override;

	// Writes the defaults pointed at the server (check delay one hour, the address cached),
	// then lets `change` adjust them.
	template<typename Change>
	void WritePrefs(Change change)
	{
		WriteLoopbackPreferences(fServer.Port(), kServerAddress, change);
	}
	void WritePrefs()
	{
		WritePrefs([](CPreferences&) {});
	}
	CPreferences& Stored();

	// Starts the program as a user would; what it printed.
	std::string StartZorve();
	// Runs deskbar-ctl with the arguments; its output, and its exit status in `status`.
	std::string Control(const std::string& arguments, int* status = NULL);
	// Runs deskbar-ctl and expects it to succeed.
	void Do(const std::string& arguments);

	StatusPictures::Picture ShownPicture();
	// Pulses the shelf once, then names the picture shown.
	StatusPictures::Picture PulseAndLook();

	// Clicks the icon and chooses the menu item.
	void Choose(const char* label);
	bool WindowShown(const char* title);
	// The names of the Deskbar host's threads, empty when no host runs.
	std::vector<std::string> HostThreads();

	void SetServer(const LoopbackHttpServer::Behaviour& behaviour);

	TemporaryHome fHome;
	LoopbackHttpServer fServer;
	LoopbackHttpServer::Behaviour fBehaviour;
	CPreferences fStored;
	StatusPictures* fPictures = nullptr;
};

#endif // SYSTEM_FIXTURE_H

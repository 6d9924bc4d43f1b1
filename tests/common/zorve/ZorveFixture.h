/*
 * Zorve as a user runs it, against a loopback server of the test's own: a private home whose
 * preferences point at the server, the program started as a process (which starts a Deskbar
 * host and installs its icon there), and the record it stores read back. The server and any
 * Deskbar host are stopped at the end.
 */
#ifndef ZORVE_FIXTURE_H
#define ZORVE_FIXTURE_H

#include <gtest/gtest.h>

#include <string>

#include "CPreferences.h"
#include "LoopbackHttpServer.h"
#include "LoopbackPreferences.h"
#include "TemporaryHome.h"

class ZorveFixture : public ::testing::Test {
protected:
	// The address the server reports, and the one the preferences hold as cached.
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
	void SetServer(const LoopbackHttpServer::Behaviour& behaviour);

	// The preferences as stored now.
	CPreferences& Stored();
	// Starts the built program, or the one at `path`, as a user would, and expects it to
	// succeed; what it printed on either stream.
	std::string StartZorve();
	std::string StartZorve(const std::string& path);

	TemporaryHome fHome;
	LoopbackHttpServer fServer;
	LoopbackHttpServer::Behaviour fBehaviour;
	CPreferences fStored;
};

#endif // ZORVE_FIXTURE_H

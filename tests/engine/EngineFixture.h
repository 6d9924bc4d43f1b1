/*
 * An engine running against a loopback server, with preferences in a temporary home.
 */
#ifndef ENGINE_FIXTURE_H
#define ENGINE_FIXTURE_H

#include <gtest/gtest.h>

#include <string>

#include "CPreferences.h"
#include "LoopbackHttpServer.h"
#include "TemporaryHome.h"
#include "Zorve.h"

class EngineFixture : public ::testing::Test {
protected:
	void SetUp() override;
	void TearDown() override;

	// Writes the defaults pointed at the server, then lets `change` adjust them.
	template<typename Change>
	void WritePrefs(Change change)
	{
		CPreferences prefs;
		prefs.SetDefault();
		prefs.fCheckIpServer = "127.0.0.1";
		prefs.fDynDnsServer = "localhost";
		prefs.fPort = fServer.Port();
		prefs.fUser = "someone";
		prefs.fPassword = "secret";
		prefs.fHost = "home.example.org";
		prefs.fTimeOut = 2;
		change(prefs);
		ASSERT_EQ(prefs.Save(), B_OK);
	}
	void WritePrefs()
	{
		WritePrefs([](CPreferences&) {});
	}

	std::string IpCache();
	// Posts the message and waits until it and whatever it queued are handled; returns what
	// the engine printed meanwhile.
	std::string Run(uint32 what);
	LoopbackHttpServer::Behaviour& Behaviour() { return fBehaviour; }
	void ApplyBehaviour() { fServer.SetBehaviour(fBehaviour); }

	TemporaryHome fHome;
	LoopbackHttpServer fServer;
	LoopbackHttpServer::Behaviour fBehaviour;
	Zorve* fEngine = nullptr;
};

#endif // ENGINE_FIXTURE_H

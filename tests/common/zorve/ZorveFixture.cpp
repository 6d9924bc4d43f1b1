#include "ZorveFixture.h"

#include "DeskbarTesting.h"

const char* const ZorveFixture::kServerAddress = "203.0.113.7";

void
ZorveFixture::SetUp()
{
	fBehaviour.address = kServerAddress;
	fServer.SetBehaviour(fBehaviour);
	ASSERT_EQ(fServer.Start(), B_OK);
	WritePrefs();
}

void
ZorveFixture::TearDown()
{
	// A stalled exchange ends with the server, so that the host can quit at once.
	fServer.Stop();
	EXPECT_TRUE(StopDeskbarHost());
}

void
ZorveFixture::SetServer(const LoopbackHttpServer::Behaviour& behaviour)
{
	fBehaviour = behaviour;
	fServer.SetBehaviour(fBehaviour);
}

CPreferences&
ZorveFixture::Stored()
{
	fStored.Load();
	return fStored;
}

std::string
ZorveFixture::StartZorve()
{
	return StartZorve(ZORVE_PROGRAM);
}

std::string
ZorveFixture::StartZorve(const std::string& path)
{
	int status = -1;
	std::string printed = StartProgram(path, &status);
	EXPECT_EQ(status, 0) << path << ": " << printed;
	return printed;
}

#include "EngineFixture.h"

#include <stdlib.h>

#include <regex>

#include <OS.h>

#include "EngineMessages.h"
#include "TestCertificates.h"
#include "ChildProcess.h"

namespace {

// What an exchange may take beyond its time-out: the engine's own work and the test's wait.
const bigtime_t kMargin = 700000;

} // namespace

// A server named "https://HOST[:PORT]" is reached over TLS, its certificate verified against
// the trust store, which OpenSSL's own SSL_CERT_FILE points at the tests' authority.
class SecureExchangeTest : public EngineFixture {
protected:
	void SetUp() override
	{
		EngineFixture::SetUp();
		fCertificates.reset(new TestCertificates(fHome.Path()));
		ASSERT_EQ(fCertificates->InitCheck(), B_OK);
		setenv("SSL_CERT_FILE", fCertificates->AuthorityFile().c_str(), 1);
		Serve(TestCertificates::kGood);
		fTlsServer.SetBehaviour(fBehaviour);
		ASSERT_EQ(fTlsServer.Start(), B_OK);
	}

	void TearDown() override
	{
		EngineFixture::TearDown();
		fTlsServer.Stop();
		unsetenv("SSL_CERT_FILE");
	}

	void Serve(TestCertificates::Kind kind)
	{
		ASSERT_EQ(fTlsServer.SetCertificate(fCertificates->ServerFile(kind)), B_OK);
	}

	// The defaults pointed at the servers, the update at the TLS one, with a cached address to
	// send and a time-out of a second.
	void WriteSecurePrefs(const char* checkServer = "127.0.0.1")
	{
		std::string secure = "https://localhost:" + std::to_string(fTlsServer.Port());
		WritePrefs([&](CPreferences& prefs) {
			prefs.fCheckIpServer = strcmp(checkServer, "secure") == 0 ? secure.c_str()
																	  : checkServer;
			prefs.fDynDnsServer = secure.c_str();
			prefs.fIpCache = "203.0.113.7";
			prefs.fTimeOut = 1;
		});
	}

	bigtime_t Timed(uint32 what)
	{
		bigtime_t start = system_time();
		Run(what);
		return system_time() - start;
	}

	// The log's entries without their time stamps: the clock stays real here, since the
	// certificates' dates are checked against it.
	std::string Entries()
	{
		static const std::regex kStamp("[0-9]+/[0-9]+/[0-9]+-[0-9]+:[0-9]+:[0-9]+ ");
		return std::regex_replace(fEngine->LogText().String(), kStamp, "");
	}

	void ClearLog()
	{
		fEngine->Lock();
		fEngine->fLogText = "";
		fEngine->Unlock();
	}

	std::unique_ptr<TestCertificates> fCertificates;
	LoopbackHttpServer fTlsServer;
};

// The request over TLS is the very one a plain update sends; the server's name went with the
// handshake; scheme and final slash are read as any browser writes them.
TEST_F(SecureExchangeTest, UpdateOverTlsSendsThePlainRequestToTheVerifiedServer)
{
	WritePrefs([](CPreferences& prefs) { prefs.fIpCache = "203.0.113.7"; });
	Run(MSG_UPDATE);
	ASSERT_EQ(fEngine->fUpdateResult, 0);
	std::string plainRequest = fServer.LastRequest();

	std::string secure = "HTTPS://localhost:" + std::to_string(fTlsServer.Port()) + "/";
	WritePrefs([&](CPreferences& prefs) {
		prefs.fCheckIpServer = secure.c_str();
		prefs.fDynDnsServer = secure.c_str();
	});
	ClearLog();
	Run(MSG_CHECK_IP);
	EXPECT_EQ(fEngine->fCheckResult, 0);
	EXPECT_EQ(fEngine->fUpdateResult, 0);
	EXPECT_EQ(Entries(), "Your new IpAddress is : 203.0.113.7\nIp Changed 203.0.113.7");
	std::vector<std::string> requests = fTlsServer.Requests();
	ASSERT_EQ(requests.size(), 2u);
	EXPECT_EQ(requests[0].substr(0, 33), "GET / HTTP/1.1\r\nHost: localhost\r\n");
	EXPECT_EQ(requests[1], plainRequest);
	EXPECT_EQ(fTlsServer.LastServerName(), "localhost");
	EXPECT_EQ(fServer.CountRequests(), 1);
}

// Over TLS too a reply is read up to 64 KiB, and a server that trickles it cannot hold the
// engine past its time-out.
TEST_F(SecureExchangeTest, ReplyOverTlsKeepsItsCapAndDeadline)
{
	WriteSecurePrefs();
	LoopbackHttpServer::Behaviour flood = fBehaviour;
	flood.update.fault = LoopbackHttpServer::kFaultFlood;
	flood.update.framing = LoopbackHttpServer::kFramingContentLength;
	flood.floodFiller = ' ';
	for (uint64 size : {64 * 1024, 60 * 1024}) {
		flood.floodBytes = size;
		fTlsServer.SetBehaviour(flood);
		ClearLog();
		Run(MSG_UPDATE);
		EXPECT_EQ(fEngine->fUpdateResult, size < 64 * 1024 ? 0 : -1) << size;
	}
	EXPECT_EQ(Entries().substr(Entries().size() - 22), "Ip Changed 203.0.113.7");

	LoopbackHttpServer::Behaviour trickle = fBehaviour;
	trickle.update.fault = LoopbackHttpServer::kFaultTrickle;
	trickle.trickleInterval = 200000;
	fTlsServer.SetBehaviour(trickle);
	ClearLog();
	EXPECT_LT(Timed(MSG_UPDATE), 1000000 + kMargin);
	EXPECT_EQ(Entries(), "Data receiving Error !");
}

// Each refusal ends the update within the time-out with one entry that says why, and not a
// byte of the request (nor its password) reaches the server.
TEST_F(SecureExchangeTest, RefusedCertificateFailsTheUpdateWithItsOwnEntry)
{
	const struct {
		TestCertificates::Kind kind;
		const char* entry;
	} kCases[] = {{TestCertificates::kUntrusted,
					  "Error Server certificate: unable to get local issuer certificate\n"},
		{TestCertificates::kWrongHost, "Error Server certificate: not issued to localhost\n"},
		{TestCertificates::kExpired, "Error Server certificate: certificate has expired\n"}};
	WriteSecurePrefs();
	for (const auto& refused : kCases) {
		Serve(refused.kind);
		ClearLog();
		EXPECT_LT(Timed(MSG_UPDATE), 1000000 + kMargin) << refused.entry;
		EXPECT_EQ(fEngine->fUpdateResult, -1);
		EXPECT_EQ(Entries(), refused.entry);
	}
	EXPECT_EQ(fTlsServer.CountConnections(), 3);
	EXPECT_EQ(fTlsServer.CountRequests(), 0);
}

TEST_F(SecureExchangeTest, HandshakeThatStallsEndsWithinTheTimeOut)
{
	fBehaviour.stallHandshake = true;
	fTlsServer.SetBehaviour(fBehaviour);
	WriteSecurePrefs("secure");
	EXPECT_LT(Timed(MSG_CHECK_IP), 1000000 + kMargin);
	EXPECT_EQ(fEngine->fCheckResult, -1);
	EXPECT_EQ(Entries(), "Error IpCheck-Server secure connection: timed out\n");
	EXPECT_EQ(IpCache(), "203.0.113.7");

	ClearLog();
	EXPECT_LT(Timed(MSG_UPDATE), 1000000 + kMargin);
	EXPECT_EQ(fEngine->fUpdateResult, -1);
	EXPECT_EQ(Entries(), "Error Server secure connection: timed out\n");
}

// Exit gives up a handshake as it gives up any other wait: at once, leaving no trace.
TEST_F(SecureExchangeTest, AbandonedHandshakeEndsAtOnce)
{
	fBehaviour.stallHandshake = true;
	fTlsServer.SetBehaviour(fBehaviour);
	WritePrefs([this](CPreferences& prefs) {
		prefs.fDynDnsServer = ("https://localhost:" + std::to_string(fTlsServer.Port())).c_str();
		prefs.fIpCache = "203.0.113.7";
		prefs.fTimeOut = 100;
	});
	::testing::internal::CaptureStdout();
	fEngine->PostMessage(MSG_UPDATE);
	EXPECT_TRUE(fTlsServer.WaitForConnections(1, 5000000));
	snooze(100000);
	EXPECT_TRUE(fEngine->fBusy);
	bigtime_t start = system_time();
	fEngine->AbandonExchange();
	EXPECT_EQ(fEngine->LockWithTimeout(10000000), B_OK);
	EXPECT_LT(system_time() - start, 1000000);
	fEngine->Unlock();
	std::string printed = ::testing::internal::GetCapturedStdout();
	EXPECT_EQ(fEngine->fUpdateResult, -1);
	EXPECT_EQ(fEngine->LogText(), "");
	EXPECT_EQ(printed.find("Request :"), std::string::npos) << printed;
}

// The TLS library comes with the first secure connection: a plain cycle, in a program of its
// own, loads neither it nor the kit's module for it.
TEST_F(SecureExchangeTest, OnlyASecureCycleLoadsTheTlsLibrary)
{
	setenv("LD_DEBUG", "files", 1);
	std::string loaded[2];
	for (int secure = 0; secure < 2; secure++) {
		if (secure)
			WriteSecurePrefs();
		else
			WritePrefs([](CPreferences& prefs) { prefs.fIpCache = "203.0.113.7"; });
		ChildProcess cycle({ZORVE_CYCLE, "--update"});
		EXPECT_EQ(cycle.Wait(30000000), 0) << cycle.Output();
		loaded[secure] = cycle.Output();
	}
	unsetenv("LD_DEBUG");
	for (const char* library : {"libbe_tls", "libssl", "libcrypto"}) {
		EXPECT_EQ(loaded[0].find(library), std::string::npos) << library;
		EXPECT_NE(loaded[1].find(library), std::string::npos) << library;
	}
}

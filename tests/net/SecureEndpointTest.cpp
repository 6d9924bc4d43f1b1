#include <gtest/gtest.h>

#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include <NetAddress.h>
#include <SecureEndpoint.h>

#include "LoopbackHttpServer.h"
#include "TemporaryHome.h"
#include "TestCertificates.h"

// A secure endpoint against the loopback server speaking TLS with a certificate for
// "localhost", whose authority OpenSSL's own SSL_CERT_FILE makes trusted.
class SecureEndpointTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		fCertificates.reset(new TestCertificates(fHome.Path()));
		ASSERT_EQ(fCertificates->InitCheck(), B_OK);
		setenv("SSL_CERT_FILE", fCertificates->AuthorityFile().c_str(), 1);
		ASSERT_EQ(fServer.SetCertificate(fCertificates->ServerFile(TestCertificates::kGood)), B_OK);
		ASSERT_EQ(fServer.Start(), B_OK);
	}

	void TearDown() override
	{
		fServer.Stop();
		unsetenv("SSL_CERT_FILE");
	}

	TemporaryHome fHome;
	std::unique_ptr<TestCertificates> fCertificates;
	LoopbackHttpServer fServer;
};

// An address is no name to send, and the certificate must name the address itself.
TEST_F(SecureEndpointTest, AnAddressMustBeTheCertificatesOwnAndIsNotSentAsAName)
{
	BSecureEndpoint endpoint;
	EXPECT_EQ(endpoint.Connect(BNetAddress(INADDR_LOOPBACK, fServer.Port())), B_ERROR);
	ASSERT_NE(endpoint.HandshakeError(), nullptr);
	EXPECT_STREQ(endpoint.HandshakeError(), "not issued to 127.0.0.1");
	EXPECT_TRUE(endpoint.CertificateRefused());
	EXPECT_EQ(endpoint.Error(), EPROTO);
	EXPECT_TRUE(fServer.WaitForIdle(5000000));
	EXPECT_EQ(fServer.LastServerName(), "");
	EXPECT_EQ(fServer.CountRequests(), 0);
}

// A session carries data only as long as its connection: after Close() nothing buffered is
// served. Nothing goes around the session either.
TEST_F(SecureEndpointTest, DataTravelsOnlyThroughAnOpenSession)
{
	BSecureEndpoint endpoint;
	ASSERT_EQ(endpoint.Connect("localhost", fServer.Port()), B_OK);
	EXPECT_EQ(endpoint.HandshakeError(), nullptr);
	const char request[] = "GET / HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n";
	EXPECT_EQ(endpoint.Send(request, strlen(request)), (int32)strlen(request));
	EXPECT_EQ(endpoint.SendTo(request, 1, BNetAddress(INADDR_LOOPBACK, fServer.Port())), B_ERROR);
	EXPECT_EQ(endpoint.Error(), EOPNOTSUPP);

	char head[9] = {};
	EXPECT_EQ(endpoint.Receive(head, 8, MSG_PEEK), 8);
	EXPECT_STREQ(head, "HTTP/1.1");
	EXPECT_EQ(endpoint.Receive(head, 1), 1);
	EXPECT_TRUE(endpoint.IsDataPending());
	endpoint.Close();
	EXPECT_EQ(endpoint.Receive(head, 1), B_ERROR);
	EXPECT_EQ(endpoint.Error(), ENOTCONN);
	EXPECT_EQ(fServer.LastRequest(), request);
}

#include <gtest/gtest.h>

#include <errno.h>
#include <string.h>

#include <string>
#include <thread>

#include <Message.h>
#include <NetAddress.h>
#include <NetEndpoint.h>

#include "LoopbackHttpServer.h"
#include "NetDebug.h"

namespace {

const char kCheckRequest[] = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
const bigtime_t kShortTimeout = 200000;
// Bounds every read-everything loop of these tests.
const size_t kMaxReply = 8 * 1024 * 1024;

// Reads one byte per call until the endpoint delivers anything but one byte; returns that
// last result.
int32
ReceiveByteByByte(BNetEndpoint& endpoint, std::string& reply)
{
	while (reply.size() < kMaxReply) {
		char byte;
		int32 result = endpoint.Receive(&byte, 1);
		if (result != 1)
			return result;
		reply += byte;
	}
	return 1;
}

bool
SendText(BNetEndpoint& endpoint, const char* text)
{
	return endpoint.Send(text, strlen(text)) == (int32)strlen(text);
}

// A port on which nobody listens: the server's, once it has stopped.
uint16
ClosedPort()
{
	LoopbackHttpServer server;
	if (server.Start() != B_OK)
		return 0;
	uint16 port = server.Port();
	server.Stop();
	return port;
}

} // namespace

TEST(NetEndpointTest, ConnectToClosedPortReturnsMinusOne)
{
	uint16 port = ClosedPort();
	ASSERT_NE(port, 0);
	BNetEndpoint endpoint;
	ASSERT_EQ(endpoint.InitCheck(), B_OK);
	EXPECT_EQ(endpoint.Connect(BNetAddress("127.0.0.1", port)), -1);
	EXPECT_EQ(endpoint.Error(), ECONNREFUSED);
	EXPECT_EQ(endpoint.Connect("127.0.0.1", port), -1);
	EXPECT_EQ(endpoint.InitCheck(), B_OK);

	// As after a failed connection, a send must fail rather than go anywhere.
	EXPECT_LT(endpoint.Send("x", 1), 0);
}

TEST(NetEndpointTest, ConnectToUnusableAddressesReturnsMinusOne)
{
	LoopbackHttpServer server;
	ASSERT_EQ(server.Start(), B_OK);
	BNetEndpoint endpoint;
	EXPECT_EQ(endpoint.Connect(BNetAddress("no such host", server.Port())), -1);
	EXPECT_EQ(endpoint.Connect("no such host", server.Port()), -1);
	// The unset address and the unset port would reach this machine on some hosts.
	EXPECT_EQ(endpoint.Connect(BNetAddress(NULL, server.Port())), -1);
	EXPECT_EQ(endpoint.Connect(BNetAddress("127.0.0.1", 0)), -1);
	server.Stop();
	EXPECT_EQ(server.CountConnections(), 0);
}

TEST(NetEndpointTest, ReceiveTimesOutOnStallingServer)
{
	LoopbackHttpServer::Behaviour behaviour;
	behaviour.checkPage.fault = LoopbackHttpServer::kFaultStall;
	LoopbackHttpServer server(behaviour);
	ASSERT_EQ(server.Start(), B_OK);

	BNetEndpoint endpoint;
	endpoint.SetTimeout(kShortTimeout);
	ASSERT_EQ(endpoint.Connect("127.0.0.1", server.Port()), B_OK);
	ASSERT_TRUE(SendText(endpoint, kCheckRequest));
	char byte;
	EXPECT_LT(endpoint.Receive(&byte, 1), 0);
	EXPECT_EQ(endpoint.Error(), ETIMEDOUT);
	// Each receive gets its own time-out, and fails the same way.
	EXPECT_LT(endpoint.Receive(&byte, 1), 0);
	endpoint.Close();
	server.Stop();
}

TEST(NetEndpointTest, TimeoutOfZeroStillWaitsForData)
{
	LoopbackHttpServer::Behaviour behaviour;
	behaviour.checkPage.fault = LoopbackHttpServer::kFaultTrickle;
	behaviour.trickleInterval = 100000;
	LoopbackHttpServer server(behaviour);
	ASSERT_EQ(server.Start(), B_OK);

	BNetEndpoint endpoint;
	endpoint.SetTimeout(0);
	ASSERT_EQ(endpoint.Connect("127.0.0.1", server.Port()), B_OK);
	ASSERT_TRUE(SendText(endpoint, kCheckRequest));
	char bytes[2];
	ASSERT_EQ(endpoint.Receive(bytes, 1), 1);
	// The second byte comes a tenth of a second later: a zero time-out must not mean "none".
	ASSERT_EQ(endpoint.Receive(bytes + 1, 1), 1);
	EXPECT_EQ(std::string(bytes, 2), "HT");
	endpoint.Close();
	server.Stop();
}

TEST(NetEndpointTest, ClosedEndpointConnectsAgain)
{
	LoopbackHttpServer server;
	ASSERT_EQ(server.Start(), B_OK);
	BNetEndpoint endpoint;
	endpoint.SetTimeout(5000000);
	BNetAddress address("127.0.0.1", server.Port());
	std::string expected = LoopbackHttpServer::Reply(LoopbackHttpServer::kRouteCheckPage,
		server.GetBehaviour());

	for (int round = 0; round < 3; round++) {
		SCOPED_TRACE(round);
		ASSERT_EQ(endpoint.InitCheck(), B_OK);
		ASSERT_EQ(endpoint.Connect(address), B_OK);
		unsigned short port = 0;
		endpoint.RemoteAddr().GetAddr(NULL, &port);
		EXPECT_EQ(port, server.Port());
		ASSERT_TRUE(SendText(endpoint, kCheckRequest));
		std::string reply;
		EXPECT_EQ(ReceiveByteByByte(endpoint, reply), 0);
		EXPECT_EQ(reply, expected);
		// Once the peer has closed, every further receive says so again.
		char byte;
		EXPECT_EQ(endpoint.Receive(&byte, 1), 0);
		endpoint.Close();
		EXPECT_EQ(endpoint.InitCheck(), B_OK);
	}
	EXPECT_EQ(server.CountConnections(), 3);
	server.Stop();
}

TEST(NetEndpointTest, ByteByByteReceiveOfLargeReplyIsExactAndCheap)
{
	// All byte values, in an order that a lost or doubled byte would show.
	std::string large(1024 * 1024, '\0');
	uint32 state = 12345;
	for (char& c : large) {
		state = state * 1103515245 + 12345;
		c = (char)(state >> 16);
	}
	LoopbackHttpServer::Behaviour behaviour;
	behaviour.checkPage.rawReply = large;
	LoopbackHttpServer server(behaviour);
	ASSERT_EQ(server.Start(), B_OK);

	BNetEndpoint endpoint;
	ASSERT_EQ(endpoint.Connect("127.0.0.1", server.Port()), B_OK);
	ASSERT_TRUE(SendText(endpoint, kCheckRequest));
	uint64 before = BPrivate::net_receive_syscall_count();
	std::string reply;
	EXPECT_EQ(ReceiveByteByByte(endpoint, reply), 0);
	uint64 syscalls = BPrivate::net_receive_syscall_count() - before;
	endpoint.Close();
	server.Stop();

	ASSERT_EQ(reply.size(), large.size());
	EXPECT_TRUE(reply == large);
	EXPECT_LT(syscalls, large.size() / 256) << syscalls << " receive system calls";
}

TEST(NetEndpointTest, MixedReceiveSizesKeepTheStreamInOrder)
{
	LoopbackHttpServer server;
	ASSERT_EQ(server.Start(), B_OK);
	std::string expected = LoopbackHttpServer::Reply(LoopbackHttpServer::kRouteCheckPage,
		server.GetBehaviour());

	BNetEndpoint endpoint;
	ASSERT_EQ(endpoint.Connect("127.0.0.1", server.Port()), B_OK);
	ASSERT_TRUE(SendText(endpoint, kCheckRequest));
	std::string reply;
	char buffer[32768];
	ASSERT_EQ(endpoint.Receive(buffer, 1), 1);
	reply.append(buffer, 1);
	ASSERT_EQ(endpoint.Receive(buffer, 4, MSG_PEEK), 4);
	EXPECT_EQ(std::string(buffer, 4), expected.substr(1, 4));
	for (size_t size = 3; reply.size() < kMaxReply; size = size == 3 ? sizeof(buffer) : 3) {
		int32 count = endpoint.Receive(buffer, size);
		if (count <= 0)
			break;
		reply.append(buffer, (size_t)count);
	}
	EXPECT_EQ(reply, expected);
	server.Stop();
}

TEST(NetEndpointTest, AcceptedEndpointExchangesBothWays)
{
	BNetEndpoint listener;
	ASSERT_EQ(listener.Bind(BNetAddress("127.0.0.1", 0)), B_OK);
	ASSERT_EQ(listener.Listen(), B_OK);
	unsigned short port = 0;
	ASSERT_EQ(listener.LocalAddr().GetAddr(NULL, &port), B_OK);
	ASSERT_NE(port, 0);

	BNetEndpoint client;
	client.SetTimeout(5000000);
	std::thread connector([&] {
		if (client.Connect("127.0.0.1", port) == B_OK)
			client.Send("ping", 4);
	});
	BNetEndpoint* accepted = listener.Accept(5000);
	connector.join();
	ASSERT_NE(accepted, nullptr);
	accepted->SetTimeout(5000000);
	EXPECT_TRUE(accepted->IsDataPending(5000000));
	char buffer[8];
	ASSERT_EQ(accepted->Receive(buffer, sizeof(buffer)), 4);
	EXPECT_EQ(std::string(buffer, 4), "ping");
	EXPECT_EQ(accepted->Send("pong", 4), 4);
	ASSERT_EQ(client.Receive(buffer, sizeof(buffer)), 4);
	EXPECT_EQ(std::string(buffer, 4), "pong");
	delete accepted;
	EXPECT_EQ(client.Receive(buffer, sizeof(buffer)), 0);
}

TEST(NetEndpointTest, AcceptWithTimeoutReturnsNullWhenNobodyCalls)
{
	BNetEndpoint listener;
	ASSERT_EQ(listener.Bind(BNetAddress("127.0.0.1", 0)), B_OK);
	ASSERT_EQ(listener.Listen(), B_OK);
	EXPECT_EQ(listener.Accept(50), nullptr);
	EXPECT_EQ(listener.Error(), ETIMEDOUT);
}

TEST(NetEndpointTest, ArchiveGivesAnUnconnectedEndpointOfTheSameKind)
{
	LoopbackHttpServer server;
	ASSERT_EQ(server.Start(), B_OK);
	BNetEndpoint original(SOCK_STREAM);
	ASSERT_EQ(original.Connect("127.0.0.1", server.Port()), B_OK);
	BMessage archive;
	ASSERT_EQ(original.Archive(&archive), B_OK);

	BArchivable* object = instantiate_object(&archive);
	BNetEndpoint* copy = dynamic_cast<BNetEndpoint*>(object);
	ASSERT_NE(copy, nullptr);
	EXPECT_EQ(copy->InitCheck(), B_OK);
	EXPECT_GE(copy->Socket(), 0);
	EXPECT_NE(copy->Socket(), original.Socket());
	unsigned short remotePort = 1;
	copy->RemoteAddr().GetAddr(NULL, &remotePort);
	EXPECT_EQ(remotePort, 0);
	// A stream endpoint: it connects and talks.
	ASSERT_EQ(copy->Connect("127.0.0.1", server.Port()), B_OK);
	ASSERT_TRUE(SendText(*copy, kCheckRequest));
	std::string reply;
	EXPECT_EQ(ReceiveByteByByte(*copy, reply), 0);
	EXPECT_EQ(reply.compare(0, 15, "HTTP/1.1 200 OK"), 0);
	delete object;
	original.Close();
	server.Stop();
}

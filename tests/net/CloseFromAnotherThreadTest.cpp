#include <gtest/gtest.h>

#include <errno.h>
#include <netinet/in.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include <NetEndpoint.h>
#include <OS.h>

#include "LoopbackHttpServer.h"

namespace {

// Long enough that a call still waiting when the close comes is plainly held by it.
const bigtime_t kLongTimeout = 20000000;
const bigtime_t kCloseAfter = 200000;
// A woken call returns within this; the time-out it would otherwise wait is a hundred times
// longer.
const bigtime_t kPrompt = 2000000;

const char kCheckRequest[] = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";

// Runs `call` on a thread of its own, closes `endpoint` from this one while the call waits,
// and returns the call's result and how long it took.
int32
CallClosedMeanwhile(BNetEndpoint& endpoint, const std::function<int32()>& call,
	bigtime_t* _duration)
{
	bigtime_t start = system_time();
	std::future<int32> result = std::async(std::launch::async, call);
	EXPECT_EQ(result.wait_for(std::chrono::microseconds(kCloseAfter)), std::future_status::timeout)
		<< "the call did not wait";
	endpoint.Close();
	EXPECT_EQ(result.wait_for(std::chrono::microseconds(kPrompt)), std::future_status::ready)
		<< "the close did not end the call";
	int32 value = result.get();
	*_duration = system_time() - start;
	return value;
}

// A listener that never accepts nor reads. Made full, its queue of connections takes no new
// one, so that a connect stays in progress.
class SilentListener {
public:
	SilentListener(bool full) :
		fSocket(socket(AF_INET, SOCK_STREAM, 0)),
		fPort(0)
	{
		sockaddr_in address = {};
		address.sin_family = AF_INET;
		address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
		socklen_t size = sizeof(address);
		if (bind(fSocket, (sockaddr*)&address, sizeof(address)) != 0 || listen(fSocket, 0) != 0
			|| getsockname(fSocket, (sockaddr*)&address, &size) != 0) {
			return;
		}
		fPort = ntohs(address.sin_port);
		for (int i = 0; full && i < 4; i++) {
			int filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
			connect(filler, (sockaddr*)&address, sizeof(address));
			fFillers.push_back(filler);
		}
		snooze(100000);
	}

	~SilentListener()
	{
		for (int filler : fFillers)
			close(filler);
		close(fSocket);
	}

	uint16 Port() const { return fPort; }

private:
	int fSocket;
	uint16 fPort;
	std::vector<int> fFillers;
};

} // namespace

TEST(CloseFromAnotherThreadTest, AWaitingReceiveEndsAtOnceAsAFailure)
{
	LoopbackHttpServer::Behaviour behaviour;
	behaviour.checkPage.fault = LoopbackHttpServer::kFaultStall;
	LoopbackHttpServer server(behaviour);
	ASSERT_EQ(server.Start(), B_OK);

	BNetEndpoint endpoint;
	endpoint.SetTimeout(kLongTimeout);
	ASSERT_EQ(endpoint.Connect("127.0.0.1", server.Port()), B_OK);
	ASSERT_EQ(endpoint.Send(kCheckRequest, strlen(kCheckRequest)), (int32)strlen(kCheckRequest));

	bigtime_t duration;
	int32 result = CallClosedMeanwhile(
		endpoint,
		[&] {
			char byte;
			return endpoint.Receive(&byte, 1);
		},
		&duration);
	EXPECT_LT(result, 0);
	EXPECT_LT(duration, kPrompt);
	EXPECT_EQ(endpoint.Error(), ECONNABORTED);

	// Closed for good: no descriptor left, and the next receive fails at once.
	EXPECT_EQ(endpoint.Socket(), -1);
	char byte;
	EXPECT_LT(endpoint.Receive(&byte, 1), 0);
	server.Stop();
}

TEST(CloseFromAnotherThreadTest, AWaitingConnectEndsAtOnce)
{
	SilentListener listener(true);
	ASSERT_NE(listener.Port(), 0);
	BNetEndpoint endpoint;
	endpoint.SetTimeout(kLongTimeout);
	bigtime_t duration;
	int32 result = CallClosedMeanwhile(
		endpoint, [&] { return (int32)endpoint.Connect("127.0.0.1", listener.Port()); }, &duration);
	EXPECT_EQ(result, B_ERROR);
	EXPECT_LT(duration, kPrompt);
}

TEST(CloseFromAnotherThreadTest, AWaitingSendEndsAtOnce)
{
	SilentListener listener(false);
	ASSERT_NE(listener.Port(), 0);
	BNetEndpoint endpoint;
	endpoint.SetTimeout(kLongTimeout);
	ASSERT_EQ(endpoint.Connect("127.0.0.1", listener.Port()), B_OK);

	// More than the socket buffers hold, to a peer that reads nothing.
	std::string flood(64 * 1024 * 1024, 'x');
	bigtime_t duration;
	int32 result = CallClosedMeanwhile(
		endpoint, [&] { return endpoint.Send(flood.data(), flood.size()); }, &duration);
	EXPECT_LT(result, (int32)flood.size());
	EXPECT_LT(duration, kPrompt);
}

TEST(CloseFromAnotherThreadTest, TheEndpointConnectsAgainAfterwards)
{
	LoopbackHttpServer::Behaviour behaviour;
	behaviour.checkPage.fault = LoopbackHttpServer::kFaultStall;
	LoopbackHttpServer server(behaviour);
	ASSERT_EQ(server.Start(), B_OK);
	BNetEndpoint endpoint;
	endpoint.SetTimeout(kLongTimeout);
	ASSERT_EQ(endpoint.Connect("127.0.0.1", server.Port()), B_OK);
	bigtime_t duration;
	CallClosedMeanwhile(
		endpoint,
		[&] {
			char byte;
			return endpoint.Receive(&byte, 1);
		},
		&duration);

	server.SetBehaviour(LoopbackHttpServer::Behaviour());
	endpoint.SetTimeout(5000000);
	ASSERT_EQ(endpoint.Connect("127.0.0.1", server.Port()), B_OK);
	ASSERT_EQ(endpoint.Send(kCheckRequest, strlen(kCheckRequest)), (int32)strlen(kCheckRequest));
	char head[4];
	ASSERT_EQ(endpoint.Receive(head, sizeof(head)), 4);
	EXPECT_EQ(std::string(head, 4), "HTTP");
	endpoint.Close();
	server.Stop();
}

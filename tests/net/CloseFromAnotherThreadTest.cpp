#include <gtest/gtest.h>

#include <string.h>

#include <functional>
#include <future>
#include <string>
#include <thread>

#include <NetEndpoint.h>
#include <OS.h>

#include "LoopbackHttpServer.h"
#include "StalledListener.h"

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
	StalledListener listener;
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
	// One place in the backlog: the connect goes through, and nothing is read.
	StalledListener listener;
	ASSERT_NE(listener.Port(), 0);
	listener.AcceptOne();
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

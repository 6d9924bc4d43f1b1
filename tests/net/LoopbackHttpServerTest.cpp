#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <poll.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "LoopbackHttpServer.h"

namespace {

typedef LoopbackHttpServer Server;

const char kCheckRequest[] = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
const char kUpdateRequest[]
	= "GET /nic/update?system=dyndns&hostname=a.example.org&myip=1.2.3.4"
	  " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
const size_t kMaxReply = 64 * 1024 * 1024;

// A plain socket client, independent of the network kit.
class Client {
public:
	Client(uint16 port) :
		fSocket(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
	{
		sockaddr_in address;
		memset(&address, 0, sizeof(address));
		address.sin_family = AF_INET;
		address.sin_port = htons(port);
		address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
		fConnected = fSocket >= 0 && connect(fSocket, (sockaddr*)&address, sizeof(address)) == 0;
	}

	~Client() { Close(); }

	bool Connected() const { return fConnected; }

	bool Send(const std::string& text)
	{
		return send(fSocket, text.data(), text.size(), MSG_NOSIGNAL) == (ssize_t)text.size();
	}

	// Reads until the server closes, nothing comes for the time-out, or limit bytes.
	// Returns true only when the server closed.
	bool ReadAll(std::string& reply, int timeoutMilliseconds = 5000, size_t limit = kMaxReply)
	{
		char buffer[65536];
		while (reply.size() < limit) {
			struct pollfd entry = {fSocket, POLLIN, 0};
			if (poll(&entry, 1, timeoutMilliseconds) <= 0)
				return false;
			ssize_t count = recv(fSocket, buffer, sizeof(buffer), 0);
			if (count == 0)
				return true;
			if (count < 0)
				return false;
			reply.append(buffer, (size_t)count);
		}
		return false;
	}

	void Close()
	{
		if (fSocket >= 0)
			close(fSocket);
		fSocket = -1;
	}

private:
	int fSocket;
	bool fConnected;
};

std::string
Fetch(const Server& server, const std::string& request, bool* _closed = NULL)
{
	Client client(server.Port());
	std::string reply;
	bool closed = client.Connected() && client.Send(request) && client.ReadAll(reply);
	if (_closed != NULL)
		*_closed = closed;
	return reply;
}

std::string
BodyOf(const std::string& reply)
{
	size_t end = reply.find("\r\n\r\n");
	return end == std::string::npos ? std::string() : reply.substr(end + 4);
}

} // namespace

// Byte for byte today's page as the public service sends it (its body is 103 bytes).
TEST(LoopbackHttpServerTest, CheckPageMatchesTodaysService)
{
	Server server;
	ASSERT_EQ(server.Start(), B_OK);
	bool closed = false;
	std::string reply = Fetch(server, kCheckRequest, &closed);
	EXPECT_TRUE(closed);
	EXPECT_EQ(reply,
		"HTTP/1.1 200 OK\r\n"
		"Content-Type: text/html\r\n"
		"Server: DynDNS-CheckIP/1.0\r\n"
		"Cache-Control: no-cache\r\n"
		"Pragma: no-cache\r\n"
		"Content-Length: 103\r\n"
		"Connection: close\r\n"
		"\r\n"
		"<html><head><title>Current IP Check</title></head><body>Current IP Address: "
		"203.0.113.7</body></html>\r\n");
}

// The chunked reply captured from the public update service.
TEST(LoopbackHttpServerTest, ChunkedUpdateReplyMatchesCapturedService)
{
	Server::Behaviour behaviour;
	behaviour.answers = {"nochg 192.168.178.20"};
	Server server(behaviour);
	ASSERT_EQ(server.Start(), B_OK);
	std::string reply = Fetch(server, kUpdateRequest);
	EXPECT_EQ(reply.compare(0, 23, "HTTP/1.1 200 OK\r\nDate: "), 0) << reply;
	size_t serverHeader = reply.find("\r\nServer: ");
	ASSERT_NE(serverHeader, std::string::npos);
	EXPECT_EQ(reply.substr(serverHeader + 2),
		"Server: Apache/2.4.18 (Ubuntu)\r\n"
		"Strict-Transport-Security: max-age=31536000\r\n"
		"X-UpdateCode: n\r\n"
		"Vary: Accept-Encoding\r\n"
		"Content-Type: text/plain\r\n"
		"Accept-Ranges: none\r\n"
		"X-User-Status: vip\r\n"
		"Connection: close\r\n"
		"Transfer-Encoding: chunked\r\n"
		"\r\n"
		"14\r\n"
		"nochg 192.168.178.20\r\n"
		"0\r\n"
		"\r\n");
}

TEST(LoopbackHttpServerTest, UpdateFramingsCarryTheSameAnswers)
{
	Server::Behaviour behaviour;
	behaviour.answers = {Server::Answer(Server::kAnswerGood, "203.0.113.7"),
		Server::Answer(Server::kAnswerNotYours), Server::Answer(Server::kAnswer911)};
	const std::string answers = "good 203.0.113.7\n!yours\n911";

	behaviour.update.framing = Server::kFramingContentLength;
	Server server(behaviour);
	ASSERT_EQ(server.Start(), B_OK);
	std::string reply = Fetch(server, kUpdateRequest);
	EXPECT_NE(reply.find("\r\nContent-Length: 27\r\n"), std::string::npos) << reply;
	EXPECT_EQ(reply.find("Transfer-Encoding"), std::string::npos);
	EXPECT_EQ(BodyOf(reply), answers);

	behaviour.update.framing = Server::kFramingClose;
	server.SetBehaviour(behaviour);
	reply = Fetch(server, kUpdateRequest);
	EXPECT_EQ(reply.find("Content-Length"), std::string::npos);
	EXPECT_EQ(BodyOf(reply), answers);

	behaviour.update.framing = Server::kFramingChunked;
	server.SetBehaviour(behaviour);
	EXPECT_EQ(BodyOf(Fetch(server, kUpdateRequest)), "1b\r\n" + answers + "\r\n0\r\n\r\n");
}

TEST(LoopbackHttpServerTest, UnauthorizedUpdateCarriesChallengeAndBadauth)
{
	Server::Behaviour behaviour;
	behaviour.update.status = 401;
	behaviour.update.framing = Server::kFramingContentLength;
	Server server(behaviour);
	ASSERT_EQ(server.Start(), B_OK);
	std::string reply = Fetch(server, kUpdateRequest);
	EXPECT_EQ(reply.compare(0, 27, "HTTP/1.1 401 Unauthorized\r\n"), 0) << reply;
	EXPECT_NE(reply.find("\r\nWWW-Authenticate: Basic realm="), std::string::npos);
	EXPECT_EQ(BodyOf(reply), "badauth");
	// The check page is not affected.
	EXPECT_EQ(Fetch(server, kCheckRequest).compare(0, 17, "HTTP/1.1 200 OK\r\n"), 0);
}

TEST(LoopbackHttpServerTest, OtherPathsGetNotFound)
{
	Server server;
	ASSERT_EQ(server.Start(), B_OK);
	std::string reply = Fetch(server, "GET /favicon.ico HTTP/1.1\r\n\r\n");
	EXPECT_EQ(reply.compare(0, 22, "HTTP/1.1 404 Not Found"), 0);
}

TEST(LoopbackHttpServerTest, RecordsEachRequestsBytesAndCountsConnections)
{
	Server server;
	ASSERT_EQ(server.Start(), B_OK);
	Fetch(server, kCheckRequest);
	{
		// Sent in pieces, recorded whole.
		Client client(server.Port());
		ASSERT_TRUE(client.Connected());
		std::string request = kUpdateRequest;
		ASSERT_TRUE(client.Send(request.substr(0, 10)));
		ASSERT_TRUE(client.Send(request.substr(10)));
		std::string reply;
		client.ReadAll(reply);
	}
	{
		// A client that connects and leaves without a word leaves no request.
		Client client(server.Port());
		ASSERT_TRUE(client.Connected());
	}
	ASSERT_TRUE(server.WaitForConnections(3, 5000000));
	ASSERT_TRUE(server.WaitForIdle(5000000));
	server.Stop();

	std::vector<std::string> requests = server.Requests();
	ASSERT_EQ(requests.size(), 2u);
	EXPECT_EQ(requests[0], kCheckRequest);
	EXPECT_EQ(requests[1], kUpdateRequest);
	EXPECT_EQ(server.LastRequest(), kUpdateRequest);
	EXPECT_EQ(server.CountConnections(), 3);

	server.ClearRecords();
	EXPECT_EQ(server.CountRequests(), 0);
	EXPECT_EQ(server.CountConnections(), 0);
}

TEST(LoopbackHttpServerTest, CloseAfterBytesCutsTheReply)
{
	Server::Behaviour behaviour;
	behaviour.checkPage.fault = Server::kFaultCloseAfterBytes;
	behaviour.closeAfterBytes = 30;
	Server server(behaviour);
	ASSERT_EQ(server.Start(), B_OK);
	std::string whole = Server::Reply(Server::kRouteCheckPage, behaviour);
	bool closed = false;
	EXPECT_EQ(Fetch(server, kCheckRequest, &closed), whole.substr(0, 30));
	EXPECT_TRUE(closed);

	behaviour.closeAfterBytes = 0;
	server.SetBehaviour(behaviour);
	EXPECT_EQ(Fetch(server, kCheckRequest, &closed), "");
	EXPECT_TRUE(closed);
	// The update route keeps its own behaviour.
	EXPECT_EQ(Fetch(server, kUpdateRequest), Server::Reply(Server::kRouteUpdate, behaviour));
}

TEST(LoopbackHttpServerTest, FloodPadsTheBodyAndKeepsFramingValid)
{
	Server::Behaviour behaviour;
	behaviour.floodBytes = 3 * 1024 * 1024 + 5;
	behaviour.checkPage.fault = Server::kFaultFlood;
	behaviour.update.fault = Server::kFaultFlood;
	Server server(behaviour);
	ASSERT_EQ(server.Start(), B_OK);

	std::string page = Fetch(server, kCheckRequest);
	std::string pageBody = BodyOf(page);
	std::string normal = Server::CheckPageBody(behaviour.checkPageStyle, behaviour.address);
	ASSERT_EQ(pageBody.size(), behaviour.floodBytes + normal.size());
	EXPECT_EQ(pageBody.substr(behaviour.floodBytes), normal);
	EXPECT_NE(page.find("\r\nContent-Length: " + std::to_string(pageBody.size()) + "\r\n"),
		std::string::npos);
	EXPECT_EQ(pageBody.find("Current IP Address"), behaviour.floodBytes + 56);

	// Chunked: decode and find the answer after the filler.
	std::string body = BodyOf(Fetch(server, kUpdateRequest));
	std::string decoded;
	size_t position = 0;
	for (int chunks = 0; chunks < 1000 && position < body.size(); chunks++) {
		size_t lineEnd = body.find("\r\n", position);
		ASSERT_NE(lineEnd, std::string::npos);
		size_t size = std::stoul(body.substr(position, lineEnd - position), NULL, 16);
		if (size == 0) {
			EXPECT_EQ(body.substr(lineEnd), "\r\n\r\n");
			break;
		}
		decoded += body.substr(lineEnd + 2, size);
		ASSERT_EQ(body.compare(lineEnd + 2 + size, 2, "\r\n"), 0);
		position = lineEnd + 4 + size;
	}
	EXPECT_EQ(decoded.size(), behaviour.floodBytes + 16);
	EXPECT_EQ(decoded.substr(behaviour.floodBytes), "good 203.0.113.7");
}

TEST(LoopbackHttpServerTest, TrickleDeliversTheWholeReply)
{
	Server::Behaviour behaviour;
	behaviour.update.fault = Server::kFaultTrickle;
	behaviour.update.framing = Server::kFramingContentLength;
	behaviour.trickleInterval = 200;
	behaviour.answers = {"nohost"};
	Server server(behaviour);
	ASSERT_EQ(server.Start(), B_OK);
	EXPECT_EQ(Fetch(server, kUpdateRequest), Server::Reply(Server::kRouteUpdate, behaviour));
}

TEST(LoopbackHttpServerTest, StallEndsWhenTheClientLeaves)
{
	Server::Behaviour behaviour;
	behaviour.checkPage.fault = Server::kFaultStall;
	Server server(behaviour);
	ASSERT_EQ(server.Start(), B_OK);
	{
		Client client(server.Port());
		ASSERT_TRUE(client.Send(kCheckRequest));
		ASSERT_TRUE(server.WaitForRequests(1, 5000000));
		std::string reply;
		EXPECT_FALSE(client.ReadAll(reply, 100));
		EXPECT_EQ(reply, "");
	}
	EXPECT_TRUE(server.WaitForIdle(10000000));
	EXPECT_EQ(server.LastRequest(), kCheckRequest);
}

// Stop() must end a stall and a trickle in progress; a hang here fails by the test's time-out.
TEST(LoopbackHttpServerTest, StopEndsStallsAndTricklesInProgress)
{
	Server::Behaviour behaviour;
	behaviour.checkPage.fault = Server::kFaultStall;
	behaviour.update.fault = Server::kFaultTrickle;
	behaviour.trickleInterval = 60000000;
	Server server(behaviour);
	ASSERT_EQ(server.Start(), B_OK);

	Client staller(server.Port());
	Client trickled(server.Port());
	ASSERT_TRUE(staller.Send(kCheckRequest));
	ASSERT_TRUE(trickled.Send(kUpdateRequest));
	ASSERT_TRUE(server.WaitForRequests(2, 5000000));
	std::string first;
	trickled.ReadAll(first, 5000, 1);
	EXPECT_EQ(first, "H");

	server.Stop();
	EXPECT_FALSE(server.IsRunning());
	std::string rest;
	EXPECT_TRUE(staller.ReadAll(rest, 5000));
	EXPECT_TRUE(trickled.ReadAll(rest, 5000));
	EXPECT_EQ(rest, "");

	// The server starts again on the same port.
	uint16 port = server.Port();
	ASSERT_EQ(server.Start(port), B_OK);
	EXPECT_EQ(server.Port(), port);
}

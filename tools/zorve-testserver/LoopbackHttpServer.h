/*
 * A loopback HTTP server for the tests, the benchmarks and demos; not part of the
 * application. It plays both the check-IP page ("GET /") and the update service
 * ("GET /nic/update..."), one request per connection, answering with "Connection: close",
 * and can misbehave on request: stall, close early, flood, trickle. It records the bytes of
 * every request. Binds 127.0.0.1 only; every wait is bounded and Stop() ends all at once.
 */
#ifndef LOOPBACK_HTTP_SERVER_H
#define LOOPBACK_HTTP_SERVER_H

#include <atomic>
#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <SupportDefs.h>

class LoopbackHttpServer {
public:
	enum CheckPageStyle {
		// "...<body>Current IP Address: A</body></html>\r\n", today's page.
		kCheckPageToday,
		// "Current IP Address: A <br>", older pages.
		kCheckPageBlankBreak,
		// "Current IP Address: A\r\n<br>", older pages too.
		kCheckPageNewlineBreak,
		// An error page without the marker.
		kCheckPageNoMarker,
		// "Current IP Address:A".
		kCheckPageMarkerWithoutBlank
	};

	enum Framing {
		kFramingContentLength,
		kFramingChunked,
		// No length: the server's close ends the body.
		kFramingClose
	};

	enum Fault {
		kFaultNone,
		// Reads the request and never answers, until the client closes or Stop().
		kFaultStall,
		// Closes the connection after closeAfterBytes bytes of the reply (0: an empty reply).
		kFaultCloseAfterBytes,
		// A reply whose body starts with floodBytes bytes of filler lines.
		kFaultFlood,
		// The reply one byte per trickleInterval.
		kFaultTrickle
	};

	enum AnswerCode {
		kAnswerGood,
		kAnswerNochg,
		kAnswerBadauth,
		kAnswerNotDonator,
		kAnswerNotFqdn,
		kAnswerNoHost,
		kAnswerNumHost,
		kAnswerAbuse,
		kAnswerBadAgent,
		kAnswerBadSys,
		kAnswerNotYours,
		kAnswerDnsErr,
		kAnswer911
	};

	enum Route {
		kRouteCheckPage,
		kRouteUpdate,
		// Anything else gets a 404.
		kRouteOther
	};

	struct RouteBehaviour {
		// 401 adds a WWW-Authenticate header and makes the body "badauth".
		int status;
		// Header lines without their CRLF, before "Connection: close" and the framing.
		std::vector<std::string> headers;
		Framing framing;
		Fault fault;
		// When not empty, sent as it is instead of the reply built from the rest.
		std::string rawReply;
	};

	struct Behaviour {
		Behaviour();

		CheckPageStyle checkPageStyle;
		// The address the check page reports.
		std::string address;
		// The update's answer lines, one per host, joined by "\n" without a final one.
		std::vector<std::string> answers;

		// Defaults: 200, the check page's headers, Content-Length.
		RouteBehaviour checkPage;
		// Defaults: 200, the headers of a reply captured from the real service, chunked.
		RouteBehaviour update;

		size_t closeAfterBytes;
		uint64 floodBytes;
		bigtime_t trickleInterval;
		// A connection that makes no progress for this long is dropped.
		bigtime_t giveUpAfter;
	};

	LoopbackHttpServer();
	explicit LoopbackHttpServer(const Behaviour& behaviour);
	~LoopbackHttpServer();

	// Listens on 127.0.0.1; port 0 picks a free one (see Port()).
	status_t Start(uint16 port = 0);
	// Ends every connection, whatever it is doing, and joins all threads. Records are kept.
	void Stop();
	bool IsRunning() const;
	uint16 Port() const;

	// Applies to the connections accepted afterwards.
	void SetBehaviour(const Behaviour& behaviour);
	Behaviour GetBehaviour() const;

	int32 CountConnections() const;
	int32 CountRequests() const;
	// The bytes each connection sent before the reply began, in order of arrival (copies).
	std::vector<std::string> Requests() const;
	std::string LastRequest() const;
	// Forgets the requests and the connection count.
	void ClearRecords();
	bool WaitForConnections(int32 count, bigtime_t timeout) const;
	bool WaitForRequests(int32 count, bigtime_t timeout) const;
	// Waits until no connection is open.
	bool WaitForIdle(bigtime_t timeout) const;

	static std::string Answer(AnswerCode code, const std::string& address = std::string());
	static std::vector<std::string> CheckPageHeaders();
	static std::vector<std::string> CapturedUpdateHeaders();
	static std::string CheckPageBody(CheckPageStyle style, const std::string& address);
	static std::string UpdateBody(const std::vector<std::string>& answers);
	static Route RouteOf(const std::string& request);
	// The whole reply the route gets when it does not misbehave (or its raw reply).
	static std::string Reply(Route route, const Behaviour& behaviour);

private:
	struct Connection {
		std::thread thread;
		std::atomic<bool> done{false};
	};

	enum WaitResult {
		kReady,
		kTimedOut,
		kStopped,
		kFailed
	};

	LoopbackHttpServer(const LoopbackHttpServer&);
	LoopbackHttpServer& operator=(const LoopbackHttpServer&);

	void _Accept();
	void _ReapConnections(bool all);
	void _Serve(int socket, const Behaviour& behaviour);
	bool _ReadRequest(int socket, const Behaviour& behaviour, std::string& request);
	void _Record(const std::string& request);
	bool _Send(int socket, const char* data, size_t size, const Behaviour& behaviour);
	bool _SendFlood(int socket, Route route, const Behaviour& behaviour);
	bool _Trickle(int socket, const std::string& reply, const Behaviour& behaviour);
	void _WaitForClose(int socket, bigtime_t timeout);
	WaitResult _Wait(int socket, short events, bigtime_t timeout) const;

	static void _BuildReply(Route route, const Behaviour& behaviour, uint64 padding,
		std::string& head, std::string& tail);

	mutable std::mutex fLock;
	mutable std::condition_variable fChanged;
	Behaviour fBehaviour;
	std::vector<std::string> fRequests;
	int32 fConnectionCount;
	int32 fOpenConnections;

	int fListenSocket;
	int fWakeRead;
	int fWakeWrite;
	uint16 fPort;
	std::atomic<bool> fRunning;
	std::thread fAcceptor;
	// Touched by the acceptor thread only, and by Stop() once it has ended.
	std::list<std::unique_ptr<Connection>> fConnections;
};

#endif // LOOPBACK_HTTP_SERVER_H

/*
 * A loopback HTTP server for the tests, the benchmarks and demos; not part of the
 * application. It plays both the check-IP page ("GET /") and the update service
 * ("GET /nic/update..."), one request per connection, answering with "Connection: close"
 * what ReplyComposer composes, and can misbehave on request: stall, close early, flood,
 * trickle. With a certificate it speaks TLS instead, and can stall in the handshake. It records
 * the bytes of every request. Binds 127.0.0.1 only; every wait is bounded and Stop() ends all at
 * once.
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

#include "ReplyComposer.h"

struct ssl_st;
struct ssl_ctx_st;

// The server speaks the composer's vocabulary: LoopbackHttpServer::Behaviour, kFaultStall and
// the rest, and its static composing functions.
class LoopbackHttpServer : public ReplyComposer {
public:
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
	// Speaks TLS with the certificate and key in the PEM file (see TestCertificates) on the
	// connections accepted afterwards; an empty path speaks plain HTTP again.
	status_t SetCertificate(const std::string& path);
	// The server name the last TLS client sent (SNI); empty when it sent none.
	std::string LastServerName() const;

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

private:
	struct Connection {
		std::thread thread;
		std::atomic<bool> done{false};
	};

	// A connection's socket, and its TLS session when the server speaks TLS.
	struct Peer {
		int socket;
		ssl_st* ssl;
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
	void _Serve(int socket, ssl_ctx_st* tls, const Behaviour& behaviour);
	bool _Handshake(Peer& peer, const Behaviour& behaviour);
	void _Respond(Peer& peer, const Behaviour& behaviour);
	bool _ReadRequest(Peer& peer, const Behaviour& behaviour, std::string& request);
	void _Record(const std::string& request);
	bool _Send(Peer& peer, const char* data, size_t size, const Behaviour& behaviour);
	bool _SendFlood(Peer& peer, Route route, const Behaviour& behaviour);
	bool _Trickle(Peer& peer, const std::string& reply, const Behaviour& behaviour);
	void _WaitForClose(Peer& peer, bigtime_t timeout);
	WaitResult _Wait(int socket, short events, bigtime_t timeout) const;
	WaitResult _WaitToRead(Peer& peer, bigtime_t timeout) const;

	mutable std::mutex fLock;
	mutable std::condition_variable fChanged;
	Behaviour fBehaviour;
	std::vector<std::string> fRequests;
	ssl_ctx_st* fTlsContext;
	std::string fServerName;
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

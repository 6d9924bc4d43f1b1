/*
 * Uses the host's POSIX sockets, poll() and a pipe directly, and OpenSSL for TLS: the server
 * must not depend on the network kit that it is there to test. A pipe written by Stop() wakes
 * every wait.
 */
#include "LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <openssl/ssl.h>

namespace {

const size_t kMaxRequestSize = 65536;
const int kListenBacklog = 16;
const int32 kMaxOpenConnections = 32;
// How long a finished reply waits for the client to close before the server does.
const bigtime_t kLinger = 2000000;

// One read of at most `size` bytes that does not wait: the count, 0 once the client has
// closed, -1 with errno set (EAGAIN when there is nothing yet).
ssize_t
Receive(SSL* ssl, int socket, void* data, size_t size)
{
	if (ssl == NULL)
		return recv(socket, data, size, MSG_DONTWAIT);
	int count = SSL_read(ssl, data, size > INT_MAX ? INT_MAX : (int)size);
	if (count > 0)
		return count;
	int error = SSL_get_error(ssl, count);
	if (error == SSL_ERROR_ZERO_RETURN)
		return 0;
	errno = error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE ? EAGAIN : EPROTO;
	return -1;
}

// One write, as send() with MSG_DONTWAIT.
ssize_t
Transmit(SSL* ssl, int socket, const void* data, size_t size)
{
	if (ssl == NULL)
		return send(socket, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
	int count = SSL_write(ssl, data, size > INT_MAX ? INT_MAX : (int)size);
	if (count > 0)
		return count;
	int error = SSL_get_error(ssl, count);
	errno = error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE ? EAGAIN : EPIPE;
	return -1;
}

bigtime_t
Now()
{
	struct timespec now;
	clock_gettime(CLOCK_MONOTONIC, &now);
	return (bigtime_t)now.tv_sec * 1000000 + now.tv_nsec / 1000;
}

// Every wait lasts a day at most, so that no deadline overflows the clock.
bigtime_t
Bounded(bigtime_t timeout)
{
	const bigtime_t kDay = 86400LL * 1000000;
	return timeout < 0 ? 0 : timeout > kDay ? kDay : timeout;
}

std::chrono::microseconds
WaitLimit(bigtime_t timeout)
{
	return std::chrono::microseconds(Bounded(timeout));
}

int
PollTimeout(bigtime_t deadline)
{
	bigtime_t left = deadline - Now();
	if (left <= 0)
		return 0;
	bigtime_t milliseconds = (left + 999) / 1000;
	return milliseconds > INT_MAX ? INT_MAX : (int)milliseconds;
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer() :
	LoopbackHttpServer(Behaviour())
{
}

LoopbackHttpServer::LoopbackHttpServer(const Behaviour& behaviour) :
	fBehaviour(behaviour),
	fTlsContext(NULL),
	fConnectionCount(0),
	fOpenConnections(0),
	fListenSocket(-1),
	fWakeRead(-1),
	fWakeWrite(-1),
	fPort(0),
	fRunning(false)
{
}

LoopbackHttpServer::~LoopbackHttpServer()
{
	Stop();
	SSL_CTX_free(fTlsContext);
}

status_t
LoopbackHttpServer::Start(uint16 port)
{
	if (fRunning.load())
		return B_BUSY;

	int wake[2];
	if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0)
		return B_ERROR;
	int listenSocket = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
	if (listenSocket < 0) {
		close(wake[0]);
		close(wake[1]);
		return B_ERROR;
	}
	int on = 1;
	setsockopt(listenSocket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));

	struct sockaddr_in address;
	memset(&address, 0, sizeof(address));
	address.sin_family = AF_INET;
	address.sin_port = htons(port);
	address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
	socklen_t size = sizeof(address);
	if (bind(listenSocket, (struct sockaddr*)&address, sizeof(address)) != 0
		|| listen(listenSocket, kListenBacklog) != 0
		|| getsockname(listenSocket, (struct sockaddr*)&address, &size) != 0) {
		close(listenSocket);
		close(wake[0]);
		close(wake[1]);
		return B_ERROR;
	}

	fListenSocket = listenSocket;
	fWakeRead = wake[0];
	fWakeWrite = wake[1];
	fPort = ntohs(address.sin_port);
	fRunning.store(true);
	fAcceptor = std::thread(&LoopbackHttpServer::_Accept, this);
	return B_OK;
}

void
LoopbackHttpServer::Stop()
{
	if (!fRunning.load())
		return;

	// The pipe stays readable from now on, which ends every wait of every thread.
	char byte = 0;
	while (write(fWakeWrite, &byte, 1) < 0 && errno == EINTR) {
	}
	fAcceptor.join();
	_ReapConnections(true);

	close(fListenSocket);
	close(fWakeRead);
	close(fWakeWrite);
	fListenSocket = fWakeRead = fWakeWrite = -1;
	fRunning.store(false);
}

bool
LoopbackHttpServer::IsRunning() const
{
	return fRunning.load();
}

uint16
LoopbackHttpServer::Port() const
{
	return fPort;
}

void
LoopbackHttpServer::SetBehaviour(const Behaviour& behaviour)
{
	std::lock_guard<std::mutex> lock(fLock);
	fBehaviour = behaviour;
}

LoopbackHttpServer::Behaviour
LoopbackHttpServer::GetBehaviour() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return fBehaviour;
}

status_t
LoopbackHttpServer::SetCertificate(const std::string& path)
{
	SSL_CTX* context = NULL;
	if (!path.empty()) {
		context = SSL_CTX_new(TLS_server_method());
		if (context == NULL)
			return B_NO_MEMORY;
		SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
		SSL_CTX_set_mode(context, SSL_MODE_ENABLE_PARTIAL_WRITE);
		SSL_CTX_set_options(context, SSL_OP_IGNORE_UNEXPECTED_EOF);
		if (SSL_CTX_use_certificate_chain_file(context, path.c_str()) != 1
			|| SSL_CTX_use_PrivateKey_file(context, path.c_str(), SSL_FILETYPE_PEM) != 1) {
			SSL_CTX_free(context);
			return B_BAD_VALUE;
		}
	}
	std::lock_guard<std::mutex> lock(fLock);
	SSL_CTX_free(fTlsContext);
	fTlsContext = context;
	return B_OK;
}

std::string
LoopbackHttpServer::LastServerName() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return fServerName;
}

int32
LoopbackHttpServer::CountConnections() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return fConnectionCount;
}

int32
LoopbackHttpServer::CountRequests() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return (int32)fRequests.size();
}

std::vector<std::string>
LoopbackHttpServer::Requests() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return fRequests;
}

std::string
LoopbackHttpServer::LastRequest() const
{
	std::lock_guard<std::mutex> lock(fLock);
	return fRequests.empty() ? std::string() : fRequests.back();
}

void
LoopbackHttpServer::ClearRecords()
{
	std::lock_guard<std::mutex> lock(fLock);
	fRequests.clear();
	fConnectionCount = 0;
}

bool
LoopbackHttpServer::WaitForConnections(int32 count, bigtime_t timeout) const
{
	std::unique_lock<std::mutex> lock(fLock);
	return fChanged.wait_for(lock, WaitLimit(timeout), [&] { return fConnectionCount >= count; });
}

bool
LoopbackHttpServer::WaitForRequests(int32 count, bigtime_t timeout) const
{
	std::unique_lock<std::mutex> lock(fLock);
	return fChanged.wait_for(lock, WaitLimit(timeout),
		[&] { return (int32)fRequests.size() >= count; });
}

bool
LoopbackHttpServer::WaitForIdle(bigtime_t timeout) const
{
	std::unique_lock<std::mutex> lock(fLock);
	return fChanged.wait_for(lock, WaitLimit(timeout), [&] { return fOpenConnections == 0; });
}

void
LoopbackHttpServer::_Accept()
{
	while (true) {
		_ReapConnections(false);
		WaitResult result = _Wait(fListenSocket, POLLIN, 1000000);
		if (result == kStopped)
			break;
		if (result != kReady)
			continue;

		struct sockaddr_in peer;
		socklen_t size = sizeof(peer);
		int socket = accept4(fListenSocket, (struct sockaddr*)&peer, &size,
			SOCK_NONBLOCK | SOCK_CLOEXEC);
		if (socket < 0)
			continue;

		Behaviour behaviour;
		bool refuse;
		SSL_CTX* tls;
		{
			std::lock_guard<std::mutex> lock(fLock);
			fConnectionCount++;
			behaviour = fBehaviour;
			// The connection keeps the context it began with.
			tls = fTlsContext;
			if (tls != NULL)
				SSL_CTX_up_ref(tls);
			refuse = fOpenConnections >= kMaxOpenConnections;
			if (!refuse)
				fOpenConnections++;
		}
		fChanged.notify_all();
		if (refuse) {
			SSL_CTX_free(tls);
			close(socket);
			continue;
		}

		fConnections.emplace_back(new Connection);
		Connection* connection = fConnections.back().get();
		connection->thread = std::thread([this, connection, socket, tls, behaviour] {
			_Serve(socket, tls, behaviour);
			SSL_CTX_free(tls);
			{
				std::lock_guard<std::mutex> lock(fLock);
				fOpenConnections--;
			}
			fChanged.notify_all();
			connection->done.store(true);
		});
	}
}

void
LoopbackHttpServer::_ReapConnections(bool all)
{
	for (auto iterator = fConnections.begin(); iterator != fConnections.end();) {
		Connection& connection = **iterator;
		if (all || connection.done.load()) {
			connection.thread.join();
			iterator = fConnections.erase(iterator);
		} else
			++iterator;
	}
}

void
LoopbackHttpServer::_Serve(int socket, SSL_CTX* tls, const Behaviour& behaviour)
{
	// A TLS write to a client that has gone raises SIGPIPE: it stays pending on this thread
	// and goes with it, instead of ending the process.
	sigset_t pipe;
	sigemptyset(&pipe);
	sigaddset(&pipe, SIGPIPE);
	pthread_sigmask(SIG_BLOCK, &pipe, NULL);

	Peer peer = {socket, NULL};
	if (tls == NULL)
		_Respond(peer, behaviour);
	else if (behaviour.stallHandshake)
		_WaitForClose(peer, behaviour.giveUpAfter);
	else {
		peer.ssl = SSL_new(tls);
		if (peer.ssl != NULL && SSL_set_fd(peer.ssl, socket) == 1 && _Handshake(peer, behaviour))
			_Respond(peer, behaviour);
		SSL_free(peer.ssl);
	}
	close(socket);
}

bool
LoopbackHttpServer::_Handshake(Peer& peer, const Behaviour& behaviour)
{
	SSL_set_accept_state(peer.ssl);
	bool done = false;
	while (!done) {
		int result = SSL_do_handshake(peer.ssl);
		done = result == 1;
		int error = done ? SSL_ERROR_NONE : SSL_get_error(peer.ssl, result);
		short events = error == SSL_ERROR_WANT_READ ? POLLIN
			: error == SSL_ERROR_WANT_WRITE         ? POLLOUT
													: 0;
		if (!done && (events == 0 || _Wait(peer.socket, events, behaviour.giveUpAfter) != kReady))
			break;
	}
	const char* name = SSL_get_servername(peer.ssl, TLSEXT_NAMETYPE_host_name);
	std::lock_guard<std::mutex> lock(fLock);
	fServerName = name != NULL ? name : "";
	return done;
}

void
LoopbackHttpServer::_Respond(Peer& peer, const Behaviour& behaviour)
{
	std::string request;
	bool complete = _ReadRequest(peer, behaviour, request);
	if (!request.empty())
		_Record(request);
	if (!complete)
		return;

	Route route = RouteOf(request);
	Fault fault = route == kRouteCheckPage ? behaviour.checkPage.fault
		: route == kRouteUpdate            ? behaviour.update.fault
										   : kFaultNone;
	bool finished = true;
	switch (fault) {
		case kFaultNone:
		case kFaultCloseAfterBytes:
		{
			std::string reply = Reply(route, behaviour);
			if (fault == kFaultCloseAfterBytes && reply.size() > behaviour.closeAfterBytes)
				reply.resize(behaviour.closeAfterBytes);
			finished = _Send(peer, reply.data(), reply.size(), behaviour);
			break;
		}
		case kFaultStall:
			_WaitForClose(peer, behaviour.giveUpAfter);
			finished = false;
			break;
		case kFaultFlood:
			finished = _SendFlood(peer, route, behaviour);
			break;
		case kFaultTrickle:
			finished = _Trickle(peer, Reply(route, behaviour), behaviour);
			break;
	}

	if (finished) {
		// Closing with unread bytes would reset the connection and could cost the client the
		// end of the reply: end the sending side and let the client close first.
		if (peer.ssl != NULL)
			SSL_shutdown(peer.ssl);
		shutdown(peer.socket, SHUT_WR);
		_WaitForClose(peer, kLinger);
	}
}

bool
LoopbackHttpServer::_ReadRequest(Peer& peer, const Behaviour& behaviour, std::string& request)
{
	char buffer[4096];
	while (request.size() < kMaxRequestSize) {
		if (_WaitToRead(peer, behaviour.giveUpAfter) != kReady)
			return false;
		ssize_t count = Receive(peer.ssl, peer.socket, buffer, sizeof(buffer));
		if (count == 0)
			return false;
		if (count < 0) {
			if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)
				continue;
			return false;
		}
		size_t searchFrom = request.size() < 3 ? 0 : request.size() - 3;
		request.append(buffer, (size_t)count);
		if (request.find("\r\n\r\n", searchFrom) != std::string::npos)
			return true;
	}
	return false;
}

void
LoopbackHttpServer::_Record(const std::string& request)
{
	{
		std::lock_guard<std::mutex> lock(fLock);
		fRequests.push_back(request);
	}
	fChanged.notify_all();
}

bool
LoopbackHttpServer::_Send(Peer& peer, const char* data, size_t size, const Behaviour& behaviour)
{
	size_t sent = 0;
	while (sent < size) {
		ssize_t count = Transmit(peer.ssl, peer.socket, data + sent, size - sent);
		if (count > 0) {
			sent += (size_t)count;
			continue;
		}
		if (count < 0 && errno == EINTR)
			continue;
		if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
			return false;
		if (_Wait(peer.socket, POLLOUT, behaviour.giveUpAfter) != kReady)
			return false;
	}
	return true;
}

bool
LoopbackHttpServer::_SendFlood(Peer& peer, Route route, const Behaviour& behaviour)
{
	std::string head;
	std::string tail;
	BuildReply(route, behaviour, behaviour.floodBytes, head, tail);
	if (!_Send(peer, head.data(), head.size(), behaviour))
		return false;

	uint64 left = behaviour.floodBytes;
	while (left > 0) {
		uint64 filler;
		std::string piece = FloodPiece(route, behaviour, left, &filler);
		if (!_Send(peer, piece.data(), piece.size(), behaviour))
			return false;
		left -= filler;
	}
	return _Send(peer, tail.data(), tail.size(), behaviour);
}

bool
LoopbackHttpServer::_Trickle(Peer& peer, const std::string& reply, const Behaviour& behaviour)
{
	for (size_t i = 0; i < reply.size(); i++) {
		if (!_Send(peer, reply.data() + i, 1, behaviour))
			return false;
		if (i + 1 < reply.size() && _Wait(-1, 0, behaviour.trickleInterval) != kTimedOut)
			return false;
	}
	return true;
}

void
LoopbackHttpServer::_WaitForClose(Peer& peer, bigtime_t timeout)
{
	bigtime_t deadline = Now() + Bounded(timeout);
	char buffer[4096];
	while (true) {
		bigtime_t left = deadline - Now();
		if (left <= 0 || _WaitToRead(peer, left) != kReady)
			return;
		ssize_t count = Receive(peer.ssl, peer.socket, buffer, sizeof(buffer));
		if (count == 0 || (count < 0 && errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK))
			return;
	}
}

LoopbackHttpServer::WaitResult
LoopbackHttpServer::_Wait(int socket, short events, bigtime_t timeout) const
{
	bigtime_t deadline = Now() + Bounded(timeout);
	struct pollfd entries[2] = {{fWakeRead, POLLIN, 0}, {socket, events, 0}};
	while (true) {
		int result = poll(entries, socket >= 0 ? 2 : 1, PollTimeout(deadline));
		if (result < 0 && errno != EINTR)
			return kFailed;
		if (result > 0 && entries[0].revents != 0)
			return kStopped;
		if (result > 0 && entries[1].revents != 0)
			return kReady;
		if (PollTimeout(deadline) == 0)
			return kTimedOut;
	}
}

// Bytes a TLS session has already decrypted are ready without the socket.
LoopbackHttpServer::WaitResult
LoopbackHttpServer::_WaitToRead(Peer& peer, bigtime_t timeout) const
{
	if (peer.ssl != NULL && SSL_pending(peer.ssl) > 0)
		return kReady;
	return _Wait(peer.socket, POLLIN, timeout);
}

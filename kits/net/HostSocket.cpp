/*
 * Wraps the host's BSD sockets (socket, connect, send, recv, accept, shutdown, poll, fcntl)
 * and its resolver (getaddrinfo for IPv4 on a thread of its own, waited for at most a
 * time-out; getservbyname, getprotobyname) for the network kit. Sockets are kept
 * non-blocking so that poll() can bound every wait; SIGPIPE is suppressed per send. No IPv6,
 * no reverse look-ups.
 */
#include "HostSocket.h"

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <netdb.h>
#include <poll.h>
#include <pthread.h>
#include <string.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include <OS.h>

#include "HostErrors.h"
#include "HostWait.h"
#include "NetDebug.h"

namespace {

std::atomic<uint64> sReceiveSyscalls(0);

// How often a waiting look-up asks whether its caller has given it up.
const bigtime_t kAbandonPoll = 50000;

void
CountReceiveSyscall()
{
	sReceiveSyscalls.fetch_add(1, std::memory_order_relaxed);
}

// Waits for the events until the deadline: 0 when they came, else an errno value.
int
WaitFor(int socket, short events, bigtime_t deadline, bool countAsReceive)
{
	return BPrivate::host_wait_for(socket, events, deadline,
		countAsReceive ? &sReceiveSyscalls : NULL);
}

bool
IsHostName(const char* host)
{
	size_t length = strlen(host);
	if (length == 0 || length > 253)
		return false;
	size_t label = 0;
	for (size_t i = 0; i < length; i++) {
		char c = host[i];
		if (c == '.') {
			if (label == 0)
				return false;
			label = 0;
			continue;
		}
		bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
			|| c == '-' || c == '_';
		if (!allowed || ++label > 63)
			return false;
	}
	return true;
}

// One look-up, shared by the thread that runs it and the caller that waits for it: whichever
// lets go last frees it, so a caller that gives up leaves the thread nothing dangling.
struct Lookup {
	std::mutex lock;
	std::condition_variable finished;
	bool done = false;
	status_t status = B_NAME_NOT_FOUND;
	in_addr address = {};
	std::string name;
};

// The host's resolver cannot be bounded: it runs on a thread of its own, which ends when it
// answers, however long after the caller stopped waiting.
void*
RunLookup(void* data)
{
	std::shared_ptr<Lookup>* holder = (std::shared_ptr<Lookup>*)data;
	Lookup& lookup = **holder;
	struct addrinfo hints;
	memset(&hints, 0, sizeof(hints));
	hints.ai_family = AF_INET;
	hints.ai_socktype = SOCK_STREAM;
	struct addrinfo* results = NULL;
	status_t status = B_NAME_NOT_FOUND;
	in_addr address = {};
	if (getaddrinfo(lookup.name.c_str(), NULL, &hints, &results) == 0) {
		for (struct addrinfo* result = results; result != NULL; result = result->ai_next) {
			if (result->ai_family == AF_INET && result->ai_addrlen >= sizeof(sockaddr_in)) {
				address = ((const sockaddr_in*)result->ai_addr)->sin_addr;
				status = B_OK;
				break;
			}
		}
		freeaddrinfo(results);
	}
	{
		std::lock_guard<std::mutex> guard(lookup.lock);
		lookup.status = status;
		lookup.address = address;
		lookup.done = true;
	}
	lookup.finished.notify_all();
	delete holder;
	return NULL;
}

} // namespace

namespace BPrivate {

uint64
net_receive_syscall_count()
{
	return sReceiveSyscalls.load(std::memory_order_relaxed);
}

int
host_socket_open(int family, int type, int protocol, int* _error)
{
	int socket = ::socket(family, type | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
	*_error = socket < 0 ? errno : 0;
	return socket;
}

int
host_socket_duplicate(int socket, int* _error)
{
	int copy = fcntl(socket, F_DUPFD_CLOEXEC, 0);
	*_error = copy < 0 ? errno : 0;
	return copy;
}

void
host_socket_close(int socket)
{
	if (socket >= 0)
		close(socket);
}

void
host_socket_shutdown(int socket)
{
	if (socket >= 0)
		shutdown(socket, SHUT_RDWR);
}

int
host_socket_connect(int socket, const sockaddr_in& address, bigtime_t deadline)
{
	if (connect(socket, (const sockaddr*)&address, sizeof(address)) == 0)
		return 0;
	// An interrupted connect goes on in the background, as one in progress does.
	if (errno != EINPROGRESS && errno != EINTR)
		return errno;

	short revents = 0;
	int error = BPrivate::host_wait_for(socket, POLLOUT, deadline, NULL, &revents);
	if (error != 0)
		return error;
	// Writable without an error or a hang-up: the connection is made.
	if ((revents & (POLLERR | POLLHUP)) == 0)
		return 0;
	socklen_t size = sizeof(error);
	if (getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
		return errno;
	return error;
}

int
host_socket_bind(int socket, const sockaddr_in& address)
{
	return bind(socket, (const sockaddr*)&address, sizeof(address)) == 0 ? 0 : errno;
}

int
host_socket_listen(int socket, int backlog)
{
	return listen(socket, backlog) == 0 ? 0 : errno;
}

int
host_socket_local_name(int socket, sockaddr_in* _address)
{
	socklen_t size = sizeof(*_address);
	memset(_address, 0, sizeof(*_address));
	return getsockname(socket, (sockaddr*)_address, &size) == 0 ? 0 : errno;
}

int
host_socket_set_option(int socket, int level, int option, const void* data, socklen_t size)
{
	return setsockopt(socket, level, option, data, size) == 0 ? 0 : errno;
}

int
host_socket_accept(int socket, sockaddr_in* _peer, bigtime_t timeout, int* _error)
{
	bigtime_t deadline = host_deadline(timeout);
	while (true) {
		socklen_t size = sizeof(*_peer);
		int connection = accept4(socket, (sockaddr*)_peer, &size, SOCK_NONBLOCK | SOCK_CLOEXEC);
		if (connection >= 0) {
			*_error = 0;
			return connection;
		}
		if (errno == EINTR || errno == ECONNABORTED)
			continue;
		if ((errno != EAGAIN && errno != EWOULDBLOCK) || timeout == 0) {
			*_error = errno;
			return -1;
		}
		int error = WaitFor(socket, POLLIN, deadline, false);
		if (error != 0) {
			*_error = error;
			return -1;
		}
	}
}

ssize_t
host_socket_send(int socket, const void* data, size_t size, int flags, const sockaddr_in* to,
	bigtime_t timeout, int* _error)
{
	bigtime_t deadline = host_deadline(timeout);
	const char* bytes = (const char*)data;
	size_t sent = 0;
	*_error = 0;
	do {
		ssize_t count = sendto(socket, bytes + sent, size - sent,
			flags | MSG_NOSIGNAL | MSG_DONTWAIT, (const sockaddr*)to, to != NULL ? sizeof(*to) : 0);
		if (count >= 0) {
			sent += (size_t)count;
			continue;
		}
		if (errno == EINTR)
			continue;
		int error = errno;
		if ((error == EAGAIN || error == EWOULDBLOCK) && timeout != 0)
			error = WaitFor(socket, POLLOUT, deadline, false);
		if (error != 0) {
			*_error = error;
			break;
		}
	} while (sent < size);

	if (sent == 0 && size > 0)
		return -1;
	return (ssize_t)sent;
}

ssize_t
host_socket_receive(int socket, void* data, size_t size, int flags, sockaddr_in* _from,
	bigtime_t timeout, int* _error)
{
	bigtime_t deadline = host_deadline(timeout);
	while (true) {
		socklen_t fromSize = sizeof(*_from);
		CountReceiveSyscall();
		ssize_t count = recvfrom(socket, data, size, flags | MSG_DONTWAIT, (sockaddr*)_from,
			_from != NULL ? &fromSize : NULL);
		if (count >= 0) {
			*_error = 0;
			return count;
		}
		if (errno == EINTR)
			continue;
		int error = errno;
		if ((error == EAGAIN || error == EWOULDBLOCK) && timeout != 0)
			error = WaitFor(socket, POLLIN, deadline, true);
		if (error != 0) {
			*_error = error;
			return -1;
		}
	}
}

int
host_socket_wait_readable(int socket, bigtime_t timeout, int* _error)
{
	int error = WaitFor(socket, POLLIN, host_deadline(timeout), true);
	*_error = error == ETIMEDOUT ? 0 : error;
	return error == 0 ? 1 : error == ETIMEDOUT ? 0 : -1;
}

status_t
host_resolve_ipv4(const char* host, in_addr* _address, bigtime_t timeout,
	bool (*abandoned)(void* data), void* data)
{
	if (host == NULL)
		return B_BAD_VALUE;
	// A numeric address needs neither the resolver nor its configuration files.
	if (inet_pton(AF_INET, host, _address) == 1)
		return B_OK;
	// Anything but a host name would go to the name servers for nothing.
	if (!IsHostName(host))
		return B_BAD_VALUE;

	std::shared_ptr<Lookup> lookup = std::make_shared<Lookup>();
	lookup->name = host;
	std::shared_ptr<Lookup>* holder = new std::shared_ptr<Lookup>(lookup);
	pthread_attr_t attributes;
	pthread_attr_init(&attributes);
	pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
	pthread_t thread;
	int error = pthread_create(&thread, &attributes, RunLookup, holder);
	pthread_attr_destroy(&attributes);
	if (error != 0) {
		delete holder;
		return host_error_to_status(error);
	}

	bigtime_t deadline = host_deadline(timeout);
	std::unique_lock<std::mutex> guard(lookup->lock);
	while (!lookup->done) {
		bigtime_t wait = kAbandonPoll;
		if (deadline >= 0) {
			bigtime_t left = deadline - system_time();
			if (left <= 0)
				return B_TIMED_OUT;
			wait = min_c(wait, left);
		}
		if (abandoned != NULL) {
			guard.unlock();
			bool stop = abandoned(data);
			guard.lock();
			if (stop)
				return B_CANCELED;
		} else if (deadline < 0)
			wait = INT64_MAX / 2;
		lookup->finished.wait_for(guard, std::chrono::microseconds(wait),
			[&] { return lookup->done; });
	}
	if (lookup->status == B_OK)
		*_address = lookup->address;
	return lookup->status;
}

int
host_service_port(const char* service, const char* protocol)
{
	if (service == NULL)
		return -1;
	struct servent entry;
	struct servent* found = NULL;
	char buffer[1024];
	if (getservbyname_r(service, protocol, &entry, buffer, sizeof(buffer), &found) != 0
		|| found == NULL) {
		return -1;
	}
	return ntohs((uint16)found->s_port);
}

bool
host_is_protocol_name(const char* name)
{
	if (name == NULL)
		return false;
	struct protoent entry;
	struct protoent* found = NULL;
	char buffer[1024];
	return getprotobyname_r(name, &entry, buffer, sizeof(buffer), &found) == 0 && found != NULL;
}

} // namespace BPrivate

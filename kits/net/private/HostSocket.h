/*
 * Private to the network kit: the host's BSD sockets and resolver, behind functions whose
 * waits are always bounded by the caller's time-out.
 */
#ifndef _HOST_SOCKET_H
#define _HOST_SOCKET_H

#include <netinet/in.h>
#include <sys/socket.h>

#include <SupportDefs.h>

namespace BPrivate {

// Time-outs in microseconds: 0 does not wait at all; a negative one waits without a limit
// (only accepting a connection may do that).

// Sockets are opened non-blocking and close-on-exec; every wait goes through poll().
int host_socket_open(int family, int type, int protocol, int* _error);
int host_socket_duplicate(int socket, int* _error);
void host_socket_close(int socket);
// Ends both directions of the socket without closing it: a wait on it, in any thread, ends at
// once, and so does every later one.
void host_socket_shutdown(int socket);

// These return 0 or the host's errno value. A connect waits until the deadline, a
// system_time() value (see HostWait.h), so that it can share one with a look-up.
int host_socket_connect(int socket, const sockaddr_in& address, bigtime_t deadline);
int host_socket_bind(int socket, const sockaddr_in& address);
int host_socket_listen(int socket, int backlog);
int host_socket_local_name(int socket, sockaddr_in* _address);
int host_socket_set_option(int socket, int level, int option, const void* data, socklen_t size);

int host_socket_accept(int socket, sockaddr_in* _peer, bigtime_t timeout, int* _error);

// Sends everything unless the time-out or an error comes first; returns the count sent, or
// -1 when nothing could be sent.
ssize_t host_socket_send(int socket, const void* data, size_t size, int flags,
	const sockaddr_in* to, bigtime_t timeout, int* _error);

// One receive that waits at most the time-out for data: the count, 0 once the peer has
// closed, -1 on error or time-out (ETIMEDOUT).
ssize_t host_socket_receive(int socket, void* data, size_t size, int flags, sockaddr_in* _from,
	bigtime_t timeout, int* _error);

// 1 when data (or the peer's close) is waiting, 0 on time-out, -1 on error.
int host_socket_wait_readable(int socket, bigtime_t timeout, int* _error);

// IPv4 only. A dotted quad is read without the resolver; names that are not host names are
// refused before asking it; a name's look-up gives up with B_TIMED_OUT after the time-out, and
// with B_CANCELED as soon as `abandoned`, when given, answers true (it is asked a few times a
// second).
status_t host_resolve_ipv4(const char* host, in_addr* _address, bigtime_t timeout,
	bool (*abandoned)(void* data) = NULL, void* data = NULL);
// The port of a service in host order, or -1.
int host_service_port(const char* service, const char* protocol);
bool host_is_protocol_name(const char* name);

} // namespace BPrivate

#endif // _HOST_SOCKET_H

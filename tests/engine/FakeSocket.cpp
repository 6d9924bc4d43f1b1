#include "FakeSocket.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <sys/socket.h>
#include <sys/types.h>

#include <atomic>

namespace {

std::atomic<int> sShortSends(0);
// The kit sends what a short send left over: that second call fails, as on a broken pipe.
std::atomic<bool> sFailNext(false);
std::atomic<bool> sLimitNextSocket(false);

typedef int (*SocketFunction)(int, int, int);

typedef ssize_t (*SendToFunction)(int, const void*, size_t, int, const struct sockaddr*, socklen_t);

} // namespace

void
limit_next_socket()
{
	sLimitNextSocket = true;
}

extern "C" int
socket(int domain, int type, int protocol)
{
	static SocketFunction real = (SocketFunction)dlsym(RTLD_NEXT, "socket");
	if (!sLimitNextSocket.exchange(false))
		return real(domain, type, protocol);

	// For this one call no descriptor is free below the limit.
	int lowestFree = fcntl(0, F_DUPFD, 0);
	if (lowestFree >= 0)
		close(lowestFree);
	struct rlimit old;
	getrlimit(RLIMIT_NOFILE, &old);
	struct rlimit lowered = {(rlim_t)(lowestFree >= 0 ? lowestFree : 0), old.rlim_max};
	setrlimit(RLIMIT_NOFILE, &lowered);
	int result = real(domain, type, protocol);
	int error = errno;
	setrlimit(RLIMIT_NOFILE, &old);
	errno = error;
	return result;
}

void
shorten_next_sends(int count)
{
	sShortSends = count;
}

extern "C" ssize_t
sendto(int socket, const void* data, size_t size, int flags, const struct sockaddr* to,
	socklen_t toSize)
{
	static SendToFunction real = (SendToFunction)dlsym(RTLD_NEXT, "sendto");
	if (sFailNext.exchange(false)) {
		errno = EPIPE;
		return -1;
	}
	ssize_t sent = real(socket, data, size, flags, to, toSize);
	if (sent > 1 && sShortSends.load() > 0) {
		sShortSends--;
		sFailNext = true;
		return sent - 1;
	}
	return sent;
}

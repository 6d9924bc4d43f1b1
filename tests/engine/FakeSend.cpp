#include "FakeSend.h"

#include <dlfcn.h>
#include <errno.h>
#include <sys/socket.h>
#include <sys/types.h>

#include <atomic>

namespace {

std::atomic<int> sShortSends(0);
// The kit sends what a short send left over: that second call fails, as on a broken pipe.
std::atomic<bool> sFailNext(false);

typedef ssize_t (*SendToFunction)(int, const void*, size_t, int, const struct sockaddr*, socklen_t);

} // namespace

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

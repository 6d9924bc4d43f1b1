#include "StalledListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const int kMaxQueued = 16;
// A loopback connect that the listener can take completes at once; one that has not
// completed after this is stalled.
const int kStallMilliseconds = 200;

} // namespace

StalledListener::StalledListener() :
	fListener(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)),
	fPort(0)
{
	sockaddr_in address = {};
	address.sin_family = AF_INET;
	address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
	socklen_t size = sizeof(address);
	if (fListener < 0 || bind(fListener, (sockaddr*)&address, sizeof(address)) != 0
		|| listen(fListener, 0) != 0 || getsockname(fListener, (sockaddr*)&address, &size) != 0) {
		return;
	}
	// Connections are queued until one of them stalls: then the backlog is full.
	for (int i = 0; i < kMaxQueued; i++) {
		int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
		if (fd < 0)
			return;
		fQueued.push_back(fd);
		if (connect(fd, (sockaddr*)&address, sizeof(address)) == 0)
			continue;
		struct pollfd entry = {fd, POLLOUT, 0};
		if (poll(&entry, 1, kStallMilliseconds) == 0) {
			// This one would take the first place to free up from whoever comes next.
			close(fd);
			fQueued.pop_back();
			fPort = ntohs(address.sin_port);
			return;
		}
	}
}

void
StalledListener::AcceptOne()
{
	int fd = accept4(fListener, NULL, NULL, SOCK_CLOEXEC);
	if (fd >= 0)
		fQueued.push_back(fd);
}

StalledListener::~StalledListener()
{
	for (int fd : fQueued)
		close(fd);
	if (fListener >= 0)
		close(fListener);
}

/*
 * Wraps the host's poll() for the kits that wait on sockets (the network kit, the Deskbar's
 * link): one descriptor at a time, bounded by a deadline on the system clock.
 */
#include "HostWait.h"

#include <errno.h>
#include <limits.h>
#include <poll.h>
#include <stdint.h>

#include <OS.h>

namespace BPrivate {

bigtime_t
host_deadline(bigtime_t timeout)
{
	if (timeout < 0)
		return -1;
	bigtime_t now = system_time();
	if (timeout > INT64_MAX - now)
		return INT64_MAX;
	return now + timeout;
}

int
host_poll_timeout(bigtime_t deadline)
{
	if (deadline < 0)
		return -1;
	bigtime_t left = deadline - system_time();
	if (left <= 0)
		return 0;
	bigtime_t milliseconds = (left + 999) / 1000;
	return milliseconds > INT_MAX ? INT_MAX : (int)milliseconds;
}

int
host_wait_for(int descriptor, short events, bigtime_t deadline, std::atomic<uint64>* polls,
	short* _revents)
{
	while (true) {
		// A deadline already past still asks once whether the events are there.
		int timeout = host_poll_timeout(deadline);
		struct pollfd entry = {descriptor, events, 0};
		if (polls != NULL)
			polls->fetch_add(1, std::memory_order_relaxed);
		int result = poll(&entry, 1, timeout);
		if (result > 0) {
			if (_revents != NULL)
				*_revents = entry.revents;
			return 0;
		}
		if (result < 0 && errno != EINTR)
			return errno;
		if (result == 0 && timeout == 0)
			return ETIMEDOUT;
		// Woken early or interrupted: the deadline decides.
	}
}

} // namespace BPrivate

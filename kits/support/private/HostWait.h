/*
 * Private to the kits: waiting on a host descriptor until a deadline (see HostWait.cpp).
 */
#ifndef _HOST_WAIT_H
#define _HOST_WAIT_H

#include <atomic>

#include <SupportDefs.h>

namespace BPrivate {

// Deadlines are system_time() values; a negative one means no limit.

// The deadline `timeout` microseconds from now; a negative time-out gives no limit.
bigtime_t host_deadline(bigtime_t timeout);

// The poll() time-out for what is left until the deadline: -1 for no limit, 0 once it has
// passed, otherwise the rest rounded up to whole milliseconds.
int host_poll_timeout(bigtime_t deadline);

// Waits until one of the events (or an error or hang-up) is reported for the descriptor:
// 0 then, ETIMEDOUT once the deadline has passed (a past deadline still looks once), or the
// host's errno value. Interruptions are waited out. Each poll() made is counted in `polls`,
// and the events reported are stored in `_revents`, when given.
int host_wait_for(int descriptor, short events, bigtime_t deadline,
	std::atomic<uint64>* polls = NULL, short* _revents = NULL);

} // namespace BPrivate

#endif // _HOST_WAIT_H

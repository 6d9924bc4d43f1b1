/*
 * Private to the kits, the tests and the benchmarks: counters of the network kit.
 */
#ifndef _NET_DEBUG_H
#define _NET_DEBUG_H

#include <SupportDefs.h>

namespace BPrivate {

// System calls made on the receive path of every endpoint of the team (reads and the polls
// that wait for data), since the team started.
uint64 net_receive_syscall_count();

} // namespace BPrivate

#endif // _NET_DEBUG_H

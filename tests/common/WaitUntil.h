/*
 * Waiting, bounded, for something another process or thread does.
 */
#ifndef WAIT_UNTIL_H
#define WAIT_UNTIL_H

#include <functional>

#include <OS.h>

// Long enough for a sanitised build on a busy machine.
const bigtime_t kWaitTimeout = 15000000;

// Polls `condition` every 10 ms until it holds or `timeout` passes; whether it held.
bool WaitUntil(const std::function<bool()>& condition, bigtime_t timeout = kWaitTimeout);

// The same for up to five seconds: what a Deskbar host does at once.
inline bool
Eventually(const std::function<bool()>& condition)
{
	return WaitUntil(condition, 5000000);
}

#endif // WAIT_UNTIL_H

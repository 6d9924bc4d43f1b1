#include "WaitUntil.h"

bool
WaitUntil(const std::function<bool()>& condition, bigtime_t timeout)
{
	bigtime_t deadline = system_time() + timeout;
	while (system_time() < deadline) {
		if (condition())
			return true;
		snooze(10000);
	}
	return condition();
}

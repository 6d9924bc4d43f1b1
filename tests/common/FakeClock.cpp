#include "FakeClock.h"

#include <atomic>

namespace {

std::atomic<time_t> sFakeTime(0);

} // namespace

extern "C" time_t
time(time_t* result)
{
	time_t now = sFakeTime.load();
	if (now == 0) {
		struct timespec spec;
		clock_gettime(CLOCK_REALTIME, &spec);
		now = spec.tv_sec;
	}
	if (result != NULL)
		*result = now;
	return now;
}

void
set_fake_time(time_t value)
{
	sFakeTime = value;
}

void
clear_fake_time()
{
	sFakeTime = 0;
}

time_t
utc_time(int year, int month, int day, int hour, int minute, int second)
{
	struct tm parts = {};
	parts.tm_year = year - 1900;
	parts.tm_mon = month - 1;
	parts.tm_mday = day;
	parts.tm_hour = hour;
	parts.tm_min = minute;
	parts.tm_sec = second;
	return timegm(&parts);
}

#include <OS.h>

#include <errno.h>
#include <time.h>
#include <unistd.h>
#include <sys/syscall.h>

bigtime_t
system_time(void)
{
	struct timespec now;
	clock_gettime(CLOCK_MONOTONIC, &now);
	return (bigtime_t)now.tv_sec * 1000000 + now.tv_nsec / 1000;
}

status_t
snooze(bigtime_t microseconds)
{
	if (microseconds <= 0)
		return B_OK;
	struct timespec delay = {(time_t)(microseconds / 1000000),
		(long)(microseconds % 1000000) * 1000};
	while (nanosleep(&delay, &delay) != 0 && errno == EINTR) {
	}
	return B_OK;
}

thread_id
find_thread(const char* name)
{
	// Only the calling thread can be found: named lookups are not needed by anyone.
	if (name != NULL)
		return B_NAME_NOT_FOUND;
	return (thread_id)syscall(SYS_gettid);
}

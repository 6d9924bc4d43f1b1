#include <OS.h>

#include <errno.h>
#include <pthread.h>
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

namespace {

// Every lock asks for the calling thread: the kernel is asked once per thread.
thread_local thread_id sCurrentThread = -1;

void
ForgetCurrentThread()
{
	// The child of a fork runs on a new thread that inherited its parent's value.
	sCurrentThread = -1;
}

} // namespace

thread_id
find_thread(const char* name)
{
	// Only the calling thread can be found: named lookups are not needed by anyone.
	if (name != NULL)
		return B_NAME_NOT_FOUND;
	if (sCurrentThread < 0) {
		static pthread_once_t once = PTHREAD_ONCE_INIT;
		pthread_once(&once, [] { pthread_atfork(NULL, NULL, ForgetCurrentThread); });
		sCurrentThread = (thread_id)syscall(SYS_gettid);
	}
	return sCurrentThread;
}

uint32
real_time_clock(void)
{
	struct timespec now;
	clock_gettime(CLOCK_REALTIME, &now);
	return (uint32)now.tv_sec;
}

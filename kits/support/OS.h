/*
 * The part of the kernel kit's OS.h that the other kits and the application use: thread and
 * team ids, priorities, the system and real-time clocks and sleeping. Threads themselves are host
 * threads.
 */
#ifndef _OS_H
#define _OS_H

#include <SupportDefs.h>

typedef int32 thread_id;
typedef int32 team_id;
typedef int32 port_id;
typedef int32 sem_id;
typedef int32 area_id;
typedef int32 image_id;

#define B_OS_NAME_LENGTH 32
#define B_INFINITE_TIMEOUT (9223372036854775807LL)

enum {
	B_LOW_PRIORITY = 5,
	B_NORMAL_PRIORITY = 10,
	B_DISPLAY_PRIORITY = 15,
	B_URGENT_DISPLAY_PRIORITY = 20,
	B_REAL_TIME_DISPLAY_PRIORITY = 100,
	B_URGENT_PRIORITY = 110,
	B_REAL_TIME_PRIORITY = 120
};

#ifdef __cplusplus
extern "C" {
#endif

bigtime_t system_time(void);
status_t snooze(bigtime_t microseconds);
thread_id find_thread(const char* name);
// Seconds since 1970-01-01 00:00 UTC.
uint32 real_time_clock(void);

#ifdef __cplusplus
}
#endif

#endif // _OS_H

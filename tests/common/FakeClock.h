/*
 * A settable wall clock for the engine's time stamps and the status icon's schedule: the test
 * program's own time() returns the set value, or the real time when none is set. Linked into
 * the programs that use it only.
 */
#ifndef FAKE_CLOCK_H
#define FAKE_CLOCK_H

#include <time.h>

void set_fake_time(time_t value);
void clear_fake_time();
// Seconds since the epoch for a UTC date.
time_t utc_time(int year, int month, int day, int hour, int minute, int second);

#endif // FAKE_CLOCK_H

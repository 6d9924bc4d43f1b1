/*
 * Helpers for tests that run a Deskbar host as a process of its own.
 */
#ifndef DESKBAR_TESTING_H
#define DESKBAR_TESTING_H

#include <string>

#include <OS.h>

// True when a host answers requests.
bool HostAnswers();
// True when no host holds the user's Deskbar lock: one that quit has finished.
bool HostFinished();
// Asks the host to quit and waits until it has finished.
bool StopDeskbarHost();
// Runs a command line; its standard output, and its exit status in `status`.
std::string RunCommand(const std::string& command, int* status);

// Polls `condition` for up to five seconds.
template<typename Condition>
bool
Eventually(Condition condition)
{
	for (int i = 0; i < 500; i++) {
		if (condition())
			return true;
		snooze(10000);
	}
	return condition();
}

#endif // DESKBAR_TESTING_H

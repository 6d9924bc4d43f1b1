/*
 * Helpers for tests that run a Deskbar host, or a program that starts one, as a process of
 * its own.
 */
#ifndef DESKBAR_TESTING_H
#define DESKBAR_TESTING_H

#include <string>

#include <OS.h>

#include "WaitUntil.h"

// True when a host answers requests.
bool HostAnswers();
// True when no host holds the user's Deskbar lock: one that quit has finished.
bool HostFinished();
// Asks the host to quit and waits until it has finished.
bool StopDeskbarHost();
// Has the host save its headless rendering of the window of that title (the shelf when
// NULL) as PNG at `path`.
status_t SaveHostScreenshot(const std::string& path, const char* title = NULL);
// Starts a program (Zorve, built or installed) as a user starts it from a shell; what it
// printed on either stream, and its exit status in `status`.
std::string StartProgram(const std::string& path, int* status);
// Runs deskbar-ctl with the arguments, which a shell reads (a pipe may follow them); what it
// printed on either stream, and its exit status in `status`.
std::string RunControl(const std::string& arguments, int* status = NULL);
// The same for the exit status alone.
int ControlStatus(const std::string& arguments);
// Runs a command line; its standard output, and its exit status in `status`.
std::string RunCommand(const std::string& command, int* status);

#endif // DESKBAR_TESTING_H

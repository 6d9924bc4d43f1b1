/*
 * What /proc tells of a running process, for tests and benchmarks: its status fields, its
 * CPU time and its threads.
 */
#ifndef PROCESS_FIGURES_H
#define PROCESS_FIGURES_H

#include <sys/types.h>

#include <map>
#include <string>

// The text of /proc/PID/status, or of one of its threads' (/proc/PID/task/TID/status).
std::string ProcessStatus(pid_t pid, long thread = -1);
// The number a status text gives for `name` ("VmRSS", in KiB; "voluntary_ctxt_switches"),
// -1 when it has none.
long StatusNumber(const std::string& status, const char* name);
// The user and system CPU time of the process so far, in seconds.
double CpuSeconds(pid_t pid);
// Its threads' names, by thread id; none when the process is gone.
std::map<long, std::string> ThreadNames(pid_t pid);

#endif // PROCESS_FIGURES_H

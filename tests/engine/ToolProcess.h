/*
 * Runs one of the command-line tools as a process of its own, with this process's
 * environment (so within the test's temporary home), its output kept in a file.
 */
#ifndef TOOL_PROCESS_H
#define TOOL_PROCESS_H

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include <SupportDefs.h>

class ToolProcess {
public:
	// `prepare`, when given, runs in the child just before the program replaces it; it may
	// only make system calls, and returns false to give up (the child then exits with 77).
	ToolProcess(const std::string& program, const std::vector<std::string>& arguments,
		std::function<bool()> prepare = nullptr);
	// Kills the process if it still runs.
	~ToolProcess();

	bool Started() const { return fPid > 0; }
	// Waits at most `timeout` for the end; the exit status, or -1 when it did not end (the
	// process is then killed) or ended by a signal.
	int Wait(bigtime_t timeout);
	std::string Output() const;

private:
	ToolProcess(const ToolProcess&);
	ToolProcess& operator=(const ToolProcess&);

	pid_t fPid;
	std::string fOutputPath;
};

#endif // TOOL_PROCESS_H

/*
 * A program a test starts as a process of its own (a display, a tray, a window manager, the
 * Deskbar host, a command-line tool): started with this process's environment and extra
 * entries, its output in a file, stopped with SIGTERM and, if it will not go, SIGKILL; always
 * waited for.
 */
#ifndef CHILD_PROCESS_H
#define CHILD_PROCESS_H

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include <OS.h>

class ChildProcess {
public:
	ChildProcess();
	// Starts the program at once (arguments[0], a path), its output kept for Output().
	// `prepare`, when given, runs in the child just before the program replaces it; it may
	// only make system calls, and returns false to give up (the child then exits with 77).
	explicit ChildProcess(const std::vector<std::string>& arguments,
		std::function<bool()> prepare = nullptr);
	~ChildProcess();

	// `environment` entries are "NAME=value" added to this process's own. Output goes to
	// `logPath` (or nowhere); `keepFd` stays open in the child.
	bool Start(const std::vector<std::string>& arguments,
		const std::vector<std::string>& environment = {}, const std::string& logPath = "",
		int keepFd = -1, std::function<bool()> prepare = nullptr);
	// Returns once the process has ended; true if it was running.
	bool Stop();
	bool IsRunning();
	bool Started() const { return fPid > 0; }
	pid_t Pid() const { return fPid; }
	// Waits at most `timeout` for the end; the exit status, or -1 when it did not end (the
	// process is then killed) or ended by a signal.
	int Wait(bigtime_t timeout);
	// What it wrote to its log.
	std::string Output() const;

private:
	ChildProcess(const ChildProcess&);
	ChildProcess& operator=(const ChildProcess&);

	pid_t fPid;
	std::string fLogPath;
	// The log is a temporary file of this object's own, removed with it.
	bool fOwnsLog;
};

#endif // CHILD_PROCESS_H

/*
 * A program a display test starts (Xvfb, a tray, a window manager): started with extra
 * environment, stopped with SIGTERM and, if it will not go, SIGKILL; always waited for.
 */
#ifndef CHILD_PROCESS_H
#define CHILD_PROCESS_H

#include <sys/types.h>

#include <string>
#include <vector>

class ChildProcess {
public:
	ChildProcess();
	~ChildProcess();

	// `environment` entries are "NAME=value" added to this process's own. Output goes to
	// `logPath` (or nowhere); `keepFd` stays open in the child.
	bool Start(const std::vector<std::string>& arguments,
		const std::vector<std::string>& environment = {}, const std::string& logPath = "",
		int keepFd = -1);
	// Returns once the process has ended; true if it was running.
	bool Stop();
	bool IsRunning();
	pid_t Pid() const { return fPid; }

private:
	ChildProcess(const ChildProcess&);
	ChildProcess& operator=(const ChildProcess&);

	pid_t fPid;
};

#endif // CHILD_PROCESS_H

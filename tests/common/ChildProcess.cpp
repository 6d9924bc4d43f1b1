#include "ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <OS.h>

namespace {

const int kStopPolls = 500;
const bigtime_t kStopPollDelay = 10000;

} // namespace

ChildProcess::ChildProcess() :
	fPid(-1)
{
}

ChildProcess::~ChildProcess()
{
	Stop();
}

bool
ChildProcess::Start(const std::vector<std::string>& arguments,
	const std::vector<std::string>& environment, const std::string& logPath, int keepFd)
{
	if (fPid > 0 || arguments.empty())
		return false;
	std::vector<char*> argv;
	for (const std::string& argument : arguments)
		argv.push_back((char*)argument.c_str());
	argv.push_back(NULL);
	// Everything the child needs is made before fork: only async-signal-safe calls after.
	std::vector<std::string> variables;
	for (char** entry = environ; *entry != NULL; entry++) {
		std::string variable = *entry;
		std::string name = variable.substr(0, variable.find('='));
		bool replaced = false;
		for (const std::string& added : environment)
			replaced |= added.compare(0, name.size() + 1, name + "=") == 0;
		if (!replaced)
			variables.push_back(variable);
	}
	variables.insert(variables.end(), environment.begin(), environment.end());
	std::vector<char*> envp;
	for (const std::string& variable : variables)
		envp.push_back((char*)variable.c_str());
	envp.push_back(NULL);
	const char* output = logPath.empty() ? "/dev/null" : logPath.c_str();
	pid_t pid = fork();
	if (pid < 0)
		return false;
	if (pid == 0) {
		int log = open(output, O_WRONLY | O_CREAT | O_APPEND, 0644);
		int input = open("/dev/null", O_RDONLY);
		dup2(input, 0);
		dup2(log, 1);
		dup2(log, 2);
		// A fresh process group, so that nothing reaches the test's terminal.
		setpgid(0, 0);
		for (int fd = 3; fd < 1024; fd++) {
			if (fd != keepFd)
				close(fd);
		}
		execvpe(argv[0], argv.data(), envp.data());
		_exit(127);
	}
	fPid = pid;
	return true;
}

bool
ChildProcess::IsRunning()
{
	if (fPid <= 0)
		return false;
	int status;
	if (waitpid(fPid, &status, WNOHANG) == fPid) {
		fPid = -1;
		return false;
	}
	return true;
}

bool
ChildProcess::Stop()
{
	if (!IsRunning())
		return false;
	kill(fPid, SIGTERM);
	for (int poll = 0; poll < kStopPolls; poll++) {
		int status;
		if (waitpid(fPid, &status, WNOHANG) == fPid) {
			fPid = -1;
			return true;
		}
		snooze(kStopPollDelay);
	}
	kill(fPid, SIGKILL);
	int status;
	waitpid(fPid, &status, 0);
	fPid = -1;
	return true;
}

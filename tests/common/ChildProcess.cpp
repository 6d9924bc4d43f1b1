#include "ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TemporaryHome.h"

namespace {

const int kStopPolls = 500;
const bigtime_t kStopPollDelay = 10000;
const bigtime_t kWaitPollDelay = 5000;

} // namespace

ChildProcess::ChildProcess() :
	fPid(-1),
	fOwnsLog(false)
{
}

ChildProcess::ChildProcess(const std::vector<std::string>& arguments,
	std::function<bool()> prepare) :
	fPid(-1),
	fOwnsLog(false)
{
	const char* tmp = getenv("TMPDIR");
	std::string path = std::string(tmp != NULL ? tmp : "/tmp") + "/zorve-tool-XXXXXX";
	int output = mkstemp(&path[0]);
	if (output < 0)
		return;
	close(output);
	fLogPath = path;
	fOwnsLog = true;
	Start(arguments, {}, path, -1, prepare);
}

ChildProcess::~ChildProcess()
{
	Stop();
	if (fOwnsLog)
		unlink(fLogPath.c_str());
}

bool
ChildProcess::Start(const std::vector<std::string>& arguments,
	const std::vector<std::string>& environment, const std::string& logPath, int keepFd,
	std::function<bool()> prepare)
{
	if (fPid > 0 || arguments.empty())
		return false;
	fLogPath = logPath;
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
		// Last: what it opens is kept into the program.
		if (prepare && !prepare())
			_exit(77);
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

int
ChildProcess::Wait(bigtime_t timeout)
{
	if (fPid <= 0)
		return -1;
	bigtime_t deadline = system_time() + timeout;
	int status = 0;
	pid_t ended;
	while ((ended = waitpid(fPid, &status, WNOHANG)) == 0 && system_time() < deadline)
		snooze(kWaitPollDelay);
	if (ended != fPid) {
		kill(fPid, SIGKILL);
		waitpid(fPid, NULL, 0);
		fPid = -1;
		return -1;
	}
	fPid = -1;
	return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string
ChildProcess::Output() const
{
	return fLogPath.empty() ? std::string() : TemporaryHome::ReadFile(fLogPath);
}

#include "ToolProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include <OS.h>

ToolProcess::ToolProcess(const std::string& program, const std::vector<std::string>& arguments,
	std::function<bool()> prepare) :
	fPid(-1)
{
	const char* tmp = getenv("TMPDIR");
	char path[256];
	snprintf(path, sizeof(path), "%s/zorve-tool-XXXXXX", tmp != NULL ? tmp : "/tmp");
	int output = mkstemp(path);
	if (output < 0)
		return;
	fOutputPath = path;

	// Everything the child needs is made before the fork: after it only system calls.
	std::vector<char*> argv;
	argv.push_back(const_cast<char*>(program.c_str()));
	for (const std::string& argument : arguments)
		argv.push_back(const_cast<char*>(argument.c_str()));
	argv.push_back(NULL);

	fPid = fork();
	if (fPid == 0) {
		if (prepare && !prepare())
			_exit(77);
		dup2(output, STDOUT_FILENO);
		dup2(output, STDERR_FILENO);
		execv(program.c_str(), argv.data());
		_exit(127);
	}
	close(output);
}

ToolProcess::~ToolProcess()
{
	if (fPid > 0) {
		kill(fPid, SIGKILL);
		waitpid(fPid, NULL, 0);
	}
	if (!fOutputPath.empty())
		unlink(fOutputPath.c_str());
}

int
ToolProcess::Wait(bigtime_t timeout)
{
	if (fPid <= 0)
		return -1;
	bigtime_t deadline = system_time() + timeout;
	int status = 0;
	pid_t ended;
	while ((ended = waitpid(fPid, &status, WNOHANG)) == 0 && system_time() < deadline)
		snooze(5000);
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
ToolProcess::Output() const
{
	std::ifstream stream(fOutputPath, std::ios::binary);
	std::ostringstream content;
	content << stream.rdbuf();
	return content.str();
}

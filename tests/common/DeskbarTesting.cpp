#include "DeskbarTesting.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <Message.h>

#include "DeskbarLink.h"
#include "DeskbarProtocol.h"

using namespace BPrivate;

bool
HostAnswers()
{
	BMessage request(kMsgDeskbarCountItems);
	return DeskbarLink::Exchange(request, NULL, false) == B_OK;
}

bool
HostFinished()
{
	std::string path;
	if (DeskbarLink::LockPath(path) != B_OK)
		return false;
	int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
	if (fd < 0)
		return true;
	bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
	close(fd);
	return free;
}

bool
StopDeskbarHost()
{
	BMessage request(kMsgDeskbarQuit);
	DeskbarLink::Exchange(request, NULL, false);
	return Eventually([] { return HostFinished(); });
}

status_t
SaveHostScreenshot(const std::string& path, const char* title)
{
	BMessage request(kMsgDeskbarScreenshot);
	request.AddString("path", path.c_str());
	if (title != NULL)
		request.AddString("window", title);
	BMessage reply;
	return DeskbarLink::Exchange(request, &reply, false);
}

std::string
StartProgram(const std::string& path, int* status)
{
	return RunCommand("'" + path + "' 2>&1", status);
}

std::string
RunControl(const std::string& arguments, int* status)
{
	int result = -1;
	std::string output = RunCommand("'" DESKBAR_CTL "' " + arguments + " 2>&1", &result);
	if (status != NULL)
		*status = result;
	return output;
}

int
ControlStatus(const std::string& arguments)
{
	int status = -1;
	RunControl(arguments, &status);
	return status;
}

std::string
RunCommand(const std::string& command, int* status)
{
	std::string output;
	FILE* pipe = popen(command.c_str(), "r");
	if (pipe == NULL) {
		*status = -1;
		return output;
	}
	char buffer[512];
	size_t count;
	while ((count = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
		output.append(buffer, count);
	int result = pclose(pipe);
	*status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
	return output;
}

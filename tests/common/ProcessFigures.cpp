#include "ProcessFigures.h"

#include <dirent.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <sstream>

#include "TemporaryHome.h"

namespace {

std::string
ProcessFolder(pid_t pid)
{
	return "/proc/" + std::to_string(pid);
}

} // namespace

std::string
ProcessStatus(pid_t pid, long thread)
{
	std::string folder = ProcessFolder(pid);
	if (thread >= 0)
		folder += "/task/" + std::to_string(thread);
	return TemporaryHome::ReadFile(folder + "/status");
}

long
StatusNumber(const std::string& status, const char* name)
{
	std::string key = std::string("\n") + name + ":";
	size_t at = ("\n" + status).find(key);
	return at == std::string::npos ? -1 : atol(status.c_str() + at + key.size() - 1);
}

double
CpuSeconds(pid_t pid)
{
	std::string stat = TemporaryHome::ReadFile(ProcessFolder(pid) + "/stat");
	// The name, in parentheses, may hold spaces: the fields are counted after it.
	size_t close = stat.rfind(')');
	if (close == std::string::npos)
		return 0;
	std::istringstream fields(stat.substr(close + 2));
	std::string field;
	unsigned long long user = 0;
	unsigned long long system = 0;
	for (int index = 3; index <= 15 && fields >> field; index++) {
		if (index == 14)
			user = strtoull(field.c_str(), NULL, 10);
		if (index == 15)
			system = strtoull(field.c_str(), NULL, 10);
	}
	return (double)(user + system) / sysconf(_SC_CLK_TCK);
}

std::map<long, std::string>
ThreadNames(pid_t pid)
{
	std::map<long, std::string> names;
	std::string tasks = ProcessFolder(pid) + "/task";
	DIR* folder = opendir(tasks.c_str());
	if (folder == NULL)
		return names;
	while (struct dirent* entry = readdir(folder)) {
		if (entry->d_name[0] == '.')
			continue;
		std::string name = TemporaryHome::ReadFile(tasks + "/" + entry->d_name + "/comm");
		if (!name.empty() && name.back() == '\n')
			name.pop_back();
		names[atol(entry->d_name)] = name;
	}
	closedir(folder);
	return names;
}

#include "Installation.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "DeskbarTesting.h"

Installation::Installation(const std::string& prefix) :
	fSucceeded(false)
{
	const char* base = getenv("TMPDIR");
	std::string pattern = std::string(base != NULL ? base : "/tmp") + "/zorve-install-XXXXXX";
	std::vector<char> path(pattern.begin(), pattern.end());
	path.push_back('\0');
	if (mkdtemp(path.data()) == NULL)
		return;
	fRoot = path.data();
	int status = -1;
	RunCommand("env -u ZORVE_AUTOSTART_DIR DESTDIR='" + fRoot
			+ "' '" CMAKE_COMMAND "' --install '" BUILD_DIR "' --prefix '" + prefix
			+ "' > /dev/null",
		&status);
	fSucceeded = status == 0;
}

Installation::~Installation()
{
	if (!fRoot.empty()) {
		std::string command = "rm -rf '" + fRoot + "'";
		(void)!system(command.c_str());
	}
}

std::set<std::string>
Installation::Files() const
{
	int status = -1;
	std::istringstream found(
		RunCommand("cd '" + fRoot + "' && find . -type f -o -type l | cut -c3-", &status));
	std::set<std::string> files;
	for (std::string line; std::getline(found, line);)
		files.insert(line);
	return files;
}

std::string
Installation::EntryValue(const std::string& path, const std::string& key) const
{
	std::ifstream entry(Path(path));
	for (std::string line; std::getline(entry, line);) {
		if (line.compare(0, key.size() + 1, key + "=") == 0)
			return line.substr(key.size() + 1);
	}
	return "";
}

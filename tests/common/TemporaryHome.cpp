#include "TemporaryHome.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <stdlib.h>
#include <string.h>

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int
RemoveOne(const char* path, const struct stat*, int, struct FTW*)
{
	chmod(path, 0700);
	return remove(path);
}

void
Remember(const char* name, std::string& value, bool& had)
{
	const char* old = getenv(name);
	had = old != NULL;
	if (had)
		value = old;
}

void
Restore(const char* name, const std::string& value, bool had)
{
	if (had)
		setenv(name, value.c_str(), 1);
	else
		unsetenv(name);
}

} // namespace

TemporaryHome::TemporaryHome()
{
	Remember("HOME", fOldHome, fHadHome);
	Remember("XDG_CONFIG_HOME", fOldConfig, fHadConfig);
	Remember("XDG_RUNTIME_DIR", fOldRuntime, fHadRuntime);

	const char* tmp = getenv("TMPDIR");
	std::string pattern = std::string(tmp != NULL ? tmp : "/tmp") + "/zorve-test-XXXXXX";
	char* name = strdup(pattern.c_str());
	if (mkdtemp(name) == NULL) {
		free(name);
		throw std::runtime_error("cannot make a temporary home");
	}
	fPath = name;
	free(name);
	mkdir((fPath + "/.config").c_str(), 0700);
	mkdir((fPath + "/run").c_str(), 0700);
	setenv("HOME", fPath.c_str(), 1);
	setenv("XDG_CONFIG_HOME", (fPath + "/.config").c_str(), 1);
	setenv("XDG_RUNTIME_DIR", (fPath + "/run").c_str(), 1);
}

TemporaryHome::~TemporaryHome()
{
	Restore("HOME", fOldHome, fHadHome);
	Restore("XDG_CONFIG_HOME", fOldConfig, fHadConfig);
	Restore("XDG_RUNTIME_DIR", fOldRuntime, fHadRuntime);
	nftw(fPath.c_str(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS);
}

std::string
TemporaryHome::ReadFile(const std::string& path)
{
	std::ifstream stream(path, std::ios::binary);
	std::ostringstream content;
	content << stream.rdbuf();
	return content.str();
}

void
TemporaryHome::WriteFile(const std::string& path, const std::string& content) const
{
	std::ofstream stream(path, std::ios::binary | std::ios::trunc);
	stream << content;
}

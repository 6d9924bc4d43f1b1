/*
 * For the fuzz targets that touch the user's files: a private temporary home (HOME,
 * XDG_CONFIG_HOME, XDG_RUNTIME_DIR and TMPDIR point into it) for the whole run, removed at
 * exit, and no display.
 */
#ifndef FUZZ_HOME_H
#define FUZZ_HOME_H

#include <ftw.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

class FuzzHome {
public:
	FuzzHome()
	{
		// In memory where the system has such a folder: the targets write files all the time.
		struct stat st;
		const char* tmp = getenv("TMPDIR");
		if (stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && access("/dev/shm", W_OK) == 0)
			tmp = "/dev/shm";
		std::string pattern = std::string(tmp != NULL ? tmp : "/tmp") + "/zorve-fuzz-XXXXXX";
		std::vector<char> name(pattern.begin(), pattern.end());
		name.push_back('\0');
		if (mkdtemp(name.data()) == NULL)
			abort();
		fPath = name.data();
		for (const char* folder : {"/.config", "/run", "/tmp"})
			mkdir((fPath + folder).c_str(), 0700);
		setenv("HOME", fPath.c_str(), 1);
		setenv("XDG_CONFIG_HOME", (fPath + "/.config").c_str(), 1);
		setenv("XDG_RUNTIME_DIR", (fPath + "/run").c_str(), 1);
		setenv("TMPDIR", (fPath + "/tmp").c_str(), 1);
		unsetenv("DISPLAY");
	}

	~FuzzHome() { nftw(fPath.c_str(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS); }

	const std::string& Path() const { return fPath; }

private:
	static int RemoveOne(const char* path, const struct stat*, int, struct FTW*)
	{
		return remove(path);
	}

	std::string fPath;
};

#endif // FUZZ_HOME_H

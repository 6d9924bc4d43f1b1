/*
 * find_directory() over the host's conventions: the user settings directory is the user's
 * configuration directory ($XDG_CONFIG_HOME when set and absolute, else $HOME/.config).
 * Directories without a host counterpart answer B_ENTRY_NOT_FOUND.
 */
#include <FindDirectory.h>

#include <pwd.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include <Directory.h>
#include <Path.h>

namespace {

std::string
HomeDirectory()
{
	const char* home = getenv("HOME");
	if (home != NULL && home[0] == '/')
		return home;
	struct passwd* entry = getpwuid(getuid());
	return entry != NULL && entry->pw_dir != NULL ? entry->pw_dir : "";
}

std::string
ConfigDirectory()
{
	const char* config = getenv("XDG_CONFIG_HOME");
	if (config != NULL && config[0] == '/')
		return config;
	std::string home = HomeDirectory();
	return home.empty() ? "" : home + "/.config";
}

status_t
HostPath(directory_which which, std::string& path)
{
	switch (which) {
		case B_USER_DIRECTORY:
			path = HomeDirectory();
			break;
		case B_USER_CONFIG_DIRECTORY:
		case B_USER_SETTINGS_DIRECTORY:
			path = ConfigDirectory();
			break;
		case B_USER_DESKBAR_DIRECTORY:
			path = ConfigDirectory();
			if (!path.empty())
				path += "/deskbar";
			break;
		case B_COMMON_TEMP_DIRECTORY:
		{
			const char* temporary = getenv("TMPDIR");
			path = temporary != NULL && temporary[0] == '/' ? temporary : "/tmp";
			break;
		}
		default:
			return B_ENTRY_NOT_FOUND;
	}
	return path.empty() ? (status_t)B_ENTRY_NOT_FOUND : B_OK;
}

} // namespace

status_t
find_directory(directory_which which, BPath* path, bool createIt, BVolume* /*volume*/)
{
	if (path == NULL)
		return B_BAD_VALUE;
	std::string directory;
	status_t status = HostPath(which, directory);
	if (status == B_OK && createIt)
		status = create_directory(directory.c_str(), 0755);
	if (status != B_OK)
		return status;
	return path->SetTo(directory.c_str());
}

status_t
find_directory(directory_which which, dev_t /*volume*/, bool createIt, char* returnedPath,
	int32 pathLength)
{
	if (returnedPath == NULL || pathLength <= 0)
		return B_BAD_VALUE;
	BPath path;
	status_t status = find_directory(which, &path, createIt);
	if (status != B_OK)
		return status;
	if ((int32)strlen(path.Path()) >= pathLength)
		return B_BUFFER_OVERFLOW;
	strcpy(returnedPath, path.Path());
	return B_OK;
}

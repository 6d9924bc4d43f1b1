/*
 * The roster over the host: the registry is a folder of small files in the user settings
 * directory, and preferred applications for web and mail addresses are the desktop's, reached
 * through xdg-open. Launched programs are host processes; their team id is the process id.
 */
#include <Roster.h>

#include <ctype.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <FindDirectory.h>
#include <Message.h>
#include <Path.h>

#include "HostErrors.h"
#include "ProcessLauncher.h"

namespace {

const BRoster sRoster;

// The registry file of a signature; signatures are case-insensitive.
status_t
RegistryFile(const char* signature, std::string& file, std::string* folder = NULL)
{
	// The writer makes the settings folder of a home that has none yet (a first start).
	BPath settings;
	status_t status = find_directory(B_USER_SETTINGS_DIRECTORY, &settings, folder != NULL);
	if (status != B_OK)
		return status;
	std::string directory = std::string(settings.Path()) + "/Roster";
	std::string name;
	for (const char* c = signature; *c != '\0'; c++) {
		if (*c == '/' || *c == '%') {
			char escaped[4];
			snprintf(escaped, sizeof(escaped), "%%%02X", (unsigned char)*c);
			name += escaped;
		} else
			name += (char)tolower((unsigned char)*c);
	}
	file = directory + "/" + name;
	if (folder != NULL)
		*folder = directory;
	return B_OK;
}

std::string
FindInPath(const char* program)
{
	const char* path = getenv("PATH");
	std::string paths = path != NULL ? path : "/usr/bin:/bin";
	size_t start = 0;
	while (start <= paths.size()) {
		size_t end = paths.find(':', start);
		if (end == std::string::npos)
			end = paths.size();
		std::string candidate = paths.substr(start, end - start) + "/" + program;
		if (end > start && access(candidate.c_str(), X_OK) == 0)
			return candidate;
		start = end + 1;
	}
	return "";
}

} // namespace

const BRoster* be_roster = &sRoster;

app_info::app_info() :
	thread(-1),
	team(-1),
	port(-1),
	flags(B_SINGLE_LAUNCH)
{
	signature[0] = '\0';
}

app_info::~app_info()
{
}

BRoster::BRoster()
{
}

BRoster::~BRoster()
{
}

status_t
BRoster::_RegisterApp(const char* signature, const char* executablePath)
{
	if (signature == NULL || executablePath == NULL)
		return B_BAD_VALUE;
	std::string file, folder;
	status_t status = RegistryFile(signature, file, &folder);
	if (status != B_OK)
		return status;
	if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
		return BPrivate::host_error_to_status(errno);

	// Written whole and renamed into place, so a reader never sees half a path.
	std::string temporary = file + ".XXXXXX";
	std::vector<char> name(temporary.begin(), temporary.end());
	name.push_back('\0');
	int fd = mkstemp(name.data());
	if (fd < 0)
		return BPrivate::host_error_to_status(errno);
	std::string content = std::string(executablePath) + "\n";
	bool written = write(fd, content.data(), content.size()) == (ssize_t)content.size();
	int error = written ? 0 : errno;
	close(fd);
	if (written && rename(name.data(), file.c_str()) == 0)
		return B_OK;
	error = error != 0 ? error : errno;
	unlink(name.data());
	return error != 0 ? BPrivate::host_error_to_status(error) : B_IO_ERROR;
}

status_t
BRoster::FindApp(const char* mimeType, entry_ref* app) const
{
	if (mimeType == NULL || app == NULL)
		return B_BAD_VALUE;
	std::string file;
	status_t status = RegistryFile(mimeType, file);
	if (status != B_OK)
		return status;
	FILE* stream = fopen(file.c_str(), "r");
	if (stream == NULL) {
		if (errno == ENOENT)
			return B_LAUNCH_FAILED_APP_NOT_FOUND;
		return BPrivate::host_error_to_status(errno);
	}
	char path[B_PATH_NAME_LENGTH];
	bool read = fgets(path, sizeof(path), stream) != NULL;
	fclose(stream);
	if (!read)
		return B_LAUNCH_FAILED_APP_NOT_FOUND;
	path[strcspn(path, "\n")] = '\0';
	if (path[0] != '/' || access(path, F_OK) != 0)
		return B_LAUNCH_FAILED_APP_NOT_FOUND;
	return get_ref_for_path(path, app);
}

status_t
BRoster::FindApp(entry_ref* ref, entry_ref* app) const
{
	if (ref == NULL || app == NULL)
		return B_BAD_VALUE;
	BPath path(ref);
	if (path.InitCheck() != B_OK || access(path.Path(), X_OK) != 0)
		return B_LAUNCH_FAILED_APP_NOT_FOUND;
	*app = *ref;
	return B_OK;
}

status_t
BRoster::Launch(const char* mimeType, BMessage* /*initialMessage*/, team_id* appTeam) const
{
	return Launch(mimeType, 0, NULL, appTeam);
}

status_t
BRoster::Launch(const char* mimeType, int argc, char** args, team_id* appTeam) const
{
	if (mimeType == NULL || argc < 0 || (argc > 0 && args == NULL))
		return B_BAD_VALUE;
	std::vector<std::string> arguments;
	for (int i = 0; i < argc; i++)
		arguments.push_back(args[i] != NULL ? args[i] : "");

	entry_ref app;
	if (FindApp(mimeType, &app) == B_OK)
		return Launch(&app, argc, args, appTeam);

	// Web and mail addresses go to the desktop's preferred application.
	if (strcasecmp(mimeType, "text/html") == 0 || strcasecmp(mimeType, "text/x-email") == 0) {
		if (argc < 1)
			return B_BAD_VALUE;
		std::string opener = FindInPath("xdg-open");
		if (opener.empty())
			return B_LAUNCH_FAILED_NO_PREFERRED_APP;
		return BPrivate::ProcessLauncher::Start(opener, std::vector<std::string>(1, arguments[0]),
			appTeam);
	}
	return B_LAUNCH_FAILED_NO_PREFERRED_APP;
}

status_t
BRoster::Launch(const entry_ref* ref, int argc, char** args, team_id* appTeam) const
{
	if (ref == NULL || argc < 0 || (argc > 0 && args == NULL))
		return B_BAD_VALUE;
	BPath path(ref);
	if (path.InitCheck() != B_OK)
		return B_LAUNCH_FAILED_APP_NOT_FOUND;
	std::vector<std::string> arguments;
	for (int i = 0; i < argc; i++)
		arguments.push_back(args[i] != NULL ? args[i] : "");
	return BPrivate::ProcessLauncher::Start(path.Path(), arguments, appTeam);
}

/*
 * Wraps the host's posix_spawn and waitpid.
 */
#include "ProcessLauncher.h"

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <thread>

extern char** environ;

namespace BPrivate {

status_t
ProcessLauncher::Start(const std::string& program, const std::vector<std::string>& args,
	team_id* team, const char* output)
{
	std::vector<char*> argv;
	argv.push_back(const_cast<char*>(program.c_str()));
	for (const std::string& arg : args)
		argv.push_back(const_cast<char*>(arg.c_str()));
	argv.push_back(NULL);

	posix_spawn_file_actions_t actions;
	posix_spawnattr_t attributes;
	posix_spawn_file_actions_init(&actions);
	posix_spawnattr_init(&attributes);
	if (output != NULL) {
		posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
		// A symbolic link put in the file's place is not followed (the start fails instead).
		posix_spawn_file_actions_addopen(&actions, 1, output,
			O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW, 0600);
		posix_spawn_file_actions_adddup2(&actions, 1, 2);
		posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
	}
	pid_t child;
	int result = posix_spawn(&child, program.c_str(), &actions, &attributes, argv.data(), environ);
	posix_spawn_file_actions_destroy(&actions);
	posix_spawnattr_destroy(&attributes);
	if (result != 0)
		return B_LAUNCH_FAILED_EXECUTABLE;

	std::thread([child] {
		int status;
		while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
		}
	}).detach();
	if (team != NULL)
		*team = (team_id)child;
	return B_OK;
}

} // namespace BPrivate

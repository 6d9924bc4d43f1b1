/*
 * Private to the kits: starts host programs as processes of their own and collects their exit
 * in the background, so that no launched team lingers as a zombie.
 */
#ifndef _PROCESS_LAUNCHER_H
#define _PROCESS_LAUNCHER_H

#include <string>
#include <vector>

#include <OS.h>

namespace BPrivate {

class ProcessLauncher {
public:
	// Starts `program` with `args`. With `output`, the process runs in a session of its own
	// with no input and its output appended to that file; otherwise it shares ours.
	static status_t Start(const std::string& program, const std::vector<std::string>& args,
		team_id* team, const char* output = NULL);
};

} // namespace BPrivate

#endif // _PROCESS_LAUNCHER_H

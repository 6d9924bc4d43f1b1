/*
 * BRoster: finds the application registered for a signature and launches the preferred
 * application for a type. The registry behind it is a folder of the user settings directory
 * holding one small file per signature, written by every BApplication when it starts, so all
 * processes of the user share it. Roster notifications, recent documents and team control are
 * not provided.
 */
#ifndef _ROSTER_H
#define _ROSTER_H

#include <Entry.h>
#include <OS.h>
#include <StorageDefs.h>

class BMessage;

struct app_info {
	app_info();
	~app_info();

	thread_id thread;
	team_id team;
	port_id port;
	uint32 flags;
	entry_ref ref;
	char signature[B_MIME_TYPE_LENGTH];
};

#define B_LAUNCH_MASK (0x3)
#define B_SINGLE_LAUNCH (0x0)
#define B_MULTIPLE_LAUNCH (0x1)
#define B_EXCLUSIVE_LAUNCH (0x2)
#define B_BACKGROUND_APP (0x4)
#define B_ARGV_ONLY (0x8)
#define _B_APP_INFO_RESERVED1_ (0x10000000)

class BRoster {
public:
	BRoster();
	~BRoster();

	status_t FindApp(const char* mimeType, entry_ref* app) const;
	status_t FindApp(entry_ref* ref, entry_ref* app) const;

	status_t Launch(const char* mimeType, BMessage* initialMessage = NULL,
		team_id* appTeam = NULL) const;
	status_t Launch(const char* mimeType, int argc, char** args, team_id* appTeam = NULL) const;
	status_t Launch(const entry_ref* ref, int argc, char** args, team_id* appTeam = NULL) const;

	// Host side: records `executablePath` as the application of `signature`.
	static status_t _RegisterApp(const char* signature, const char* executablePath);
};

extern const BRoster* be_roster;

#endif // _ROSTER_H

#include "Launcher.h"

#include <stdio.h>

#include <Deskbar.h>
#include <Entry.h>
#include <Path.h>
#include <Roster.h>

#include "PreferencesEdit.h"
#include "ZorveConstants.h"

Launcher::Launcher() :
	BApplication(kAppSignature)
{
	{
		// Recorded on every start, so the replicant finds the file that was started last.
		PreferencesEdit prefs;
		app_info info;
		GetAppInfo(&info);
		BPath path;
		path.SetTo(&info.ref);
		prefs->fApplicationPath = path.Path() != NULL ? path.Path() : "";
		prefs.Commit();
		// A file that could not be read was kept, not overwritten: the user learns where.
		if (prefs->DamagedCopy()[0] != '\0')
			printf("Error Preferences unreadable, kept as %s\n", prefs->DamagedCopy());
	}

	BDeskbar deskbar;
	if (deskbar.HasItem(kReplicantName))
		return;

	// The Deskbar is handed the roster's answer, not this file's own entry.
	BRoster roster;
	entry_ref ref;
	if (roster.FindApp(kAppSignature, &ref) != B_OK)
		printf("Error Application not find\n");
	if (deskbar.AddItem(&ref, NULL) != B_OK)
		printf("Error on the Install of Replicant\n");
}

Launcher::~Launcher()
{
}

/*
 * Launcher: the application object of a start as a program. Its constructor does the whole
 * job: the preferences file exists and records this executable's path, and the replicant is
 * installed in the Deskbar when it is not there yet. Its message loop never runs.
 */
#ifndef LAUNCHER_H
#define LAUNCHER_H

#include <Application.h>

class Launcher : public BApplication {
public:
	Launcher();
	~Launcher() override;
};

#endif // LAUNCHER_H

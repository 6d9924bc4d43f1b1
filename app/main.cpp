#include "Launcher.h"

int
main(int /*argc*/, char** /*argv*/)
{
	// The launcher's constructor does all the work; no message loop runs.
	Launcher* launcher = new Launcher();
	delete launcher;
	return 0;
}

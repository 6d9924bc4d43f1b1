#include <stddef.h>

#include "Launcher.h"

class BView;

// Called by the Deskbar when it loads this image as an add-on. The status icon's view class
// is not part of this build yet, so there is no view to give and the Deskbar refuses the item.
extern "C" BView* instantiate_deskbar_item();

BView*
instantiate_deskbar_item()
{
	return NULL;
}

int
main(int /*argc*/, char** /*argv*/)
{
	// The launcher's constructor does all the work; no message loop runs.
	Launcher* launcher = new Launcher();
	delete launcher;
	return 0;
}

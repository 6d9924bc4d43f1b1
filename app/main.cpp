// Placeholder until the launcher lands: the program does nothing yet, and the Deskbar item
// comes with the replicant.
#include <stddef.h>

class BView;

extern "C" BView* instantiate_deskbar_item();

int
main()
{
	return 0;
}

BView*
instantiate_deskbar_item()
{
	return NULL;
}

/*
 * Deskbar: the host of the user's Deskbar shelf. Started by BDeskbar when none runs.
 */
#include "DeskbarApplication.h"

int
main()
{
	DeskbarApplication application;
	return application.Serve();
}

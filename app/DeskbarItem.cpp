/*
 * The image's entry for the Deskbar, which loads the application as an add-on and asks it
 * for the view to put in its shelf.
 */
#include <BeBuild.h>

#include "ZorveReplicant.h"

extern "C" _EXPORT BView* instantiate_deskbar_item();

BView*
instantiate_deskbar_item()
{
	return new ZorveReplicant();
}

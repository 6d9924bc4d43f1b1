/*
 * Icon sizes. BMimeType and the MIME database are not provided.
 */
#ifndef _MIME_H
#define _MIME_H

#include <StorageDefs.h>
#include <SupportDefs.h>

enum icon_size {
	B_LARGE_ICON = 32,
	B_MINI_ICON = 16
};

#endif // _MIME_H

/*
 * Constants of the storage kit, with their BeOS values. The open modes are BeOS's own and are
 * translated to the host's flags by BFile, never aliased to them.
 */
#ifndef _STORAGE_DEFS_H
#define _STORAGE_DEFS_H

#include <limits.h>

#include <SupportDefs.h>

#define B_DEV_NAME_LENGTH 128
#define B_FILE_NAME_LENGTH 256
#define B_PATH_NAME_LENGTH 1024
#define B_ATTR_NAME_LENGTH (B_FILE_NAME_LENGTH - 1)
#define B_MIME_TYPE_LENGTH (B_ATTR_NAME_LENGTH - 15)
#define B_MAX_SYMLINKS 16

enum {
	B_READ_ONLY = 0x0000,
	B_WRITE_ONLY = 0x0001,
	B_READ_WRITE = 0x0002,
	B_FAIL_IF_EXISTS = 0x0100,
	B_CREATE_FILE = 0x0200,
	B_ERASE_FILE = 0x0400,
	B_OPEN_AT_END = 0x0800
};

enum node_flavor {
	B_FILE_NODE = 0x01,
	B_SYMLINK_NODE = 0x02,
	B_DIRECTORY_NODE = 0x04,
	B_ANY_NODE = 0x07
};

#endif // _STORAGE_DEFS_H

/*
 * Wraps the host's errno values: one table maps them to BeOS status codes.
 */
#include "HostErrors.h"

#include <errno.h>

namespace BPrivate {

struct ErrorMapping {
	int hostError;
	status_t status;
};

static const ErrorMapping sErrorMappings[] = {
	{ENOMEM, B_NO_MEMORY},
	{EIO, B_IO_ERROR},
	{EACCES, B_PERMISSION_DENIED},
	{EPERM, B_NOT_ALLOWED},
	{EINVAL, B_BAD_VALUE},
	{ETIMEDOUT, B_TIMED_OUT},
	{EINTR, B_INTERRUPTED},
	{EAGAIN, B_WOULD_BLOCK},
	{EBUSY, B_BUSY},
	{EFAULT, B_BAD_ADDRESS},
	{EBADF, B_FILE_ERROR},
	{EEXIST, B_FILE_EXISTS},
	{ENOENT, B_ENTRY_NOT_FOUND},
	{ENAMETOOLONG, B_NAME_TOO_LONG},
	{ENOTDIR, B_NOT_A_DIRECTORY},
	{ENOTEMPTY, B_DIRECTORY_NOT_EMPTY},
	{ENOSPC, B_DEVICE_FULL},
	{EROFS, B_READ_ONLY_DEVICE},
	{EISDIR, B_IS_A_DIRECTORY},
	{EMFILE, B_NO_MORE_FDS},
	{ENFILE, B_NO_MORE_FDS},
	{EXDEV, B_CROSS_DEVICE_LINK},
	{ELOOP, B_LINK_LIMIT},
	{EPIPE, B_BUSTED_PIPE},
	{ENOTSUP, B_UNSUPPORTED},
	{ENOEXEC, B_NOT_AN_EXECUTABLE},
	{ECANCELED, B_CANCELED},
};

status_t
host_error_to_status(int hostError)
{
	if (hostError == 0)
		return B_OK;
	for (const ErrorMapping& mapping : sErrorMappings) {
		if (mapping.hostError == hostError)
			return mapping.status;
	}
	return B_ERROR;
}

} // namespace BPrivate

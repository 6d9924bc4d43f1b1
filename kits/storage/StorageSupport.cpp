#include "StorageSupport.h"

#include <DataIO.h>

namespace BPrivate {

status_t
read_exactly(BPositionIO* file, off_t position, void* buffer, size_t size)
{
	uint8* bytes = static_cast<uint8*>(buffer);
	while (size > 0) {
		ssize_t result = file->ReadAt(position, bytes, size);
		if (result < 0)
			return (status_t)result;
		if (result == 0)
			return B_BAD_DATA;
		bytes += result;
		position += result;
		size -= (size_t)result;
	}
	return B_OK;
}

status_t
write_exactly(BPositionIO* file, off_t position, const void* buffer, size_t size)
{
	const uint8* bytes = static_cast<const uint8*>(buffer);
	while (size > 0) {
		ssize_t result = file->WriteAt(position, bytes, size);
		if (result < 0)
			return (status_t)result;
		if (result == 0)
			return B_IO_ERROR;
		bytes += result;
		position += result;
		size -= (size_t)result;
	}
	return B_OK;
}

} // namespace BPrivate

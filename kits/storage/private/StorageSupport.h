/*
 * Private to the storage kit: reading of the little-endian binary formats it parses (the
 * resource format and the ELF images resources follow) and exact reads and writes at an
 * offset.
 */
#ifndef _STORAGE_SUPPORT_H
#define _STORAGE_SUPPORT_H

#include <SupportDefs.h>

class BPositionIO;

namespace BPrivate {

inline uint16
read_le16(const uint8* p)
{
	return (uint16)(p[0] | (p[1] << 8));
}

inline uint32
read_le32(const uint8* p)
{
	return (uint32)p[0] | ((uint32)p[1] << 8) | ((uint32)p[2] << 16) | ((uint32)p[3] << 24);
}

inline uint64
read_le64(const uint8* p)
{
	return (uint64)read_le32(p) | ((uint64)read_le32(p + 4) << 32);
}

inline uint64
align_up(uint64 value, uint64 alignment)
{
	return (value + alignment - 1) / alignment * alignment;
}

// Reads or writes all `size` bytes at `position`; a file that ends first is B_BAD_DATA when
// read, B_IO_ERROR when written.
status_t read_exactly(BPositionIO* file, off_t position, void* buffer, size_t size);
status_t write_exactly(BPositionIO* file, off_t position, const void* buffer, size_t size);

} // namespace BPrivate

#endif // _STORAGE_SUPPORT_H

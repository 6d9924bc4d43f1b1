#include "Checksum.h"

namespace BPrivate {

uint32
word_checksum(const uint8* data, size_t length)
{
	uint32 sum = 0;
	size_t i = 0;
	for (; i + 4 <= length; i += 4) {
		sum += (uint32)data[i] << 24 | (uint32)data[i + 1] << 16 | (uint32)data[i + 2] << 8
			| (uint32)data[i + 3];
	}
	uint32 rest = 0;
	for (; i < length; i++)
		rest = rest << 8 | data[i];
	return sum + rest;
}

} // namespace BPrivate

/*
 * For the fuzz targets that read flattened messages: nearly every mutation breaks a message's
 * declared size and header checksum, and would otherwise never reach its fields. Repaired()
 * gives the input with both set right.
 */
#ifndef MESSAGE_REPAIR_H
#define MESSAGE_REPAIR_H

#include <stdint.h>
#include <string.h>

#include <vector>

#include "Checksum.h"
#include "MessageFormat.h"

namespace {

void
PutUInt32(uint8_t* target, uint32_t value, bool bigEndian)
{
	for (int i = 0; i < 4; i++)
		target[i] = (uint8_t)(value >> (bigEndian ? (3 - i) * 8 : i * 8));
}

// The input with the size field set to its length and the header checksum recomputed;
// empty when it does not start like an R5 message.
std::vector<uint8_t>
Repaired(const uint8_t* data, size_t size)
{
	const size_t kHeaderSize = BPrivate::MessageFormat::kHeaderSize;
	if (size < kHeaderSize)
		return std::vector<uint8_t>();
	bool bigEndian;
	if (memcmp(data, "1BOF", 4) == 0)
		bigEndian = false;
	else if (memcmp(data, "FOB1", 4) == 0)
		bigEndian = true;
	else
		return std::vector<uint8_t>();

	std::vector<uint8_t> bytes(data, data + size);
	PutUInt32(&bytes[8], (uint32_t)size, bigEndian);
	size_t headerSize = kHeaderSize + ((bytes[16] & 0x02) ? 4 : 0) + ((bytes[16] & 0x04) ? 16 : 0);
	if (headerSize > size)
		headerSize = kHeaderSize;
	PutUInt32(&bytes[4], BPrivate::word_checksum(&bytes[8], headerSize - 8), bigEndian);
	return bytes;
}

} // namespace

#endif // MESSAGE_REPAIR_H

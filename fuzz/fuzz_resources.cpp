/*
 * Reads arbitrary bytes as a resource file (tagged, ELF or unknown). Whatever is accepted must
 * flatten again and read back from the copy with the same resources. Each input is tried as it
 * is and with its info table's checksum set right, since nearly every mutation breaks the
 * checksum and would otherwise never reach the table's structure.
 */
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include <DataIO.h>

#include "ResourceFile.h"

using BPrivate::ResourceFile;
using BPrivate::ResourceItem;

namespace {

void
Check(bool condition)
{
	if (!condition)
		abort();
}

uint32_t
Get32(const uint8_t* p)
{
	return p[0] | (p[1] << 8) | (p[2] << 16) | ((uint32_t)p[3] << 24);
}

void
TryParse(const uint8_t* data, size_t size)
{
	BMemoryIO io(data, size);
	ResourceFile resources;
	if (resources.Read(&io, false) != 0)
		return;

	std::vector<uint8> copy = resources.Flatten();
	ResourceFile again;
	Check(again.Unflatten(copy.data(), copy.size()) == 0);
	Check(again.CountItems() == resources.CountItems());
	for (int32 i = 0; i < resources.CountItems(); i++) {
		const ResourceItem* item = resources.ItemAt(i);
		// Two resources may share a type and id in a foreign file; lookups find the first.
		if (resources.Find(item->type, item->id) != item)
			continue;
		const ResourceItem* found = again.Find(item->type, item->id);
		Check(found != NULL);
		Check(found->name == item->name);
		Check(found->size == item->size);
		Check(memcmp(found->data.get(), item->data.get(), item->size) == 0);
	}
}

} // namespace

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	TryParse(data, size);

	// A tagged file with its checksum recomputed.
	const size_t start = 4;
	if (size < start + 0xC8 || memcmp(data, "RS\0\0", 4) != 0)
		return 0;
	const uint8_t* section = data + start;
	const size_t sectionSize = size - start;
	const uint32_t infoOffset = Get32(section + 0xBC);
	const uint32_t infoSize = Get32(section + 0xC0);
	if (infoOffset > sectionSize || infoSize > sectionSize - infoOffset || infoSize < 8)
		return 0;
	std::vector<uint8_t> fixed(data, data + size);
	uint8_t* info = fixed.data() + start + infoOffset;
	uint32_t sum = 0;
	uint32_t word = 0;
	for (uint32_t i = 0; i < infoSize - 8; i++) {
		word = (word << 8) | info[i];
		if (i % 4 == 3) {
			sum += word;
			word = 0;
		}
	}
	sum += word;
	for (int i = 0; i < 4; i++)
		info[infoSize - 8 + i] = (uint8_t)(sum >> (8 * i));
	TryParse(fixed.data(), fixed.size());
	return 0;
}

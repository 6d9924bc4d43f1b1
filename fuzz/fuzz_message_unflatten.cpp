/*
 * Unflattens arbitrary bytes as a BMessage. Whatever is accepted must flatten again, read back
 * from the flattened copy, and keep its flattened size and bytes through that round. Each input
 * is tried as it is and with its declared size and checksum set right, since nearly every
 * mutation breaks those and would otherwise never reach the fields.
 */
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include <DataIO.h>
#include <Message.h>

#include "Checksum.h"
#include "MessageFormat.h"

namespace {

void
Check(bool condition)
{
	if (!condition)
		abort();
}

// Touches every item the way a program reading the message would.
void
Walk(const BMessage& message)
{
	char* name;
	type_code type;
	int32 count;
	for (int32 i = 0; message.GetInfo(B_ANY_TYPE, i, &name, &type, &count) == B_OK; i++) {
		for (int32 j = 0; j < count; j++) {
			const void* data;
			ssize_t size;
			Check(message.FindData(name, type, j, &data, &size) == B_OK);
			if (type == B_STRING_TYPE) {
				const char* text;
				Check(message.FindString(name, j, &text) == B_OK);
				Check(strlen(text) < (size_t)size);
			} else if (type == B_MESSAGE_TYPE) {
				BMessage nested;
				Check(message.FindMessage(name, j, &nested) == B_OK);
			}
		}
	}
}

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

void
TryInput(const uint8_t* data, size_t size)
{
	BMemoryIO stream(data, size);
	BMessage message;
	if (message.Unflatten(&stream) != B_OK) {
		Check(message.IsEmpty() && message.what == 0);
		return;
	}
	// The stream read the declared size, so the buffer form may read as much.
	BMessage fromBuffer;
	Check(fromBuffer.Unflatten((const char*)data) == B_OK);
	Walk(message);

	ssize_t flatSize = message.FlattenedSize();
	std::vector<char> flat(flatSize);
	Check(message.Flatten(flat.data(), flatSize) == B_OK);

	BMessage copy;
	Check(copy.Unflatten(flat.data()) == B_OK);
	Check(copy.what == message.what);
	Check(copy.FlattenedSize() == flatSize);
	std::vector<char> again(flatSize);
	Check(copy.Flatten(again.data(), flatSize) == B_OK);
	Check(again == flat);
}

} // namespace

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	TryInput(data, size);
	std::vector<uint8_t> repaired = Repaired(data, size);
	if (!repaired.empty())
		TryInput(repaired.data(), repaired.size());
	return 0;
}

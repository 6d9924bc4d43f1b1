/*
 * Unflattens arbitrary bytes as a BMessage. Whatever is accepted must flatten again, read back
 * from the flattened copy, and keep its flattened size and bytes through that round. Each input
 * is tried as it is and repaired.
 */
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include <DataIO.h>
#include <Message.h>

#include "FuzzCheck.h"
#include "MessageRepair.h"

namespace {

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

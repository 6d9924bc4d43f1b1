/*
 * The BeOS R5 flattened message format ('FOB1'), private to the kits: one writer and one
 * bounded reader, used by BMessage. The writer produces the host-order form (little-endian on
 * x86) with the one-byte "mini" sizes wherever they fit; the reader takes either byte order,
 * with or without mini sizes, skips the optional header parts and verifies the checksum.
 */
#ifndef MESSAGE_FORMAT_H
#define MESSAGE_FORMAT_H

#include <string>

#include <SupportDefs.h>

#include "MessageField.h"

namespace BPrivate {

class MessageFormat {
public:
	static const size_t kHeaderSize = 17;
	static const size_t kMinFlattenedSize = kHeaderSize + 1;
	// Refused when reading: nothing in this system comes near it, and it bounds what a
	// declared size can make the reader allocate.
	static const size_t kMaxFlattenedSize = 64 * 1024 * 1024;
	// Messages nested deeper are refused: no message here nests more than a few levels, and
	// each level is read, and kept in our form, once more.
	static const int kMaxNesting = 8;

	static size_t FlattenedSize(const MessageFieldList& fields);
	// Writes exactly FlattenedSize(fields) bytes into buffer.
	static void Flatten(uint32 what, const MessageFieldList& fields, uint8* buffer);

	// Checks the magic of the first `available` header bytes and returns the declared size:
	// B_NOT_A_MESSAGE for a foreign magic, B_BAD_DATA for a short header or a size out of
	// bounds.
	static status_t ReadSize(const uint8* header, size_t available, size_t* _size);
	// Parses a whole flattened message of exactly `length` bytes.
	static status_t Unflatten(const uint8* data, size_t length, uint32* _what,
		MessageFieldList* _fields);

	// Checks an item about to be added against its type: the size of a numeric type, the
	// terminator of a string, a nested message that must read back (it is then kept as our
	// writer writes it). `depth` is the nesting level the item would have.
	static status_t PrepareItem(type_code type, std::string* item, int depth);
};

} // namespace BPrivate

#endif // MESSAGE_FORMAT_H

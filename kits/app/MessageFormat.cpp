#include "MessageFormat.h"

#include <string.h>

#include <unordered_set>
#include <utility>

#include <TypeConstants.h>

#include "Checksum.h"

namespace BPrivate {

namespace {

const uint32 kFormatR5 = 'FOB1';
const uint32 kFormatR5Swapped = '1BOF';

const uint8 kHeaderFlagValid = 0x01;
const uint8 kHeaderFlagTarget = 0x02;
const uint8 kHeaderFlagReplyInfo = 0x04;
const size_t kTargetSize = 4;
const size_t kReplyInfoSize = 16;

const uint8 kFieldFlagValid = 0x01;
const uint8 kFieldFlagMini = 0x02;
const uint8 kFieldFlagFixedSize = 0x04;
const uint8 kFieldFlagSingleItem = 0x08;
const uint8 kFieldFlagsKnown = 0x0F;

const size_t kMaxMiniValue = 255;
// A variable item is at least its size prefix, padded to the 8-byte boundary.
const size_t kMinVariableChunk = 8;

inline uint32
Swap32(uint32 value)
{
	return __builtin_bswap32(value);
}

inline size_t
PaddedChunkSize(size_t itemSize)
{
	return (4 + itemSize + 7) & ~(size_t)7;
}

// Width of the numbers an item of this type is made of (0: bytes, never swapped) and the
// size every item must have (0: any).
void
TypeLayout(type_code type, size_t* _width, size_t* _itemSize)
{
	size_t width = 0;
	size_t itemSize = 0;
	switch (type) {
		case B_INT8_TYPE:
		case B_UINT8_TYPE:
		case B_CHAR_TYPE:
		case B_BOOL_TYPE:
			itemSize = 1;
			break;
		case B_INT16_TYPE:
		case B_UINT16_TYPE:
			width = itemSize = 2;
			break;
		case B_INT32_TYPE:
		case B_UINT32_TYPE:
		case B_FLOAT_TYPE:
			width = itemSize = 4;
			break;
		case B_INT64_TYPE:
		case B_UINT64_TYPE:
		case B_DOUBLE_TYPE:
		case B_OFF_T_TYPE:
			width = itemSize = 8;
			break;
		case B_POINT_TYPE:
			width = 4;
			itemSize = 8;
			break;
		case B_RECT_TYPE:
			width = 4;
			itemSize = 16;
			break;
	}
	*_width = width;
	*_itemSize = itemSize;
}

void
SwapItem(std::string* item, size_t width)
{
	char* data = &(*item)[0];
	for (size_t offset = 0; offset + width <= item->size(); offset += width) {
		for (size_t i = 0; i < width / 2; i++)
			std::swap(data[offset + i], data[offset + width - 1 - i]);
	}
}

class Writer {
public:
	Writer(uint8* buffer) :
		fBuffer(buffer),
		fPosition(0)
	{
	}

	void Write(const void* data, size_t size)
	{
		if (size > 0)
			memcpy(fBuffer + fPosition, data, size);
		fPosition += size;
	}
	void WriteUInt8(uint8 value) { Write(&value, 1); }
	void WriteUInt32(uint32 value) { Write(&value, 4); }
	void WriteZeros(size_t size)
	{
		memset(fBuffer + fPosition, 0, size);
		fPosition += size;
	}

private:
	uint8* fBuffer;
	size_t fPosition;
};

// Reads the writer's byte order; every read is checked against the end.
class Reader {
public:
	Reader(const uint8* data, size_t length, bool swap) :
		fData(data),
		fLength(length),
		fPosition(0),
		fSwap(swap)
	{
	}

	size_t Remaining() const { return fLength - fPosition; }
	size_t Position() const { return fPosition; }
	const uint8* Current() const { return fData + fPosition; }

	bool Skip(size_t size)
	{
		if (size > Remaining())
			return false;
		fPosition += size;
		return true;
	}
	bool ReadUInt8(uint8* value)
	{
		if (Remaining() < 1)
			return false;
		*value = fData[fPosition++];
		return true;
	}
	bool ReadUInt32(uint32* value)
	{
		if (Remaining() < 4)
			return false;
		memcpy(value, fData + fPosition, 4);
		if (fSwap)
			*value = Swap32(*value);
		fPosition += 4;
		return true;
	}
	// A count or size: one byte in mini form, else four.
	bool ReadSize(bool mini, uint32* value)
	{
		if (!mini)
			return ReadUInt32(value);
		uint8 small;
		if (!ReadUInt8(&small))
			return false;
		*value = small;
		return true;
	}

private:
	const uint8* fData;
	size_t fLength;
	size_t fPosition;
	bool fSwap;
};

status_t ParseMessage(const uint8* data, size_t length, int depth, uint32* _what,
	MessageFieldList* _fields);

// A nested message, read straight from its bytes and written as we would write it, whatever
// byte order or form it came in. Each level is read once and written once, so a deep message
// costs its size times its depth, never more.
status_t
CanonicalMessage(const uint8* data, size_t size, int depth, std::string* _flat)
{
	if (depth > MessageFormat::kMaxNesting)
		return B_BAD_DATA;
	uint32 what;
	MessageFieldList fields;
	status_t status = ParseMessage(data, size, depth, &what, &fields);
	if (status != B_OK)
		return status == B_NOT_A_MESSAGE ? B_BAD_DATA : status;
	std::string flat(MessageFormat::FlattenedSize(fields), '\0');
	MessageFormat::Flatten(what, fields, (uint8*)&flat[0]);
	_flat->swap(flat);
	return B_OK;
}

status_t
CheckItem(type_code type, std::string* item, bool swap, int depth)
{
	size_t width;
	size_t itemSize;
	TypeLayout(type, &width, &itemSize);
	if (itemSize != 0 && item->size() != itemSize)
		return B_BAD_DATA;
	if (swap && width > 1)
		SwapItem(item, width);

	if (type == B_STRING_TYPE) {
		// The terminator is stored; without it the text would run past the item.
		if (item->empty() || item->back() != '\0')
			return B_BAD_DATA;
	} else if (type == B_MESSAGE_TYPE)
		return CanonicalMessage((const uint8*)item->data(), item->size(), depth, item);
	return B_OK;
}

status_t
AddCheckedItem(MessageField* field, const uint8* data, size_t size, bool swap, int depth)
{
	if (field->Type() == B_MESSAGE_TYPE) {
		std::string flat;
		status_t status = CanonicalMessage(data, size, depth, &flat);
		if (status == B_OK)
			field->AdoptItem(std::move(flat));
		return status;
	}
	std::string item((const char*)data, size);
	status_t status = CheckItem(field->Type(), &item, swap, depth);
	if (status != B_OK)
		return status;
	return field->AddItem(item.data(), item.size()) == B_OK ? B_OK : B_BAD_DATA;
}

status_t
ParseField(Reader& reader, uint8 flags, bool swap, int depth, MessageFieldList* fields)
{
	if ((flags & kFieldFlagValid) == 0 || (flags & ~kFieldFlagsKnown) != 0)
		return B_BAD_DATA;
	bool mini = (flags & kFieldFlagMini) != 0;
	bool fixedSize = (flags & kFieldFlagFixedSize) != 0;

	uint32 type;
	uint32 count = 1;
	uint32 dataSize;
	uint8 nameLength;
	if (!reader.ReadUInt32(&type)
		|| ((flags & kFieldFlagSingleItem) == 0 && !reader.ReadSize(mini, &count))
		|| !reader.ReadSize(mini, &dataSize) || !reader.ReadUInt8(&nameLength)
		|| nameLength > reader.Remaining())
		return B_BAD_DATA;
	std::string name((const char*)reader.Current(), nameLength);
	reader.Skip(nameLength);
	// Names are looked up as C strings: one with a NUL inside could never be found.
	if (name.find('\0') != std::string::npos)
		return B_BAD_DATA;

	// Checked before anything is allocated: the count must be possible in the data part,
	// and the data part must lie within the message.
	if (count == 0 || dataSize == 0 || dataSize > reader.Remaining())
		return B_BAD_DATA;
	if (fixedSize ? dataSize % count != 0 : count > dataSize / kMinVariableChunk)
		return B_BAD_DATA;
	const uint8* data = reader.Current();
	reader.Skip(dataSize);

	// Nested messages change size when brought to our form, so they never share one size.
	MessageField field(name, type, fixedSize && type != B_MESSAGE_TYPE);
	if (fixedSize) {
		size_t itemSize = dataSize / count;
		for (uint32 i = 0; i < count; i++) {
			status_t status = AddCheckedItem(&field, data + i * itemSize, itemSize, swap,
				depth + 1);
			if (status != B_OK)
				return status;
		}
	} else {
		Reader items(data, dataSize, swap);
		for (uint32 i = 0; i < count; i++) {
			uint32 itemSize;
			if (!items.ReadUInt32(&itemSize) || itemSize > items.Remaining())
				return B_BAD_DATA;
			const uint8* item = items.Current();
			if (!items.Skip(PaddedChunkSize(itemSize) - 4))
				return B_BAD_DATA;
			status_t status = AddCheckedItem(&field, item, itemSize, swap, depth + 1);
			if (status != B_OK)
				return status;
		}
		if (items.Remaining() != 0)
			return B_BAD_DATA;
	}
	fields->push_back(std::move(field));
	return B_OK;
}

status_t
ParseMessage(const uint8* data, size_t length, int depth, uint32* _what, MessageFieldList* _fields)
{
	size_t declaredSize;
	status_t status = MessageFormat::ReadSize(data, length, &declaredSize);
	if (status != B_OK)
		return status;
	if (declaredSize != length)
		return B_BAD_DATA;

	uint32 magic;
	memcpy(&magic, data, 4);
	bool swap = magic == kFormatR5Swapped;
	Reader reader(data, length, swap);
	uint32 checksum = 0;
	uint32 size = 0;
	uint32 what = 0;
	uint8 flags = 0;
	if (!reader.Skip(4) || !reader.ReadUInt32(&checksum) || !reader.ReadUInt32(&size)
		|| !reader.ReadUInt32(&what) || !reader.ReadUInt8(&flags)) {
		return B_BAD_DATA;
	}
	if ((flags & kHeaderFlagValid) == 0)
		return B_BAD_DATA;
	// Target token and reply info only matter to a delivered message.
	if ((flags & kHeaderFlagTarget) != 0 && !reader.Skip(kTargetSize))
		return B_BAD_DATA;
	if ((flags & kHeaderFlagReplyInfo) != 0 && !reader.Skip(kReplyInfoSize))
		return B_BAD_DATA;
	if (word_checksum(data + 8, reader.Position() - 8) != checksum)
		return B_BAD_DATA;

	MessageFieldList fields;
	std::unordered_set<std::string> names;
	for (;;) {
		uint8 fieldFlags;
		if (!reader.ReadUInt8(&fieldFlags))
			return B_BAD_DATA;
		if (fieldFlags == 0)
			break;
		status = ParseField(reader, fieldFlags, swap, depth, &fields);
		if (status != B_OK)
			return status;
		// A name must lead to one field, or lookups would hide the second.
		if (!names.insert(fields.back().Name()).second)
			return B_BAD_DATA;
	}
	if (reader.Remaining() != 0)
		return B_BAD_DATA;

	*_what = what;
	_fields->swap(fields);
	return B_OK;
}

} // namespace

size_t
MessageFormat::FlattenedSize(const MessageFieldList& fields)
{
	size_t size = kHeaderSize + 1;
	for (const MessageField& field : fields) {
		size_t dataSize = field.FlattenedDataSize();
		size_t count = field.CountItems();
		bool mini = dataSize <= kMaxMiniValue && count <= kMaxMiniValue;
		size_t sizeBytes = mini ? 1 : 4;
		size += 1 + 4 + (count == 1 ? 0 : sizeBytes) + sizeBytes + 1 + field.Name().size()
			+ dataSize;
	}
	return size;
}

void
MessageFormat::Flatten(uint32 what, const MessageFieldList& fields, uint8* buffer)
{
	Writer writer(buffer);
	uint32 size = (uint32)FlattenedSize(fields);
	writer.WriteUInt32(kFormatR5);
	writer.WriteUInt32(0);
	writer.WriteUInt32(size);
	writer.WriteUInt32(what);
	writer.WriteUInt8(kHeaderFlagValid);
	uint32 checksum = word_checksum(buffer + 8, kHeaderSize - 8);
	memcpy(buffer + 4, &checksum, 4);

	for (const MessageField& field : fields) {
		size_t dataSize = field.FlattenedDataSize();
		int32 count = field.CountItems();
		bool mini = dataSize <= kMaxMiniValue && (size_t)count <= kMaxMiniValue;
		uint8 flags = kFieldFlagValid;
		if (mini)
			flags |= kFieldFlagMini;
		if (field.IsFixedSize())
			flags |= kFieldFlagFixedSize;
		if (count == 1)
			flags |= kFieldFlagSingleItem;

		writer.WriteUInt8(flags);
		writer.WriteUInt32(field.Type());
		if (count != 1) {
			if (mini)
				writer.WriteUInt8((uint8)count);
			else
				writer.WriteUInt32((uint32)count);
		}
		if (mini)
			writer.WriteUInt8((uint8)dataSize);
		else
			writer.WriteUInt32((uint32)dataSize);
		writer.WriteUInt8((uint8)field.Name().size());
		writer.Write(field.Name().data(), field.Name().size());

		for (int32 i = 0; i < count; i++) {
			size_t itemSize;
			const char* item = field.ItemAt(i, &itemSize);
			if (!field.IsFixedSize())
				writer.WriteUInt32((uint32)itemSize);
			writer.Write(item, itemSize);
			if (!field.IsFixedSize())
				writer.WriteZeros(PaddedChunkSize(itemSize) - 4 - itemSize);
		}
	}
	writer.WriteUInt8(0);
}

status_t
MessageFormat::ReadSize(const uint8* header, size_t available, size_t* _size)
{
	if (available < 4)
		return B_NOT_A_MESSAGE;
	uint32 magic;
	memcpy(&magic, header, 4);
	if (magic != kFormatR5 && magic != kFormatR5Swapped)
		return B_NOT_A_MESSAGE;
	if (available < kHeaderSize)
		return B_BAD_DATA;
	uint32 size;
	memcpy(&size, header + 8, 4);
	if (magic == kFormatR5Swapped)
		size = Swap32(size);
	if (size < kMinFlattenedSize || size > kMaxFlattenedSize)
		return B_BAD_DATA;
	*_size = size;
	return B_OK;
}

status_t
MessageFormat::Unflatten(const uint8* data, size_t length, uint32* _what, MessageFieldList* _fields)
{
	return ParseMessage(data, length, 0, _what, _fields);
}

status_t
MessageFormat::PrepareItem(type_code type, std::string* item, int depth)
{
	return CheckItem(type, item, false, depth);
}

} // namespace BPrivate

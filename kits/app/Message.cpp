/*
 * BMessage without messaging: fields, flattening and unflattening. A failed Unflatten leaves
 * the message empty with `what` 0, never half read.
 */
#include <Message.h>

#include <ctype.h>
#include <inttypes.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include <String.h>

#include "MessageFormat.h"

using BPrivate::MessageField;
using BPrivate::MessageFieldList;
using BPrivate::MessageFormat;

namespace {

const size_t kMaxNameLength = 255;
const size_t kStreamChunkSize = 64 * 1024;

// Reads until `size` bytes arrived or the stream ends; the count read, or the error.
ssize_t
ReadFully(BDataIO* stream, void* buffer, size_t size)
{
	size_t done = 0;
	while (done < size) {
		ssize_t result = stream->Read((char*)buffer + done, size - done);
		if (result < 0)
			return result;
		if (result == 0)
			break;
		done += (size_t)result;
	}
	return (ssize_t)done;
}

bool
IsPrintableCode(uint32 code)
{
	for (int shift = 24; shift >= 0; shift -= 8) {
		if (!isprint((int)((code >> shift) & 0xFF)))
			return false;
	}
	return true;
}

void
PrintCode(uint32 code)
{
	if (IsPrintableCode(code)) {
		printf("'%c%c%c%c'", (char)(code >> 24), (char)(code >> 16), (char)(code >> 8), (char)code);
	} else
		printf("0x%08" PRIx32, code);
}

void
PrintItem(type_code type, const char* data, size_t size)
{
	switch (type) {
		case B_STRING_TYPE:
			printf("\"%s\"", data);
			return;
		case B_INT8_TYPE:
			printf("%d", (int)*(const int8*)data);
			return;
		case B_BOOL_TYPE:
			printf("%s", *data != 0 ? "true" : "false");
			return;
	}
	if (type == B_INT16_TYPE && size == sizeof(int16)) {
		int16 value;
		memcpy(&value, data, sizeof(value));
		printf("%d", (int)value);
	} else if (type == B_INT32_TYPE && size == sizeof(int32)) {
		int32 value;
		memcpy(&value, data, sizeof(value));
		printf("%" PRId32, value);
	} else if (type == B_INT64_TYPE && size == sizeof(int64)) {
		int64 value;
		memcpy(&value, data, sizeof(value));
		printf("%" PRId64, value);
	} else if (type == B_FLOAT_TYPE && size == sizeof(float)) {
		float value;
		memcpy(&value, data, sizeof(value));
		printf("%g", value);
	} else if (type == B_DOUBLE_TYPE && size == sizeof(double)) {
		double value;
		memcpy(&value, data, sizeof(value));
		printf("%g", value);
	} else if ((type == B_RECT_TYPE || type == B_POINT_TYPE) && size % sizeof(float) == 0) {
		float values[4];
		memcpy(values, data, size);
		if (type == B_RECT_TYPE)
			printf("(%g, %g, %g, %g)", values[0], values[1], values[2], values[3]);
		else
			printf("(%g, %g)", values[0], values[1]);
	} else if (type == B_POINTER_TYPE && size == sizeof(void*)) {
		void* value;
		memcpy(&value, data, sizeof(value));
		printf("%p", value);
	} else
		printf("%zu bytes", size);
}

template<typename T>
status_t
FindValue(const BMessage* message, const char* name, type_code type, int32 index, T* value)
{
	if (value == NULL)
		return B_BAD_VALUE;
	const void* data;
	ssize_t size;
	status_t status = message->FindData(name, type, index, &data, &size);
	if (status != B_OK)
		return status;
	if (size != (ssize_t)sizeof(T))
		return B_BAD_DATA;
	memcpy(value, data, sizeof(T));
	return B_OK;
}

} // namespace

struct BMessage::Private {
	MessageFieldList fields;

	MessageField* Find(const char* name)
	{
		for (MessageField& field : fields) {
			if (field.Name() == name)
				return &field;
		}
		return NULL;
	}

	// Finds the field and checks type and index, as every Find and Replace does.
	status_t FindItem(const char* name, type_code type, int32 index, MessageField** _field)
	{
		if (name == NULL)
			return B_BAD_VALUE;
		MessageField* field = Find(name);
		if (field == NULL)
			return B_NAME_NOT_FOUND;
		if (type != B_ANY_TYPE && type != field->Type())
			return B_BAD_TYPE;
		if (index < 0 || index >= field->CountItems())
			return B_BAD_INDEX;
		*_field = field;
		return B_OK;
	}
};

BMessage::BMessage() :
	what(0),
	fPrivate(new Private)
{
}

BMessage::BMessage(uint32 what) :
	what(what),
	fPrivate(new Private)
{
}

BMessage::BMessage(const BMessage& message) :
	what(message.what),
	fPrivate(new Private(*message.fPrivate))
{
}

BMessage::~BMessage()
{
	delete fPrivate;
}

BMessage&
BMessage::operator=(const BMessage& message)
{
	if (this != &message) {
		what = message.what;
		fPrivate->fields = message.fPrivate->fields;
	}
	return *this;
}

status_t
BMessage::GetInfo(type_code typeRequested, int32 index, char** nameFound, type_code* typeFound,
	int32* countFound) const
{
	int32 matches = 0;
	for (MessageField& field : fPrivate->fields) {
		if (typeRequested != B_ANY_TYPE && field.Type() != typeRequested)
			continue;
		if (matches++ != index)
			continue;
		if (nameFound != NULL)
			*nameFound = const_cast<char*>(field.Name().c_str());
		if (typeFound != NULL)
			*typeFound = field.Type();
		if (countFound != NULL)
			*countFound = field.CountItems();
		return B_OK;
	}
	return matches == 0 ? B_BAD_TYPE : B_BAD_INDEX;
}

status_t
BMessage::GetInfo(const char* name, type_code* typeFound, int32* countFound) const
{
	MessageField* field = name != NULL ? fPrivate->Find(name) : NULL;
	if (typeFound != NULL)
		*typeFound = field != NULL ? field->Type() : (type_code)B_ANY_TYPE;
	if (countFound != NULL)
		*countFound = field != NULL ? field->CountItems() : 0;
	if (name == NULL)
		return B_BAD_VALUE;
	return field != NULL ? B_OK : B_NAME_NOT_FOUND;
}

status_t
BMessage::GetInfo(const char* name, type_code* typeFound, bool* fixedSize) const
{
	int32 count;
	status_t status = GetInfo(name, typeFound, &count);
	if (status == B_OK && fixedSize != NULL)
		*fixedSize = fPrivate->Find(name)->IsFixedSize();
	return status;
}

int32
BMessage::CountNames(type_code type) const
{
	int32 count = 0;
	for (const MessageField& field : fPrivate->fields) {
		if (type == B_ANY_TYPE || field.Type() == type)
			count++;
	}
	return count;
}

bool
BMessage::IsEmpty() const
{
	return fPrivate->fields.empty();
}

bool
BMessage::IsSystem() const
{
	if ((what >> 24) != '_')
		return false;
	for (int shift = 16; shift >= 0; shift -= 8) {
		uint32 c = (what >> shift) & 0xFF;
		if (c < 'A' || c > 'Z')
			return false;
	}
	return true;
}

bool
BMessage::IsReply() const
{
	return false;
}

void
BMessage::PrintToStream() const
{
	printf("BMessage(");
	PrintCode(what);
	printf(") {\n");
	for (const MessageField& field : fPrivate->fields) {
		int32 count = field.CountItems();
		for (int32 i = 0; i < count; i++) {
			size_t size;
			const char* data = field.ItemAt(i, &size);
			printf("\t%s[%" PRId32 "] ", field.Name().c_str(), i);
			PrintCode(field.Type());
			printf(" = ");
			PrintItem(field.Type(), data, size);
			printf("\n");
		}
	}
	printf("}\n");
}

status_t
BMessage::Rename(const char* oldEntry, const char* newEntry)
{
	if (oldEntry == NULL || newEntry == NULL || strlen(newEntry) > kMaxNameLength)
		return B_BAD_VALUE;
	MessageField* field = fPrivate->Find(oldEntry);
	if (field == NULL)
		return B_NAME_NOT_FOUND;
	if (strcmp(oldEntry, newEntry) == 0)
		return B_OK;
	if (fPrivate->Find(newEntry) != NULL)
		return B_NAME_IN_USE;
	field->SetName(newEntry);
	return B_OK;
}

bool
BMessage::WasDelivered() const
{
	return false;
}

bool
BMessage::IsSourceWaiting() const
{
	return false;
}

bool
BMessage::IsSourceRemote() const
{
	return false;
}

status_t
BMessage::Flatten(char* buffer, ssize_t size) const
{
	ssize_t needed = FlattenedSize();
	if (buffer == NULL || size < needed)
		return B_BAD_VALUE;
	MessageFormat::Flatten(what, fPrivate->fields, (uint8*)buffer);
	return B_OK;
}

status_t
BMessage::Flatten(BDataIO* stream, ssize_t* size) const
{
	if (stream == NULL)
		return B_BAD_VALUE;
	std::vector<char> buffer(FlattenedSize());
	MessageFormat::Flatten(what, fPrivate->fields, (uint8*)buffer.data());
	size_t done = 0;
	while (done < buffer.size()) {
		ssize_t written = stream->Write(buffer.data() + done, buffer.size() - done);
		if (written < 0)
			return (status_t)written;
		if (written == 0)
			return B_IO_ERROR;
		done += (size_t)written;
	}
	if (size != NULL)
		*size = (ssize_t)done;
	return B_OK;
}

status_t
BMessage::Unflatten(const char* flatBuffer)
{
	MakeEmpty();
	what = 0;
	if (flatBuffer == NULL)
		return B_BAD_VALUE;
	// The caller vouches for the declared size; nothing past the magic is read unless it is
	// ours.
	const uint8* data = (const uint8*)flatBuffer;
	size_t size;
	status_t status = MessageFormat::ReadSize(data, MessageFormat::kHeaderSize, &size);
	if (status != B_OK)
		return status;
	return MessageFormat::Unflatten(data, size, &what, &fPrivate->fields);
}

status_t
BMessage::Unflatten(BDataIO* stream)
{
	MakeEmpty();
	what = 0;
	if (stream == NULL)
		return B_BAD_VALUE;

	std::vector<uint8> buffer(MessageFormat::kHeaderSize);
	ssize_t got = ReadFully(stream, buffer.data(), buffer.size());
	if (got < 0)
		return (status_t)got;
	size_t size;
	status_t status = MessageFormat::ReadSize(buffer.data(), (size_t)got, &size);
	if (status != B_OK)
		return status;

	// The buffer grows with what actually arrives, so a large declared size on a short
	// stream costs nothing.
	while (buffer.size() < size) {
		size_t had = buffer.size();
		buffer.resize(had + std::min(size - had, kStreamChunkSize));
		got = ReadFully(stream, buffer.data() + had, buffer.size() - had);
		if (got < 0)
			return (status_t)got;
		if ((size_t)got != buffer.size() - had)
			return B_BAD_DATA;
	}
	return MessageFormat::Unflatten(buffer.data(), size, &what, &fPrivate->fields);
}

ssize_t
BMessage::FlattenedSize() const
{
	return (ssize_t)MessageFormat::FlattenedSize(fPrivate->fields);
}

status_t
BMessage::AddRect(const char* name, BRect rect)
{
	float values[4] = {rect.left, rect.top, rect.right, rect.bottom};
	return AddData(name, B_RECT_TYPE, values, sizeof(values));
}

status_t
BMessage::AddPoint(const char* name, BPoint point)
{
	float values[2] = {point.x, point.y};
	return AddData(name, B_POINT_TYPE, values, sizeof(values));
}

status_t
BMessage::AddString(const char* name, const char* string)
{
	if (string == NULL)
		return B_BAD_VALUE;
	return AddData(name, B_STRING_TYPE, string, (ssize_t)strlen(string) + 1, false);
}

status_t
BMessage::AddString(const char* name, const BString& string)
{
	return AddString(name, string.String());
}

status_t
BMessage::AddInt8(const char* name, int8 value)
{
	return AddData(name, B_INT8_TYPE, &value, sizeof(value));
}

status_t
BMessage::AddInt16(const char* name, int16 value)
{
	return AddData(name, B_INT16_TYPE, &value, sizeof(value));
}

status_t
BMessage::AddInt32(const char* name, int32 value)
{
	return AddData(name, B_INT32_TYPE, &value, sizeof(value));
}

status_t
BMessage::AddInt64(const char* name, int64 value)
{
	return AddData(name, B_INT64_TYPE, &value, sizeof(value));
}

status_t
BMessage::AddBool(const char* name, bool value)
{
	uint8 byte = value ? 1 : 0;
	return AddData(name, B_BOOL_TYPE, &byte, sizeof(byte));
}

status_t
BMessage::AddFloat(const char* name, float value)
{
	return AddData(name, B_FLOAT_TYPE, &value, sizeof(value));
}

status_t
BMessage::AddDouble(const char* name, double value)
{
	return AddData(name, B_DOUBLE_TYPE, &value, sizeof(value));
}

status_t
BMessage::AddPointer(const char* name, const void* pointer)
{
	return AddData(name, B_POINTER_TYPE, &pointer, sizeof(pointer));
}

status_t
BMessage::AddMessage(const char* name, const BMessage* message)
{
	if (message == NULL)
		return B_BAD_VALUE;
	std::vector<char> flat(message->FlattenedSize());
	message->Flatten(flat.data(), (ssize_t)flat.size());
	return AddData(name, B_MESSAGE_TYPE, flat.data(), (ssize_t)flat.size(), false);
}

status_t
BMessage::AddData(const char* name, type_code type, const void* data, ssize_t numBytes,
	bool isFixedSize, int32 /*count*/)
{
	if (name == NULL || data == NULL || numBytes <= 0 || strlen(name) > kMaxNameLength)
		return B_BAD_VALUE;
	if (type == B_ANY_TYPE)
		return B_BAD_TYPE;
	MessageField* field = fPrivate->Find(name);
	if (field != NULL && field->Type() != type)
		return B_BAD_TYPE;

	std::string item((const char*)data, (size_t)numBytes);
	if (MessageFormat::PrepareItem(type, &item, 1) != B_OK)
		return B_BAD_VALUE;
	if (field != NULL)
		return field->AddItem(item.data(), item.size());

	// A nested message's flattened size is its own, so those fields are never fixed-size.
	MessageField newField(name, type, isFixedSize && type != B_MESSAGE_TYPE);
	newField.AddItem(item.data(), item.size());
	fPrivate->fields.push_back(std::move(newField));
	return B_OK;
}

status_t
BMessage::RemoveData(const char* name, int32 index)
{
	MessageField* field;
	status_t status = fPrivate->FindItem(name, B_ANY_TYPE, index, &field);
	if (status != B_OK)
		return status;
	if (field->CountItems() > 1) {
		field->RemoveItem(index);
		return B_OK;
	}
	return RemoveName(name);
}

status_t
BMessage::RemoveName(const char* name)
{
	if (name == NULL)
		return B_BAD_VALUE;
	MessageFieldList& fields = fPrivate->fields;
	for (auto it = fields.begin(); it != fields.end(); ++it) {
		if (it->Name() == name) {
			fields.erase(it);
			return B_OK;
		}
	}
	return B_NAME_NOT_FOUND;
}

status_t
BMessage::MakeEmpty()
{
	fPrivate->fields.clear();
	return B_OK;
}

status_t
BMessage::FindRect(const char* name, BRect* rect) const
{
	return FindRect(name, 0, rect);
}

status_t
BMessage::FindRect(const char* name, int32 index, BRect* rect) const
{
	if (rect == NULL)
		return B_BAD_VALUE;
	float values[4];
	const void* data;
	ssize_t size;
	status_t status = FindData(name, B_RECT_TYPE, index, &data, &size);
	if (status != B_OK)
		return status;
	if (size != (ssize_t)sizeof(values))
		return B_BAD_DATA;
	memcpy(values, data, sizeof(values));
	rect->Set(values[0], values[1], values[2], values[3]);
	return B_OK;
}

status_t
BMessage::FindPoint(const char* name, BPoint* point) const
{
	return FindPoint(name, 0, point);
}

status_t
BMessage::FindPoint(const char* name, int32 index, BPoint* point) const
{
	if (point == NULL)
		return B_BAD_VALUE;
	float values[2];
	const void* data;
	ssize_t size;
	status_t status = FindData(name, B_POINT_TYPE, index, &data, &size);
	if (status != B_OK)
		return status;
	if (size != (ssize_t)sizeof(values))
		return B_BAD_DATA;
	memcpy(values, data, sizeof(values));
	point->Set(values[0], values[1]);
	return B_OK;
}

status_t
BMessage::FindString(const char* name, const char** string) const
{
	return FindString(name, 0, string);
}

status_t
BMessage::FindString(const char* name, int32 index, const char** string) const
{
	if (string == NULL)
		return B_BAD_VALUE;
	const void* data;
	ssize_t size;
	status_t status = FindData(name, B_STRING_TYPE, index, &data, &size);
	if (status != B_OK)
		return status;
	*string = (const char*)data;
	return B_OK;
}

status_t
BMessage::FindString(const char* name, BString* string) const
{
	return FindString(name, 0, string);
}

status_t
BMessage::FindString(const char* name, int32 index, BString* string) const
{
	if (string == NULL)
		return B_BAD_VALUE;
	const char* text;
	status_t status = FindString(name, index, &text);
	if (status == B_OK)
		string->SetTo(text);
	return status;
}

status_t
BMessage::FindInt8(const char* name, int8* value) const
{
	return FindValue(this, name, B_INT8_TYPE, 0, value);
}

status_t
BMessage::FindInt8(const char* name, int32 index, int8* value) const
{
	return FindValue(this, name, B_INT8_TYPE, index, value);
}

status_t
BMessage::FindInt16(const char* name, int16* value) const
{
	return FindValue(this, name, B_INT16_TYPE, 0, value);
}

status_t
BMessage::FindInt16(const char* name, int32 index, int16* value) const
{
	return FindValue(this, name, B_INT16_TYPE, index, value);
}

status_t
BMessage::FindInt32(const char* name, int32* value) const
{
	return FindValue(this, name, B_INT32_TYPE, 0, value);
}

status_t
BMessage::FindInt32(const char* name, int32 index, int32* value) const
{
	return FindValue(this, name, B_INT32_TYPE, index, value);
}

status_t
BMessage::FindInt64(const char* name, int64* value) const
{
	return FindValue(this, name, B_INT64_TYPE, 0, value);
}

status_t
BMessage::FindInt64(const char* name, int32 index, int64* value) const
{
	return FindValue(this, name, B_INT64_TYPE, index, value);
}

status_t
BMessage::FindBool(const char* name, bool* value) const
{
	return FindBool(name, 0, value);
}

status_t
BMessage::FindBool(const char* name, int32 index, bool* value) const
{
	if (value == NULL)
		return B_BAD_VALUE;
	uint8 byte;
	status_t status = FindValue(this, name, B_BOOL_TYPE, index, &byte);
	if (status == B_OK)
		*value = byte != 0;
	return status;
}

status_t
BMessage::FindFloat(const char* name, float* value) const
{
	return FindValue(this, name, B_FLOAT_TYPE, 0, value);
}

status_t
BMessage::FindFloat(const char* name, int32 index, float* value) const
{
	return FindValue(this, name, B_FLOAT_TYPE, index, value);
}

status_t
BMessage::FindDouble(const char* name, double* value) const
{
	return FindValue(this, name, B_DOUBLE_TYPE, 0, value);
}

status_t
BMessage::FindDouble(const char* name, int32 index, double* value) const
{
	return FindValue(this, name, B_DOUBLE_TYPE, index, value);
}

status_t
BMessage::FindPointer(const char* name, void** pointer) const
{
	return FindValue(this, name, B_POINTER_TYPE, 0, pointer);
}

status_t
BMessage::FindPointer(const char* name, int32 index, void** pointer) const
{
	return FindValue(this, name, B_POINTER_TYPE, index, pointer);
}

status_t
BMessage::FindMessage(const char* name, BMessage* message) const
{
	return FindMessage(name, 0, message);
}

status_t
BMessage::FindMessage(const char* name, int32 index, BMessage* message) const
{
	if (message == NULL)
		return B_BAD_VALUE;
	const void* data;
	ssize_t size;
	status_t status = FindData(name, B_MESSAGE_TYPE, index, &data, &size);
	if (status != B_OK)
		return status;
	// Read aside first: the item may belong to the message being filled.
	uint32 nestedWhat;
	MessageFieldList fields;
	status = MessageFormat::Unflatten((const uint8*)data, (size_t)size, &nestedWhat, &fields);
	if (status != B_OK)
		return status;
	message->what = nestedWhat;
	message->fPrivate->fields.swap(fields);
	return B_OK;
}

status_t
BMessage::FindData(const char* name, type_code type, const void** data, ssize_t* numBytes) const
{
	return FindData(name, type, 0, data, numBytes);
}

status_t
BMessage::FindData(const char* name, type_code type, int32 index, const void** data,
	ssize_t* numBytes) const
{
	if (data == NULL || numBytes == NULL)
		return B_BAD_VALUE;
	MessageField* field;
	status_t status = fPrivate->FindItem(name, type, index, &field);
	if (status != B_OK)
		return status;
	size_t size;
	*data = field->ItemAt(index, &size);
	*numBytes = (ssize_t)size;
	return B_OK;
}

status_t
BMessage::ReplaceRect(const char* name, BRect rect)
{
	return ReplaceRect(name, 0, rect);
}

status_t
BMessage::ReplaceRect(const char* name, int32 index, BRect rect)
{
	float values[4] = {rect.left, rect.top, rect.right, rect.bottom};
	return ReplaceData(name, B_RECT_TYPE, index, values, sizeof(values));
}

status_t
BMessage::ReplacePoint(const char* name, BPoint point)
{
	return ReplacePoint(name, 0, point);
}

status_t
BMessage::ReplacePoint(const char* name, int32 index, BPoint point)
{
	float values[2] = {point.x, point.y};
	return ReplaceData(name, B_POINT_TYPE, index, values, sizeof(values));
}

status_t
BMessage::ReplaceString(const char* name, const char* string)
{
	return ReplaceString(name, 0, string);
}

status_t
BMessage::ReplaceString(const char* name, int32 index, const char* string)
{
	if (string == NULL)
		return B_BAD_VALUE;
	return ReplaceData(name, B_STRING_TYPE, index, string, (ssize_t)strlen(string) + 1);
}

status_t
BMessage::ReplaceString(const char* name, const BString& string)
{
	return ReplaceString(name, 0, string.String());
}

status_t
BMessage::ReplaceString(const char* name, int32 index, const BString& string)
{
	return ReplaceString(name, index, string.String());
}

status_t
BMessage::ReplaceInt8(const char* name, int8 value)
{
	return ReplaceData(name, B_INT8_TYPE, 0, &value, sizeof(value));
}

status_t
BMessage::ReplaceInt8(const char* name, int32 index, int8 value)
{
	return ReplaceData(name, B_INT8_TYPE, index, &value, sizeof(value));
}

status_t
BMessage::ReplaceInt16(const char* name, int16 value)
{
	return ReplaceData(name, B_INT16_TYPE, 0, &value, sizeof(value));
}

status_t
BMessage::ReplaceInt16(const char* name, int32 index, int16 value)
{
	return ReplaceData(name, B_INT16_TYPE, index, &value, sizeof(value));
}

status_t
BMessage::ReplaceInt32(const char* name, int32 value)
{
	return ReplaceData(name, B_INT32_TYPE, 0, &value, sizeof(value));
}

status_t
BMessage::ReplaceInt32(const char* name, int32 index, int32 value)
{
	return ReplaceData(name, B_INT32_TYPE, index, &value, sizeof(value));
}

status_t
BMessage::ReplaceInt64(const char* name, int64 value)
{
	return ReplaceData(name, B_INT64_TYPE, 0, &value, sizeof(value));
}

status_t
BMessage::ReplaceInt64(const char* name, int32 index, int64 value)
{
	return ReplaceData(name, B_INT64_TYPE, index, &value, sizeof(value));
}

status_t
BMessage::ReplaceBool(const char* name, bool value)
{
	return ReplaceBool(name, 0, value);
}

status_t
BMessage::ReplaceBool(const char* name, int32 index, bool value)
{
	uint8 byte = value ? 1 : 0;
	return ReplaceData(name, B_BOOL_TYPE, index, &byte, sizeof(byte));
}

status_t
BMessage::ReplaceFloat(const char* name, float value)
{
	return ReplaceData(name, B_FLOAT_TYPE, 0, &value, sizeof(value));
}

status_t
BMessage::ReplaceFloat(const char* name, int32 index, float value)
{
	return ReplaceData(name, B_FLOAT_TYPE, index, &value, sizeof(value));
}

status_t
BMessage::ReplaceDouble(const char* name, double value)
{
	return ReplaceData(name, B_DOUBLE_TYPE, 0, &value, sizeof(value));
}

status_t
BMessage::ReplaceDouble(const char* name, int32 index, double value)
{
	return ReplaceData(name, B_DOUBLE_TYPE, index, &value, sizeof(value));
}

status_t
BMessage::ReplacePointer(const char* name, const void* pointer)
{
	return ReplaceData(name, B_POINTER_TYPE, 0, &pointer, sizeof(pointer));
}

status_t
BMessage::ReplacePointer(const char* name, int32 index, const void* pointer)
{
	return ReplaceData(name, B_POINTER_TYPE, index, &pointer, sizeof(pointer));
}

status_t
BMessage::ReplaceMessage(const char* name, const BMessage* message)
{
	return ReplaceMessage(name, 0, message);
}

status_t
BMessage::ReplaceMessage(const char* name, int32 index, const BMessage* message)
{
	if (message == NULL)
		return B_BAD_VALUE;
	std::vector<char> flat(message->FlattenedSize());
	message->Flatten(flat.data(), (ssize_t)flat.size());
	return ReplaceData(name, B_MESSAGE_TYPE, index, flat.data(), (ssize_t)flat.size());
}

status_t
BMessage::ReplaceData(const char* name, type_code type, const void* data, ssize_t numBytes)
{
	return ReplaceData(name, type, 0, data, numBytes);
}

status_t
BMessage::ReplaceData(const char* name, type_code type, int32 index, const void* data,
	ssize_t numBytes)
{
	if (data == NULL || numBytes <= 0)
		return B_BAD_VALUE;
	if (type == B_ANY_TYPE)
		return B_BAD_TYPE;
	MessageField* field;
	status_t status = fPrivate->FindItem(name, type, index, &field);
	if (status != B_OK)
		return status;
	std::string item((const char*)data, (size_t)numBytes);
	if (MessageFormat::PrepareItem(type, &item, 1) != B_OK)
		return B_BAD_VALUE;
	return field->ReplaceItem(index, item.data(), item.size());
}

bool
BMessage::HasRect(const char* name, int32 index) const
{
	return HasData(name, B_RECT_TYPE, index);
}

bool
BMessage::HasPoint(const char* name, int32 index) const
{
	return HasData(name, B_POINT_TYPE, index);
}

bool
BMessage::HasString(const char* name, int32 index) const
{
	return HasData(name, B_STRING_TYPE, index);
}

bool
BMessage::HasInt8(const char* name, int32 index) const
{
	return HasData(name, B_INT8_TYPE, index);
}

bool
BMessage::HasInt16(const char* name, int32 index) const
{
	return HasData(name, B_INT16_TYPE, index);
}

bool
BMessage::HasInt32(const char* name, int32 index) const
{
	return HasData(name, B_INT32_TYPE, index);
}

bool
BMessage::HasInt64(const char* name, int32 index) const
{
	return HasData(name, B_INT64_TYPE, index);
}

bool
BMessage::HasBool(const char* name, int32 index) const
{
	return HasData(name, B_BOOL_TYPE, index);
}

bool
BMessage::HasFloat(const char* name, int32 index) const
{
	return HasData(name, B_FLOAT_TYPE, index);
}

bool
BMessage::HasDouble(const char* name, int32 index) const
{
	return HasData(name, B_DOUBLE_TYPE, index);
}

bool
BMessage::HasPointer(const char* name, int32 index) const
{
	return HasData(name, B_POINTER_TYPE, index);
}

bool
BMessage::HasMessage(const char* name, int32 index) const
{
	return HasData(name, B_MESSAGE_TYPE, index);
}

bool
BMessage::HasData(const char* name, type_code type, int32 index) const
{
	MessageField* field;
	return fPrivate->FindItem(name, type, index, &field) == B_OK;
}

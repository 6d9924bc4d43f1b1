#include <String.h>

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <strings.h>

namespace {

int32
SafeLength(const char* string, int32 maxLength = INT32_MAX)
{
	if (string == NULL || maxLength <= 0)
		return 0;
	const void* end = memchr(string, '\0', (size_t)maxLength);
	return end != NULL ? (int32)((const char*)end - string) : maxLength;
}

} // namespace

BString::BString() :
	fPrivateData(NULL),
	fLength(0),
	fLocked(false)
{
}

BString::BString(const char* string) :
	BString()
{
	SetTo(string);
}

BString::BString(const BString& string) :
	BString()
{
	SetTo(string);
}

BString::BString(const char* string, int32 maxLength) :
	BString()
{
	SetTo(string, maxLength);
}

BString::~BString()
{
	free(fPrivateData);
}

const char*
BString::String() const
{
	return fPrivateData != NULL ? fPrivateData : "";
}

int32
BString::Length() const
{
	return fLength;
}

int32
BString::CountChars() const
{
	int32 count = 0;
	for (int32 i = 0; i < fLength; i++) {
		// Count UTF-8 lead bytes only.
		if (((uint8)fPrivateData[i] & 0xc0) != 0x80)
			count++;
	}
	return count;
}

bool
BString::_Resize(int32 length)
{
	if (length <= 0) {
		free(fPrivateData);
		fPrivateData = NULL;
		fLength = 0;
		return true;
	}
	char* data = (char*)realloc(fPrivateData, (size_t)length + 1);
	if (data == NULL)
		return false;
	if (length > fLength)
		memset(data + fLength, 0, (size_t)(length - fLength));
	data[length] = '\0';
	fPrivateData = data;
	fLength = length;
	return true;
}

// Replaces `removeLength` bytes at `position` by `length` bytes of `source`, which may point
// into this string.
static void
Splice(char*& data, int32& dataLength, int32 position, int32 removeLength, const char* source,
	int32 length)
{
	int32 newLength = dataLength - removeLength + length;
	if (newLength <= 0) {
		free(data);
		data = NULL;
		dataLength = 0;
		return;
	}
	char* result = (char*)malloc((size_t)newLength + 1);
	if (result == NULL)
		return;
	if (position > 0)
		memcpy(result, data, (size_t)position);
	if (length > 0)
		memcpy(result + position, source, (size_t)length);
	int32 tail = dataLength - position - removeLength;
	if (tail > 0)
		memcpy(result + position + length, data + position + removeLength, (size_t)tail);
	result[newLength] = '\0';
	free(data);
	data = result;
	dataLength = newLength;
}

BString&
BString::operator=(const BString& string)
{
	return SetTo(string);
}

BString&
BString::operator=(const char* string)
{
	return SetTo(string);
}

BString&
BString::operator=(char c)
{
	return SetTo(c, 1);
}

BString&
BString::SetTo(const char* string)
{
	return SetTo(string, INT32_MAX);
}

BString&
BString::SetTo(const char* string, int32 maxLength)
{
	int32 length = SafeLength(string, maxLength);
	Splice(fPrivateData, fLength, 0, fLength, string, length);
	return *this;
}

BString&
BString::SetTo(const BString& string)
{
	if (&string != this)
		SetTo(string.String(), string.Length());
	return *this;
}

BString&
BString::SetTo(const BString& string, int32 maxLength)
{
	return SetTo(string.String(), min_c(maxLength, string.Length()));
}

BString&
BString::SetTo(char c, int32 count)
{
	if (!_Resize(0) || count <= 0 || !_Resize(count))
		return *this;
	memset(fPrivateData, c, (size_t)count);
	return *this;
}

BString&
BString::CopyInto(BString& into, int32 fromOffset, int32 length) const
{
	if (fromOffset < 0 || fromOffset > fLength || length < 0)
		return into;
	length = min_c(length, fLength - fromOffset);
	if (&into == this) {
		BString copy(String() + fromOffset, length);
		into = copy;
	} else
		into.SetTo(String() + fromOffset, length);
	return into;
}

void
BString::CopyInto(char* into, int32 fromOffset, int32 length) const
{
	if (into == NULL || fromOffset < 0 || fromOffset > fLength || length < 0)
		return;
	length = min_c(length, fLength - fromOffset);
	memcpy(into, String() + fromOffset, (size_t)length);
}

BString&
BString::operator+=(const BString& string)
{
	return Append(string);
}

BString&
BString::operator+=(const char* string)
{
	return Append(string);
}

BString&
BString::operator+=(char c)
{
	return Append(c, 1);
}

BString&
BString::Append(const BString& string)
{
	return Append(string.String(), string.Length());
}

BString&
BString::Append(const char* string)
{
	return Append(string, INT32_MAX);
}

BString&
BString::Append(const BString& string, int32 length)
{
	return Append(string.String(), min_c(length, string.Length()));
}

BString&
BString::Append(const char* string, int32 length)
{
	Splice(fPrivateData, fLength, fLength, 0, string, SafeLength(string, length));
	return *this;
}

BString&
BString::Append(char c, int32 count)
{
	int32 oldLength = fLength;
	if (count > 0 && _Resize(oldLength + count))
		memset(fPrivateData + oldLength, c, (size_t)count);
	return *this;
}

BString&
BString::Prepend(const char* string)
{
	return Prepend(string, INT32_MAX);
}

BString&
BString::Prepend(const BString& string)
{
	return Prepend(string.String(), string.Length());
}

BString&
BString::Prepend(const char* string, int32 length)
{
	Splice(fPrivateData, fLength, 0, 0, string, SafeLength(string, length));
	return *this;
}

BString&
BString::Prepend(const BString& string, int32 length)
{
	return Prepend(string.String(), min_c(length, string.Length()));
}

BString&
BString::Prepend(char c, int32 count)
{
	return Insert(c, count, 0);
}

BString&
BString::Insert(const char* string, int32 position)
{
	return Insert(string, INT32_MAX, position);
}

BString&
BString::Insert(const char* string, int32 length, int32 position)
{
	if (position < 0 || position > fLength)
		return *this;
	Splice(fPrivateData, fLength, position, 0, string, SafeLength(string, length));
	return *this;
}

BString&
BString::Insert(const BString& string, int32 position)
{
	return Insert(string.String(), string.Length(), position);
}

BString&
BString::Insert(char c, int32 count, int32 position)
{
	if (count <= 0 || position < 0 || position > fLength)
		return *this;
	char* fill = (char*)malloc((size_t)count);
	if (fill == NULL)
		return *this;
	memset(fill, c, (size_t)count);
	Splice(fPrivateData, fLength, position, 0, fill, count);
	free(fill);
	return *this;
}

BString&
BString::Truncate(int32 newLength, bool /*lazy*/)
{
	if (newLength < 0)
		newLength = 0;
	if (newLength < fLength)
		_Resize(newLength);
	return *this;
}

BString&
BString::Remove(int32 from, int32 length)
{
	if (from < 0 || from >= fLength || length <= 0)
		return *this;
	length = min_c(length, fLength - from);
	Splice(fPrivateData, fLength, from, length, NULL, 0);
	return *this;
}

BString&
BString::RemoveFirst(const BString& string)
{
	return RemoveFirst(string.String());
}

BString&
BString::RemoveLast(const BString& string)
{
	return RemoveLast(string.String());
}

BString&
BString::RemoveAll(const BString& string)
{
	return RemoveAll(string.String());
}

BString&
BString::RemoveFirst(const char* string)
{
	int32 index = FindFirst(string);
	if (index >= 0)
		Remove(index, SafeLength(string));
	return *this;
}

BString&
BString::RemoveLast(const char* string)
{
	int32 index = FindLast(string);
	if (index >= 0)
		Remove(index, SafeLength(string));
	return *this;
}

BString&
BString::RemoveAll(const char* string)
{
	return _DoReplace(string, "", INT32_MAX, 0);
}

BString&
BString::RemoveSet(const char* setOfCharsToRemove)
{
	if (setOfCharsToRemove == NULL || fLength == 0)
		return *this;
	int32 kept = 0;
	for (int32 i = 0; i < fLength; i++) {
		if (strchr(setOfCharsToRemove, fPrivateData[i]) == NULL)
			fPrivateData[kept++] = fPrivateData[i];
	}
	_Resize(kept);
	return *this;
}

int
BString::Compare(const BString& string) const
{
	return strcmp(String(), string.String());
}

int
BString::Compare(const char* string) const
{
	return strcmp(String(), string != NULL ? string : "");
}

int
BString::Compare(const BString& string, int32 n) const
{
	return strncmp(String(), string.String(), (size_t)max_c(n, 0));
}

int
BString::Compare(const char* string, int32 n) const
{
	return strncmp(String(), string != NULL ? string : "", (size_t)max_c(n, 0));
}

int
BString::ICompare(const BString& string) const
{
	return strcasecmp(String(), string.String());
}

int
BString::ICompare(const char* string) const
{
	return strcasecmp(String(), string != NULL ? string : "");
}

bool
BString::operator<(const BString& string) const
{
	return Compare(string) < 0;
}

bool
BString::operator<=(const BString& string) const
{
	return Compare(string) <= 0;
}

bool
BString::operator==(const BString& string) const
{
	return fLength == string.fLength && Compare(string) == 0;
}

bool
BString::operator>=(const BString& string) const
{
	return Compare(string) >= 0;
}

bool
BString::operator>(const BString& string) const
{
	return Compare(string) > 0;
}

bool
BString::operator!=(const BString& string) const
{
	return !(*this == string);
}

bool
BString::operator<(const char* string) const
{
	return Compare(string) < 0;
}

bool
BString::operator<=(const char* string) const
{
	return Compare(string) <= 0;
}

bool
BString::operator==(const char* string) const
{
	return Compare(string) == 0;
}

bool
BString::operator>=(const char* string) const
{
	return Compare(string) >= 0;
}

bool
BString::operator>(const char* string) const
{
	return Compare(string) > 0;
}

bool
BString::operator!=(const char* string) const
{
	return Compare(string) != 0;
}

int32
BString::FindFirst(const BString& string) const
{
	return FindFirst(string.String(), 0);
}

int32
BString::FindFirst(const char* string) const
{
	return FindFirst(string, 0);
}

int32
BString::FindFirst(const BString& string, int32 fromOffset) const
{
	return FindFirst(string.String(), fromOffset);
}

int32
BString::FindFirst(const char* string, int32 fromOffset) const
{
	if (string == NULL)
		return B_BAD_VALUE;
	if (fromOffset < 0 || fromOffset > fLength)
		return B_ERROR;
	const char* found = strstr(String() + fromOffset, string);
	return found != NULL ? (int32)(found - String()) : B_ERROR;
}

int32
BString::FindFirst(char c) const
{
	return FindFirst(c, 0);
}

int32
BString::FindFirst(char c, int32 fromOffset) const
{
	if (fromOffset < 0 || fromOffset >= fLength)
		return B_ERROR;
	const void* found = memchr(fPrivateData + fromOffset, c, (size_t)(fLength - fromOffset));
	return found != NULL ? (int32)((const char*)found - fPrivateData) : B_ERROR;
}

int32
BString::FindLast(const BString& string) const
{
	return FindLast(string.String(), fLength);
}

int32
BString::FindLast(const char* string) const
{
	return FindLast(string, fLength);
}

int32
BString::FindLast(const BString& string, int32 beforeOffset) const
{
	return FindLast(string.String(), beforeOffset);
}

int32
BString::FindLast(const char* string, int32 beforeOffset) const
{
	if (string == NULL)
		return B_BAD_VALUE;
	int32 length = SafeLength(string);
	beforeOffset = min_c(beforeOffset, fLength);
	for (int32 start = beforeOffset - length; start >= 0; start--) {
		if (memcmp(String() + start, string, (size_t)length) == 0)
			return start;
	}
	return B_ERROR;
}

int32
BString::FindLast(char c) const
{
	return FindLast(c, fLength - 1);
}

int32
BString::FindLast(char c, int32 beforeOffset) const
{
	for (int32 i = min_c(beforeOffset, fLength - 1); i >= 0; i--) {
		if (fPrivateData[i] == c)
			return i;
	}
	return B_ERROR;
}

int32
BString::IFindFirst(const char* string) const
{
	if (string == NULL)
		return B_BAD_VALUE;
	const char* found = strcasestr(String(), string);
	return found != NULL ? (int32)(found - String()) : B_ERROR;
}

BString&
BString::ReplaceFirst(char replaceThis, char withThis)
{
	int32 index = FindFirst(replaceThis);
	if (index >= 0)
		fPrivateData[index] = withThis;
	return *this;
}

BString&
BString::ReplaceLast(char replaceThis, char withThis)
{
	int32 index = FindLast(replaceThis);
	if (index >= 0)
		fPrivateData[index] = withThis;
	return *this;
}

BString&
BString::ReplaceAll(char replaceThis, char withThis, int32 fromOffset)
{
	for (int32 i = max_c(fromOffset, 0); i < fLength; i++) {
		if (fPrivateData[i] == replaceThis)
			fPrivateData[i] = withThis;
	}
	return *this;
}

BString&
BString::ReplaceFirst(const char* replaceThis, const char* withThis)
{
	return _DoReplace(replaceThis, withThis, 1, 0);
}

BString&
BString::ReplaceLast(const char* replaceThis, const char* withThis)
{
	int32 index = FindLast(replaceThis);
	if (index >= 0 && withThis != NULL) {
		Splice(fPrivateData, fLength, index, SafeLength(replaceThis), withThis,
			SafeLength(withThis));
	}
	return *this;
}

BString&
BString::ReplaceAll(const char* replaceThis, const char* withThis, int32 fromOffset)
{
	return _DoReplace(replaceThis, withThis, INT32_MAX, fromOffset);
}

BString&
BString::Replace(const char* replaceThis, const char* withThis, int32 maxReplaceCount,
	int32 fromOffset)
{
	return _DoReplace(replaceThis, withThis, maxReplaceCount, fromOffset);
}

BString&
BString::_DoReplace(const char* replaceThis, const char* withThis, int32 maxCount, int32 fromOffset)
{
	if (replaceThis == NULL || withThis == NULL || *replaceThis == '\0' || maxCount <= 0)
		return *this;
	int32 oldLength = SafeLength(replaceThis);
	int32 newLength = SafeLength(withThis);
	int32 position = max_c(fromOffset, 0);
	for (int32 count = 0; count < maxCount; count++) {
		position = FindFirst(replaceThis, position);
		if (position < 0)
			break;
		Splice(fPrivateData, fLength, position, oldLength, withThis, newLength);
		position += newLength;
	}
	return *this;
}

char
BString::operator[](int32 index) const
{
	return ByteAt(index);
}

char
BString::ByteAt(int32 index) const
{
	if (index < 0 || index >= fLength)
		return '\0';
	return fPrivateData[index];
}

char*
BString::LockBuffer(int32 maxLength)
{
	if (maxLength > fLength)
		_Resize(maxLength);
	else if (fPrivateData == NULL)
		_Resize(1), fPrivateData[0] = '\0', fLength = 0;
	fLocked = true;
	return fPrivateData;
}

BString&
BString::UnlockBuffer(int32 length)
{
	if (fPrivateData != NULL) {
		int32 capacity = fLength;
		if (length < 0 || length > capacity)
			length = SafeLength(fPrivateData, capacity + 1);
		if (length > capacity)
			length = capacity;
		fLength = capacity;
		_Resize(length);
	}
	fLocked = false;
	return *this;
}

BString&
BString::ToLower()
{
	for (int32 i = 0; i < fLength; i++)
		fPrivateData[i] = (char)tolower((uint8)fPrivateData[i]);
	return *this;
}

BString&
BString::ToUpper()
{
	for (int32 i = 0; i < fLength; i++)
		fPrivateData[i] = (char)toupper((uint8)fPrivateData[i]);
	return *this;
}

BString&
BString::operator<<(const char* string)
{
	return Append(string);
}

BString&
BString::operator<<(const BString& string)
{
	return Append(string);
}

BString&
BString::operator<<(char c)
{
	return Append(c, 1);
}

BString&
BString::operator<<(int32 value)
{
	char buffer[16];
	snprintf(buffer, sizeof(buffer), "%d", (int)value);
	return Append(buffer);
}

BString&
BString::operator<<(uint32 value)
{
	char buffer[16];
	snprintf(buffer, sizeof(buffer), "%u", (unsigned)value);
	return Append(buffer);
}

BString&
BString::operator<<(int64 value)
{
	char buffer[32];
	snprintf(buffer, sizeof(buffer), "%lld", (long long)value);
	return Append(buffer);
}

BString&
BString::operator<<(uint64 value)
{
	char buffer[32];
	snprintf(buffer, sizeof(buffer), "%llu", (unsigned long long)value);
	return Append(buffer);
}

BString&
BString::operator<<(float value)
{
	char buffer[64];
	snprintf(buffer, sizeof(buffer), "%.2f", value);
	return Append(buffer);
}

bool
operator<(const char* a, const BString& b)
{
	return b > a;
}

bool
operator<=(const char* a, const BString& b)
{
	return b >= a;
}

bool
operator==(const char* a, const BString& b)
{
	return b == a;
}

bool
operator>(const char* a, const BString& b)
{
	return b < a;
}

bool
operator>=(const char* a, const BString& b)
{
	return b <= a;
}

bool
operator!=(const char* a, const BString& b)
{
	return b != a;
}

int
Compare(const BString& a, const BString& b)
{
	return a.Compare(b);
}

int
ICompare(const BString& a, const BString& b)
{
	return a.ICompare(b);
}

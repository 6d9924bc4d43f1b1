/*
 * BString: an owned, NUL-terminated byte string. Covers the R5 operations the application and
 * the kits use; character-set aware and escaping operations are not provided.
 */
#ifndef _B_STRING_H
#define _B_STRING_H

#include <string.h>

#include <SupportDefs.h>

class BString {
public:
	BString();
	BString(const char* string);
	BString(const BString& string);
	BString(const char* string, int32 maxLength);
	~BString();

	const char* String() const;
	int32 Length() const;
	int32 CountChars() const;

	BString& operator=(const BString& string);
	BString& operator=(const char* string);
	BString& operator=(char c);

	BString& SetTo(const char* string);
	BString& SetTo(const char* string, int32 maxLength);
	BString& SetTo(const BString& string);
	BString& SetTo(const BString& string, int32 maxLength);
	BString& SetTo(char c, int32 count);

	BString& CopyInto(BString& into, int32 fromOffset, int32 length) const;
	void CopyInto(char* into, int32 fromOffset, int32 length) const;

	BString& operator+=(const BString& string);
	BString& operator+=(const char* string);
	BString& operator+=(char c);

	BString& Append(const BString& string);
	BString& Append(const char* string);
	BString& Append(const BString& string, int32 length);
	BString& Append(const char* string, int32 length);
	BString& Append(char c, int32 count);

	BString& Prepend(const char* string);
	BString& Prepend(const BString& string);
	BString& Prepend(const char* string, int32 length);
	BString& Prepend(const BString& string, int32 length);
	BString& Prepend(char c, int32 count);

	BString& Insert(const char* string, int32 position);
	BString& Insert(const char* string, int32 length, int32 position);
	BString& Insert(const BString& string, int32 position);
	BString& Insert(char c, int32 count, int32 position);

	BString& Truncate(int32 newLength, bool lazy = true);
	BString& Remove(int32 from, int32 length);
	BString& RemoveFirst(const BString& string);
	BString& RemoveLast(const BString& string);
	BString& RemoveAll(const BString& string);
	BString& RemoveFirst(const char* string);
	BString& RemoveLast(const char* string);
	BString& RemoveAll(const char* string);
	BString& RemoveSet(const char* setOfCharsToRemove);

	int Compare(const BString& string) const;
	int Compare(const char* string) const;
	int Compare(const BString& string, int32 n) const;
	int Compare(const char* string, int32 n) const;
	int ICompare(const BString& string) const;
	int ICompare(const char* string) const;

	bool operator<(const BString& string) const;
	bool operator<=(const BString& string) const;
	bool operator==(const BString& string) const;
	bool operator>=(const BString& string) const;
	bool operator>(const BString& string) const;
	bool operator!=(const BString& string) const;
	bool operator<(const char* string) const;
	bool operator<=(const char* string) const;
	bool operator==(const char* string) const;
	bool operator>=(const char* string) const;
	bool operator>(const char* string) const;
	bool operator!=(const char* string) const;

	int32 FindFirst(const BString& string) const;
	int32 FindFirst(const char* string) const;
	int32 FindFirst(const BString& string, int32 fromOffset) const;
	int32 FindFirst(const char* string, int32 fromOffset) const;
	int32 FindFirst(char c) const;
	int32 FindFirst(char c, int32 fromOffset) const;
	int32 FindLast(const BString& string) const;
	int32 FindLast(const char* string) const;
	int32 FindLast(const BString& string, int32 beforeOffset) const;
	int32 FindLast(const char* string, int32 beforeOffset) const;
	int32 FindLast(char c) const;
	int32 FindLast(char c, int32 beforeOffset) const;
	int32 IFindFirst(const char* string) const;

	BString& ReplaceFirst(char replaceThis, char withThis);
	BString& ReplaceLast(char replaceThis, char withThis);
	BString& ReplaceAll(char replaceThis, char withThis, int32 fromOffset = 0);
	BString& ReplaceFirst(const char* replaceThis, const char* withThis);
	BString& ReplaceLast(const char* replaceThis, const char* withThis);
	BString& ReplaceAll(const char* replaceThis, const char* withThis, int32 fromOffset = 0);
	BString& Replace(const char* replaceThis, const char* withThis, int32 maxReplaceCount,
		int32 fromOffset = 0);

	char operator[](int32 index) const;
	char ByteAt(int32 index) const;

	// Gives the characters as a writable buffer of at least maxLength bytes plus the NUL;
	// UnlockBuffer() takes the new length (or measures it when given -1).
	char* LockBuffer(int32 maxLength);
	BString& UnlockBuffer(int32 length = -1);

	BString& ToLower();
	BString& ToUpper();

	BString& operator<<(const char* string);
	BString& operator<<(const BString& string);
	BString& operator<<(char c);
	BString& operator<<(int32 value);
	BString& operator<<(uint32 value);
	BString& operator<<(int64 value);
	BString& operator<<(uint64 value);
	BString& operator<<(float value);

private:
	bool _Resize(int32 length);
	BString& _DoReplace(const char* replaceThis, const char* withThis, int32 maxCount,
		int32 fromOffset);

	char* fPrivateData;
	int32 fLength;
	bool fLocked;
};

bool operator<(const char* a, const BString& b);
bool operator<=(const char* a, const BString& b);
bool operator==(const char* a, const BString& b);
bool operator>(const char* a, const BString& b);
bool operator>=(const char* a, const BString& b);
bool operator!=(const char* a, const BString& b);

int Compare(const BString& a, const BString& b);
int ICompare(const BString& a, const BString& b);

#endif // _B_STRING_H

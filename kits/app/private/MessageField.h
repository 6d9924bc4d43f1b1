/*
 * One named, typed field of a BMessage, private to the kits. Items are kept in host byte
 * order. Fixed-size items lie back to back in one buffer, all of one size, so a large array
 * costs no more than its bytes; variable-size items are kept apart.
 */
#ifndef MESSAGE_FIELD_H
#define MESSAGE_FIELD_H

#include <string>
#include <vector>

#include <SupportDefs.h>

namespace BPrivate {

class MessageField {
public:
	MessageField(const std::string& name, type_code type, bool fixedSize);

	const std::string& Name() const { return fName; }
	void SetName(const std::string& name) { fName = name; }
	type_code Type() const { return fType; }
	bool IsFixedSize() const { return fFixedSize; }

	int32 CountItems() const;
	// index must be in range.
	const char* ItemAt(int32 index, size_t* _size) const;

	// A fixed-size field takes only items of its first item's size (else B_BAD_VALUE).
	status_t AddItem(const void* data, size_t size);
	// Takes the item's bytes over (a variable-size field only).
	void AdoptItem(std::string&& item);
	status_t ReplaceItem(int32 index, const void* data, size_t size);
	void RemoveItem(int32 index);

	// Size of the data part in the flattened form.
	size_t FlattenedDataSize() const;

private:
	std::string fName;
	type_code fType;
	bool fFixedSize;
	// Fixed size: the items back to back.
	std::string fFixedItems;
	size_t fItemSize;
	// Variable size: one string per item.
	std::vector<std::string> fItems;
};

typedef std::vector<MessageField> MessageFieldList;

} // namespace BPrivate

#endif // MESSAGE_FIELD_H

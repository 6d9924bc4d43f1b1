#include "MessageField.h"

namespace BPrivate {

MessageField::MessageField(const std::string& name, type_code type, bool fixedSize) :
	fName(name),
	fType(type),
	fFixedSize(fixedSize),
	fItemSize(0)
{
}

int32
MessageField::CountItems() const
{
	if (!fFixedSize)
		return (int32)fItems.size();
	return fItemSize == 0 ? 0 : (int32)(fFixedItems.size() / fItemSize);
}

const char*
MessageField::ItemAt(int32 index, size_t* _size) const
{
	if (!fFixedSize) {
		*_size = fItems[index].size();
		return fItems[index].data();
	}
	*_size = fItemSize;
	return fFixedItems.data() + (size_t)index * fItemSize;
}

status_t
MessageField::AddItem(const void* data, size_t size)
{
	if (!fFixedSize) {
		fItems.emplace_back((const char*)data, size);
		return B_OK;
	}
	if (size == 0 || (fItemSize != 0 && size != fItemSize))
		return B_BAD_VALUE;
	fItemSize = size;
	fFixedItems.append((const char*)data, size);
	return B_OK;
}

void
MessageField::AdoptItem(std::string&& item)
{
	fItems.push_back(std::move(item));
}

status_t
MessageField::ReplaceItem(int32 index, const void* data, size_t size)
{
	if (!fFixedSize) {
		fItems[index].assign((const char*)data, size);
		return B_OK;
	}
	if (size != fItemSize)
		return B_BAD_VALUE;
	fFixedItems.replace((size_t)index * fItemSize, fItemSize, (const char*)data, size);
	return B_OK;
}

void
MessageField::RemoveItem(int32 index)
{
	if (!fFixedSize)
		fItems.erase(fItems.begin() + index);
	else
		fFixedItems.erase((size_t)index * fItemSize, fItemSize);
}

size_t
MessageField::FlattenedDataSize() const
{
	if (fFixedSize)
		return fFixedItems.size();
	// Each variable item: its int32 size, the bytes, and zeros up to a multiple of 8.
	size_t size = 0;
	for (const std::string& item : fItems)
		size += (4 + item.size() + 7) & ~(size_t)7;
	return size;
}

} // namespace BPrivate

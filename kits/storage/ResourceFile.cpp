/*
 * The x86 BeOS resource format. Every offset, count and size read from a file is checked
 * against the bytes actually present before it is used; anything inconsistent is B_BAD_DATA.
 */
#include "ResourceFile.h"

#include <string.h>

#include <algorithm>
#include <new>

#include <DataIO.h>

#include "Checksum.h"
#include "ElfImage.h"
#include "StorageSupport.h"

namespace BPrivate {

namespace {

const uint32 kResourcesMagic = 0x444F1000;
const char kPlainTag[4] = {'R', 'S', '\0', '\0'};
const size_t kPlainTagSize = sizeof(kPlainTag);

// Resource section layout; offsets relative to the section's first byte.
const uint32 kHeaderSize = 0x44;
const uint32 kIndexSectionOffset = kHeaderSize;
const uint32 kIndexHeaderSize = 132;
const uint32 kIndexEntrySize = 12;
const uint32 kIndexAlignment = 0x600;
const uint32 kUnknownSectionSize = 0x168;
const uint32 kUnknownOffsetField = 0x50;
const uint32 kUnknownSizeField = 0x54;
const uint32 kInfoOffsetField = 0xBC;
const uint32 kInfoSizeField = 0xC0;
const uint32 kEntriesOffset = 0xC8;
const size_t kSeparatorSize = 8;
const size_t kEndRecordSize = 8;
const size_t kInfoFixedSize = 10;

// Unused words hold a filler that depends only on their position.
const uint32 kFiller[3] = {0xFFFFFFFF, 0x3E9, 0};

// Larger resource sections than this are not read into memory.
const uint64 kMaxSectionSize = 256 * 1024 * 1024;

void
Write32(uint8* p, uint32 value)
{
	for (int i = 0; i < 4; i++)
		p[i] = (uint8)(value >> (8 * i));
}

void
Append32(std::vector<uint8>& out, uint32 value)
{
	out.resize(out.size() + 4);
	Write32(&out[out.size() - 4], value);
}

bool
IsSeparator(const uint8* data, size_t size, size_t at)
{
	if (size - at < kSeparatorSize)
		return false;
	for (size_t i = 0; i < kSeparatorSize; i++) {
		if (data[at + i] != 0xFF)
			return false;
	}
	return true;
}

} // namespace

ResourceFile::ResourceFile() :
	fOffset(kPlainTagSize),
	fElf(false)
{
}

ResourceFile::~ResourceFile()
{
}

status_t
ResourceFile::Read(BPositionIO* file, bool clobber)
{
	MakeEmpty();
	fOffset = kPlainTagSize;
	fElf = false;

	off_t size = file->Seek(0, SEEK_END);
	if (size < 0)
		return (status_t)size;
	if (size == 0)
		return B_OK;

	uint8 magic[4] = {};
	status_t status = read_exactly(file, 0, magic, std::min<off_t>(size, sizeof(magic)));
	if (status != B_OK)
		return status;

	off_t start;
	if (ElfImage::ResourcesOffset(file, size, &start) == B_OK) {
		fElf = true;
		fOffset = start;
	} else if (size >= 4 && memcmp(magic, kPlainTag, kPlainTagSize) == 0)
		start = kPlainTagSize;
	else
		return clobber ? B_OK : B_BAD_DATA;

	if (start >= size || clobber)
		return B_OK;
	if ((uint64)(size - start) > kMaxSectionSize)
		return B_BAD_DATA;

	std::vector<uint8> section;
	try {
		section.resize((size_t)(size - start));
	} catch (const std::bad_alloc&) {
		return B_NO_MEMORY;
	}
	status = read_exactly(file, start, section.data(), section.size());
	if (status == B_OK)
		status = Unflatten(section.data(), section.size());
	return status;
}

status_t
ResourceFile::Write(BPositionIO* file) const
{
	off_t size = file->Seek(0, SEEK_END);
	if (size < 0)
		return (status_t)size;
	if (fElf && fItems.empty())
		return size > fOffset ? file->SetSize(fOffset) : B_OK;

	std::vector<uint8> section;
	try {
		section = Flatten();
	} catch (const std::bad_alloc&) {
		return B_NO_MEMORY;
	}
	status_t status = B_OK;
	if (!fElf)
		status = write_exactly(file, 0, kPlainTag, kPlainTagSize);
	if (status == B_OK)
		status = write_exactly(file, fOffset, section.data(), section.size());
	if (status == B_OK)
		status = file->SetSize(fOffset + (off_t)section.size());
	return status;
}

status_t
ResourceFile::Unflatten(const uint8* data, size_t size)
{
	MakeEmpty();
	if (size < kEntriesOffset || read_le32(data) != kResourcesMagic)
		return B_BAD_DATA;

	const uint64 count = read_le32(data + 4);
	const uint32 adminSize = read_le32(data + 12);
	const uint32 indexSize = read_le32(data + kIndexSectionOffset + 4);
	if (read_le32(data + 8) != kIndexSectionOffset
		|| read_le32(data + kIndexSectionOffset) != kIndexSectionOffset
		|| indexSize > size - kIndexSectionOffset
		|| kIndexHeaderSize + count * kIndexEntrySize > indexSize
		|| adminSize != kIndexSectionOffset + indexSize)
		return B_BAD_DATA;

	const uint64 infoOffset = read_le32(data + kInfoOffsetField);
	const uint64 infoSize = read_le32(data + kInfoSizeField);
	if (infoOffset > size || infoSize > size - infoOffset)
		return B_BAD_DATA;

	struct Entry {
		uint32 offset;
		uint32 size;
		bool described;
	};
	std::vector<Entry> entries((size_t)count);
	for (size_t i = 0; i < entries.size(); i++) {
		const uint8* entry = data + kEntriesOffset + i * kIndexEntrySize;
		entries[i].offset = read_le32(entry);
		entries[i].size = read_le32(entry + 4);
		entries[i].described = false;
		if (entries[i].offset > size || entries[i].size > size - entries[i].offset)
			return B_BAD_DATA;
	}

	// The info table: blocks of {type code, infos of that type}, each block closed by a
	// separator; an empty table is a lone separator. An optional end record holds a checksum.
	const uint8* info = data + infoOffset;
	const size_t infoLength = (size_t)infoSize;
	std::vector<std::unique_ptr<ResourceItem>> items(entries.size());
	size_t position = 0;
	bool blocksDone = false;
	if (IsSeparator(info, infoLength, 0)) {
		position = kSeparatorSize;
		blocksDone = true;
	}
	while (!blocksDone) {
		if (infoLength - position < 4)
			return B_BAD_DATA;
		const type_code type = read_le32(info + position);
		position += 4;
		while (!IsSeparator(info, infoLength, position)) {
			if (infoLength - position < kInfoFixedSize)
				return B_BAD_DATA;
			const int32 id = (int32)read_le32(info + position);
			const uint32 index = read_le32(info + position + 4);
			const size_t nameSize = read_le16(info + position + 8);
			position += kInfoFixedSize;
			if (nameSize > infoLength - position || index < 1 || index > entries.size()
				|| entries[index - 1].described)
				return B_BAD_DATA;
			if (nameSize > 0 && info[position + nameSize - 1] != '\0')
				return B_BAD_DATA;

			Entry& entry = entries[index - 1];
			entry.described = true;
			std::unique_ptr<ResourceItem> item(new (std::nothrow) ResourceItem);
			if (!item)
				return B_NO_MEMORY;
			item->type = type;
			item->id = id;
			if (nameSize > 0)
				item->name.assign(reinterpret_cast<const char*>(info + position));
			item->size = entry.size;
			item->data.reset(new (std::nothrow) uint8[entry.size + 1]);
			if (!item->data)
				return B_NO_MEMORY;
			memcpy(item->data.get(), data + entry.offset, entry.size);
			item->data[entry.size] = 0;
			items[index - 1] = std::move(item);
			position += nameSize;
		}
		position += kSeparatorSize;
		const size_t rest = infoLength - position;
		blocksDone = rest == 0 || rest == kEndRecordSize;
	}

	if (infoLength - position == kEndRecordSize) {
		if (read_le32(info + position) != word_checksum(info, position)
			|| read_le32(info + position + 4) != 0)
			return B_BAD_DATA;
	} else if (position != infoLength)
		return B_BAD_DATA;

	for (const Entry& entry : entries) {
		if (!entry.described)
			return B_BAD_DATA;
	}
	fItems = std::move(items);
	return B_OK;
}

std::vector<uint8>
ResourceFile::Flatten() const
{
	std::vector<const ResourceItem*> order;
	for (const auto& item : fItems)
		order.push_back(item.get());
	std::stable_sort(order.begin(), order.end(),
		[](const ResourceItem* a, const ResourceItem* b) { return a->type < b->type; });

	const uint32 count = (uint32)order.size();
	const uint32 indexSize = (uint32)align_up(kIndexHeaderSize + count * kIndexEntrySize,
		kIndexAlignment);
	const uint32 adminSize = kIndexSectionOffset + indexSize;
	const uint32 dataOffset = adminSize + kUnknownSectionSize;

	std::vector<uint8> info;
	for (uint32 i = 0; i < count; i++) {
		const ResourceItem* item = order[i];
		if (i == 0 || order[i - 1]->type != item->type)
			Append32(info, item->type);
		Append32(info, (uint32)item->id);
		Append32(info, i + 1);
		const size_t nameSize = item->name.empty() ? 0 : item->name.size() + 1;
		info.push_back((uint8)nameSize);
		info.push_back((uint8)(nameSize >> 8));
		info.insert(info.end(), item->name.c_str(), item->name.c_str() + nameSize);
		if (i + 1 == count || order[i + 1]->type != item->type)
			info.insert(info.end(), kSeparatorSize, 0xFF);
	}
	if (count == 0)
		info.insert(info.end(), kSeparatorSize, 0xFF);
	Append32(info, word_checksum(info.data(), info.size()));
	Append32(info, 0);

	size_t dataSize = 0;
	for (const ResourceItem* item : order)
		dataSize += item->size;
	const uint32 infoOffset = dataOffset + (uint32)dataSize;

	std::vector<uint8> out(infoOffset + info.size(), 0);
	for (uint32 offset = kIndexSectionOffset; offset < dataOffset; offset += 4)
		Write32(&out[offset], kFiller[(offset / 4) % 3]);

	Write32(&out[0], kResourcesMagic);
	Write32(&out[4], count);
	Write32(&out[8], kIndexSectionOffset);
	Write32(&out[12], adminSize);

	Write32(&out[kIndexSectionOffset], kIndexSectionOffset);
	Write32(&out[kIndexSectionOffset + 4], indexSize);
	Write32(&out[kUnknownOffsetField], adminSize);
	Write32(&out[kUnknownSizeField], kUnknownSectionSize);
	Write32(&out[kInfoOffsetField], infoOffset);
	Write32(&out[kInfoSizeField], (uint32)info.size());

	uint32 offset = dataOffset;
	for (uint32 i = 0; i < count; i++) {
		uint8* entry = &out[kEntriesOffset + i * kIndexEntrySize];
		Write32(entry, offset);
		Write32(entry + 4, (uint32)order[i]->size);
		Write32(entry + 8, 0);
		if (order[i]->size > 0)
			memcpy(&out[offset], order[i]->data.get(), order[i]->size);
		offset += (uint32)order[i]->size;
	}
	memcpy(&out[infoOffset], info.data(), info.size());
	return out;
}

void
ResourceFile::MakeEmpty()
{
	fItems.clear();
}

int32
ResourceFile::CountItems() const
{
	return (int32)fItems.size();
}

ResourceItem*
ResourceFile::ItemAt(int32 index) const
{
	if (index < 0 || (size_t)index >= fItems.size())
		return NULL;
	return fItems[index].get();
}

ResourceItem*
ResourceFile::Find(type_code type, int32 id) const
{
	for (const auto& item : fItems) {
		if (item->type == type && item->id == id)
			return item.get();
	}
	return NULL;
}

ResourceItem*
ResourceFile::Find(type_code type, const char* name) const
{
	if (name == NULL)
		return NULL;
	for (const auto& item : fItems) {
		if (item->type == type && item->name == name)
			return item.get();
	}
	return NULL;
}

ResourceItem*
ResourceFile::FindData(const void* data) const
{
	for (const auto& item : fItems) {
		if (item->data.get() == data)
			return item.get();
	}
	return NULL;
}

ResourceItem*
ResourceFile::Add(type_code type, int32 id, const void* data, size_t size, const char* name)
{
	if (size > kMaxSectionSize || (data == NULL && size > 0))
		return NULL;
	std::unique_ptr<ResourceItem> item(new (std::nothrow) ResourceItem);
	if (!item)
		return NULL;
	item->data.reset(new (std::nothrow) uint8[size + 1]);
	if (!item->data)
		return NULL;
	item->type = type;
	item->id = id;
	if (name != NULL)
		item->name.assign(name, strnlen(name, 0xFFFE));
	item->size = size;
	if (size > 0)
		memcpy(item->data.get(), data, size);
	item->data[size] = 0;

	ResourceItem* result = item.get();
	for (auto& existing : fItems) {
		if (existing->type == type && existing->id == id) {
			existing = std::move(item);
			return result;
		}
	}
	fItems.push_back(std::move(item));
	return result;
}

status_t
ResourceFile::Remove(const ResourceItem* item)
{
	for (auto it = fItems.begin(); it != fItems.end(); ++it) {
		if (it->get() == item) {
			fItems.erase(it);
			return B_OK;
		}
	}
	return B_BAD_VALUE;
}

} // namespace BPrivate

/*
 * Private to the kits: the x86 BeOS resource format, held in memory. Resources follow the
 * aligned end of an ELF image or the "RS\0\0" tag of a pure resource file; an empty file
 * holds none. Only little-endian files are read and written. Used by BResources, by the
 * resource compiler and by the tests, so that there is one reader and one writer.
 */
#ifndef _RESOURCE_FILE_H
#define _RESOURCE_FILE_H

#include <memory>
#include <string>
#include <vector>

#include <SupportDefs.h>

class BPositionIO;

namespace BPrivate {

struct ResourceItem {
	type_code type;
	int32 id;
	std::string name;
	size_t size;
	// One byte longer than `size` and zero-terminated, so that no item has a null pointer.
	std::unique_ptr<uint8[]> data;
};

class ResourceFile {
public:
	ResourceFile();
	~ResourceFile();

	// Locates and parses the resources of `file`. With `clobber`, existing resources and
	// unrecognised contents are dropped (an ELF image itself is kept) instead of refused.
	status_t Read(BPositionIO* file, bool clobber);
	// Writes the resources back where they were found and cuts the file after them.
	status_t Write(BPositionIO* file) const;

	// Parses a resource section on its own (offsets relative to its first byte).
	status_t Unflatten(const uint8* data, size_t size);
	// The resource section on its own; items are grouped by type code.
	std::vector<uint8> Flatten() const;

	void MakeEmpty();

	int32 CountItems() const;
	ResourceItem* ItemAt(int32 index) const;
	ResourceItem* Find(type_code type, int32 id) const;
	ResourceItem* Find(type_code type, const char* name) const;
	ResourceItem* FindData(const void* data) const;

	// Adds an item, replacing one of the same type and id; NULL when out of memory.
	ResourceItem* Add(type_code type, int32 id, const void* data, size_t size, const char* name);
	status_t Remove(const ResourceItem* item);

private:
	std::vector<std::unique_ptr<ResourceItem>> fItems;
	// Where the resources of the file last read start: after the "RS\0\0" tag or at the
	// aligned end of the ELF image.
	off_t fOffset;
	bool fElf;
};

} // namespace BPrivate

#endif // _RESOURCE_FILE_H

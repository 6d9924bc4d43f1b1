/*
 * A resource definition: one resource per line, each made from literal values or from a
 * picture file beside the definition.
 */
#ifndef RESOURCE_SCRIPT_H
#define RESOURCE_SCRIPT_H

#include <string>
#include <vector>

#include <SupportDefs.h>

#include "Picture.h"

struct ResourceEntry {
	type_code type;
	int32 id;
	std::string name;
	std::vector<uint8> data;
};

class ResourceScript {
public:
	// Reads the definition and every picture it names; on failure `error` says where and why.
	bool Load(const std::string& path, std::string* error);

	const std::vector<ResourceEntry>& Entries() const { return fEntries; }
	// The pictures in the order the definition names them.
	const std::vector<Picture>& Pictures() const { return fPictures; }

private:
	bool _ParseLine(const std::vector<std::string>& words, const std::string& folder,
		std::string* error);

	std::vector<ResourceEntry> fEntries;
	std::vector<Picture> fPictures;
};

#endif // RESOURCE_SCRIPT_H

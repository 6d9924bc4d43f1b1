#include <Path.h>

#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <Directory.h>
#include <Entry.h>

namespace {

// Makes `path` absolute against the working directory and folds ".", ".." and repeated
// slashes, without touching the file system.
status_t
NormalizePath(const std::string& path, std::string& result)
{
	std::string absolute = path;
	if (absolute.empty())
		return B_BAD_VALUE;
	if (absolute[0] != '/') {
		char cwd[B_PATH_NAME_LENGTH];
		if (getcwd(cwd, sizeof(cwd)) == NULL)
			return B_ENTRY_NOT_FOUND;
		absolute = std::string(cwd) + "/" + absolute;
	}
	std::vector<std::string> parts;
	size_t start = 0;
	while (start <= absolute.size()) {
		size_t end = absolute.find('/', start);
		if (end == std::string::npos)
			end = absolute.size();
		std::string part = absolute.substr(start, end - start);
		if (part == "..") {
			if (!parts.empty())
				parts.pop_back();
		} else if (!part.empty() && part != ".")
			parts.push_back(part);
		start = end + 1;
	}
	result.clear();
	for (const std::string& part : parts)
		result += "/" + part;
	if (result.empty())
		result = "/";
	if (result.size() >= B_PATH_NAME_LENGTH)
		return B_NAME_TOO_LONG;
	return B_OK;
}

} // namespace

BPath::BPath() :
	fName(NULL),
	fCStatus(B_NO_INIT)
{
}

BPath::BPath(const BPath& path) :
	BPath()
{
	*this = path;
}

BPath::BPath(const entry_ref* ref) :
	BPath()
{
	SetTo(ref);
}

BPath::BPath(const BEntry* entry) :
	BPath()
{
	SetTo(entry);
}

BPath::BPath(const char* dir, const char* leaf, bool normalize) :
	BPath()
{
	SetTo(dir, leaf, normalize);
}

BPath::BPath(const BDirectory* dir, const char* leaf, bool normalize) :
	BPath()
{
	SetTo(dir, leaf, normalize);
}

BPath::~BPath()
{
	Unset();
}

status_t
BPath::InitCheck() const
{
	return fCStatus;
}

status_t
BPath::SetTo(const entry_ref* ref)
{
	Unset();
	if (ref == NULL || ref->name == NULL || ref->_directoryPath == NULL)
		return fCStatus = (ref == NULL ? (status_t)B_BAD_VALUE : (status_t)B_ENTRY_NOT_FOUND);
	return SetTo(ref->_directoryPath, ref->name);
}

status_t
BPath::SetTo(const BEntry* entry)
{
	Unset();
	if (entry == NULL)
		return fCStatus = B_BAD_VALUE;
	return fCStatus = entry->GetPath(this);
}

status_t
BPath::SetTo(const char* path, const char* leaf, bool /*normalize*/)
{
	if (path == NULL) {
		Unset();
		return fCStatus = B_BAD_VALUE;
	}
	if (leaf != NULL && leaf[0] == '/') {
		Unset();
		return fCStatus = B_BAD_VALUE;
	}
	std::string full = path;
	if (leaf != NULL && leaf[0] != '\0')
		full += std::string("/") + leaf;
	std::string normalized;
	status_t status = NormalizePath(full, normalized);
	Unset();
	if (status != B_OK)
		return fCStatus = status;
	fName = strdup(normalized.c_str());
	return fCStatus = B_OK;
}

status_t
BPath::SetTo(const BDirectory* dir, const char* leaf, bool normalize)
{
	if (dir == NULL || dir->InitCheck() != B_OK || dir->_Path() == NULL) {
		Unset();
		return fCStatus = B_BAD_VALUE;
	}
	return SetTo(dir->_Path(), leaf, normalize);
}

void
BPath::Unset()
{
	free(fName);
	fName = NULL;
	fCStatus = B_NO_INIT;
}

status_t
BPath::Append(const char* path, bool normalize)
{
	if (fCStatus != B_OK)
		return fCStatus;
	std::string current = fName;
	return SetTo(current.c_str(), path, normalize);
}

const char*
BPath::Path() const
{
	return fName;
}

const char*
BPath::Leaf() const
{
	if (fName == NULL)
		return NULL;
	const char* slash = strrchr(fName, '/');
	return slash != NULL ? slash + 1 : fName;
}

status_t
BPath::GetParent(BPath* path) const
{
	if (path == NULL)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	if (strcmp(fName, "/") == 0)
		return B_ENTRY_NOT_FOUND;
	std::string parent(fName, Leaf() - fName);
	return path->SetTo(parent.c_str());
}

bool
BPath::operator==(const BPath& item) const
{
	return *this == item.Path();
}

bool
BPath::operator==(const char* path) const
{
	if (fName == NULL || path == NULL)
		return fName == path;
	return strcmp(fName, path) == 0;
}

bool
BPath::operator!=(const BPath& item) const
{
	return !(*this == item);
}

bool
BPath::operator!=(const char* path) const
{
	return !(*this == path);
}

BPath&
BPath::operator=(const BPath& item)
{
	if (&item != this) {
		Unset();
		if (item.fName != NULL)
			fName = strdup(item.fName);
		fCStatus = item.fCStatus;
	}
	return *this;
}

BPath&
BPath::operator=(const char* path)
{
	if (path == NULL)
		Unset();
	else
		SetTo(path);
	return *this;
}

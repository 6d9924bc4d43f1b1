#include <Directory.h>

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <Entry.h>
#include <File.h>
#include <Path.h>

#include "HostErrors.h"

using BPrivate::host_error_to_status;

BDirectory::BDirectory() :
	fPath(NULL)
{
}

BDirectory::BDirectory(const BDirectory& dir) :
	BNode(),
	fPath(NULL)
{
	*this = dir;
}

BDirectory::BDirectory(const entry_ref* ref) :
	fPath(NULL)
{
	SetTo(ref);
}

BDirectory::BDirectory(const BEntry* entry) :
	fPath(NULL)
{
	SetTo(entry);
}

BDirectory::BDirectory(const char* path) :
	fPath(NULL)
{
	SetTo(path);
}

BDirectory::~BDirectory()
{
	free(fPath);
}

status_t
BDirectory::SetTo(const entry_ref* ref)
{
	BPath path(ref);
	return _Usable(path) ? SetTo(path.Path()) : fCStatus;
}

status_t
BDirectory::SetTo(const BEntry* entry)
{
	BPath path(entry);
	return _Usable(path) ? SetTo(path.Path()) : fCStatus;
}

status_t
BDirectory::SetTo(const char* path)
{
	free(fPath);
	fPath = NULL;
	BPath normalized(path);
	if (normalized.InitCheck() != B_OK) {
		Unset();
		return fCStatus = normalized.InitCheck();
	}
	status_t status = _SetTo(normalized.Path(), O_RDONLY | O_DIRECTORY, 0);
	if (status == B_OK)
		fPath = strdup(normalized.Path());
	return status;
}

status_t
BDirectory::GetEntry(BEntry* entry) const
{
	if (entry == NULL)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	return entry->SetTo(fPath);
}

status_t
BDirectory::FindEntry(const char* path, BEntry* entry, bool traverse) const
{
	if (path == NULL || entry == NULL)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	BPath full(path[0] == '/' ? path : (std::string(fPath) + "/" + path).c_str());
	status_t status = entry->SetTo(full.Path(), traverse);
	if (status == B_OK && !entry->Exists()) {
		entry->Unset();
		return B_ENTRY_NOT_FOUND;
	}
	return status;
}

bool
BDirectory::Contains(const char* path, int32 nodeFlags) const
{
	BEntry entry;
	if (FindEntry(path, &entry) != B_OK)
		return false;
	if (entry.IsDirectory())
		return (nodeFlags & B_DIRECTORY_NODE) != 0;
	if (entry.IsSymLink())
		return (nodeFlags & B_SYMLINK_NODE) != 0;
	return (nodeFlags & B_FILE_NODE) != 0;
}

status_t
BDirectory::CreateFile(const char* path, BFile* file, bool failIfExists)
{
	if (path == NULL)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	uint32 mode = B_READ_WRITE | B_CREATE_FILE | (failIfExists ? B_FAIL_IF_EXISTS : B_ERASE_FILE);
	BFile local;
	BFile* target = file != NULL ? file : &local;
	return target->SetTo(this, path, mode);
}

status_t
BDirectory::CreateDirectory(const char* path, BDirectory* dir)
{
	if (path == NULL)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	std::string full = path[0] == '/' ? path : std::string(fPath) + "/" + path;
	if (mkdir(full.c_str(), 0777) != 0)
		return host_error_to_status(errno);
	return dir != NULL ? dir->SetTo(full.c_str()) : B_OK;
}

BDirectory&
BDirectory::operator=(const BDirectory& dir)
{
	if (&dir == this)
		return *this;
	if (dir.fPath != NULL)
		SetTo(dir.fPath);
	else {
		Unset();
		free(fPath);
		fPath = NULL;
	}
	return *this;
}

const char*
BDirectory::_Path() const
{
	return fPath;
}

status_t
create_directory(const char* path, mode_t mode)
{
	if (path == NULL)
		return B_BAD_VALUE;
	BPath normalized(path);
	if (normalized.InitCheck() != B_OK)
		return normalized.InitCheck();
	// Creates every missing folder on the way down, as mkdir -p does.
	std::string full = normalized.Path();
	size_t position = 1;
	while (position <= full.size()) {
		size_t end = full.find('/', position);
		if (end == std::string::npos)
			end = full.size();
		std::string prefix = full.substr(0, end);
		struct stat st;
		if (stat(prefix.c_str(), &st) == 0) {
			if (!S_ISDIR(st.st_mode))
				return B_NOT_A_DIRECTORY;
		} else if (mkdir(prefix.c_str(), mode) != 0 && errno != EEXIST)
			return host_error_to_status(errno);
		position = end + 1;
	}
	return B_OK;
}

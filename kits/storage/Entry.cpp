#include <Entry.h>

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <Path.h>

#include "HostErrors.h"

using BPrivate::host_error_to_status;

namespace {

char*
Duplicate(const char* text)
{
	return text != NULL ? strdup(text) : NULL;
}

} // namespace

entry_ref::entry_ref() :
	device((dev_t)-1),
	directory((ino_t)-1),
	name(NULL),
	_directoryPath(NULL)
{
}

entry_ref::entry_ref(dev_t dev, ino_t dir, const char* leaf) :
	device(dev),
	directory(dir),
	name(Duplicate(leaf)),
	_directoryPath(NULL)
{
}

entry_ref::entry_ref(const entry_ref& ref) :
	device(ref.device),
	directory(ref.directory),
	name(Duplicate(ref.name)),
	_directoryPath(Duplicate(ref._directoryPath))
{
}

entry_ref::~entry_ref()
{
	free(name);
	free(_directoryPath);
}

status_t
entry_ref::set_name(const char* leaf)
{
	free(name);
	name = Duplicate(leaf);
	return B_OK;
}

bool
entry_ref::operator==(const entry_ref& ref) const
{
	if (device != ref.device || directory != ref.directory)
		return false;
	if (name == NULL || ref.name == NULL)
		return name == ref.name;
	return strcmp(name, ref.name) == 0;
}

bool
entry_ref::operator!=(const entry_ref& ref) const
{
	return !(*this == ref);
}

entry_ref&
entry_ref::operator=(const entry_ref& ref)
{
	if (&ref != this) {
		device = ref.device;
		directory = ref.directory;
		free(name);
		free(_directoryPath);
		name = Duplicate(ref.name);
		_directoryPath = Duplicate(ref._directoryPath);
	}
	return *this;
}

bool
operator<(const entry_ref& a, const entry_ref& b)
{
	if (a.device != b.device)
		return a.device < b.device;
	if (a.directory != b.directory)
		return a.directory < b.directory;
	return strcmp(a.name != NULL ? a.name : "", b.name != NULL ? b.name : "") < 0;
}

status_t
get_ref_for_path(const char* path, entry_ref* ref)
{
	if (path == NULL || ref == NULL)
		return B_BAD_VALUE;
	BPath normalized(path);
	if (normalized.InitCheck() != B_OK)
		return normalized.InitCheck();
	BPath parent;
	if (normalized.GetParent(&parent) != B_OK)
		return B_ENTRY_NOT_FOUND;
	struct stat st;
	if (stat(parent.Path(), &st) != 0)
		return host_error_to_status(errno);
	if (!S_ISDIR(st.st_mode))
		return B_NOT_A_DIRECTORY;
	*ref = entry_ref(st.st_dev, st.st_ino, normalized.Leaf());
	ref->_directoryPath = strdup(parent.Path());
	return B_OK;
}

BEntry::BEntry() :
	fPath(NULL),
	fStatus(B_NO_INIT)
{
}

BEntry::BEntry(const char* path, bool traverse) :
	BEntry()
{
	SetTo(path, traverse);
}

BEntry::BEntry(const entry_ref* ref, bool traverse) :
	BEntry()
{
	SetTo(ref, traverse);
}

BEntry::BEntry(const BEntry& entry) :
	BEntry()
{
	*this = entry;
}

BEntry::~BEntry()
{
	Unset();
}

status_t
BEntry::InitCheck() const
{
	return fStatus;
}

bool
BEntry::Exists() const
{
	struct stat st;
	return fStatus == B_OK && lstat(fPath, &st) == 0;
}

status_t
BEntry::SetTo(const char* path, bool traverse)
{
	Unset();
	BPath normalized(path);
	if (normalized.InitCheck() != B_OK)
		return fStatus = normalized.InitCheck();
	std::string target = normalized.Path();
	if (traverse) {
		char* resolved = realpath(target.c_str(), NULL);
		if (resolved != NULL) {
			target = resolved;
			free(resolved);
		}
	}
	// An entry may be abstract, but its directory must exist.
	BPath parent;
	struct stat st;
	if (normalized.GetParent(&parent) == B_OK && stat(parent.Path(), &st) != 0)
		return fStatus = host_error_to_status(errno);
	fPath = strdup(target.c_str());
	return fStatus = B_OK;
}

status_t
BEntry::SetTo(const entry_ref* ref, bool traverse)
{
	Unset();
	if (ref == NULL)
		return fStatus = B_BAD_VALUE;
	BPath path(ref);
	if (path.InitCheck() != B_OK)
		return fStatus = path.InitCheck();
	return SetTo(path.Path(), traverse);
}

void
BEntry::Unset()
{
	free(fPath);
	fPath = NULL;
	fStatus = B_NO_INIT;
}

status_t
BEntry::GetRef(entry_ref* ref) const
{
	if (ref == NULL)
		return B_BAD_VALUE;
	if (fStatus != B_OK)
		return fStatus;
	return get_ref_for_path(fPath, ref);
}

status_t
BEntry::GetPath(BPath* path) const
{
	if (path == NULL)
		return B_BAD_VALUE;
	if (fStatus != B_OK)
		return fStatus;
	return path->SetTo(fPath);
}

status_t
BEntry::GetParent(BEntry* entry) const
{
	if (entry == NULL)
		return B_BAD_VALUE;
	if (fStatus != B_OK)
		return fStatus;
	BPath path(fPath), parent;
	status_t status = path.GetParent(&parent);
	if (status != B_OK)
		return status;
	return entry->SetTo(parent.Path());
}

status_t
BEntry::GetName(char* buffer) const
{
	if (buffer == NULL)
		return B_BAD_VALUE;
	if (fStatus != B_OK)
		return fStatus;
	const char* slash = strrchr(fPath, '/');
	strncpy(buffer, slash != NULL ? slash + 1 : fPath, B_FILE_NAME_LENGTH - 1);
	buffer[B_FILE_NAME_LENGTH - 1] = '\0';
	return B_OK;
}

status_t
BEntry::GetSize(off_t* size) const
{
	if (size == NULL)
		return B_BAD_VALUE;
	if (fStatus != B_OK)
		return fStatus;
	struct stat st;
	if (lstat(fPath, &st) != 0)
		return host_error_to_status(errno);
	*size = st.st_size;
	return B_OK;
}

bool
BEntry::IsFile() const
{
	struct stat st;
	return fStatus == B_OK && lstat(fPath, &st) == 0 && S_ISREG(st.st_mode);
}

bool
BEntry::IsSymLink() const
{
	struct stat st;
	return fStatus == B_OK && lstat(fPath, &st) == 0 && S_ISLNK(st.st_mode);
}

bool
BEntry::IsDirectory() const
{
	struct stat st;
	return fStatus == B_OK && lstat(fPath, &st) == 0 && S_ISDIR(st.st_mode);
}

status_t
BEntry::Rename(const char* path, bool clobber)
{
	if (path == NULL)
		return B_BAD_VALUE;
	if (fStatus != B_OK)
		return fStatus;
	std::string target = path;
	if (path[0] != '/') {
		BPath parent, current(fPath);
		current.GetParent(&parent);
		target = std::string(parent.Path()) + "/" + path;
	}
	struct stat st;
	if (!clobber && lstat(target.c_str(), &st) == 0)
		return B_FILE_EXISTS;
	if (rename(fPath, target.c_str()) != 0)
		return host_error_to_status(errno);
	return SetTo(target.c_str());
}

status_t
BEntry::Remove()
{
	if (fStatus != B_OK)
		return fStatus;
	int result = IsDirectory() ? rmdir(fPath) : unlink(fPath);
	return result == 0 ? B_OK : host_error_to_status(errno);
}

BEntry&
BEntry::operator=(const BEntry& entry)
{
	if (&entry != this) {
		Unset();
		fStatus = entry.fStatus;
		fPath = Duplicate(entry.fPath);
	}
	return *this;
}

bool
BEntry::operator==(const BEntry& entry) const
{
	if (fPath == NULL || entry.fPath == NULL)
		return fPath == entry.fPath;
	return strcmp(fPath, entry.fPath) == 0;
}

bool
BEntry::operator!=(const BEntry& entry) const
{
	return !(*this == entry);
}

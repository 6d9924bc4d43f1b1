/*
 * BFile over a host file descriptor; the BeOS open modes are translated flag by flag.
 */
#include <File.h>

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <Directory.h>
#include <Entry.h>
#include <Path.h>

#include "HostErrors.h"

using BPrivate::host_error_to_status;

namespace {

int
HostOpenFlags(uint32 openMode)
{
	int flags;
	switch (openMode & 0x3) {
		case B_WRITE_ONLY:
			flags = O_WRONLY;
			break;
		case B_READ_WRITE:
			flags = O_RDWR;
			break;
		default:
			flags = O_RDONLY;
			break;
	}
	if ((openMode & B_CREATE_FILE) != 0)
		flags |= O_CREAT;
	if ((openMode & B_FAIL_IF_EXISTS) != 0)
		flags |= O_CREAT | O_EXCL;
	if ((openMode & B_ERASE_FILE) != 0)
		flags |= O_TRUNC;
	if ((openMode & B_OPEN_AT_END) != 0)
		flags |= O_APPEND;
	return flags;
}

} // namespace

BFile::BFile() :
	fMode(0)
{
}

BFile::BFile(const BFile& file) :
	BNode(),
	BPositionIO(),
	fMode(0)
{
	*this = file;
}

BFile::BFile(const entry_ref* ref, uint32 openMode) :
	fMode(0)
{
	SetTo(ref, openMode);
}

BFile::BFile(const BEntry* entry, uint32 openMode) :
	fMode(0)
{
	SetTo(entry, openMode);
}

BFile::BFile(const char* path, uint32 openMode) :
	fMode(0)
{
	SetTo(path, openMode);
}

BFile::BFile(const BDirectory* dir, const char* path, uint32 openMode) :
	fMode(0)
{
	SetTo(dir, path, openMode);
}

BFile::~BFile()
{
}

status_t
BFile::SetTo(const entry_ref* ref, uint32 openMode)
{
	BPath path(ref);
	return _Usable(path) ? SetTo(path.Path(), openMode) : fCStatus;
}

status_t
BFile::SetTo(const BEntry* entry, uint32 openMode)
{
	BPath path(entry);
	return _Usable(path) ? SetTo(path.Path(), openMode) : fCStatus;
}

status_t
BFile::SetTo(const char* path, uint32 openMode)
{
	fMode = openMode;
	status_t status = _SetTo(path, HostOpenFlags(openMode), 0666);
	if (status != B_OK)
		return status;
	struct stat st;
	if (fstat(fFd, &st) == 0 && S_ISDIR(st.st_mode)) {
		Unset();
		return fCStatus = B_IS_A_DIRECTORY;
	}
	return B_OK;
}

status_t
BFile::SetTo(const BDirectory* dir, const char* path, uint32 openMode)
{
	if (dir == NULL || path == NULL) {
		Unset();
		return fCStatus = B_BAD_VALUE;
	}
	BPath full(dir, path);
	if (full.InitCheck() != B_OK) {
		Unset();
		return fCStatus = full.InitCheck();
	}
	return SetTo(full.Path(), openMode);
}

bool
BFile::IsReadable() const
{
	return fCStatus == B_OK && (fMode & 0x3) != B_WRITE_ONLY;
}

bool
BFile::IsWritable() const
{
	return fCStatus == B_OK && (fMode & 0x3) != B_READ_ONLY;
}

ssize_t
BFile::Read(void* buffer, size_t size)
{
	if (fCStatus != B_OK)
		return fCStatus;
	ssize_t result = read(fFd, buffer, size);
	return result >= 0 ? result : host_error_to_status(errno);
}

ssize_t
BFile::ReadAt(off_t location, void* buffer, size_t size)
{
	if (fCStatus != B_OK)
		return fCStatus;
	ssize_t result = pread(fFd, buffer, size, location);
	return result >= 0 ? result : host_error_to_status(errno);
}

ssize_t
BFile::Write(const void* buffer, size_t size)
{
	if (fCStatus != B_OK)
		return fCStatus;
	ssize_t result = write(fFd, buffer, size);
	return result >= 0 ? result : host_error_to_status(errno);
}

ssize_t
BFile::WriteAt(off_t location, const void* buffer, size_t size)
{
	if (fCStatus != B_OK)
		return fCStatus;
	ssize_t result = pwrite(fFd, buffer, size, location);
	return result >= 0 ? result : host_error_to_status(errno);
}

off_t
BFile::Seek(off_t offset, uint32 seekMode)
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	off_t result = lseek(fFd, offset, (int)seekMode);
	return result >= 0 ? result : (off_t)host_error_to_status(errno);
}

off_t
BFile::Position() const
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	off_t result = lseek(fFd, 0, SEEK_CUR);
	return result >= 0 ? result : (off_t)host_error_to_status(errno);
}

status_t
BFile::SetSize(off_t size)
{
	if (fCStatus != B_OK)
		return fCStatus;
	if (size < 0)
		return B_BAD_VALUE;
	return ftruncate(fFd, size) == 0 ? B_OK : host_error_to_status(errno);
}

status_t
BFile::GetSize(off_t* size) const
{
	if (size == NULL)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = GetStat(&st);
	if (status == B_OK)
		*size = st.st_size;
	return status;
}

BFile&
BFile::operator=(const BFile& file)
{
	if (&file == this)
		return *this;
	Unset();
	fMode = file.fMode;
	if (file.fCStatus != B_OK) {
		fCStatus = file.fCStatus;
		return *this;
	}
	int fd = fcntl(file.fFd, F_DUPFD_CLOEXEC, 0);
	if (fd < 0) {
		fCStatus = host_error_to_status(errno);
		return *this;
	}
	fFd = fd;
	fCStatus = B_OK;
	return *this;
}

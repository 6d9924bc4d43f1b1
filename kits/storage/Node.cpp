/*
 * BNode over a host file descriptor. Attributes are not provided.
 */
#include <Node.h>

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <Entry.h>
#include <Path.h>

#include "HostErrors.h"

BNode::BNode() :
	fFd(-1),
	fCStatus(B_NO_INIT)
{
}

BNode::BNode(const entry_ref* ref) :
	BNode()
{
	SetTo(ref);
}

BNode::BNode(const BEntry* entry) :
	BNode()
{
	SetTo(entry);
}

BNode::BNode(const char* path) :
	BNode()
{
	SetTo(path);
}

BNode::~BNode()
{
	Unset();
}

status_t
BNode::InitCheck() const
{
	return fCStatus;
}

status_t
BNode::GetStat(struct stat* st) const
{
	if (st == NULL)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	return fstat(fFd, st) == 0 ? B_OK : BPrivate::host_error_to_status(errno);
}

status_t
BNode::SetTo(const entry_ref* ref)
{
	BPath path(ref);
	return _Usable(path) ? SetTo(path.Path()) : fCStatus;
}

status_t
BNode::SetTo(const BEntry* entry)
{
	BPath path(entry);
	return _Usable(path) ? SetTo(path.Path()) : fCStatus;
}

status_t
BNode::SetTo(const char* path)
{
	return _SetTo(path, O_RDONLY, 0);
}

void
BNode::Unset()
{
	if (fFd >= 0)
		close(fFd);
	fFd = -1;
	fCStatus = B_NO_INIT;
}

status_t
BNode::Sync()
{
	if (fCStatus != B_OK)
		return fCStatus;
	return fsync(fFd) == 0 ? B_OK : BPrivate::host_error_to_status(errno);
}

// An advisory lock on the open file description: it holds between processes and between two
// BNode objects of one process, and ends with the descriptor.
status_t
BNode::Lock()
{
	if (fCStatus != B_OK)
		return fCStatus;
	if (flock(fFd, LOCK_EX | LOCK_NB) == 0)
		return B_OK;
	return errno == EWOULDBLOCK ? B_BUSY : BPrivate::host_error_to_status(errno);
}

status_t
BNode::Unlock()
{
	if (fCStatus != B_OK)
		return fCStatus;
	return flock(fFd, LOCK_UN) == 0 ? B_OK : BPrivate::host_error_to_status(errno);
}

bool
BNode::_Usable(const BPath& path)
{
	if (path.InitCheck() == B_OK)
		return true;
	Unset();
	fCStatus = path.InitCheck();
	return false;
}

status_t
BNode::_SetTo(const char* path, int hostFlags, mode_t mode)
{
	Unset();
	if (path == NULL)
		return fCStatus = B_BAD_VALUE;
	int fd = open(path, hostFlags | O_CLOEXEC, mode);
	if (fd < 0)
		return fCStatus = BPrivate::host_error_to_status(errno);
	fFd = fd;
	return fCStatus = B_OK;
}

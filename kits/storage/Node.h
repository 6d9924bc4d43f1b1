/*
 * BNode: an open file system node. Attributes and node monitoring are not provided.
 */
#ifndef _NODE_H
#define _NODE_H

#include <sys/stat.h>

#include <StorageDefs.h>
#include <SupportDefs.h>

class BDirectory;
class BEntry;
class BPath;
struct entry_ref;

class BNode {
public:
	BNode();
	BNode(const entry_ref* ref);
	BNode(const BEntry* entry);
	BNode(const char* path);
	virtual ~BNode();

	status_t InitCheck() const;
	virtual status_t GetStat(struct stat* st) const;

	status_t SetTo(const entry_ref* ref);
	status_t SetTo(const BEntry* entry);
	status_t SetTo(const char* path);
	void Unset();

	status_t Sync();

	// Reserves the node for this object alone: another BNode's Lock, in this process or
	// another, fails with B_BUSY until Unlock or until this node is closed.
	status_t Lock();
	status_t Unlock();

protected:
	// Host side: opens `path` with host flags; the descriptor is kept in fFd.
	status_t _SetTo(const char* path, int hostFlags, mode_t mode);
	// True when the path (of a ref or an entry) could be built; otherwise the node is left
	// unset with the path's error.
	bool _Usable(const BPath& path);

	int fFd;
	status_t fCStatus;

private:
	BNode(const BNode&);
	BNode& operator=(const BNode&);
};

#endif // _NODE_H

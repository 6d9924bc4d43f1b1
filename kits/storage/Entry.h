/*
 * entry_ref and BEntry. An entry_ref names an entry by device, directory node and leaf name as
 * on the platform; since the host cannot open a directory by its node number, the ref also
 * carries the directory's path, privately.
 */
#ifndef _ENTRY_H
#define _ENTRY_H

#include <sys/types.h>

#include <StorageDefs.h>
#include <SupportDefs.h>

class BDirectory;
class BPath;

struct entry_ref {
	entry_ref();
	entry_ref(dev_t device, ino_t directory, const char* name);
	entry_ref(const entry_ref& ref);
	~entry_ref();

	status_t set_name(const char* name);

	bool operator==(const entry_ref& ref) const;
	bool operator!=(const entry_ref& ref) const;
	entry_ref& operator=(const entry_ref& ref);

	dev_t device;
	ino_t directory;
	char* name;

	// Host side: the path of the directory, or NULL when unknown.
	char* _directoryPath;
};

status_t get_ref_for_path(const char* path, entry_ref* ref);
bool operator<(const entry_ref& a, const entry_ref& b);

class BEntry {
public:
	BEntry();
	BEntry(const char* path, bool traverse = false);
	BEntry(const entry_ref* ref, bool traverse = false);
	BEntry(const BEntry& entry);
	virtual ~BEntry();

	status_t InitCheck() const;
	bool Exists() const;

	status_t SetTo(const char* path, bool traverse = false);
	status_t SetTo(const entry_ref* ref, bool traverse = false);
	void Unset();

	status_t GetRef(entry_ref* ref) const;
	status_t GetPath(BPath* path) const;
	status_t GetParent(BEntry* entry) const;
	status_t GetName(char* buffer) const;
	status_t GetSize(off_t* size) const;

	bool IsFile() const;
	bool IsSymLink() const;
	bool IsDirectory() const;

	status_t Rename(const char* path, bool clobber = false);
	status_t Remove();

	BEntry& operator=(const BEntry& entry);
	bool operator==(const BEntry& entry) const;
	bool operator!=(const BEntry& entry) const;

private:
	char* fPath;
	status_t fStatus;
};

#endif // _ENTRY_H

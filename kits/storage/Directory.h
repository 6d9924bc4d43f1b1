/*
 * BDirectory and create_directory(). Only what the kits and the application use: opening,
 * looking entries up and creating files and folders.
 */
#ifndef _DIRECTORY_H
#define _DIRECTORY_H

#include <Node.h>

class BEntry;
class BFile;
class BPath;

class BDirectory : public BNode {
public:
	BDirectory();
	BDirectory(const BDirectory& dir);
	BDirectory(const entry_ref* ref);
	BDirectory(const BEntry* entry);
	BDirectory(const char* path);
	virtual ~BDirectory();

	status_t SetTo(const entry_ref* ref);
	status_t SetTo(const BEntry* entry);
	status_t SetTo(const char* path);

	status_t GetEntry(BEntry* entry) const;
	status_t FindEntry(const char* path, BEntry* entry, bool traverse = false) const;
	bool Contains(const char* path, int32 nodeFlags = B_ANY_NODE) const;

	status_t CreateFile(const char* path, BFile* file, bool failIfExists = false);
	status_t CreateDirectory(const char* path, BDirectory* dir);

	BDirectory& operator=(const BDirectory& dir);

	// Host side: the directory's path.
	const char* _Path() const;

private:
	char* fPath;
};

status_t create_directory(const char* path, mode_t mode);

#endif // _DIRECTORY_H

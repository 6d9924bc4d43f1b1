/*
 * BResources: the resources stored in an executable or a resource file, read whole into
 * memory and written back by Sync() or on destruction when they changed.
 */
#ifndef _RESOURCES_H
#define _RESOURCES_H

#include <File.h>
#include <SupportDefs.h>

namespace BPrivate {
class ResourceFile;
}

class BResources {
public:
	BResources();
	BResources(const BFile* file, bool clobber = false);
	virtual ~BResources();

	status_t SetTo(const BFile* file, bool clobber = false);
	void Unset();
	status_t InitCheck() const;

	const BFile& File() const;

	const void* LoadResource(type_code type, int32 id, size_t* outSize);
	const void* LoadResource(type_code type, const char* name, size_t* outSize);

	status_t PreloadResourceType(type_code type = 0);

	status_t Sync();
	status_t MergeFrom(BFile* fromFile);
	status_t WriteTo(BFile* file);

	status_t AddResource(type_code type, int32 id, const void* data, size_t length,
		const char* name = NULL);

	bool HasResource(type_code type, int32 id);
	bool HasResource(type_code type, const char* name);

	bool GetResourceInfo(int32 byIndex, type_code* typeFound, int32* idFound,
		const char** nameFound, size_t* lengthFound);
	bool GetResourceInfo(type_code byType, int32 andIndex, int32* idFound, const char** nameFound,
		size_t* lengthFound);
	bool GetResourceInfo(type_code byType, int32 andId, const char** nameFound,
		size_t* lengthFound);
	bool GetResourceInfo(type_code byType, const char* andName, int32* idFound,
		size_t* lengthFound);
	bool GetResourceInfo(const void* byPointer, type_code* typeFound, int32* idFound,
		size_t* lengthFound, const char** nameFound);

	status_t RemoveResource(const void* resource);
	status_t RemoveResource(type_code type, int32 id);

	status_t WriteResource(type_code type, int32 id, const void* data, off_t offset, size_t length);
	status_t ReadResource(type_code type, int32 id, void* data, off_t offset, size_t length);

	// Copies that the caller frees with free(); prefer LoadResource().
	void* FindResource(type_code type, int32 id, size_t* lengthFound);
	void* FindResource(type_code type, const char* name, size_t* lengthFound);

private:
	BResources(const BResources&);
	BResources& operator=(const BResources&);

	status_t _CheckWritable() const;

	BFile fFile;
	BPrivate::ResourceFile* fResources;
	status_t fStatus;
	bool fReadOnly;
	bool fDirty;
};

#endif // _RESOURCES_H

#include <Resources.h>

#include <stdlib.h>
#include <string.h>

#include <new>

#include "ResourceFile.h"

using BPrivate::ResourceFile;
using BPrivate::ResourceItem;

namespace {

// Bounds what WriteResource() may grow a resource to.
const uint64 kMaxResourceSize = 256 * 1024 * 1024;

void
ReportInfo(const ResourceItem* item, type_code* type, int32* id, const char** name, size_t* length)
{
	if (type != NULL)
		*type = item->type;
	if (id != NULL)
		*id = item->id;
	if (name != NULL)
		*name = item->name.c_str();
	if (length != NULL)
		*length = item->size;
}

void*
CopyOf(const ResourceItem* item, size_t* length)
{
	if (item == NULL)
		return NULL;
	void* copy = malloc(item->size > 0 ? item->size : 1);
	if (copy == NULL)
		return NULL;
	memcpy(copy, item->data.get(), item->size);
	if (length != NULL)
		*length = item->size;
	return copy;
}

} // namespace

BResources::BResources() :
	fResources(NULL),
	fStatus(B_NO_INIT),
	fReadOnly(true),
	fDirty(false)
{
}

BResources::BResources(const BFile* file, bool clobber) :
	fResources(NULL),
	fStatus(B_NO_INIT),
	fReadOnly(true),
	fDirty(false)
{
	SetTo(file, clobber);
}

BResources::~BResources()
{
	Unset();
}

status_t
BResources::SetTo(const BFile* file, bool clobber)
{
	Unset();
	if (file == NULL || file->InitCheck() != B_OK)
		return fStatus = B_BAD_VALUE;

	fFile = *file;
	if (fFile.InitCheck() != B_OK)
		return fStatus = fFile.InitCheck();
	fReadOnly = !fFile.IsWritable();
	if (clobber && fReadOnly) {
		fFile.Unset();
		return fStatus = B_NOT_ALLOWED;
	}

	fResources = new (std::nothrow) ResourceFile;
	if (fResources == NULL) {
		fFile.Unset();
		return fStatus = B_NO_MEMORY;
	}
	status_t status = fResources->Read(&fFile, clobber);
	if (status != B_OK) {
		delete fResources;
		fResources = NULL;
		fFile.Unset();
		return fStatus = status;
	}
	fDirty = clobber;
	return fStatus = B_OK;
}

void
BResources::Unset()
{
	if (fStatus == B_OK && fDirty)
		Sync();
	delete fResources;
	fResources = NULL;
	fFile.Unset();
	fStatus = B_NO_INIT;
	fReadOnly = true;
	fDirty = false;
}

status_t
BResources::InitCheck() const
{
	return fStatus;
}

const BFile&
BResources::File() const
{
	return fFile;
}

const void*
BResources::LoadResource(type_code type, int32 id, size_t* outSize)
{
	if (fStatus != B_OK)
		return NULL;
	const ResourceItem* item = fResources->Find(type, id);
	if (item == NULL)
		return NULL;
	if (outSize != NULL)
		*outSize = item->size;
	return item->data.get();
}

const void*
BResources::LoadResource(type_code type, const char* name, size_t* outSize)
{
	if (fStatus != B_OK)
		return NULL;
	const ResourceItem* item = fResources->Find(type, name);
	if (item == NULL)
		return NULL;
	if (outSize != NULL)
		*outSize = item->size;
	return item->data.get();
}

status_t
BResources::PreloadResourceType(type_code /*type*/)
{
	// Everything is loaded when the file is attached.
	return fStatus;
}

status_t
BResources::Sync()
{
	status_t status = _CheckWritable();
	if (status != B_OK)
		return status;
	status = fResources->Write(&fFile);
	if (status == B_OK)
		fDirty = false;
	return status;
}

status_t
BResources::MergeFrom(BFile* fromFile)
{
	status_t status = _CheckWritable();
	if (status != B_OK)
		return status;
	if (fromFile == NULL || fromFile->InitCheck() != B_OK)
		return B_BAD_VALUE;
	ResourceFile other;
	status = other.Read(fromFile, false);
	if (status != B_OK)
		return status;
	for (int32 i = 0; i < other.CountItems(); i++) {
		const ResourceItem* item = other.ItemAt(i);
		if (fResources->Add(item->type, item->id, item->data.get(), item->size, item->name.c_str())
			== NULL)
			return B_NO_MEMORY;
		fDirty = true;
	}
	return B_OK;
}

status_t
BResources::WriteTo(BFile* file)
{
	if (fStatus != B_OK)
		return fStatus;
	if (file == NULL || file->InitCheck() != B_OK)
		return B_BAD_VALUE;
	if (!file->IsWritable())
		return B_NOT_ALLOWED;

	// The target keeps its own ELF image, if any; its resources are replaced by ours.
	ResourceFile* target = new (std::nothrow) ResourceFile;
	if (target == NULL)
		return B_NO_MEMORY;
	status_t status = target->Read(file, true);
	for (int32 i = 0; status == B_OK && i < fResources->CountItems(); i++) {
		const ResourceItem* item = fResources->ItemAt(i);
		if (target->Add(item->type, item->id, item->data.get(), item->size, item->name.c_str())
			== NULL)
			status = B_NO_MEMORY;
	}
	if (status != B_OK) {
		delete target;
		return status;
	}
	if (fDirty && !fReadOnly)
		Sync();
	delete fResources;
	fResources = target;
	fFile = *file;
	fReadOnly = false;
	fDirty = true;
	return Sync();
}

status_t
BResources::AddResource(type_code type, int32 id, const void* data, size_t length, const char* name)
{
	status_t status = _CheckWritable();
	if (status != B_OK)
		return status;
	if (data == NULL && length > 0)
		return B_BAD_VALUE;
	if (fResources->Add(type, id, data, length, name) == NULL)
		return B_NO_MEMORY;
	fDirty = true;
	return B_OK;
}

bool
BResources::HasResource(type_code type, int32 id)
{
	return fStatus == B_OK && fResources->Find(type, id) != NULL;
}

bool
BResources::HasResource(type_code type, const char* name)
{
	return fStatus == B_OK && fResources->Find(type, name) != NULL;
}

bool
BResources::GetResourceInfo(int32 byIndex, type_code* typeFound, int32* idFound,
	const char** nameFound, size_t* lengthFound)
{
	if (fStatus != B_OK)
		return false;
	const ResourceItem* item = fResources->ItemAt(byIndex);
	if (item == NULL)
		return false;
	ReportInfo(item, typeFound, idFound, nameFound, lengthFound);
	return true;
}

bool
BResources::GetResourceInfo(type_code byType, int32 andIndex, int32* idFound,
	const char** nameFound, size_t* lengthFound)
{
	if (fStatus != B_OK || andIndex < 0)
		return false;
	for (int32 i = 0; i < fResources->CountItems(); i++) {
		const ResourceItem* item = fResources->ItemAt(i);
		if (item->type != byType)
			continue;
		if (andIndex-- == 0) {
			ReportInfo(item, NULL, idFound, nameFound, lengthFound);
			return true;
		}
	}
	return false;
}

bool
BResources::GetResourceInfo(type_code byType, int32 andId, const char** nameFound,
	size_t* lengthFound)
{
	if (fStatus != B_OK)
		return false;
	const ResourceItem* item = fResources->Find(byType, andId);
	if (item == NULL)
		return false;
	ReportInfo(item, NULL, NULL, nameFound, lengthFound);
	return true;
}

bool
BResources::GetResourceInfo(type_code byType, const char* andName, int32* idFound,
	size_t* lengthFound)
{
	if (fStatus != B_OK)
		return false;
	const ResourceItem* item = fResources->Find(byType, andName);
	if (item == NULL)
		return false;
	ReportInfo(item, NULL, idFound, NULL, lengthFound);
	return true;
}

bool
BResources::GetResourceInfo(const void* byPointer, type_code* typeFound, int32* idFound,
	size_t* lengthFound, const char** nameFound)
{
	if (fStatus != B_OK || byPointer == NULL)
		return false;
	const ResourceItem* item = fResources->FindData(byPointer);
	if (item == NULL)
		return false;
	ReportInfo(item, typeFound, idFound, nameFound, lengthFound);
	return true;
}

status_t
BResources::RemoveResource(const void* resource)
{
	status_t status = _CheckWritable();
	if (status != B_OK)
		return status;
	const ResourceItem* item = fResources->FindData(resource);
	if (item == NULL)
		return B_BAD_VALUE;
	fDirty = true;
	return fResources->Remove(item);
}

status_t
BResources::RemoveResource(type_code type, int32 id)
{
	status_t status = _CheckWritable();
	if (status != B_OK)
		return status;
	const ResourceItem* item = fResources->Find(type, id);
	if (item == NULL)
		return B_BAD_VALUE;
	fDirty = true;
	return fResources->Remove(item);
}

status_t
BResources::WriteResource(type_code type, int32 id, const void* data, off_t offset, size_t length)
{
	status_t status = _CheckWritable();
	if (status != B_OK)
		return status;
	ResourceItem* item = fResources->Find(type, id);
	if (item == NULL)
		return B_BAD_VALUE;
	if (offset < 0 || (data == NULL && length > 0) || (uint64)offset > kMaxResourceSize
		|| length > kMaxResourceSize)
		return B_BAD_VALUE;
	if (length == 0)
		return B_OK;
	const size_t end = (size_t)offset + length;
	if (end > item->size) {
		// Grown in a copy, so that a failure leaves the resource as it was.
		std::unique_ptr<uint8[]> grown(new (std::nothrow) uint8[end + 1]);
		if (!grown)
			return B_NO_MEMORY;
		memcpy(grown.get(), item->data.get(), item->size);
		memset(grown.get() + item->size, 0, end + 1 - item->size);
		item->data = std::move(grown);
		item->size = end;
	}
	memcpy(item->data.get() + offset, data, length);
	fDirty = true;
	return B_OK;
}

status_t
BResources::ReadResource(type_code type, int32 id, void* data, off_t offset, size_t length)
{
	if (fStatus != B_OK)
		return fStatus;
	const ResourceItem* item = fResources->Find(type, id);
	if (item == NULL || offset < 0 || (data == NULL && length > 0))
		return B_BAD_VALUE;
	if ((uint64)offset >= item->size)
		return B_OK;
	const size_t available = item->size - (size_t)offset;
	memcpy(data, item->data.get() + offset, length < available ? length : available);
	return B_OK;
}

void*
BResources::FindResource(type_code type, int32 id, size_t* lengthFound)
{
	if (fStatus != B_OK)
		return NULL;
	return CopyOf(fResources->Find(type, id), lengthFound);
}

void*
BResources::FindResource(type_code type, const char* name, size_t* lengthFound)
{
	if (fStatus != B_OK)
		return NULL;
	return CopyOf(fResources->Find(type, name), lengthFound);
}

status_t
BResources::_CheckWritable() const
{
	if (fStatus != B_OK)
		return fStatus;
	return fReadOnly ? B_NOT_ALLOWED : B_OK;
}

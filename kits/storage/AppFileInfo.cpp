#include <AppFileInfo.h>

#include <string.h>

#include <new>

#include <Bitmap.h>
#include <File.h>
#include <Resources.h>
#include <StorageDefs.h>
#include <TypeConstants.h>

namespace {

const type_code kAppFlagsType = 'APPF';
const type_code kVersionType = 'APPV';

const char* const kSignatureName = "BEOS:APP_SIG";
const char* const kTypeName = "BEOS:TYPE";
const char* const kAppFlagsName = "BEOS:APP_FLAGS";
const char* const kVersionName = "BEOS:APP_VERSION";
const char* const kLargeIconName = "BEOS:L:STD_ICON";
const char* const kMiniIconName = "BEOS:M:STD_ICON";

static_assert(sizeof(version_info) == 340, "version_info is stored as is");

} // namespace

BAppFileInfo::BAppFileInfo() :
	fResources(NULL),
	fStatus(B_NO_INIT)
{
}

BAppFileInfo::BAppFileInfo(BFile* file) :
	fResources(NULL),
	fStatus(B_NO_INIT)
{
	SetTo(file);
}

BAppFileInfo::~BAppFileInfo()
{
	delete fResources;
}

status_t
BAppFileInfo::SetTo(BFile* file)
{
	delete fResources;
	fResources = NULL;
	if (file == NULL || file->InitCheck() != B_OK)
		return fStatus = B_BAD_VALUE;

	fResources = new (std::nothrow) BResources(file);
	if (fResources == NULL)
		return fStatus = B_NO_MEMORY;
	fStatus = fResources->InitCheck();
	if (fStatus != B_OK) {
		delete fResources;
		fResources = NULL;
	}
	return fStatus;
}

status_t
BAppFileInfo::InitCheck() const
{
	return fStatus;
}

status_t
BAppFileInfo::GetType(char* type) const
{
	return _GetMimeString(kTypeName, type);
}

status_t
BAppFileInfo::GetSignature(char* signature) const
{
	return _GetMimeString(kSignatureName, signature);
}

status_t
BAppFileInfo::GetAppFlags(uint32* flags) const
{
	if (flags == NULL)
		return B_BAD_VALUE;
	size_t size = 0;
	const void* data = _Load(kAppFlagsType, kAppFlagsName, &size);
	if (data == NULL)
		return fStatus != B_OK ? fStatus : B_ENTRY_NOT_FOUND;
	if (size != sizeof(uint32))
		return B_BAD_DATA;
	memcpy(flags, data, sizeof(uint32));
	return B_OK;
}

status_t
BAppFileInfo::GetVersionInfo(version_info* info, version_kind kind) const
{
	if (info == NULL || (kind != B_APP_VERSION_KIND && kind != B_SYSTEM_VERSION_KIND))
		return B_BAD_VALUE;
	size_t size = 0;
	const uint8* data = static_cast<const uint8*>(_Load(kVersionType, kVersionName, &size));
	if (data == NULL)
		return fStatus != B_OK ? fStatus : B_ENTRY_NOT_FOUND;
	const size_t offset = kind == B_SYSTEM_VERSION_KIND ? sizeof(version_info) : 0;
	if (size < offset + sizeof(version_info))
		return B_BAD_DATA;
	memcpy(info, data + offset, sizeof(version_info));
	info->short_info[sizeof(info->short_info) - 1] = '\0';
	info->long_info[sizeof(info->long_info) - 1] = '\0';
	return B_OK;
}

status_t
BAppFileInfo::GetIcon(BBitmap* icon, icon_size which) const
{
	if (icon == NULL || icon->InitCheck() != B_OK)
		return B_BAD_VALUE;
	type_code type;
	const char* name;
	if (which == B_LARGE_ICON) {
		type = B_LARGE_ICON_TYPE;
		name = kLargeIconName;
	} else if (which == B_MINI_ICON) {
		type = B_MINI_ICON_TYPE;
		name = kMiniIconName;
	} else
		return B_BAD_VALUE;
	const int32 side = which;
	const BRect bounds = icon->Bounds();
	if (bounds.IntegerWidth() + 1 != side || bounds.IntegerHeight() + 1 != side)
		return B_BAD_VALUE;

	size_t size = 0;
	const uint8* pixels = static_cast<const uint8*>(_Load(type, name, &size));
	if (pixels == NULL)
		return fStatus != B_OK ? fStatus : B_ENTRY_NOT_FOUND;
	if (size != (size_t)side * side)
		return B_BAD_DATA;
	if (icon->ColorSpace() == B_CMAP8) {
		uint8* bits = static_cast<uint8*>(icon->Bits());
		for (int32 y = 0; y < side; y++)
			memcpy(bits + y * icon->BytesPerRow(), pixels + y * side, side);
	} else
		icon->SetBits(pixels, (int32)size, 0, B_CMAP8);
	return B_OK;
}

status_t
BAppFileInfo::_GetMimeString(const char* name, char* buffer) const
{
	if (buffer == NULL)
		return B_BAD_VALUE;
	size_t size = 0;
	const char* data = static_cast<const char*>(_Load(B_MIME_STRING_TYPE, name, &size));
	if (data == NULL)
		return fStatus != B_OK ? fStatus : B_ENTRY_NOT_FOUND;
	const size_t length = strnlen(data, size);
	if (length == size || length >= B_MIME_TYPE_LENGTH)
		return B_BAD_DATA;
	memcpy(buffer, data, length + 1);
	return B_OK;
}

const void*
BAppFileInfo::_Load(type_code type, const char* name, size_t* size) const
{
	if (fStatus != B_OK)
		return NULL;
	return fResources->LoadResource(type, name, size);
}

/*
 * BAppFileInfo: an application's signature, type, flags, version and icons, read from the
 * resources of its executable. Only these getters are provided: the setters, supported types,
 * icons for types and the BNodeInfo base class (attributes) are not.
 */
#ifndef _APP_FILE_INFO_H
#define _APP_FILE_INFO_H

#include <Mime.h>
#include <SupportDefs.h>

class BBitmap;
class BFile;
class BResources;

struct version_info {
	uint32 major;
	uint32 middle;
	uint32 minor;
	uint32 variety;
	uint32 internal;
	char short_info[64];
	char long_info[256];
};

enum version_kind {
	B_APP_VERSION_KIND,
	B_SYSTEM_VERSION_KIND
};

enum {
	B_DEVELOPMENT_VERSION = 0,
	B_ALPHA_VERSION,
	B_BETA_VERSION,
	B_GAMMA_VERSION,
	B_GOLDEN_MASTER_VERSION,
	B_FINAL_VERSION
};

class BAppFileInfo {
public:
	BAppFileInfo();
	BAppFileInfo(BFile* file);
	virtual ~BAppFileInfo();

	status_t SetTo(BFile* file);
	status_t InitCheck() const;

	virtual status_t GetType(char* type) const;
	status_t GetSignature(char* signature) const;
	status_t GetAppFlags(uint32* flags) const;
	status_t GetVersionInfo(version_info* info, version_kind kind) const;
	virtual status_t GetIcon(BBitmap* icon, icon_size which) const;

private:
	BAppFileInfo(const BAppFileInfo&);
	BAppFileInfo& operator=(const BAppFileInfo&);

	status_t _GetMimeString(const char* name, char* buffer) const;
	const void* _Load(type_code type, const char* name, size_t* size) const;

	BResources* fResources;
	status_t fStatus;
};

#endif // _APP_FILE_INFO_H

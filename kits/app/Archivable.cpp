/*
 * BArchivable and instantiation. An archive's class is found as the exported function
 * `Class::Instantiate(BMessage*)` in any image loaded into the team; when none has it and the
 * archive names an "add_on" signature, the application registered for that signature is
 * loaded as an add-on and searched.
 */
#include <Archivable.h>

#include <cxxabi.h>
#include <dlfcn.h>
#include <errno.h>
#include <link.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <typeinfo>
#include <vector>

#include <Entry.h>
#include <Message.h>
#include <Path.h>
#include <Roster.h>

#include "AddOnImage.h"

namespace {

// Itanium mangling of `Class::Instantiate(BMessage*)`, for plain and namespaced classes.
std::string
MangledInstantiate(const char* className)
{
	std::string mangled = "_ZN";
	const char* part = className;
	while (true) {
		const char* end = strstr(part, "::");
		size_t length = end != NULL ? (size_t)(end - part) : strlen(part);
		if (length == 0)
			return "";
		mangled += std::to_string(length) + std::string(part, length);
		if (end == NULL)
			break;
		part = end + 2;
	}
	return mangled + "11InstantiateEP8BMessage";
}

int
CollectImage(struct dl_phdr_info* info, size_t, void* data)
{
	if (info->dlpi_name != NULL && info->dlpi_name[0] != '\0')
		static_cast<std::vector<std::string>*>(data)->push_back(info->dlpi_name);
	return 0;
}

instantiation_func
FindInLoadedImages(const std::string& symbol)
{
	void* found = dlsym(RTLD_DEFAULT, symbol.c_str());
	if (found != NULL)
		return (instantiation_func)found;

	// Images loaded with local scope are not searched by RTLD_DEFAULT.
	std::vector<std::string> images;
	dl_iterate_phdr(CollectImage, &images);
	for (const std::string& image : images) {
		void* handle = dlopen(image.c_str(), RTLD_LAZY | RTLD_NOLOAD);
		if (handle == NULL)
			continue;
		found = dlsym(handle, symbol.c_str());
		dlclose(handle);
		if (found != NULL)
			return (instantiation_func)found;
	}
	return NULL;
}

} // namespace

BArchivable::BArchivable()
{
}

BArchivable::BArchivable(BMessage* /*from*/)
{
}

BArchivable::~BArchivable()
{
}

status_t
BArchivable::Archive(BMessage* into, bool /*deep*/) const
{
	if (into == NULL)
		return B_BAD_VALUE;
	int status = 0;
	char* name = abi::__cxa_demangle(typeid(*this).name(), NULL, NULL, &status);
	if (name == NULL)
		return B_ERROR;
	status_t result = into->AddString(B_CLASS_FIELD, name);
	free(name);
	return result;
}

BArchivable*
BArchivable::Instantiate(BMessage* /*from*/)
{
	return NULL;
}

instantiation_func
find_instantiation_func(const char* className, const char* signature)
{
	if (className == NULL) {
		errno = B_BAD_VALUE;
		return NULL;
	}
	std::string symbol = MangledInstantiate(className);
	if (symbol.empty()) {
		errno = B_BAD_VALUE;
		return NULL;
	}
	instantiation_func function = FindInLoadedImages(symbol);
	if (function != NULL || signature == NULL)
		return function;

	entry_ref ref;
	if (be_roster->FindApp(signature, &ref) != B_OK)
		return NULL;
	BPath path(&ref);
	if (path.InitCheck() != B_OK)
		return NULL;
	void* loaded;
	if (BPrivate::load_add_on_symbol(path.Path(), symbol.c_str(), &loaded) != B_OK)
		return NULL;
	return (instantiation_func)loaded;
}

instantiation_func
find_instantiation_func(const char* className)
{
	return find_instantiation_func(className, NULL);
}

instantiation_func
find_instantiation_func(BMessage* archive)
{
	if (archive == NULL) {
		errno = B_BAD_VALUE;
		return NULL;
	}
	const char* className = NULL;
	const char* signature = NULL;
	if (archive->FindString(B_CLASS_FIELD, &className) != B_OK) {
		errno = B_BAD_VALUE;
		return NULL;
	}
	archive->FindString(B_ADD_ON_FIELD, &signature);
	return find_instantiation_func(className, signature);
}

BArchivable*
instantiate_object(BMessage* from, image_id* id)
{
	if (id != NULL)
		*id = B_BAD_VALUE;
	if (from == NULL) {
		errno = B_BAD_VALUE;
		return NULL;
	}
	const char* signature = NULL;
	from->FindString(B_ADD_ON_FIELD, &signature);

	// The most derived class comes first; fall back on its bases.
	const char* className;
	for (int32 i = 0; from->FindString(B_CLASS_FIELD, i, &className) == B_OK; i++) {
		instantiation_func function = find_instantiation_func(className, signature);
		if (function != NULL) {
			if (id != NULL)
				*id = 0;
			return function(from);
		}
	}
	errno = B_BAD_VALUE;
	return NULL;
}

BArchivable*
instantiate_object(BMessage* from)
{
	return instantiate_object(from, NULL);
}

bool
validate_instantiation(BMessage* from, const char* className)
{
	if (from == NULL || className == NULL) {
		errno = B_BAD_VALUE;
		return false;
	}
	const char* name;
	for (int32 i = 0; from->FindString(B_CLASS_FIELD, i, &name) == B_OK; i++) {
		if (strcmp(name, className) == 0)
			return true;
	}
	errno = B_MISMATCHED_VALUES;
	return false;
}

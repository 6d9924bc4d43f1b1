/*
 * Wraps the host's dynamic loader (dladdr, dlopen, dlsym) for the kits' own modules: they sit
 * in the folder of the library that holds this code. No unloading, no search path.
 */
#include "KitModule.h"

#include <dlfcn.h>
#include <string.h>

#include <map>
#include <mutex>
#include <string>

namespace BPrivate {

namespace {

std::string
KitFolder()
{
	Dl_info info;
	if (dladdr((void*)&kit_module_symbol, &info) == 0 || info.dli_fname == NULL)
		return ZORVE_KIT_DIR;
	const char* slash = strrchr(info.dli_fname, '/');
	return slash != NULL ? std::string(info.dli_fname, slash - info.dli_fname) : ".";
}

} // namespace

void*
kit_module_symbol(const char* name, const char* symbol)
{
	// Never destroyed: a module may be asked for while the process exits.
	static std::mutex* lock = new std::mutex;
	static std::map<std::string, void*>* modules = new std::map<std::string, void*>;

	std::lock_guard<std::mutex> guard(*lock);
	auto found = modules->find(name);
	if (found == modules->end()) {
		std::string path = KitFolder() + "/lib" + name + ".so";
		// A module that cannot be loaded is not tried again.
		found = modules->emplace(name, dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)).first;
	}
	return found->second != NULL ? dlsym(found->second, symbol) : NULL;
}

} // namespace BPrivate

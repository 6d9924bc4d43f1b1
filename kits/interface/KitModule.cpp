/*
 * Loading of the kits' optional modules with dlopen; the folder is libbe's own, found with
 * dladdr, so a build tree and an installed copy behave alike.
 */
#include "KitModule.h"

#include <dlfcn.h>

#include <string>

void*
BPrivate::load_kit_module_symbol(const char* name, const char* symbol)
{
	Dl_info info;
	if (dladdr((void*)&load_kit_module_symbol, &info) == 0 || info.dli_fname == NULL)
		return NULL;
	std::string path = info.dli_fname;
	size_t slash = path.rfind('/');
	path = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "lib" + name
		+ ".so";
	void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
	if (module == NULL)
		return NULL;
	return dlsym(module, symbol);
}

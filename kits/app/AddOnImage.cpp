#include "AddOnImage.h"

#include <dlfcn.h>

#include <Errors.h>

namespace BPrivate {

status_t
load_add_on_symbol(const char* path, const char* name, void** symbol)
{
	*symbol = NULL;
	void* image = dlopen(path, RTLD_NOW | RTLD_LOCAL);
	if (image == NULL)
		return B_MISSING_LIBRARY;
	*symbol = dlsym(image, name);
	if (*symbol == NULL)
		return B_MISSING_SYMBOL;
	return B_OK;
}

} // namespace BPrivate

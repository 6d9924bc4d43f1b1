/*
 * Private to the kits and their hosts: loading an executable or a library as an add-on and
 * finding a function it exports, for instantiation from archives and for the Deskbar's items.
 */
#ifndef _ADD_ON_IMAGE_H
#define _ADD_ON_IMAGE_H

#include <SupportDefs.h>

namespace BPrivate {

// Loads the image at `path` with its symbols resolved at once and kept to itself, and finds
// the exported `name` in it. The image is never unloaded: what its code makes may outlive any
// caller. B_MISSING_LIBRARY when the image cannot be loaded, B_MISSING_SYMBOL when it lacks
// the symbol.
status_t load_add_on_symbol(const char* path, const char* name, void** symbol);

} // namespace BPrivate

#endif // _ADD_ON_IMAGE_H

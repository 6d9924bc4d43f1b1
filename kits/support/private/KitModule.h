/*
 * Private to the kits: modules of the kits that are loaded only when first needed, so that a
 * program that does not use them never loads them nor the host libraries behind them (see
 * KitModule.cpp).
 */
#ifndef _KIT_MODULE_H
#define _KIT_MODULE_H

#include <stddef.h>

namespace BPrivate {

// The address of `symbol` in the module lib<name>.so beside the kits' own library, loaded
// the first time it is asked for; NULL when the module or the symbol cannot be had. A
// module, once loaded, stays for the life of the process.
void* kit_module_symbol(const char* name, const char* symbol);

// The object a module's entry point `symbol` (a function taking nothing) returns; NULL when
// the module or its entry point cannot be had.
template<typename Object>
Object*
kit_module_object(const char* name, const char* symbol)
{
	typedef Object* (*EntryPoint)();
	EntryPoint entry = (EntryPoint)kit_module_symbol(name, symbol);
	return entry != NULL ? entry() : NULL;
}

} // namespace BPrivate

#endif // _KIT_MODULE_H

/*
 * Private to the kits: optional parts of a kit built as modules beside libbe and loaded on
 * first use, so that a program that never needs them (a one-shot tool, a test) never loads
 * the host libraries behind them.
 */
#ifndef _KIT_MODULE_H
#define _KIT_MODULE_H

namespace BPrivate {

// Opens "lib<name>.so" from libbe's own folder and returns the address of `symbol` in it,
// or NULL when the module or the symbol is missing. The module stays loaded.
void* load_kit_module_symbol(const char* name, const char* symbol);

} // namespace BPrivate

#endif // _KIT_MODULE_H

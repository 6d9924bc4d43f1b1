/*
 * Finds the TLS back end in its module the first time a secure endpoint connects.
 */
#include "TlsBackEnd.h"

#include "KitModule.h"

namespace BPrivate {

TlsBackEnd*
tls_back_end()
{
	static TlsBackEnd* backEnd = [] {
		typedef TlsBackEnd* (*EntryPoint)();
		EntryPoint entry = (EntryPoint)kit_module_symbol("be_tls", "be_tls_back_end");
		return entry != NULL ? entry() : (TlsBackEnd*)NULL;
	}();
	return backEnd;
}

} // namespace BPrivate

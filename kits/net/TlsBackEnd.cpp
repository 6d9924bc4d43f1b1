/*
 * Finds the TLS back end in its module the first time a secure endpoint connects.
 */
#include "TlsBackEnd.h"

#include "KitModule.h"

namespace BPrivate {

TlsBackEnd*
tls_back_end()
{
	static TlsBackEnd* backEnd = kit_module_object<TlsBackEnd>("be_tls", "be_tls_back_end");
	return backEnd;
}

} // namespace BPrivate

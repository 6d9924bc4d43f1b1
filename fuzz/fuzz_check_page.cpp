// Reads arbitrary check-IP replies as pages, cuts the address out and tests its shape.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <String.h>

#include "Zorve.h"

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	BString reply((const char*)data, (int32)size);
	BString page = Zorve::PageText(reply);
	if (page.Length() > reply.Length())
		__builtin_trap();
	BString address;
	if (Zorve::ExtractAddress(page, address)) {
		if (address.Length() > page.Length())
			__builtin_trap();
		if (Zorve::IsValidAddress(address.String()) && address.Length() > 15)
			__builtin_trap();
	}
	return 0;
}

// Cuts the address out of arbitrary check-IP pages and tests its shape.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <String.h>

#include "Zorve.h"

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	BString page((const char*)data, (int32)size);
	BString address;
	if (Zorve::ExtractAddress(page, address)) {
		if (address.Length() > page.Length())
			__builtin_trap();
		if (Zorve::IsValidAddress(address.String()) && address.Length() > 15)
			__builtin_trap();
	}
	return 0;
}

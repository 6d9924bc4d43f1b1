// Reads arbitrary bytes as an update server's HTTP reply.
#include <stddef.h>
#include <stdint.h>

#include "HttpReply.h"

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	HttpReply reply;
	if (reply.SetTo((const char*)data, size) == B_OK) {
		if ((size_t)reply.Body().Length() > size)
			__builtin_trap();
		BString value;
		reply.Header("Content-Length", value);
		reply.Header("Transfer-Encoding", value);
	}
	return 0;
}

/*
 * Private to the kits: the checksum of the platform's flattened formats (a message's header,
 * a resource file's info block).
 */
#ifndef _CHECKSUM_H
#define _CHECKSUM_H

#include <SupportDefs.h>

namespace BPrivate {

// The big-endian 32-bit words of the bytes summed; 1 to 3 leftover bytes are combined
// big-endian into one small value and added.
uint32 word_checksum(const uint8* data, size_t length);

} // namespace BPrivate

#endif // _CHECKSUM_H

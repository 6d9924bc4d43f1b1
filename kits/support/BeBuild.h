/*
 * Build and linkage macros of the platform. Our images are ELF, where every symbol with
 * default visibility is exported and imported by name, so _EXPORT and _IMPORT are empty.
 */
#ifndef _BE_BUILD_H
#define _BE_BUILD_H

#define B_BEOS_VERSION_4 0x0400
#define B_BEOS_VERSION_4_5 0x0450
#define B_BEOS_VERSION_5 0x0500

#define B_BEOS_VERSION B_BEOS_VERSION_5
#define B_BEOS_VERSION_MAUI B_BEOS_VERSION_5

#define _PR2_COMPATIBLE_ 1
#define _PR3_COMPATIBLE_ 1
#define _R4_COMPATIBLE_ 1
#define _R4_5_COMPATIBLE_ 1

#define _UNUSED(argument) argument
#define _PACKED __attribute__((packed))

#define _EXPORT
#define _IMPORT

#endif // _BE_BUILD_H

/*
 * Private to the storage kit: just enough of an ELF image to find where it ends, which is
 * where the platform keeps an executable's resources. Only little-endian images are read.
 */
#ifndef _ELF_IMAGE_H
#define _ELF_IMAGE_H

#include <SupportDefs.h>

class BPositionIO;

namespace BPrivate {

class ElfImage {
public:
	// The offset at which resources start in the image `file` of `fileSize` bytes: the end of
	// its headers, segments and sections, aligned. B_BAD_DATA for anything that is not a
	// consistent little-endian ELF image.
	static status_t ResourcesOffset(BPositionIO* file, off_t fileSize, off_t* offset);

private:
	ElfImage(BPositionIO* file, off_t fileSize);

	status_t _ReadHeader();
	status_t _IncludeSegments();
	status_t _IncludeSections();
	// Extends the image's end to `offset + size`, refusing ranges that leave the file.
	bool _Include(uint64 offset, uint64 size);

	BPositionIO* fFile;
	uint64 fFileSize;
	bool fIs64;
	uint64 fProgramHeadersOffset;
	uint64 fSectionHeadersOffset;
	uint32 fHeaderSize;
	uint32 fProgramHeaderSize;
	uint32 fProgramHeaderCount;
	uint32 fSectionHeaderSize;
	uint32 fSectionHeaderCount;
	uint64 fEnd;
	uint64 fAlignment;
};

} // namespace BPrivate

#endif // _ELF_IMAGE_H

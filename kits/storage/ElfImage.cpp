#include "ElfImage.h"

#include <string.h>

#include <algorithm>

#include "StorageSupport.h"

namespace BPrivate {

namespace {

const uint8 kElfMagic[4] = {0x7F, 'E', 'L', 'F'};
const uint32 kElf32MinAlignment = 32;
const uint32 kElf64Alignment = 8;
const uint32 kPtNull = 0;
const uint32 kShtNull = 0;
const uint32 kShtNobits = 8;

} // namespace

ElfImage::ElfImage(BPositionIO* file, off_t fileSize) :
	fFile(file),
	fFileSize((uint64)fileSize),
	fIs64(false),
	fProgramHeadersOffset(0),
	fSectionHeadersOffset(0),
	fHeaderSize(0),
	fProgramHeaderSize(0),
	fProgramHeaderCount(0),
	fSectionHeaderSize(0),
	fSectionHeaderCount(0),
	fEnd(0),
	fAlignment(0)
{
}

status_t
ElfImage::ResourcesOffset(BPositionIO* file, off_t fileSize, off_t* offset)
{
	if (fileSize < 52)
		return B_BAD_DATA;
	ElfImage image(file, fileSize);
	status_t status = image._ReadHeader();
	if (status == B_OK)
		status = image._IncludeSegments();
	if (status == B_OK)
		status = image._IncludeSections();
	if (status != B_OK)
		return status;
	*offset = (off_t)align_up(image.fEnd, image.fAlignment);
	return B_OK;
}

status_t
ElfImage::_ReadHeader()
{
	uint8 header[64] = {};
	status_t status = read_exactly(fFile, 0, header, std::min<uint64>(fFileSize, sizeof(header)));
	if (status != B_OK)
		return status;
	if (memcmp(header, kElfMagic, sizeof(kElfMagic)) != 0)
		return B_BAD_DATA;
	// Only little-endian images, as on x86.
	if (header[5] != 1)
		return B_BAD_DATA;

	if (header[4] == 1) {
		fIs64 = false;
		fProgramHeadersOffset = read_le32(header + 28);
		fSectionHeadersOffset = read_le32(header + 32);
		fHeaderSize = read_le16(header + 40);
		fProgramHeaderSize = read_le16(header + 42);
		fProgramHeaderCount = read_le16(header + 44);
		fSectionHeaderSize = read_le16(header + 46);
		fSectionHeaderCount = read_le16(header + 48);
	} else if (header[4] == 2 && fFileSize >= 64) {
		fIs64 = true;
		fProgramHeadersOffset = read_le64(header + 32);
		fSectionHeadersOffset = read_le64(header + 40);
		fHeaderSize = read_le16(header + 52);
		fProgramHeaderSize = read_le16(header + 54);
		fProgramHeaderCount = read_le16(header + 56);
		fSectionHeaderSize = read_le16(header + 58);
		fSectionHeaderCount = read_le16(header + 60);
	} else
		return B_BAD_DATA;

	fAlignment = fIs64 ? kElf64Alignment : kElf32MinAlignment;
	return _Include(0, fHeaderSize) ? B_OK : B_BAD_DATA;
}

status_t
ElfImage::_IncludeSegments()
{
	if (fProgramHeaderCount == 0)
		return B_OK;
	const uint32 minSize = fIs64 ? 56 : 32;
	if (fProgramHeaderSize < minSize
		|| !_Include(fProgramHeadersOffset, (uint64)fProgramHeaderSize * fProgramHeaderCount))
		return B_BAD_DATA;
	uint8 entry[56];
	for (uint32 i = 0; i < fProgramHeaderCount; i++) {
		status_t status = read_exactly(fFile,
			fProgramHeadersOffset + (uint64)i * fProgramHeaderSize, entry, minSize);
		if (status != B_OK)
			return status;
		if (read_le32(entry) == kPtNull)
			continue;
		uint64 offset = fIs64 ? read_le64(entry + 8) : read_le32(entry + 4);
		uint64 size = fIs64 ? read_le64(entry + 32) : read_le32(entry + 16);
		if (!_Include(offset, size))
			return B_BAD_DATA;
		// An ELF32 image ends aligned as strictly as its most aligned segment.
		uint64 alignment = fIs64 ? 0 : read_le32(entry + 28);
		if (alignment > fAlignment) {
			if ((alignment & (alignment - 1)) != 0 || alignment > (1u << 24))
				return B_BAD_DATA;
			fAlignment = alignment;
		}
	}
	return B_OK;
}

status_t
ElfImage::_IncludeSections()
{
	if (fSectionHeadersOffset == 0)
		return B_OK;
	const uint32 minSize = fIs64 ? 64 : 40;
	if (fSectionHeaderSize < minSize)
		return B_BAD_DATA;
	uint8 entry[64];
	uint64 count = fSectionHeaderCount;
	if (count == 0) {
		// More sections than the header can count: section 0 holds the number.
		status_t status = read_exactly(fFile, fSectionHeadersOffset, entry, minSize);
		if (status != B_OK)
			return status;
		count = fIs64 ? read_le64(entry + 32) : read_le32(entry + 20);
	}
	if (count > fFileSize / fSectionHeaderSize
		|| !_Include(fSectionHeadersOffset, count * fSectionHeaderSize))
		return B_BAD_DATA;
	for (uint64 i = 0; i < count; i++) {
		status_t status = read_exactly(fFile, fSectionHeadersOffset + i * fSectionHeaderSize, entry,
			minSize);
		if (status != B_OK)
			return status;
		uint32 type = read_le32(entry + 4);
		if (type == kShtNull || type == kShtNobits)
			continue;
		uint64 offset = fIs64 ? read_le64(entry + 24) : read_le32(entry + 16);
		uint64 size = fIs64 ? read_le64(entry + 32) : read_le32(entry + 20);
		if (!_Include(offset, size))
			return B_BAD_DATA;
	}
	return B_OK;
}

bool
ElfImage::_Include(uint64 offset, uint64 size)
{
	if (offset > fFileSize || size > fFileSize - offset)
		return false;
	fEnd = std::max(fEnd, offset + size);
	return true;
}

} // namespace BPrivate

#include "XwdImage.h"

#include <stdio.h>

#include <Errors.h>

namespace {

const uint32 kHeaderFields = 25;
const uint32 kFileVersion = 7;
const uint32 kZPixmap = 2;
const uint32 kTrueColor = 4;
const uint32 kColorEntrySize = 12;

enum {
	kHeaderSize = 0,
	kVersion = 1,
	kFormat = 2,
	kWidth = 4,
	kHeight = 5,
	kByteOrder = 7,
	kBitsPerPixel = 11,
	kBytesPerLine = 12,
	kVisualClass = 13,
	kRedMask = 14,
	kGreenMask = 15,
	kBlueMask = 16,
	kColorCount = 19
};

uint32
BigEndian32(const uint8* bytes)
{
	return (uint32)bytes[0] << 24 | (uint32)bytes[1] << 16 | (uint32)bytes[2] << 8 | bytes[3];
}

int
ShiftOf(uint32 mask)
{
	int shift = 0;
	while (mask != 0 && (mask & 1) == 0) {
		mask >>= 1;
		shift++;
	}
	return shift;
}

} // namespace

uint8
XwdImage::Channel(uint32 value, uint32 mask)
{
	return (uint8)((value & mask) >> ShiftOf(mask));
}

XwdImage::XwdImage() :
	fWidth(0),
	fHeight(0)
{
}

status_t
XwdImage::Read(const std::string& path)
{
	FILE* file = fopen(path.c_str(), "rb");
	if (file == NULL)
		return B_ENTRY_NOT_FOUND;
	std::vector<uint8> bytes;
	uint8 buffer[65536];
	size_t count;
	while ((count = fread(buffer, 1, sizeof(buffer), file)) > 0)
		bytes.insert(bytes.end(), buffer, buffer + count);
	fclose(file);
	return Parse(bytes);
}

status_t
XwdImage::Parse(const std::vector<uint8>& bytes)
{
	if (bytes.size() < kHeaderFields * 4)
		return B_BAD_DATA;
	uint32 header[kHeaderFields];
	for (uint32 i = 0; i < kHeaderFields; i++)
		header[i] = BigEndian32(bytes.data() + i * 4);
	uint32 bitsPerPixel = header[kBitsPerPixel];
	if (header[kVersion] != kFileVersion || header[kFormat] != kZPixmap
		|| header[kVisualClass] != kTrueColor || (bitsPerPixel != 24 && bitsPerPixel != 32)
		|| header[kHeaderSize] < kHeaderFields * 4 || header[kWidth] > 65535
		|| header[kHeight] > 65535) {
		return B_BAD_DATA;
	}
	uint64 offset = (uint64)header[kHeaderSize] + (uint64)header[kColorCount] * kColorEntrySize;
	uint64 bytesPerLine = header[kBytesPerLine];
	uint64 width = header[kWidth];
	uint64 height = header[kHeight];
	if (bytesPerLine < width * (bitsPerPixel / 8) || offset + bytesPerLine * height > bytes.size())
		return B_BAD_DATA;

	uint32 masks[3] = {header[kRedMask], header[kGreenMask], header[kBlueMask]};
	bool lsbFirst = header[kByteOrder] == 0;
	uint32 pixelBytes = bitsPerPixel / 8;
	fWidth = (int32)width;
	fHeight = (int32)height;
	fPixels.assign((size_t)width * height, rgb_color{0, 0, 0, 255});
	for (uint64 y = 0; y < height; y++) {
		const uint8* row = bytes.data() + offset + y * bytesPerLine;
		for (uint64 x = 0; x < width; x++) {
			const uint8* pixel = row + x * pixelBytes;
			uint32 value = 0;
			for (uint32 i = 0; i < pixelBytes; i++) {
				uint32 byte = pixel[lsbFirst ? i : pixelBytes - 1 - i];
				value |= byte << (8 * i);
			}
			uint8 channels[3];
			for (int c = 0; c < 3; c++)
				channels[c] = Channel(value, masks[c]);
			fPixels[y * width + x] = rgb_color{channels[0], channels[1], channels[2], 255};
		}
	}
	return B_OK;
}

rgb_color
XwdImage::PixelAt(int32 x, int32 y) const
{
	if (x < 0 || y < 0 || x >= fWidth || y >= fHeight)
		return rgb_color{0, 0, 0, 0};
	return fPixels[(size_t)y * fWidth + x];
}

std::vector<uint8>
XwdImage::Bits(int32 left, int32 top, int32 width, int32 height) const
{
	std::vector<uint8> bits;
	for (int32 y = top; y < top + height; y++) {
		for (int32 x = left; x < left + width; x++) {
			rgb_color color = PixelAt(x, y);
			bits.push_back(color.blue);
			bits.push_back(color.green);
			bits.push_back(color.red);
			bits.push_back(color.alpha);
		}
	}
	return bits;
}

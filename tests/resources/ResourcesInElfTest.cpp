#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include <DataIO.h>
#include <File.h>
#include <Resources.h>
#include <TypeConstants.h>

#include "ElfImage.h"
#include "ResourceFile.h"
#include "ResourceTestFiles.h"
#include "TemporaryHome.h"

namespace {

void
Put16(Bytes& bytes, size_t offset, uint16_t value)
{
	bytes[offset] = (uint8_t)value;
	bytes[offset + 1] = (uint8_t)(value >> 8);
}

void
Put64(Bytes& bytes, size_t offset, uint64_t value)
{
	Put32(bytes, offset, (uint32_t)value);
	Put32(bytes, offset + 4, (uint32_t)(value >> 32));
}

// A little-endian ELF32 image whose one loadable segment asks for 4 KiB alignment and whose
// section table ends at 0xEA0, as the platform's linker lays out small executables.
Bytes
Elf32Image()
{
	Bytes bytes(0xEA0, 0);
	const uint8_t ident[] = {0x7F, 'E', 'L', 'F', 1, 1, 1};
	memcpy(bytes.data(), ident, sizeof(ident));
	Put16(bytes, 16, 2);
	Put16(bytes, 18, 3);
	Put32(bytes, 28, 52);
	Put32(bytes, 32, 0xEA0 - 2 * 40);
	Put16(bytes, 40, 52);
	Put16(bytes, 42, 32);
	Put16(bytes, 44, 1);
	Put16(bytes, 46, 40);
	Put16(bytes, 48, 2);
	// PT_LOAD of the first 0x400 bytes.
	Put32(bytes, 52, 1);
	Put32(bytes, 52 + 16, 0x400);
	Put32(bytes, 52 + 28, 0x1000);
	// Section 1: PROGBITS inside the segment.
	size_t section = 0xEA0 - 40;
	Put32(bytes, section + 4, 1);
	Put32(bytes, section + 16, 0x100);
	Put32(bytes, section + 20, 0x200);
	return bytes;
}

// A little-endian ELF64 image whose last section ends at the unaligned offset 0x1003; its
// .bss-like section reaches far beyond the file and must not count.
Bytes
Elf64Image()
{
	Bytes bytes(0x1003, 0);
	const uint8_t ident[] = {0x7F, 'E', 'L', 'F', 2, 1, 1};
	memcpy(bytes.data(), ident, sizeof(ident));
	Put16(bytes, 16, 3);
	Put16(bytes, 18, 62);
	Put64(bytes, 32, 64);
	Put64(bytes, 40, 64 + 56);
	Put16(bytes, 52, 64);
	Put16(bytes, 54, 56);
	Put16(bytes, 56, 1);
	Put16(bytes, 58, 64);
	Put16(bytes, 60, 3);
	// PT_LOAD with 4 KiB alignment: ELF64 resources are aligned to 8 regardless.
	Put32(bytes, 64, 1);
	Put64(bytes, 64 + 32, 0x400);
	Put64(bytes, 64 + 48, 0x1000);
	size_t sections = 64 + 56;
	Put32(bytes, sections + 64 + 4, 1);
	Put64(bytes, sections + 64 + 24, 0x400);
	Put64(bytes, sections + 64 + 32, 0x1003 - 0x400);
	Put32(bytes, sections + 128 + 4, 8);
	Put64(bytes, sections + 128 + 24, 0x1003);
	Put64(bytes, sections + 128 + 32, 0x100000);
	return bytes;
}

off_t
ResourcesOffset(const Bytes& image)
{
	BMemoryIO io(image.data(), image.size());
	off_t offset = -1;
	EXPECT_EQ(BPrivate::ElfImage::ResourcesOffset(&io, image.size(), &offset), B_OK);
	return offset;
}

} // namespace

TEST(ResourcesInElfTest, ResourcesStartAtTheAlignedEndOfTheImage)
{
	EXPECT_EQ(ResourcesOffset(Elf32Image()), 0x1000);
	EXPECT_EQ(ResourcesOffset(Elf64Image()), 0x1008);

	TemporaryHome home;
	std::string path = home.Path() + "/image";
	const Bytes image = Elf32Image();
	WriteBytes(path, image);
	{
		BFile file(path.c_str(), B_READ_WRITE);
		BResources resources(&file);
		ASSERT_EQ(resources.InitCheck(), B_OK);
		EXPECT_FALSE(resources.GetResourceInfo(0, NULL, NULL, NULL, NULL));
		ASSERT_EQ(resources.AddResource(B_STRING_TYPE, 7, "seven", 6, "number"), B_OK);
	}
	Bytes bytes = ReadBytes(path);
	ASSERT_GT(bytes.size(), 0x1000u + 1980u);
	EXPECT_TRUE(std::equal(image.begin(), image.end(), bytes.begin()));
	EXPECT_EQ(Get32(bytes, 0x1000), 0x444F1000u);

	BFile file(path.c_str(), B_READ_ONLY);
	BResources resources(&file);
	ASSERT_EQ(resources.InitCheck(), B_OK);
	size_t size = 0;
	const void* data = resources.LoadResource(B_STRING_TYPE, "number", &size);
	ASSERT_NE(data, nullptr);
	EXPECT_EQ(std::string(static_cast<const char*>(data), size), std::string("seven", 6));
}

TEST(ResourcesInElfTest, AnExecutableWithoutResourcesReadsAsEmptyAndKeepsItsImage)
{
	TemporaryHome home;
	std::string path = home.Path() + "/test-executable";
	const Bytes image = ReadBytes("/proc/self/exe");
	ASSERT_GT(image.size(), 64u);
	WriteBytes(path, image);
	{
		BFile file(path.c_str(), B_READ_WRITE);
		BResources resources(&file);
		ASSERT_EQ(resources.InitCheck(), B_OK);
		EXPECT_FALSE(resources.GetResourceInfo(0, NULL, NULL, NULL, NULL));
		ASSERT_EQ(resources.AddResource(B_INT32_TYPE, 1, "\x01\x02\x03\x04", 4), B_OK);
		ASSERT_EQ(resources.Sync(), B_OK);
		EXPECT_GT(ReadBytes(path).size(), image.size());

		ASSERT_EQ(resources.RemoveResource(B_INT32_TYPE, 1), B_OK);
	}
	// With the last resource gone the file is the image again, up to the alignment.
	Bytes bytes = ReadBytes(path);
	ASSERT_GE(bytes.size(), image.size());
	EXPECT_LT(bytes.size(), image.size() + 8);
	EXPECT_TRUE(std::equal(image.begin(), image.end(), bytes.begin()));
}

TEST(ResourcesInElfTest, BrokenImagesAreRefusedUnlessClobbered)
{
	TemporaryHome home;
	std::string path = home.Path() + "/image";
	struct Damage {
		const char* what;
		void (*apply)(Bytes& bytes);
	};
	const Damage damages[] = {
		{"section table beyond the file", [](Bytes& b) { Put64(b, 40, 0xF000); }},
		{"section larger than the file", [](Bytes& b) { Put64(b, 64 + 56 + 64 + 32, 0x2000); }},
		{"segment beyond the file", [](Bytes& b) { Put64(b, 64 + 8, 0x10000); }},
		{"program header entries too small", [](Bytes& b) { Put16(b, 54, 8); }},
		{"big-endian image", [](Bytes& b) { b[5] = 2; }},
	};
	for (const Damage& damage : damages) {
		SCOPED_TRACE(damage.what);
		Bytes bytes = Elf64Image();
		damage.apply(bytes);
		WriteBytes(path, bytes);
		{
			BFile file(path.c_str(), B_READ_WRITE);
			BResources resources(&file);
			EXPECT_EQ(resources.InitCheck(), B_BAD_DATA);
		}
		EXPECT_EQ(ReadBytes(path), bytes);
	}

	// Garbage after a sound image is refused too, and dropped when clobbered.
	Bytes bytes = Elf64Image();
	bytes.resize(0x1008);
	bytes.insert(bytes.end(), 3000, 0xAB);
	WriteBytes(path, bytes);
	{
		BFile file(path.c_str(), B_READ_WRITE);
		BResources refused(&file);
		EXPECT_EQ(refused.InitCheck(), B_BAD_DATA);
		BResources clobbered(&file, true);
		ASSERT_EQ(clobbered.InitCheck(), B_OK);
		EXPECT_FALSE(clobbered.GetResourceInfo(0, NULL, NULL, NULL, NULL));
	}
	EXPECT_EQ(ReadBytes(path).size(), 0x1008u);
}

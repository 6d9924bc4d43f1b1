#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include <DataIO.h>
#include <File.h>
#include <Resources.h>
#include <TypeConstants.h>

#include "ResourceFile.h"
#include "ResourceTestFiles.h"
#include "TemporaryHome.h"

using BPrivate::ResourceFile;

namespace {

const std::string kFixture = std::string(ZORVE_TEST_DATA) + "/x86-resources.rsrc";
// The fixture's resources follow the "RS\0\0" tag.
const size_t kStart = 4;

struct ExpectedResource {
	type_code type;
	int32 id;
	const char* name;
	size_t size;
	uint32 dataOffset;
};

const ExpectedResource kFixtureResources[] = {
	{B_STRING_TYPE, 74, "a string resource", 35, 0x7AC},
	{B_INT32_TYPE, 17, "just a resource", 4, 0x7CF},
	{B_MIME_STRING_TYPE, 29, "another resource", 31, 0x7D3},
};

// Sum of the big-endian words before the end record; a short tail counts as one small word.
uint32
InfoChecksum(const Bytes& bytes, size_t from, size_t to)
{
	uint32 sum = 0;
	uint32 word = 0;
	for (size_t i = from; i < to; i++) {
		word = (word << 8) | bytes[i];
		if ((i - from) % 4 == 3) {
			sum += word;
			word = 0;
		}
	}
	return sum + word;
}

status_t
Parse(const Bytes& bytes, ResourceFile* resources)
{
	BMemoryIO io(bytes.data(), bytes.size());
	return resources->Read(&io, false);
}

} // namespace

TEST(ResourceFormatTest, ReadsEveryResourceOfThePlatformsResourceFile)
{
	TemporaryHome home;
	std::string path = home.Path() + "/x86.rsrc";
	WriteBytes(path, ReadBytes(kFixture));

	BFile file(path.c_str(), B_READ_ONLY);
	BResources resources(&file);
	ASSERT_EQ(resources.InitCheck(), B_OK);

	int32 count = 0;
	type_code type;
	int32 id;
	const char* name;
	size_t size;
	while (resources.GetResourceInfo(count, &type, &id, &name, &size)) {
		ASSERT_LT(count, 3);
		const ExpectedResource& expected = kFixtureResources[count];
		EXPECT_EQ(type, expected.type);
		EXPECT_EQ(id, expected.id);
		EXPECT_STREQ(name, expected.name);
		EXPECT_EQ(size, expected.size);
		count++;
	}
	EXPECT_EQ(count, 3);

	size = 0;
	const char* text = static_cast<const char*>(resources.LoadResource(B_STRING_TYPE, 74, &size));
	ASSERT_NE(text, nullptr);
	EXPECT_EQ(size, 35u);
	EXPECT_EQ(std::string(text, size), std::string("I like strings, especially cellos.", 35));

	const void* number = resources.LoadResource(B_INT32_TYPE, "just a resource", &size);
	ASSERT_NE(number, nullptr);
	int32 value;
	memcpy(&value, number, sizeof(value));
	EXPECT_EQ(value, 42);

	const char* mime = static_cast<const char*>(
		resources.LoadResource(B_MIME_STRING_TYPE, 29, &size));
	ASSERT_NE(mime, nullptr);
	EXPECT_EQ(std::string(mime, size), std::string("application/bread-roll-counter", 31));

	EXPECT_TRUE(resources.HasResource(B_MIME_STRING_TYPE, "another resource"));
	EXPECT_FALSE(resources.HasResource(B_STRING_TYPE, "another resource"));
	EXPECT_FALSE(resources.HasResource(B_STRING_TYPE, 29));
	EXPECT_EQ(resources.LoadResource(B_INT32_TYPE, 74, &size), nullptr);

	// Reverse lookups: by type and index, by type and id, by type and name, by pointer.
	ASSERT_TRUE(resources.GetResourceInfo((type_code)B_INT32_TYPE, 0, &id, &name, &size));
	EXPECT_EQ(id, 17);
	EXPECT_FALSE(resources.GetResourceInfo((type_code)B_INT32_TYPE, 1, &id, &name, &size));
	ASSERT_TRUE(resources.GetResourceInfo(B_MIME_STRING_TYPE, 29, &name, &size));
	EXPECT_STREQ(name, "another resource");
	ASSERT_TRUE(resources.GetResourceInfo(B_STRING_TYPE, "a string resource", &id, &size));
	EXPECT_EQ(id, 74);
	ASSERT_TRUE(resources.GetResourceInfo(mime, &type, &id, &size, &name));
	EXPECT_EQ(type, (type_code)B_MIME_STRING_TYPE);
	EXPECT_EQ(id, 29);

	char part[8] = {};
	EXPECT_EQ(resources.ReadResource(B_STRING_TYPE, 74, part, 2, 6), B_OK);
	EXPECT_STREQ(part, "like s");

	// A read-only file cannot be changed.
	EXPECT_EQ(resources.AddResource(B_INT32_TYPE, 1, &value, sizeof(value)), B_NOT_ALLOWED);
	EXPECT_EQ(resources.RemoveResource(B_INT32_TYPE, 17), B_NOT_ALLOWED);
}

TEST(ResourceFormatTest, FixtureLayoutMatchesTheKnownOffsetsAndChecksum)
{
	Bytes bytes = ReadBytes(kFixture);
	ASSERT_EQ(bytes.size(), kStart + 0x7F2 + 0x7D);
	EXPECT_EQ(memcmp(bytes.data(), "RS\0\0", 4), 0);
	EXPECT_EQ(Get32(bytes, kStart), 0x444F1000u);
	EXPECT_EQ(Get32(bytes, kStart + 4), 3u);
	EXPECT_EQ(Get32(bytes, kStart + 0xBC), 0x7F2u);
	EXPECT_EQ(Get32(bytes, kStart + 0xC0), 0x7Du);
	for (size_t i = 0; i < 3; i++) {
		EXPECT_EQ(Get32(bytes, kStart + 0xC8 + 12 * i), kFixtureResources[i].dataOffset);
		EXPECT_EQ(Get32(bytes, kStart + 0xC8 + 12 * i + 4), kFixtureResources[i].size);
	}
	EXPECT_EQ(Get32(bytes, bytes.size() - 8), 0x37AB0B59u);
	EXPECT_EQ(InfoChecksum(bytes, kStart + 0x7F2, bytes.size() - 8), 0x37AB0B59u);
}

TEST(ResourceFormatTest, WritingTheFixtureBackReproducesItsBytes)
{
	Bytes original = ReadBytes(kFixture);
	ResourceFile resources;
	ASSERT_EQ(Parse(original, &resources), B_OK);
	Bytes section = resources.Flatten();
	ASSERT_EQ(section.size(), original.size() - kStart);
	EXPECT_EQ(memcmp(section.data(), original.data() + kStart, section.size()), 0);

	// The same through a file: an empty file becomes a tagged resource file.
	TemporaryHome home;
	std::string path = home.Path() + "/copy.rsrc";
	WriteBytes(path, Bytes());
	{
		BFile source(kFixture.c_str(), B_READ_ONLY);
		BResources from(&source);
		BFile target(path.c_str(), B_READ_WRITE);
		ASSERT_EQ(from.WriteTo(&target), B_OK);
	}
	EXPECT_EQ(ReadBytes(path), original);
}

TEST(ResourceFormatTest, EmptyResourcesAreAHeaderAndALoneSeparator)
{
	TemporaryHome home;
	std::string path = home.Path() + "/empty.rsrc";
	WriteBytes(path, Bytes());
	{
		BFile file(path.c_str(), B_READ_WRITE);
		BResources resources(&file);
		ASSERT_EQ(resources.InitCheck(), B_OK);
		EXPECT_FALSE(resources.GetResourceInfo(0, NULL, NULL, NULL, NULL));
		EXPECT_EQ(resources.Sync(), B_OK);
	}
	Bytes bytes = ReadBytes(path);
	ASSERT_EQ(bytes.size(), 4u + 1980u);
	const uint8 table[16] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF,
		0, 0, 0, 0};
	EXPECT_EQ(memcmp(bytes.data() + bytes.size() - 16, table, 16), 0);
	EXPECT_EQ(Get32(bytes, kStart + 0xBC), 1980u - 16u);
}

TEST(ResourceFormatTest, CorruptedResourcesAreRefusedAndLeftUntouched)
{
	const Bytes original = ReadBytes(kFixture);
	const size_t info = kStart + 0x7F2;
	struct Corruption {
		const char* what;
		size_t offset;
		uint32 value;
		size_t width;
	};
	const Corruption corruptions[] = {
		{"magic", kStart, 0x444F1001, 4},
		{"count one too many", kStart + 4, 4, 4},
		{"count beyond the index", kStart + 4, 0x10000000, 4},
		{"index section elsewhere", kStart + 8, 0x48, 4},
		{"admin size", kStart + 12, 0x643, 4},
		{"index size beyond the file", kStart + 0x48, 0x7FFFFFFF, 4},
		{"info table beyond the file", kStart + 0xBC, 0x800, 4},
		{"info size beyond the file", kStart + 0xC0, 0x7E, 4},
		{"info offset wrapping", kStart + 0xBC, 0xFFFFFFF0, 4},
		{"data offset beyond the file", kStart + 0xC8, 0x900, 4},
		{"data size beyond the file", kStart + 0xCC, 0x100, 4},
		{"data size wrapping", kStart + 0xCC, 0xFFFFFFFF, 4},
		{"resource index zero", info + 8, 0, 4},
		{"resource index too large", info + 8, 4, 4},
		{"resource described twice", info + 4 + 10 + 18 + 8 + 4 + 4, 1, 4},
		{"name longer than the table", info + 12, 0xFFFF, 2},
		{"checksum", original.size() - 8, 0x37AB0B5A, 4},
	};

	TemporaryHome home;
	std::string path = home.Path() + "/broken.rsrc";
	for (const Corruption& corruption : corruptions) {
		SCOPED_TRACE(corruption.what);
		Bytes bytes = original;
		for (size_t i = 0; i < corruption.width; i++)
			bytes[corruption.offset + i] = (uint8)(corruption.value >> (8 * i));
		// A damaged info table gets a matching checksum, so that the check under test is the
		// one that refuses it.
		if (corruption.offset >= info && corruption.offset < bytes.size() - 8)
			Put32(bytes, bytes.size() - 8, InfoChecksum(bytes, info, bytes.size() - 8));
		WriteBytes(path, bytes);
		{
			BFile file(path.c_str(), B_READ_WRITE);
			BResources resources(&file);
			EXPECT_EQ(resources.InitCheck(), B_BAD_DATA);
			EXPECT_EQ(resources.LoadResource(B_STRING_TYPE, 74, NULL), nullptr);
			EXPECT_EQ(resources.AddResource(B_INT32_TYPE, 1, "abcd", 4), B_BAD_DATA);
		}
		EXPECT_EQ(ReadBytes(path), bytes);
	}

	// A name without its terminating zero.
	Bytes unterminated = original;
	unterminated[info + 4 + 10 + 17] = 'x';
	ResourceFile resources;
	EXPECT_EQ(Parse(unterminated, &resources), B_BAD_DATA);
	EXPECT_EQ(resources.CountItems(), 0);

	// Not a resource file at all.
	WriteBytes(path, Bytes{'h', 'e', 'l', 'l', 'o'});
	BFile file(path.c_str(), B_READ_WRITE);
	BResources text(&file);
	EXPECT_EQ(text.InitCheck(), B_BAD_DATA);
}

TEST(ResourceFormatTest, EveryTruncationAndByteFlipIsRefusedOrReadSafely)
{
	const Bytes original = ReadBytes(kFixture);
	ResourceFile resources;
	for (size_t length = 0; length < original.size(); length++) {
		Bytes bytes(original.begin(), original.begin() + length);
		status_t status = Parse(bytes, &resources);
		// Nothing, or just the tag, is an empty resource file.
		if (length == 0 || length == kStart)
			EXPECT_EQ(status, B_OK) << length;
		else
			EXPECT_EQ(status, B_BAD_DATA) << length;
	}

	// Flipping any byte either breaks a checked structure or leaves a readable file; the
	// checksum guards the names and ids.
	for (size_t offset = kStart; offset < original.size(); offset++) {
		Bytes bytes = original;
		bytes[offset] ^= 0x5A;
		status_t status = Parse(bytes, &resources);
		ASSERT_TRUE(status == B_OK || status == B_BAD_DATA) << offset;
		if (offset >= kStart + 0x7F2) {
			EXPECT_EQ(status, B_BAD_DATA) << offset;
		}
		if (status == B_OK) {
			EXPECT_EQ(resources.CountItems(), 3) << offset;
		}
	}
}

TEST(ResourceFormatTest, EditsReachTheFileWhenTheObjectGoesAway)
{
	TemporaryHome home;
	std::string path = home.Path() + "/edited.rsrc";
	WriteBytes(path, ReadBytes(kFixture));
	std::string other = home.Path() + "/other.rsrc";
	WriteBytes(other, Bytes());
	{
		BFile file(other.c_str(), B_READ_WRITE);
		BResources resources(&file);
		ASSERT_EQ(resources.AddResource(B_INT32_TYPE, 99, "\x07\0\0\0", 4, "merged"), B_OK);
	}
	{
		BFile file(path.c_str(), B_READ_WRITE);
		BResources resources(&file);
		ASSERT_EQ(resources.InitCheck(), B_OK);
		// Same type and id: replaced, keeping one resource.
		ASSERT_EQ(resources.AddResource(B_INT32_TYPE, 17, "\x01\0\0\0\x02\0\0\0", 8, "bigger"),
			B_OK);
		const void* text = resources.LoadResource(B_STRING_TYPE, 74, NULL);
		ASSERT_EQ(resources.RemoveResource(text), B_OK);
		EXPECT_EQ(resources.RemoveResource(text), B_BAD_VALUE);
		ASSERT_EQ(resources.WriteResource(B_MIME_STRING_TYPE, 29, "toast", 33, 5), B_OK);
		BFile source(other.c_str(), B_READ_ONLY);
		ASSERT_EQ(resources.MergeFrom(&source), B_OK);
	}

	BFile file(path.c_str(), B_READ_ONLY);
	BResources resources(&file);
	ASSERT_EQ(resources.InitCheck(), B_OK);
	type_code type;
	int32 id;
	const char* name;
	size_t size;
	int32 count = 0;
	while (resources.GetResourceInfo(count, &type, &id, &name, &size))
		count++;
	EXPECT_EQ(count, 3);
	EXPECT_FALSE(resources.HasResource(B_STRING_TYPE, 74));
	ASSERT_TRUE(resources.GetResourceInfo(B_INT32_TYPE, 17, &name, &size));
	EXPECT_STREQ(name, "bigger");
	EXPECT_EQ(size, 8u);
	EXPECT_TRUE(resources.HasResource(B_INT32_TYPE, "merged"));
	const char* mime = static_cast<const char*>(
		resources.LoadResource(B_MIME_STRING_TYPE, 29, &size));
	ASSERT_EQ(size, 38u) << "grown to hold the bytes written past its end";
	EXPECT_EQ(std::string(mime, 31), std::string("application/bread-roll-counter", 31));
	EXPECT_EQ(std::string(mime + 31, 7), std::string("\0\0toast", 7));
}

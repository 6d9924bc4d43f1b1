#include <gtest/gtest.h>

#include <stdio.h>

#include <DataIO.h>
#include <Message.h>

#include "R5Bytes.h"

namespace {

Bytes
Flat(const BMessage& message)
{
	Bytes bytes(message.FlattenedSize());
	EXPECT_EQ(message.Flatten((char*)bytes.data(), (ssize_t)bytes.size()), B_OK);
	return bytes;
}

Bytes
Slice(const Bytes& bytes, size_t from, size_t count)
{
	return Bytes(bytes.begin() + from, bytes.begin() + from + count);
}

Bytes
ReadFile(const char* path)
{
	Bytes bytes;
	FILE* file = fopen(path, "rb");
	if (file == NULL)
		return bytes;
	int c;
	while ((c = fgetc(file)) != EOF)
		bytes.push_back((uint8_t)c);
	fclose(file);
	return bytes;
}

void
FillBitmapArchive(BMessage* archive, bool fixedData = true)
{
	uint8_t pixels[256];
	for (int i = 0; i < 256; i++)
		pixels[i] = (uint8_t)i;
	archive->AddString("class", "BBitmap");
	archive->AddRect("_frame", BRect(0, 0, 15, 15));
	archive->AddInt32("_cspace", 4);
	archive->AddInt32("_bmflags", 1);
	archive->AddInt32("_rowbytes", 16);
	archive->AddData("_data", B_RAW_TYPE, pixels, sizeof(pixels), fixedData);
}

} // namespace

TEST(MessageFlattenTest, EmptyMessageIsTheEighteenR5Bytes)
{
	BMessage message;
	EXPECT_EQ(message.FlattenedSize(), 18);
	const Bytes expected = {0x31, 0x42, 0x4F, 0x46, 0x01, 0x00, 0x00, 0x12, 0x12, 0x00, 0x00, 0x00,
		0x00, 0x00, 0x00, 0x00, 0x01, 0x00};
	EXPECT_EQ(Flat(message), expected);
}

TEST(MessageFlattenTest, BitmapArchiveHasTheR5SizeHeaderAndFieldOffsets)
{
	BMessage archive;
	FillBitmapArchive(&archive);
	ASSERT_EQ(archive.FlattenedSize(), 403);
	Bytes bytes = Flat(archive);
	ASSERT_EQ(bytes.size(), 403u);

	const Bytes header = {0x31, 0x42, 0x4F, 0x46, 0x01, 0x00, 0x01, 0x93, 0x93, 0x01, 0x00, 0x00,
		0x00, 0x00, 0x00, 0x00, 0x01};
	EXPECT_EQ(Slice(bytes, 0, 17), header);

	// "class": single-item mini string, 16-byte data part: size 8, "BBitmap\0", no padding
	// needed past 4 + 8 = 12 up to 16.
	const Bytes classField = {0x0B, 'R', 'T', 'S', 'C', 16, 5, 'c', 'l', 'a', 's', 's', 8, 0, 0, 0,
		'B', 'B', 'i', 't', 'm', 'a', 'p', 0, 0, 0, 0, 0};
	EXPECT_EQ(Slice(bytes, 17, 28), classField);

	// Field starts: flags byte, then the type code in little-endian order.
	struct Start {
		size_t offset;
		uint8_t flags;
		const char* reversedType;
	} starts[] = {{45, 0x0F, "TCER"}, {74, 0x0F, "GNOL"}, {92, 0x0F, "GNOL"}, {111, 0x0F, "GNOL"},
		{131, 0x0D, "TWAR"}};
	for (const Start& start : starts) {
		SCOPED_TRACE(start.offset);
		EXPECT_EQ(bytes[start.offset], start.flags);
		const char* type = start.reversedType;
		EXPECT_EQ(Slice(bytes, start.offset + 1, 4), Bytes(type, type + 4));
	}
	// "_frame" data: floats 0, 0, 15, 15.
	const Bytes frame = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x70, 0x41, 0, 0, 0x70, 0x41};
	EXPECT_EQ(Slice(bytes, 58, 16), frame);
	// "_data" is too large for the mini size: four bytes of size 256, then the name.
	EXPECT_EQ(Slice(bytes, 136, 5), Bytes({0x00, 0x01, 0x00, 0x00, 5}));
	for (int i = 0; i < 256; i++)
		ASSERT_EQ(bytes[146 + i], i);
	EXPECT_EQ(bytes[402], 0);
}

TEST(MessageFlattenTest, VariableSizeRawDataIsPaddedToEight)
{
	BMessage archive;
	FillBitmapArchive(&archive, false);
	EXPECT_EQ(archive.FlattenedSize(), 411);
}

TEST(MessageFlattenTest, DefaultPreferencesHaveTheR5SizeAndChecksum)
{
	BMessage prefs;
	prefs.AddString("ip-cache", "0.0.0.0");
	prefs.AddString("user", "no user");
	prefs.AddString("password", "#####");
	prefs.AddString("host", "empty");
	prefs.AddString("system", "dyndns");
	prefs.AddInt32("wildcard", 0);
	prefs.AddString("mx", "");
	prefs.AddInt32("backmx", 0);
	prefs.AddInt32("offline", 0);
	prefs.AddString("application-path", "");
	prefs.AddString("check-ip-server", "checkip.dyndns.org");
	prefs.AddString("dyndns-server", "members.dyndns.org");
	prefs.AddInt32("port", 80);
	prefs.AddInt32("check-delay", 300);
	prefs.AddInt8("time-out", 10);
	prefs.AddInt32("log-size", 4096);
	prefs.AddRect("settings-win-position", BRect(50, 50, 311, 240));

	Bytes bytes = Flat(prefs);
	ASSERT_EQ(bytes.size(), 471u);
	EXPECT_EQ(Slice(bytes, 4, 4), Bytes({0x01, 0x00, 0x01, 0xD7}));
	EXPECT_EQ(Slice(bytes, 8, 4), Bytes({0xD7, 0x01, 0x00, 0x00}));
}

TEST(MessageFlattenTest, RealR5MessageFlattensBackToItsBytes)
{
	Bytes original = ReadFile(ZORVE_TEST_DATA "/r5-message-152.bin");
	ASSERT_EQ(original.size(), 152u);
	BMessage message;
	ASSERT_EQ(message.Unflatten((const char*)original.data()), B_OK);

	Bytes again = Flat(message);
	ASSERT_EQ(again.size(), original.size());
	// The original's padding after deviceName's NUL was left uninitialised by its writer.
	EXPECT_EQ(again[86], 0);
	EXPECT_EQ(again[87], 0);
	again[86] = original[86];
	again[87] = original[87];
	EXPECT_EQ(again, original);
}

TEST(MessageFlattenTest, MiniSizesOnlyUpTo255BytesAnd255Items)
{
	struct Case {
		int items;
		int itemSize;
		uint8_t flags;
		ssize_t fieldSize; // flags, type, count, size, name length, name "d", data
	} cases[] = {
		{1, 255, 0x0F, 1 + 4 + 1 + 1 + 1 + 255},
		{1, 256, 0x0D, 1 + 4 + 4 + 1 + 1 + 256},
		{255, 1, 0x07, 1 + 4 + 1 + 1 + 1 + 1 + 255},
		{256, 1, 0x05, 1 + 4 + 4 + 4 + 1 + 1 + 256},
		{2, 128, 0x05, 1 + 4 + 4 + 4 + 1 + 1 + 256},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(testing::Message() << c.items << " x " << c.itemSize);
		BMessage message;
		std::vector<uint8_t> item(c.itemSize, 0xAB);
		for (int i = 0; i < c.items; i++)
			ASSERT_EQ(message.AddData("d", B_RAW_TYPE, item.data(), c.itemSize), B_OK);
		Bytes bytes = Flat(message);
		EXPECT_EQ((ssize_t)bytes.size(), 18 + c.fieldSize);
		EXPECT_EQ(bytes[17], c.flags);
	}
}

TEST(MessageFlattenTest, StringArrayItemsArePaddedWithZeros)
{
	BMessage message('abcd');
	message.AddString("s", "a");
	message.AddString("s", "abcd");
	message.AddString("s", "abc");

	R5Bytes expected;
	expected.FieldHead(0x03, 'CSTR', 3, 8 + 16 + 8, "s");
	expected.U32(2).Text("a").Zeros(3);
	expected.U32(5).Text("abcd").Zeros(8);
	expected.U32(4).Text("abc").Zeros(1);
	EXPECT_EQ(Flat(message), R5Message(expected, 'abcd'));
}

TEST(MessageFlattenTest, StreamGetsTheSameBytesAndSmallBufferIsRefused)
{
	BMessage message('strm');
	message.AddInt64("big", -1);
	message.AddString("name", "value");
	Bytes bytes = Flat(message);

	BMallocIO stream;
	ssize_t written = 0;
	ASSERT_EQ(message.Flatten(&stream, &written), B_OK);
	EXPECT_EQ(written, (ssize_t)bytes.size());
	ASSERT_EQ(stream.BufferLength(), bytes.size());
	EXPECT_EQ(memcmp(stream.Buffer(), bytes.data(), bytes.size()), 0);

	Bytes small(bytes.size() - 1);
	EXPECT_EQ(message.Flatten((char*)small.data(), (ssize_t)small.size()), B_BAD_VALUE);
	EXPECT_EQ(message.Flatten((BDataIO*)NULL), B_BAD_VALUE);
}

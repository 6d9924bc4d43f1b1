#include <gtest/gtest.h>

#include <stdio.h>

#include <functional>

#include <DataIO.h>
#include <Message.h>
#include <String.h>

#include "R5Bytes.h"

namespace {

Bytes
Slice(const Bytes& bytes, size_t from, size_t count)
{
	return Bytes(bytes.begin() + from, bytes.begin() + from + count);
}

// Reads a flattened message in whichever way the case needs, so each case runs through the
// pointer and the stream forms alike.
status_t
UnflattenFromStream(BMessage* message, const Bytes& bytes)
{
	BMemoryIO stream(bytes.data(), bytes.size());
	return message->Unflatten(&stream);
}

// The fields of the real 152-byte sample, in either byte order, with or without mini sizes.
Bytes
SampleMessage(bool bigEndian, bool mini)
{
	uint8_t m = mini ? 0x02 : 0;
	R5Bytes fields(bigEndian);
	fields.FieldHead(0x0D | m, 'LONG', 1, 4, "creationDate").U32(1103620689);
	fields.FieldHead(0x0D | m, 'LLNG', 1, 8, "capacity").U64(0);
	fields.FieldHead(0x09 | m, 'CSTR', 1, 8, "deviceName").StringItem("");
	fields.FieldHead(0x09 | m, 'CSTR', 1, 16, "volumeName").StringItem("Google");
	fields.FieldHead(0x09 | m, 'CSTR', 1, 16, "fshName").StringItem("googlefs");
	return R5Message(fields);
}

void
ExpectSampleFields(const BMessage& message)
{
	EXPECT_EQ(message.what, 0u);
	EXPECT_EQ(message.CountNames(B_ANY_TYPE), 5);
	int32 date = 0;
	int64 capacity = -1;
	BString device("x");
	BString volume;
	BString fsh;
	EXPECT_EQ(message.FindInt32("creationDate", &date), B_OK);
	EXPECT_EQ(date, 1103620689);
	EXPECT_EQ(message.FindInt64("capacity", &capacity), B_OK);
	EXPECT_EQ(capacity, 0);
	EXPECT_EQ(message.FindString("deviceName", &device), B_OK);
	EXPECT_STREQ(device.String(), "");
	EXPECT_EQ(message.FindString("volumeName", &volume), B_OK);
	EXPECT_STREQ(volume.String(), "Google");
	EXPECT_EQ(message.FindString("fshName", &fsh), B_OK);
	EXPECT_STREQ(fsh.String(), "googlefs");
	char* name = NULL;
	type_code type = 0;
	ASSERT_EQ(message.GetInfo(B_ANY_TYPE, 2, &name, &type), B_OK);
	EXPECT_STREQ(name, "deviceName");
	EXPECT_EQ(type, (type_code)B_STRING_TYPE);
}

// One instance of every item layout that is swapped differently.
Bytes
MixedMessage(bool bigEndian)
{
	R5Bytes fields(bigEndian);
	fields.FieldHead(0x07, 'SHRT', 2, 4, "short").U16(0x1234).U16(0xFEDC);
	fields.FieldHead(0x0F, 'RECT', 1, 16, "rect").Float(1.5f).Float(-2).Float(300).Float(4e9f);
	fields.FieldHead(0x0F, 'BPNT', 1, 8, "point").Float(0.25f).Float(-7);
	fields.FieldHead(0x0F, 'DBLE', 1, 8, "double").Double(-1.0 / 3);
	fields.FieldHead(0x0F, 'FLOT', 1, 4, "float").Float(2.5f);
	fields.FieldHead(0x0F, 'BOOL', 1, 1, "bool").U8(1);
	fields.FieldHead(0x03, 'CSTR', 2, 16, "strings").StringItem("ab").StringItem("cd");
	fields.FieldHead(0x05, 'LONG', 70, 280, "longs");
	for (uint32_t i = 0; i < 70; i++)
		fields.U32(i * 0x01010101u);
	fields.FieldHead(0x0F, 'RAWT', 1, 3, "raw").Text("xyz");
	return R5Message(fields, 'mixd');
}

void
ExpectMixedFields(const BMessage& message)
{
	EXPECT_EQ(message.what, (uint32)'mixd');
	int16 shortValue = 0;
	EXPECT_EQ(message.FindInt16("short", 1, &shortValue), B_OK);
	EXPECT_EQ(shortValue, (int16)0xFEDC);
	BRect rect;
	EXPECT_EQ(message.FindRect("rect", &rect), B_OK);
	EXPECT_EQ(rect, BRect(1.5f, -2, 300, 4e9f));
	BPoint point;
	EXPECT_EQ(message.FindPoint("point", &point), B_OK);
	EXPECT_EQ(point, BPoint(0.25f, -7));
	double doubleValue = 0;
	EXPECT_EQ(message.FindDouble("double", &doubleValue), B_OK);
	EXPECT_EQ(doubleValue, -1.0 / 3);
	float floatValue = 0;
	EXPECT_EQ(message.FindFloat("float", &floatValue), B_OK);
	EXPECT_EQ(floatValue, 2.5f);
	bool boolValue = false;
	EXPECT_EQ(message.FindBool("bool", &boolValue), B_OK);
	EXPECT_TRUE(boolValue);
	const char* text = NULL;
	EXPECT_EQ(message.FindString("strings", 1, &text), B_OK);
	EXPECT_STREQ(text, "cd");
	int32 longValue = 0;
	EXPECT_EQ(message.FindInt32("longs", 69, &longValue), B_OK);
	EXPECT_EQ((uint32)longValue, 69 * 0x01010101u);
	const void* raw = NULL;
	ssize_t rawSize = 0;
	EXPECT_EQ(message.FindData("raw", B_RAW_TYPE, &raw, &rawSize), B_OK);
	EXPECT_EQ(std::string((const char*)raw, rawSize), "xyz");
}

Bytes
Nested(int levels, bool bigEndian = false)
{
	R5Bytes inner(bigEndian);
	inner.FieldHead(0x0F, 'LONG', 1, 4, "depth").U32(levels);
	Bytes message = R5Message(inner);
	for (int i = 0; i < levels; i++) {
		R5Bytes outer(bigEndian);
		outer.FieldHead(0x09, 'MSGG', 1, (uint32_t)((4 + message.size() + 7) & ~7u), "m");
		outer.Item(message.data(), (uint32_t)message.size());
		message = R5Message(outer);
	}
	return message;
}

} // namespace

TEST(MessageUnflattenTest, RealR5MessageHasItsFiveFields)
{
	FILE* file = fopen(ZORVE_TEST_DATA "/r5-message-152.bin", "rb");
	ASSERT_NE(file, nullptr);
	Bytes bytes(152);
	ASSERT_EQ(fread(bytes.data(), 1, bytes.size(), file), bytes.size());
	fclose(file);

	BMessage fromBuffer('old!');
	fromBuffer.AddInt32("stale", 1);
	ASSERT_EQ(fromBuffer.Unflatten((const char*)bytes.data()), B_OK);
	ExpectSampleFields(fromBuffer);
	EXPECT_FALSE(fromBuffer.HasInt32("stale"));

	BMessage fromStream;
	ASSERT_EQ(UnflattenFromStream(&fromStream, bytes), B_OK);
	ExpectSampleFields(fromStream);
}

TEST(MessageUnflattenTest, ReadsBothByteOrdersWithAndWithoutMiniSizes)
{
	for (bool bigEndian : {false, true}) {
		for (bool mini : {false, true}) {
			SCOPED_TRACE(testing::Message() << "big-endian " << bigEndian << " mini " << mini);
			BMessage message;
			Bytes bytes = SampleMessage(bigEndian, mini);
			ASSERT_EQ(message.Unflatten((const char*)bytes.data()), B_OK);
			ExpectSampleFields(message);
			EXPECT_EQ(message.FlattenedSize(), 152);
		}
	}
}

TEST(MessageUnflattenTest, SwapsItemDataByType)
{
	for (bool bigEndian : {false, true}) {
		SCOPED_TRACE(bigEndian ? "big-endian" : "little-endian");
		BMessage message;
		Bytes bytes = MixedMessage(bigEndian);
		ASSERT_EQ(UnflattenFromStream(&message, bytes), B_OK);
		ExpectMixedFields(message);
	}
}

TEST(MessageUnflattenTest, BitmapArchiveWithoutMiniSizesIsTheLongerR5Form)
{
	uint8_t pixels[256] = {7};
	R5Bytes fields;
	fields.FieldHead(0x09, 'CSTR', 1, 16, "class").StringItem("BBitmap");
	fields.FieldHead(0x0D, 'RECT', 1, 16, "_frame").Float(0).Float(0).Float(15).Float(15);
	fields.FieldHead(0x0D, 'LONG', 1, 4, "_cspace").U32(4);
	fields.FieldHead(0x0D, 'LONG', 1, 4, "_bmflags").U32(1);
	fields.FieldHead(0x0D, 'LONG', 1, 4, "_rowbytes").U32(16);
	fields.FieldHead(0x0D, 'RAWT', 1, 256, "_data").Raw(pixels, sizeof(pixels));
	Bytes bytes = R5Message(fields);
	ASSERT_EQ(bytes.size(), 418u);
	ASSERT_EQ(R5Checksum(bytes.data() + 8, 9), 0xA2010001u);

	BMessage archive;
	ASSERT_EQ(archive.Unflatten((const char*)bytes.data()), B_OK);
	BRect frame;
	EXPECT_EQ(archive.FindRect("_frame", &frame), B_OK);
	EXPECT_EQ(frame, BRect(0, 0, 15, 15));
	const void* data = NULL;
	ssize_t size = 0;
	EXPECT_EQ(archive.FindData("_data", B_RAW_TYPE, &data, &size), B_OK);
	EXPECT_EQ(size, 256);
	EXPECT_EQ(archive.FlattenedSize(), 403);
}

TEST(MessageUnflattenTest, SkipsTargetTokenAndReplyInfo)
{
	R5Bytes fields;
	fields.FieldHead(0x0F, 'LONG', 1, 4, "n").U32(42);
	R5Bytes target;
	target.U32(77);
	R5Bytes reply;
	reply.U32(1).U32(2).U32(3).U8(1).U8(0).U8(0).U8(1);
	Bytes both = target.Get();
	both.insert(both.end(), reply.Get().begin(), reply.Get().end());

	struct Case {
		uint8_t flags;
		Bytes extra;
	} cases[] = {{0x03, target.Get()}, {0x05, reply.Get()}, {0x07, both}, {0x0F, both}};
	for (const Case& c : cases) {
		SCOPED_TRACE((int)c.flags);
		BMessage message;
		Bytes bytes = R5Message(fields, 'rply', c.flags, c.extra);
		ASSERT_EQ(UnflattenFromStream(&message, bytes), B_OK);
		int32 value = 0;
		EXPECT_EQ(message.FindInt32("n", &value), B_OK);
		EXPECT_EQ(value, 42);
		EXPECT_EQ(message.what, (uint32)'rply');
		EXPECT_EQ(message.FlattenedSize(), 18 + 1 + 4 + 1 + 1 + 1 + 4);
	}
}

TEST(MessageUnflattenTest, NestedMessagesAreBoundedAtEightLevels)
{
	for (bool bigEndian : {false, true}) {
		BMessage message;
		Bytes deep = Nested(8, bigEndian);
		ASSERT_EQ(message.Unflatten((const char*)deep.data()), B_OK);
		BMessage level(message);
		for (int i = 0; i < 8; i++)
			ASSERT_EQ(level.FindMessage("m", &level), B_OK);
		int32 depth = 0;
		EXPECT_EQ(level.FindInt32("depth", &depth), B_OK);
		EXPECT_EQ(depth, 8);
		// Nor can one be built deeper by nesting.
		BMessage outer;
		EXPECT_EQ(outer.AddMessage("m", &message), B_BAD_VALUE);

		Bytes tooDeep = Nested(9, bigEndian);
		EXPECT_EQ(message.Unflatten((const char*)tooDeep.data()), B_BAD_DATA);
	}
}

TEST(MessageUnflattenTest, StreamReadsExactlyTheDeclaredSize)
{
	Bytes first = SampleMessage(false, true);
	Bytes second = MixedMessage(true);
	Bytes both = first;
	both.insert(both.end(), second.begin(), second.end());
	BMemoryIO stream(both.data(), both.size());

	BMessage message;
	ASSERT_EQ(message.Unflatten(&stream), B_OK);
	ExpectSampleFields(message);
	EXPECT_EQ(stream.Position(), (off_t)first.size());
	ASSERT_EQ(message.Unflatten(&stream), B_OK);
	ExpectMixedFields(message);
	EXPECT_EQ(message.Unflatten(&stream), B_NOT_A_MESSAGE);
}

TEST(MessageUnflattenTest, StreamRefusesSizesOutOfBoundsWithoutReadingOn)
{
	Bytes bytes = SampleMessage(false, true);
	struct Case {
		uint32_t size;
		status_t expected;
	} cases[] = {{17, B_BAD_DATA}, {0, B_BAD_DATA}, {64 * 1024 * 1024 + 1, B_BAD_DATA},
		{0xFFFFFFFF, B_BAD_DATA}, {1024 * 1024, B_BAD_DATA}};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.size);
		Bytes changed = bytes;
		memcpy(changed.data() + 8, &c.size, 4);
		BMessage message;
		EXPECT_EQ(UnflattenFromStream(&message, changed), c.expected);
	}

	BMessage message;
	EXPECT_EQ(UnflattenFromStream(&message, Bytes()), B_NOT_A_MESSAGE);
	EXPECT_EQ(UnflattenFromStream(&message, Slice(bytes, 0, 10)), B_BAD_DATA);
	EXPECT_EQ(message.Unflatten((BDataIO*)NULL), B_BAD_VALUE);
	EXPECT_EQ(message.Unflatten((const char*)NULL), B_BAD_VALUE);
}

// Each malformed input is built whole (size and checksum right unless the fault is there),
// so it is refused for the fault it carries.
struct Malformed {
	const char* name;
	std::function<Bytes()> build;
	status_t expected;
	// The declared size lies beyond the bytes: only a stream can be handed such input.
	bool streamOnly = false;
};

class MessageMalformedTest : public testing::TestWithParam<Malformed> {};

TEST_P(MessageMalformedTest, IsRefusedAndLeavesTheMessageEmpty)
{
	const Malformed& param = GetParam();
	Bytes bytes = param.build();
	for (bool stream : {false, true}) {
		if (!stream && param.streamOnly)
			continue;
		SCOPED_TRACE(stream ? "stream" : "buffer");
		BMessage message('full');
		message.AddString("before", "x");
		// Slack after the bytes so that the buffer form reads only what the header declares.
		Bytes padded = bytes;
		padded.resize(bytes.size() + 64, 0xEE);
		status_t status;
		if (stream)
			status = UnflattenFromStream(&message, bytes);
		else
			status = message.Unflatten((const char*)padded.data());
		EXPECT_EQ(status, param.expected);
		EXPECT_EQ(message.what, 0u);
		EXPECT_TRUE(message.IsEmpty());
	}
}

namespace {

R5Bytes
OneInt32()
{
	R5Bytes fields;
	fields.FieldHead(0x0F, 'LONG', 1, 4, "n").U32(5);
	return fields;
}

Bytes
WithByte(Bytes bytes, size_t offset, uint8_t value)
{
	bytes[offset] = value;
	return bytes;
}

// A well-formed message around fields that carry the fault.
std::function<Bytes()>
Fields(std::function<void(R5Bytes&)> fill)
{
	return [fill] {
		R5Bytes fields;
		fill(fields);
		return R5Message(fields);
	};
}

const Malformed kMalformed[] = {
	{"ForeignMagic", [] { return WithByte(R5Message(OneInt32()), 0, 'X'); }, B_NOT_A_MESSAGE},
	{"HaikuMagic",
		[] {
			Bytes bytes = R5Message(OneInt32());
			memcpy(bytes.data(), "HMF1", 4);
			return bytes;
		},
		B_NOT_A_MESSAGE},
	{"WrongChecksum", [] { return WithByte(R5Message(OneInt32()), 4, 0x02); }, B_BAD_DATA},
	{"ChecksumOverWhatToo", [] { return WithByte(R5Message(OneInt32()), 12, 0x01); }, B_BAD_DATA},
	{"HeaderNotValid", [] { return R5Message(OneInt32(), 0, 0x00); }, B_BAD_DATA},
	{"TruncatedBody",
		[] {
			Bytes bytes = R5Message(OneInt32());
			bytes.resize(bytes.size() - 3);
			return bytes;
		},
		B_BAD_DATA, true},
	{"DeclaredSizeShort",
		[] {
			R5Bytes fields = OneInt32();
			Bytes bytes = R5Message(fields);
			Bytes shorter = R5Message(fields, 0, 0x01, Bytes(), false);
			// Header of the message without its end byte, body with it.
			memcpy(bytes.data(), shorter.data(), 17);
			return bytes;
		},
		B_BAD_DATA},
	{"TrailingBytesAfterEnd",
		[] {
			R5Bytes fields = OneInt32();
			fields.U8(0).U8(0);
			return R5Message(fields, 0, 0x01, Bytes(), false);
		},
		B_BAD_DATA},
	{"MissingEndMarker", [] { return R5Message(OneInt32(), 0, 0x01, Bytes(), false); }, B_BAD_DATA},
	{"UnknownFieldFlag", Fields([](R5Bytes& f) { f.FieldHead(0x1F, 'LONG', 1, 4, "n").U32(5); }),
		B_BAD_DATA},
	{"FieldFlagsWithoutValid",
		Fields([](R5Bytes& f) { f.FieldHead(0x0E, 'LONG', 1, 4, "n").U32(5); }), B_BAD_DATA},
	{"FieldRunsPastEnd", Fields([](R5Bytes& f) { f.FieldHead(0x0F, 'RAWT', 1, 40, "n").U32(5); }),
		B_BAD_DATA},
	{"NameRunsPastEnd", Fields([](R5Bytes& f) { f.U8(0x0F).U32('LONG').U8(4).U8(200).Text("n"); }),
		B_BAD_DATA},
	{"HugeCountInTenBytes",
		Fields([](R5Bytes& f) { f.FieldHead(0x05, 'RAWT', 0x80000000u, 10, "n").Zeros(10); }),
		B_BAD_DATA},
	{
		"HugeVariableCount",
		Fields([](R5Bytes& f) {
			f.FieldHead(0x01, 'RAWT', 0xFFFFFFFFu, 16, "n").Item("abc", 3).Item("d", 1);
		}),
		B_BAD_DATA,
	},
	{"ZeroCount", Fields([](R5Bytes& f) { f.FieldHead(0x07, 'RAWT', 0, 4, "n").U32(5); }),
		B_BAD_DATA},
	{"ZeroDataSize", Fields([](R5Bytes& f) { f.FieldHead(0x0F, 'RAWT', 1, 0, "n"); }), B_BAD_DATA},
	{"FixedDataNotMultipleOfCount",
		Fields([](R5Bytes& f) { f.FieldHead(0x07, 'RAWT', 3, 10, "n").Zeros(10); }), B_BAD_DATA},
	{"Int32ItemOfTwoBytes", Fields([](R5Bytes& f) { f.FieldHead(0x0F, 'LONG', 1, 2, "n").U16(5); }),
		B_BAD_DATA},
	{"RectItemOfEightBytes",
		Fields([](R5Bytes& f) { f.FieldHead(0x0F, 'RECT', 1, 8, "n").Zeros(8); }), B_BAD_DATA},
	{"VariableItemPastField",
		Fields([](R5Bytes& f) { f.FieldHead(0x0B, 'RAWT', 1, 8, "n").U32(9).Zeros(4); }),
		B_BAD_DATA},
	{"VariableItemsShortOfDataSize",
		Fields([](R5Bytes& f) { f.FieldHead(0x0B, 'RAWT', 1, 16, "n").Item("a", 1).Zeros(8); }),
		B_BAD_DATA},
	{"StringWithoutTerminator",
		Fields([](R5Bytes& f) { f.FieldHead(0x0B, 'CSTR', 1, 8, "n").Item("abc", 3); }),
		B_BAD_DATA},
	{"NameWithNul",
		Fields([](R5Bytes& f) { f.U8(0x0F).U32('LONG').U8(4).U8(3).Raw("a\0b", 3).U32(1); }),
		B_BAD_DATA},
	{
		"DuplicateName",
		Fields([](R5Bytes& f) {
			f.FieldHead(0x0F, 'LONG', 1, 4, "n").U32(1);
			f.FieldHead(0x0F, 'LONG', 1, 4, "n").U32(2);
		}),
		B_BAD_DATA,
	},
	{
		"NestedMessageInvalid",
		Fields([](R5Bytes& f) {
			Bytes inner = WithByte(R5Message(OneInt32()), 4, 0x00);
			f.FieldHead(0x0B, 'MSGG', 1, (uint32_t)((4 + inner.size() + 7) & ~7u), "m");
			f.Item(inner.data(), (uint32_t)inner.size());
		}),
		B_BAD_DATA,
	},
	{"NestedNotAMessage",
		Fields([](R5Bytes& f) { f.FieldHead(0x0B, 'MSGG', 1, 16, "m").Item("no message", 8); }),
		B_BAD_DATA},
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Inputs, MessageMalformedTest, testing::ValuesIn(kMalformed),
	[](const testing::TestParamInfo<Malformed>& info) { return std::string(info.param.name); });

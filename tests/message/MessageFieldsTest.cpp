#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <AppDefs.h>
#include <Message.h>
#include <String.h>

namespace {

// How each field type is added, found, replaced and told apart; the contract below runs over
// every one of them.
#define SIMPLE_TRAITS(Name, ValueType, typeCode, valueExpression)                                \
	struct Name##Traits {                                                                        \
		typedef ValueType Value;                                                                 \
		static constexpr type_code kType = typeCode;                                             \
		static Value Make(int i) { return valueExpression; }                                     \
		static status_t Add(BMessage& m, const char* n, Value v) { return m.Add##Name(n, v); }   \
		static status_t Find(const BMessage& m, const char* n, int32 i, Value* v)                \
		{                                                                                        \
			return m.Find##Name(n, i, v);                                                        \
		}                                                                                        \
		static status_t FindFirst(const BMessage& m, const char* n, Value* v)                    \
		{                                                                                        \
			return m.Find##Name(n, v);                                                           \
		}                                                                                        \
		static status_t Replace(BMessage& m, const char* n, int32 i, Value v)                    \
		{                                                                                        \
			return m.Replace##Name(n, i, v);                                                     \
		}                                                                                        \
		static bool Has(const BMessage& m, const char* n, int32 i) { return m.Has##Name(n, i); } \
		static bool Equal(const Value& a, const Value& b) { return a == b; }                     \
	};

SIMPLE_TRAITS(Int8, int8, B_INT8_TYPE, (int8)(-100 + i * 60))
SIMPLE_TRAITS(Int16, int16, B_INT16_TYPE, (int16)(-30000 + i * 20001 % 30000))
SIMPLE_TRAITS(Int32, int32, B_INT32_TYPE, (int32)(-2000000000 + i * 1234567))
SIMPLE_TRAITS(Int64, int64, B_INT64_TYPE, (int64)(-(1LL << 62) + i * 0x1234567890LL))
SIMPLE_TRAITS(Bool, bool, B_BOOL_TYPE, i % 2 == 1)
SIMPLE_TRAITS(Float, float, B_FLOAT_TYPE, -1.5f + i * 1000.25f)
SIMPLE_TRAITS(Double, double, B_DOUBLE_TYPE, 1e300 / (i + 1))
SIMPLE_TRAITS(Rect, BRect, B_RECT_TYPE, BRect(i, -i, 100.5f * i, 1e6f + i))
SIMPLE_TRAITS(Point, BPoint, B_POINT_TYPE, BPoint(-0.5f * i, 7.25f + i))

char sPointees[4];

struct PointerTraits {
	typedef void* Value;
	static constexpr type_code kType = B_POINTER_TYPE;
	static Value Make(int i) { return &sPointees[i % 4]; }
	static status_t Add(BMessage& m, const char* n, Value v) { return m.AddPointer(n, v); }
	static status_t Find(const BMessage& m, const char* n, int32 i, Value* v)
	{
		return m.FindPointer(n, i, v);
	}
	static status_t FindFirst(const BMessage& m, const char* n, Value* v)
	{
		return m.FindPointer(n, v);
	}
	static status_t Replace(BMessage& m, const char* n, int32 i, Value v)
	{
		return m.ReplacePointer(n, i, v);
	}
	static bool Has(const BMessage& m, const char* n, int32 i) { return m.HasPointer(n, i); }
	static bool Equal(Value a, Value b) { return a == b; }
};

struct StringTraits {
	typedef BString Value;
	static constexpr type_code kType = B_STRING_TYPE;
	static Value Make(int i) { return i == 1 ? BString("") : BString("text ") << (int32)i; }
	static status_t Add(BMessage& m, const char* n, const Value& v) { return m.AddString(n, v); }
	static status_t Find(const BMessage& m, const char* n, int32 i, Value* v)
	{
		return m.FindString(n, i, v);
	}
	static status_t FindFirst(const BMessage& m, const char* n, Value* v)
	{
		return m.FindString(n, v);
	}
	static status_t Replace(BMessage& m, const char* n, int32 i, const Value& v)
	{
		return m.ReplaceString(n, i, v);
	}
	static bool Has(const BMessage& m, const char* n, int32 i) { return m.HasString(n, i); }
	static bool Equal(const Value& a, const Value& b) { return a == b; }
};

struct MessageTraits {
	typedef BMessage Value;
	static constexpr type_code kType = B_MESSAGE_TYPE;
	static Value Make(int i)
	{
		BMessage message('nst0' + i);
		message.AddInt32("index", i);
		if (i == 2) {
			BMessage inner('innr');
			inner.AddString("deep", "yes");
			message.AddMessage("inner", &inner);
		}
		return message;
	}
	static status_t Add(BMessage& m, const char* n, const Value& v) { return m.AddMessage(n, &v); }
	static status_t Find(const BMessage& m, const char* n, int32 i, Value* v)
	{
		return m.FindMessage(n, i, v);
	}
	static status_t FindFirst(const BMessage& m, const char* n, Value* v)
	{
		return m.FindMessage(n, v);
	}
	static status_t Replace(BMessage& m, const char* n, int32 i, const Value& v)
	{
		return m.ReplaceMessage(n, i, &v);
	}
	static bool Has(const BMessage& m, const char* n, int32 i) { return m.HasMessage(n, i); }
	static bool Equal(const Value& a, const Value& b)
	{
		std::vector<char> flatA(a.FlattenedSize());
		std::vector<char> flatB(b.FlattenedSize());
		a.Flatten(flatA.data(), flatA.size());
		b.Flatten(flatB.data(), flatB.size());
		return flatA == flatB;
	}
};

// Raw data of a type of our own, both as fixed-size and as variable-size items.
template<bool kFixed>
struct DataTraits {
	typedef std::string Value;
	static constexpr type_code kType = 'zOwn';
	static Value Make(int i)
	{
		return kFixed ? std::string("abc") + char('0' + i) : std::string(i * 7 + 1, 'a' + i);
	}
	static status_t Add(BMessage& m, const char* n, const Value& v)
	{
		return m.AddData(n, kType, v.data(), v.size(), kFixed);
	}
	static status_t Find(const BMessage& m, const char* n, int32 i, Value* v)
	{
		const void* data;
		ssize_t size;
		status_t status = m.FindData(n, kType, i, &data, &size);
		if (status == B_OK)
			v->assign((const char*)data, size);
		return status;
	}
	static status_t FindFirst(const BMessage& m, const char* n, Value* v)
	{
		return Find(m, n, 0, v);
	}
	static status_t Replace(BMessage& m, const char* n, int32 i, const Value& v)
	{
		return m.ReplaceData(n, kType, i, v.data(), v.size());
	}
	static bool Has(const BMessage& m, const char* n, int32 i) { return m.HasData(n, kType, i); }
	static bool Equal(const Value& a, const Value& b) { return a == b; }
};

BMessage
RoundTrip(const BMessage& message)
{
	std::vector<char> flat(message.FlattenedSize());
	EXPECT_EQ(message.Flatten(flat.data(), flat.size()), B_OK);
	BMessage copy;
	EXPECT_EQ(copy.Unflatten(flat.data()), B_OK);
	return copy;
}

} // namespace

template<typename Traits>
class MessageFieldTypeTest : public testing::Test {
};

typedef testing::Types<Int8Traits, Int16Traits, Int32Traits, Int64Traits, BoolTraits, FloatTraits,
	DoubleTraits, RectTraits, PointTraits, PointerTraits, StringTraits, MessageTraits,
	DataTraits<true>, DataTraits<false>>
	FieldTypes;
TYPED_TEST_SUITE(MessageFieldTypeTest, FieldTypes);

TYPED_TEST(MessageFieldTypeTest, ItemsSurviveFlatteningInOrder)
{
	typedef TypeParam T;
	BMessage message('type');
	message.AddData("before", 'zBef', "b", 1);
	for (int i = 0; i < 3; i++)
		ASSERT_EQ(T::Add(message, "field", T::Make(i)), B_OK);

	BMessage copy = RoundTrip(message);
	EXPECT_EQ(copy.what, (uint32)'type');
	for (int i = 0; i < 3; i++) {
		typename T::Value value = T::Make(9);
		ASSERT_EQ(T::Find(copy, "field", i, &value), B_OK);
		EXPECT_TRUE(T::Equal(value, T::Make(i))) << "index " << i;
	}
	typename T::Value first = T::Make(9);
	ASSERT_EQ(T::FindFirst(copy, "field", &first), B_OK);
	EXPECT_TRUE(T::Equal(first, T::Make(0)));

	type_code type = 0;
	int32 count = 0;
	EXPECT_EQ(copy.GetInfo("field", &type, &count), B_OK);
	EXPECT_EQ(type, T::kType);
	EXPECT_EQ(count, 3);
	EXPECT_TRUE(T::Has(copy, "field", 2));
	EXPECT_FALSE(T::Has(copy, "field", 3));
	EXPECT_FALSE(T::Has(copy, "before", 0));
}

TYPED_TEST(MessageFieldTypeTest, ReplaceAndRemoveTouchOnlyTheirItem)
{
	typedef TypeParam T;
	BMessage message;
	for (int i = 0; i < 3; i++)
		ASSERT_EQ(T::Add(message, "field", T::Make(i)), B_OK);
	ASSERT_EQ(T::Replace(message, "field", 1, T::Make(3)), B_OK);
	EXPECT_EQ(T::Replace(message, "field", 3, T::Make(0)), B_BAD_INDEX);
	EXPECT_EQ(T::Replace(message, "missing", 0, T::Make(0)), B_NAME_NOT_FOUND);
	ASSERT_EQ(message.RemoveData("field", 0), B_OK);

	BMessage copy = RoundTrip(message);
	typename T::Value value = T::Make(9);
	ASSERT_EQ(T::Find(copy, "field", 0, &value), B_OK);
	EXPECT_TRUE(T::Equal(value, T::Make(3)));
	ASSERT_EQ(T::Find(copy, "field", 1, &value), B_OK);
	EXPECT_TRUE(T::Equal(value, T::Make(2)));
	EXPECT_EQ(T::Find(copy, "field", 2, &value), B_BAD_INDEX);
	EXPECT_EQ(T::Find(copy, "field", -1, &value), B_BAD_INDEX);

	ASSERT_EQ(copy.RemoveData("field", 1), B_OK);
	ASSERT_EQ(copy.RemoveData("field", 0), B_OK);
	EXPECT_EQ(T::Find(copy, "field", 0, &value), B_NAME_NOT_FOUND);
	EXPECT_TRUE(copy.IsEmpty());
}

TYPED_TEST(MessageFieldTypeTest, NamesKeepTheirType)
{
	typedef TypeParam T;
	BMessage message;
	ASSERT_EQ(T::Add(message, "field", T::Make(0)), B_OK);
	if (T::kType == B_INT32_TYPE)
		EXPECT_EQ(message.AddString("field", "other"), B_BAD_TYPE);
	else
		EXPECT_EQ(message.AddInt32("field", 1), B_BAD_TYPE);
	if (T::kType == B_INT8_TYPE)
		EXPECT_EQ(message.ReplaceInt16("field", 1), B_BAD_TYPE);
	else
		EXPECT_EQ(message.ReplaceInt8("field", 1), B_BAD_TYPE);

	typename T::Value value = T::Make(1);
	EXPECT_EQ(T::FindFirst(message, "absent", &value), B_NAME_NOT_FOUND);
	EXPECT_EQ(T::Find(message, "field", 1, &value), B_BAD_INDEX);
	EXPECT_TRUE(T::Equal(value, T::Make(1)));

	const void* data = NULL;
	ssize_t size = 0;
	type_code otherType = T::kType == B_RAW_TYPE ? B_INT32_TYPE : B_RAW_TYPE;
	EXPECT_EQ(message.FindData("field", otherType, &data, &size), B_BAD_TYPE);
	EXPECT_EQ(message.FindData("field", B_ANY_TYPE, &data, &size), B_OK);
	EXPECT_GT(size, 0);
	EXPECT_FALSE(message.HasData("field", otherType));
	EXPECT_TRUE(message.HasData("field", B_ANY_TYPE));
}

TEST(MessageFieldsTest, CopiesAreDeepAndIndependent)
{
	BMessage original('orig');
	original.AddString("name", "first");
	original.AddInt32("n", 1);

	BMessage copy(original);
	BMessage assigned;
	assigned.AddBool("gone", true);
	assigned = original;
	original.ReplaceString("name", "changed");
	original.RemoveName("n");
	original.what = 0;

	for (const BMessage* message : {&copy, &assigned}) {
		const char* name = NULL;
		int32 n = 0;
		EXPECT_EQ(message->what, (uint32)'orig');
		EXPECT_EQ(message->FindString("name", &name), B_OK);
		EXPECT_STREQ(name, "first");
		EXPECT_EQ(message->FindInt32("n", &n), B_OK);
		EXPECT_FALSE(message->HasBool("gone"));
	}
	assigned = assigned;
	EXPECT_EQ(assigned.CountNames(B_ANY_TYPE), 2);
}

TEST(MessageFieldsTest, GetInfoWalksFieldsInInsertionOrder)
{
	BMessage message;
	message.AddInt32("b", 1);
	message.AddString("a", "x");
	message.AddInt32("c", 2);
	message.AddInt32("c", 3);
	EXPECT_EQ(message.CountNames(B_ANY_TYPE), 3);
	EXPECT_EQ(message.CountNames(B_INT32_TYPE), 2);
	EXPECT_EQ(message.CountNames(B_RECT_TYPE), 0);

	char* name = NULL;
	type_code type = 0;
	int32 count = 0;
	ASSERT_EQ(message.GetInfo(B_INT32_TYPE, 1, &name, &type, &count), B_OK);
	EXPECT_STREQ(name, "c");
	EXPECT_EQ(type, (type_code)B_INT32_TYPE);
	EXPECT_EQ(count, 2);
	ASSERT_EQ(message.GetInfo(B_ANY_TYPE, 1, &name, &type), B_OK);
	EXPECT_STREQ(name, "a");
	EXPECT_EQ(message.GetInfo(B_INT32_TYPE, 2, &name, &type), B_BAD_INDEX);
	EXPECT_EQ(message.GetInfo(B_ANY_TYPE, -1, &name, &type), B_BAD_INDEX);
	EXPECT_EQ(message.GetInfo(B_RECT_TYPE, 0, &name, &type), B_BAD_TYPE);

	bool fixedSize = false;
	EXPECT_EQ(message.GetInfo("c", &type, &fixedSize), B_OK);
	EXPECT_TRUE(fixedSize);
	EXPECT_EQ(message.GetInfo("a", &type, &fixedSize), B_OK);
	EXPECT_FALSE(fixedSize);
	EXPECT_EQ(message.GetInfo("zz", &type, &count), B_NAME_NOT_FOUND);
	EXPECT_EQ(count, 0);
}

TEST(MessageFieldsTest, RenameKeepsPlaceAndRefusesTakenNames)
{
	BMessage message;
	message.AddInt32("one", 1);
	message.AddInt32("two", 2);
	EXPECT_EQ(message.Rename("one", "two"), B_NAME_IN_USE);
	EXPECT_EQ(message.Rename("none", "x"), B_NAME_NOT_FOUND);
	ASSERT_EQ(message.Rename("one", "first"), B_OK);

	BMessage copy;
	std::vector<char> flat(message.FlattenedSize());
	message.Flatten(flat.data(), flat.size());
	ASSERT_EQ(copy.Unflatten(flat.data()), B_OK);
	char* name = NULL;
	type_code type;
	ASSERT_EQ(copy.GetInfo(B_ANY_TYPE, 0, &name, &type), B_OK);
	EXPECT_STREQ(name, "first");
	EXPECT_FALSE(copy.HasInt32("one"));
}

TEST(MessageFieldsTest, AddRefusesWhatTheFormatCannotCarry)
{
	BMessage message;
	char data[4] = {1, 2, 3, 4};
	EXPECT_EQ(message.AddData(std::string(256, 'n').c_str(), B_RAW_TYPE, data, 4), B_BAD_VALUE);
	EXPECT_EQ(message.AddData(std::string(255, 'n').c_str(), B_RAW_TYPE, data, 4), B_OK);
	EXPECT_EQ(message.AddData("raw", B_RAW_TYPE, data, 0), B_BAD_VALUE);
	EXPECT_EQ(message.AddData(NULL, B_RAW_TYPE, data, 4), B_BAD_VALUE);
	EXPECT_EQ(message.AddString("s", (const char*)NULL), B_BAD_VALUE);
	// Fixed-size fields hold items of one size; typed fields their type's size.
	ASSERT_EQ(message.AddData("fixed", B_RAW_TYPE, data, 4), B_OK);
	EXPECT_EQ(message.AddData("fixed", B_RAW_TYPE, data, 3), B_BAD_VALUE);
	EXPECT_EQ(message.ReplaceData("fixed", B_RAW_TYPE, data, 2), B_BAD_VALUE);
	EXPECT_EQ(message.AddData("short", B_INT32_TYPE, data, 2), B_BAD_VALUE);
	EXPECT_EQ(message.AddData("text", B_STRING_TYPE, "abc", 3), B_BAD_VALUE);
	EXPECT_EQ(message.AddData("nested", B_MESSAGE_TYPE, data, 4), B_BAD_VALUE);
	EXPECT_EQ(message.AddData("any", B_ANY_TYPE, data, 4), B_BAD_TYPE);
	EXPECT_EQ(message.CountNames(B_ANY_TYPE), 2);
}

TEST(MessageFieldsTest, MakeEmptyKeepsWhat)
{
	BMessage message('keep');
	message.AddInt32("n", 1);
	EXPECT_FALSE(message.IsEmpty());
	EXPECT_EQ(message.MakeEmpty(), B_OK);
	EXPECT_TRUE(message.IsEmpty());
	EXPECT_EQ(message.what, (uint32)'keep');
	EXPECT_EQ(message.RemoveName("n"), B_NAME_NOT_FOUND);
}

TEST(MessageFieldsTest, SystemCodesAreUnderscoreAndCapitals)
{
	EXPECT_TRUE(BMessage(B_QUIT_REQUESTED).IsSystem());
	EXPECT_TRUE(BMessage('_ABC').IsSystem());
	EXPECT_FALSE(BMessage('_AbC').IsSystem());
	EXPECT_FALSE(BMessage('AABC').IsSystem());
	EXPECT_FALSE(BMessage('DDic').IsSystem());
	BMessage message(B_PULSE);
	EXPECT_FALSE(message.WasDelivered());
	EXPECT_FALSE(message.IsReply());
	EXPECT_FALSE(message.IsSourceWaiting());
	EXPECT_FALSE(message.IsSourceRemote());
}

TEST(MessageFieldsTest, PrintToStreamListsEveryItem)
{
	BMessage message('prnt');
	message.AddString("host", "example");
	message.AddInt32("port", 80);
	message.AddInt32("port", 8080);
	testing::internal::CaptureStdout();
	message.PrintToStream();
	std::string text = testing::internal::GetCapturedStdout();
	EXPECT_NE(text.find("'prnt'"), std::string::npos);
	EXPECT_NE(text.find("\"example\""), std::string::npos);
	EXPECT_NE(text.find("8080"), std::string::npos);
}

#include <gtest/gtest.h>

#include <String.h>

TEST(StringTest, AppendPrependAndStreamBuildText)
{
	BString text("Ip");
	text << " " << (int32)-7 << ':' << (uint32)42;
	text.Append("!", 1).Prepend("<").Append('>', 2);
	EXPECT_STREQ(text.String(), "<Ip -7:42!>>");
	EXPECT_EQ(text.Length(), 12);

	BString self("ab");
	self.Append(self).Prepend(self);
	EXPECT_STREQ(self.String(), "abababab");
}

TEST(StringTest, EmptyStringYieldsEmptyText)
{
	BString empty;
	EXPECT_STREQ(empty.String(), "");
	EXPECT_EQ(empty.Length(), 0);
	BString fromNull(static_cast<const char*>(nullptr));
	EXPECT_STREQ(fromNull.String(), "");
	EXPECT_EQ(empty.FindFirst("x"), B_ERROR);
	EXPECT_TRUE(empty == "");
}

TEST(StringTest, FindRemoveAndReplace)
{
	BString reply("xxEncoding: chunked\r\n\r\nnochg 1.2.3.4 good good");
	EXPECT_EQ(reply.FindFirst("Encoding"), 2);
	EXPECT_EQ(reply.FindFirst("good", 30), 37);
	EXPECT_EQ(reply.FindLast("good"), 42);
	EXPECT_EQ(reply.FindFirst('\r'), 19);

	reply.Remove(0, 2 + 21);
	EXPECT_STREQ(reply.String(), "nochg 1.2.3.4 good good");
	reply.ReplaceFirst("nochg", "Not Changed (same ip)");
	reply.ReplaceFirst("good", "Ip Changed");
	EXPECT_STREQ(reply.String(), "Not Changed (same ip) 1.2.3.4 Ip Changed good");

	BString lines("a\r\nb\n\nc\r");
	lines.RemoveAll("\n").RemoveAll("\r");
	EXPECT_STREQ(lines.String(), "abc");
	lines.RemoveFirst("b");
	EXPECT_STREQ(lines.String(), "ac");
	lines.Remove(5, 3).Remove(1, 100);
	EXPECT_STREQ(lines.String(), "a");

	BString all("a-b-c");
	all.ReplaceAll("-", "--");
	EXPECT_STREQ(all.String(), "a--b--c");
}

TEST(StringTest, TruncateAndCopyInto)
{
	BString text("0.0.0.0<br>");
	text.Truncate(7);
	EXPECT_STREQ(text.String(), "0.0.0.0");
	text.Truncate(100);
	EXPECT_EQ(text.Length(), 7);
	text.Truncate(text.Length() - 1);
	EXPECT_STREQ(text.String(), "0.0.0.");

	BString part;
	text.CopyInto(part, 2, 3);
	EXPECT_STREQ(part.String(), "0.0");
	text.CopyInto(part, 4, 50);
	EXPECT_STREQ(part.String(), "0.");
	char buffer[4] = {'x', 'x', 'x', 'x'};
	text.CopyInto(buffer, 0, 3);
	EXPECT_EQ(std::string(buffer, 4), "0.0x");
}

TEST(StringTest, LockBufferGivesWritableCharacters)
{
	BString url("www.example.org");
	char* buffer = url.LockBuffer(0);
	ASSERT_NE(buffer, nullptr);
	buffer[0] = 'W';
	url.UnlockBuffer();
	EXPECT_STREQ(url.String(), "Www.example.org");

	BString grown("ab");
	buffer = grown.LockBuffer(10);
	strcpy(buffer, "abcdefghij");
	grown.UnlockBuffer();
	EXPECT_EQ(grown.Length(), 10);

	buffer = grown.LockBuffer(10);
	buffer[3] = '\0';
	grown.UnlockBuffer(-1);
	EXPECT_STREQ(grown.String(), "abc");
	EXPECT_EQ(grown.Length(), 3);
}

TEST(StringTest, ComparisonsFollowBytes)
{
	BString a("abc");
	EXPECT_TRUE(a == "abc");
	EXPECT_TRUE("abd" > a);
	EXPECT_TRUE(a < BString("abd"));
	EXPECT_NE(a.Compare("ABC"), 0);
	EXPECT_EQ(a.ICompare("ABC"), 0);
	EXPECT_TRUE(a != BString("ab"));
}

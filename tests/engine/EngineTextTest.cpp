#include <gtest/gtest.h>

#include <string.h>

#include "EngineMessages.h"
#include "FakeClock.h"
#include "HttpReply.h"
#include "TemporaryHome.h"
#include "CPreferences.h"
#include "Zorve.h"

TEST(EngineTextTest, Base64FollowsRfc4648)
{
	Zorve* engine = new Zorve();
	const struct {
		const char* text;
		const char* base64;
	} kVectors[] = {
		{"", ""},
		{"f", "Zg=="},
		{"fo", "Zm8="},
		{"foo", "Zm9v"},
		{"foob", "Zm9vYg=="},
		{"fooba", "Zm9vYmE="},
		{"foobar", "Zm9vYmFy"},
		{"\xff\xfe", "//4="},
		{"\x80\x81\x82\xfb", "gIGC+w=="},
	};
	for (const auto& vector : kVectors)
		EXPECT_EQ(engine->EncodeBase64(vector.text), vector.base64) << vector.base64;
	engine->Lock();
	engine->Quit();
}

TEST(EngineTextTest, AddressIsCutFromEveryPageStyle)
{
	const struct {
		const char* page;
		const char* address;
	} kPages[] = {
		{"<body>Current IP Address: 203.0.113.7</body></html>\r\n", "203.0.113.7"},
		{"Current IP Address: 203.0.113.7 <br>", "203.0.113.7"},
		{"Current IP Address: 203.0.113.7\r\n<br>", "203.0.113.7"},
		{"Current IP Address: 203.0.113.7<br>x Current IP Address: 1.1.1.1", "203.0.113.7"},
		{"Current IP Address: 203.0.113.7", "203.0.113.7"},
		{"Current IP Address: <br>", ""},
	};
	for (const auto& page : kPages) {
		BString address;
		ASSERT_TRUE(Zorve::ExtractAddress(page.page, address)) << page.page;
		EXPECT_EQ(address, page.address);
	}
	BString address("kept");
	EXPECT_FALSE(Zorve::ExtractAddress("Current IP Address:203.0.113.7", address));
	EXPECT_FALSE(Zorve::ExtractAddress("current ip address: 203.0.113.7", address));
	EXPECT_FALSE(Zorve::ExtractAddress("", address));
}

// A framed reply that ends early never yields the address it was cut inside; bytes that are
// not HTTP at all are read as the page itself.
TEST(EngineTextTest, ACheckReplyCutShortShowsNoPage)
{
	const char* kCut
		= "HTTP/1.1 200 OK\r\nContent-Length: 105\r\nConnection: close\r\n\r\n"
		  "<html><body>Current IP Address: 203.0.11";
	BString address("kept");
	EXPECT_FALSE(Zorve::ExtractAddress(Zorve::PageText(kCut), address));

	const char* kWhole
		= "HTTP/1.1 200 OK\r\nContent-Length: 44\r\n\r\n"
		  "<body>Current IP Address: 203.0.113.7</body>";
	ASSERT_TRUE(Zorve::ExtractAddress(Zorve::PageText(kWhole), address));
	EXPECT_EQ(address, "203.0.113.7");
	ASSERT_TRUE(
		Zorve::ExtractAddress(Zorve::PageText("Current IP Address: 1.2.3.4 <br>"), address));
	EXPECT_EQ(address, "1.2.3.4");
}

TEST(EngineTextTest, OnlyDottedQuadsPassTheShapeTest)
{
	for (const char* good : {"0.0.0.0", "255.255.255.255", "203.0.113.7", "010.1.1.1"})
		EXPECT_TRUE(Zorve::IsValidAddress(good)) << good;
	for (const char* bad : {"", "256.0.0.1", "1.2.3", "1.2.3.4.", ".1.2.3", "1..2.3", "1.2.3.4 ",
			 "a.b.c.d", "1.2.3.4\n", "-1.2.3.4", "1234.1.1.1", "0001.1.1.1"})
		EXPECT_FALSE(Zorve::IsValidAddress(bad)) << bad;
}

TEST(EngineTextTest, HttpRepliesAreReadInEveryFraming)
{
	HttpReply reply;
	const char* chunked
		= "HTTP/1.1 200 OK\r\nX-UpdateCode: n\r\nTransfer-Encoding: chunked\r\n\r\n"
		  "14\r\nnochg 192.168.178.20\r\n0\r\n\r\n";
	ASSERT_EQ(reply.SetTo(chunked, strlen(chunked)), B_OK);
	EXPECT_EQ(reply.StatusCode(), 200);
	EXPECT_EQ(reply.Body(), "nochg 192.168.178.20");
	BString value;
	ASSERT_TRUE(reply.Header("x-updatecode", value));
	EXPECT_EQ(value, "n");
	EXPECT_FALSE(reply.Header("Location", value));

	const char* twoChunks
		= "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
		  "5;ext=1\r\ngood \r\nb\r\n203.0.113.7\r\n0\r\n\r\n";
	ASSERT_EQ(reply.SetTo(twoChunks, strlen(twoChunks)), B_OK);
	EXPECT_EQ(reply.Body(), "good 203.0.113.7");

	const char* sized = "HTTP/1.0 401 Unauthorized\nContent-Length: 7\n\nbadauthTRAILING";
	ASSERT_EQ(reply.SetTo(sized, strlen(sized)), B_OK);
	EXPECT_EQ(reply.StatusCode(), 401);
	EXPECT_FALSE(reply.IsSuccess());
	EXPECT_EQ(reply.Body(), "badauth");

	const char* closed = "HTTP/1.1 200 OK\r\n\r\ngood\n";
	ASSERT_EQ(reply.SetTo(closed, strlen(closed)), B_OK);
	EXPECT_EQ(reply.Body(), "good\n");

	for (const char* bad : {"", "good 1.2.3.4", "HTTP/1.1 200 OK\r\nServer: x\r\n",
			 "HTTP/1.1 20 OK\r\n\r\n", "HTTP/2 200 OK\r\n\r\nx",
			 "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n14\r\nnochg",
			 "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n",
			 "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\ngood",
			 "HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n",
			 "HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\nx"}) {
		EXPECT_EQ(reply.SetTo(bad, strlen(bad)), B_BAD_DATA) << bad;
	}
}

TEST(EngineTextTest, LogSizeRuleClearsOnlyAboveTheLimit)
{
	TemporaryHome home;
	Zorve* engine = new Zorve();
	set_fake_time(utc_time(2026, 12, 31, 23, 59, 59));

	// No preferences file: the limit is 4096.
	engine->fLogText.SetTo('x', 4096);
	engine->CheckLog();
	EXPECT_EQ(engine->LogText().Length(), 4096);
	engine->fLogText.SetTo('x', 4097);
	engine->CheckLog();
	EXPECT_EQ(engine->LogText(), "");

	// The limit stored in the file counts, and a log at it stays.
	CPreferences prefs;
	prefs.SetDefault();
	prefs.fLogSize = 10;
	prefs.Save();
	engine->fLogText.SetTo('x', 10);
	engine->CheckLog();
	EXPECT_EQ(engine->LogText().Length(), 10);
	engine->fLogText.SetTo('x', 11);
	engine->CheckLog();
	EXPECT_EQ(engine->LogText(), "");

	// With 0 any text goes; with a negative limit even an empty log is "above" it.
	for (int32 limit : {0, -1}) {
		prefs.fLogSize = limit;
		prefs.Save();
		engine->Log("a");
		ASSERT_NE(engine->LogText(), "");
		engine->CheckLog();
		EXPECT_EQ(engine->LogText(), "") << limit;
	}

	engine->Log("first\n");
	engine->Log("second");
	EXPECT_EQ(engine->LogText(), "31/12/2026-23:59:59 first\n31/12/2026-23:59:59 second");

	// Time stamps are UTC, without leading zeros, across leap days and centuries.
	const struct {
		time_t time;
		const char* stamp;
	} kStamps[] = {
		{utc_time(1970, 1, 1, 0, 0, 1), "1/1/1970-0:0:1 "},
		{utc_time(2000, 2, 29, 12, 0, 1), "29/2/2000-12:0:1 "},
		{utc_time(2024, 2, 29, 23, 59, 59), "29/2/2024-23:59:59 "},
		{utc_time(2024, 3, 1, 0, 0, 0), "1/3/2024-0:0:0 "},
		{utc_time(2100, 3, 1, 7, 8, 9), "1/3/2100-7:8:9 "},
		{2147483647, "19/1/2038-3:14:7 "},
		{-1, "31/12/1969-23:59:59 "},
	};
	for (const auto& stamp : kStamps) {
		set_fake_time(stamp.time);
		engine->fLogText = "";
		engine->Log("");
		EXPECT_EQ(engine->LogText(), stamp.stamp) << (long long)stamp.time;
	}
	clear_fake_time();
	engine->Lock();
	engine->Quit();
}

#include <gtest/gtest.h>

#include <string>

#include "ReplyComposer.h"

namespace {

typedef ReplyComposer Composer;

std::string
BodyOf(const std::string& reply)
{
	size_t end = reply.find("\r\n\r\n");
	return end == std::string::npos ? std::string() : reply.substr(end + 4);
}

} // namespace

TEST(ReplyComposerTest, CheckPageStylesPlaceTheAddress)
{
	const struct {
		Composer::CheckPageStyle style;
		const char* around;
	} kCases[] = {
		{Composer::kCheckPageToday, "<body>Current IP Address: 198.51.100.23</body>"},
		{Composer::kCheckPageBlankBreak, "<body>Current IP Address: 198.51.100.23 <br></body>"},
		{Composer::kCheckPageNewlineBreak, "<body>Current IP Address: 198.51.100.23\n<br></body>"},
		{Composer::kCheckPageMarkerWithoutBlank, "<body>Current IP Address:198.51.100.23</body>"},
	};
	for (const auto& entry : kCases) {
		SCOPED_TRACE(entry.around);
		std::string body = Composer::CheckPageBody(entry.style, "198.51.100.23");
		EXPECT_NE(body.find(entry.around), std::string::npos) << body;
		EXPECT_EQ(body.compare(body.size() - 16, 16, "</body></html>\r\n"), 0);
	}
	std::string missing = Composer::CheckPageBody(Composer::kCheckPageNoMarker, "198.51.100.23");
	EXPECT_EQ(missing.find("Current IP Address"), std::string::npos);
	EXPECT_EQ(missing.find("198.51.100.23"), std::string::npos);
}

TEST(ReplyComposerTest, AnswerCodesAreTheProtocols)
{
	EXPECT_EQ(Composer::Answer(Composer::kAnswerNochg, "1.2.3.4"), "nochg 1.2.3.4");
	EXPECT_EQ(Composer::Answer(Composer::kAnswerGood), "good");
	EXPECT_EQ(Composer::Answer(Composer::kAnswerNotDonator, "1.2.3.4"), "!donator");
	EXPECT_EQ(Composer::Answer(Composer::kAnswerNumHost), "numhost");
	EXPECT_EQ(Composer::Answer(Composer::kAnswerDnsErr), "dnserr");
	EXPECT_EQ(Composer::Answer(Composer::kAnswerBadAgent), "badagent");
	EXPECT_EQ(Composer::UpdateBody({"good 1.2.3.4", "nohost"}), "good 1.2.3.4\nnohost");
	EXPECT_EQ(Composer::UpdateBody({}), "");
}

TEST(ReplyComposerTest, RoutesByPathOnly)
{
	EXPECT_EQ(Composer::RouteOf("GET / HTTP/1.1\r\n\r\n"), Composer::kRouteCheckPage);
	EXPECT_EQ(Composer::RouteOf("GET /?x HTTP/1.1\r\n\r\n"), Composer::kRouteCheckPage);
	EXPECT_EQ(Composer::RouteOf("GET /nic/update?a=b HTTP/1.1\r\n\r\n"), Composer::kRouteUpdate);
	EXPECT_EQ(Composer::RouteOf("GET /nic/updates HTTP/1.1\r\n\r\n"), Composer::kRouteOther);
	EXPECT_EQ(Composer::RouteOf("POST / HTTP/1.1\r\n\r\n"), Composer::kRouteOther);
	EXPECT_EQ(Composer::RouteOf("GET"), Composer::kRouteOther);

	Composer::Behaviour behaviour;
	std::string notFound = Composer::Reply(Composer::kRouteOther, behaviour);
	EXPECT_EQ(notFound.compare(0, 24, "HTTP/1.1 404 Not Found\r\n"), 0) << notFound;
	EXPECT_EQ(BodyOf(notFound), "Not Found\r\n");
}

// Every framing carries the same body, and each declares it correctly.
TEST(ReplyComposerTest, FramingsDeclareTheirBodies)
{
	Composer::Behaviour behaviour;
	behaviour.answers = {"nochg 203.0.113.7"};

	behaviour.update.framing = Composer::kFramingContentLength;
	std::string sized = Composer::Reply(Composer::kRouteUpdate, behaviour);
	EXPECT_NE(sized.find("\r\nContent-Length: 17\r\nConnection: close\r\n\r\n"), std::string::npos)
		<< sized;
	EXPECT_EQ(BodyOf(sized), "nochg 203.0.113.7");

	behaviour.update.framing = Composer::kFramingClose;
	std::string closed = Composer::Reply(Composer::kRouteUpdate, behaviour);
	EXPECT_EQ(closed.find("Content-Length"), std::string::npos);
	EXPECT_EQ(BodyOf(closed), "nochg 203.0.113.7");

	behaviour.update.framing = Composer::kFramingChunked;
	std::string chunked = Composer::Reply(Composer::kRouteUpdate, behaviour);
	EXPECT_NE(chunked.find("\r\nConnection: close\r\nTransfer-Encoding: chunked\r\n\r\n"),
		std::string::npos);
	EXPECT_EQ(BodyOf(chunked), "11\r\nnochg 203.0.113.7\r\n0\r\n\r\n");

	// Smaller chunks split the body, the last one shorter.
	behaviour.update.chunkSize = 8;
	EXPECT_EQ(BodyOf(Composer::Reply(Composer::kRouteUpdate, behaviour)),
		"8\r\nnochg 20\r\n8\r\n3.0.113.\r\n1\r\n7\r\n0\r\n\r\n");

	// An empty body is the last chunk alone.
	behaviour.answers = {};
	EXPECT_EQ(BodyOf(Composer::Reply(Composer::kRouteUpdate, behaviour)), "0\r\n\r\n");
}

TEST(ReplyComposerTest, RefusedCredentialsAndRawRepliesReplaceTheAnswer)
{
	Composer::Behaviour behaviour;
	behaviour.update.status = 401;
	behaviour.update.framing = Composer::kFramingContentLength;
	std::string refused = Composer::Reply(Composer::kRouteUpdate, behaviour);
	EXPECT_EQ(refused.compare(0, 27, "HTTP/1.1 401 Unauthorized\r\n"), 0) << refused;
	EXPECT_NE(refused.find("\r\nWWW-Authenticate: Basic realm="), std::string::npos);
	EXPECT_EQ(BodyOf(refused), "badauth");

	behaviour.update.status = 503;
	EXPECT_EQ(Composer::Reply(Composer::kRouteUpdate, behaviour)
				  .compare(0, 34, "HTTP/1.1 503 Service Unavailable\r\n"),
		0);

	behaviour.checkPage.rawReply = "not HTTP at all";
	EXPECT_EQ(Composer::Reply(Composer::kRouteCheckPage, behaviour), "not HTTP at all");
}

// The head of a flooded reply counts the padding; the pieces frame the filler as the route
// frames its body and never give more than is left.
TEST(ReplyComposerTest, FloodPiecesFillExactlyWhatTheHeadDeclares)
{
	Composer::Behaviour behaviour;
	behaviour.floodFiller = ' ';
	std::string head;
	std::string tail;
	Composer::BuildReply(Composer::kRouteCheckPage, behaviour, 100000, head, tail);
	std::string page = Composer::CheckPageBody(behaviour.checkPageStyle, behaviour.address);
	EXPECT_NE(head.find("\r\nContent-Length: " + std::to_string(100000 + page.size()) + "\r\n"),
		std::string::npos)
		<< head;
	EXPECT_EQ(tail, page);

	uint64 left = 100000;
	std::string filler;
	for (int pieces = 0; left > 0 && pieces < 10; pieces++) {
		uint64 count = 0;
		std::string piece = Composer::FloodPiece(Composer::kRouteCheckPage, behaviour, left,
			&count);
		ASSERT_GT(count, 0u);
		ASSERT_LE(count, left);
		EXPECT_EQ(piece.size(), count);
		filler += piece;
		left -= count;
	}
	EXPECT_EQ(left, 0u);
	ASSERT_EQ(filler.size(), 100000u);
	EXPECT_EQ(filler.find_first_not_of(" \n"), std::string::npos);
	EXPECT_EQ(filler.substr(0, 64), std::string(63, ' ') + "\n");

	// Chunked, each piece is one whole chunk.
	uint64 count = 0;
	std::string chunk = Composer::FloodPiece(Composer::kRouteUpdate, behaviour, 10, &count);
	EXPECT_EQ(count, 10u);
	EXPECT_EQ(chunk, "a\r\n" + std::string(10, ' ') + "\r\n");
}

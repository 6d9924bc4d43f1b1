/*
 * ReplyComposer: the bytes of the loopback server's replies, composed without any socket: the
 * check-IP page and the update service's answer, their headers and framings, and the pieces
 * of a flood. Also the vocabulary of the server's behaviour (routes, faults, framings).
 * Not part of the application.
 */
#ifndef REPLY_COMPOSER_H
#define REPLY_COMPOSER_H

#include <string>
#include <vector>

#include <SupportDefs.h>

class ReplyComposer {
public:
	enum CheckPageStyle {
		// "...<body>Current IP Address: A</body></html>\r\n", today's page.
		kCheckPageToday,
		// "Current IP Address: A <br>", older pages.
		kCheckPageBlankBreak,
		// "Current IP Address: A\r\n<br>", older pages too.
		kCheckPageNewlineBreak,
		// An error page without the marker.
		kCheckPageNoMarker,
		// "Current IP Address:A".
		kCheckPageMarkerWithoutBlank
	};

	enum Framing {
		kFramingContentLength,
		kFramingChunked,
		// No length: the server's close ends the body.
		kFramingClose
	};

	enum Fault {
		kFaultNone,
		// Reads the request and never answers, until the client closes or Stop().
		kFaultStall,
		// Closes the connection after closeAfterBytes bytes of the reply (0: an empty reply).
		kFaultCloseAfterBytes,
		// A reply whose body starts with floodBytes bytes of filler lines.
		kFaultFlood,
		// The reply one byte per trickleInterval.
		kFaultTrickle
	};

	enum AnswerCode {
		kAnswerGood,
		kAnswerNochg,
		kAnswerBadauth,
		kAnswerNotDonator,
		kAnswerNotFqdn,
		kAnswerNoHost,
		kAnswerNumHost,
		kAnswerAbuse,
		kAnswerBadAgent,
		kAnswerBadSys,
		kAnswerNotYours,
		kAnswerDnsErr,
		kAnswer911
	};

	enum Route {
		kRouteCheckPage,
		kRouteUpdate,
		// Anything else gets a 404.
		kRouteOther
	};

	struct RouteBehaviour {
		// 401 adds a WWW-Authenticate header and makes the body "badauth".
		int status;
		// Header lines without their CRLF, before "Connection: close" and the framing.
		std::vector<std::string> headers;
		Framing framing;
		Fault fault;
		// When not empty, sent as it is instead of the reply built from the rest.
		std::string rawReply;
		// Chunked framing: the largest chunk; 0 sends the body as one chunk.
		size_t chunkSize;
	};

	struct Behaviour {
		Behaviour();

		CheckPageStyle checkPageStyle;
		// The address the check page reports.
		std::string address;
		// The update's answer lines, one per host, joined by "\n" without a final one.
		std::vector<std::string> answers;

		// Defaults: 200, the check page's headers, Content-Length.
		RouteBehaviour checkPage;
		// Defaults: 200, the headers of a reply captured from the real service, chunked.
		RouteBehaviour update;

		size_t closeAfterBytes;
		uint64 floodBytes;
		// The flood's lines are 63 of these and a line feed; a blank one makes lines that
		// hold nothing.
		char floodFiller;
		bigtime_t trickleInterval;
		// A connection that makes no progress for this long is dropped.
		bigtime_t giveUpAfter;
		// Over TLS: takes the client's first message and never answers it, until the client
		// closes or Stop().
		bool stallHandshake;
	};

	static std::string Answer(AnswerCode code, const std::string& address = std::string());
	static std::vector<std::string> CheckPageHeaders();
	static std::vector<std::string> CapturedUpdateHeaders();
	static std::string CheckPageBody(CheckPageStyle style, const std::string& address);
	static std::string UpdateBody(const std::vector<std::string>& answers);
	static Route RouteOf(const std::string& request);
	static const RouteBehaviour& BehaviourOf(Route route, const Behaviour& behaviour);

	// The whole reply the route gets when it does not misbehave (or its raw reply).
	static std::string Reply(Route route, const Behaviour& behaviour);
	// The reply split around the place where `padding` bytes of flood go: the head ends with
	// the headers (whose length counts the padding), the tail holds the body.
	static void BuildReply(Route route, const Behaviour& behaviour, uint64 padding,
		std::string& head, std::string& tail);
	// The next piece of a flood, at most `left` bytes of filler, framed as the route frames
	// its body; `_filler` receives how many filler bytes it holds.
	static std::string FloodPiece(Route route, const Behaviour& behaviour, uint64 left,
		uint64* _filler);

	static const char* ReasonPhrase(int status);
};

#endif // REPLY_COMPOSER_H

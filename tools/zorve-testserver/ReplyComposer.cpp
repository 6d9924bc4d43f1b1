#include "ReplyComposer.h"

#include <stdio.h>

namespace {

const size_t kFloodPiece = 65536;
const size_t kFloodLine = 64;

const char kCheckPageStart[] = "<html><head><title>Current IP Check</title></head><body>";
const char kCheckPageEnd[] = "</body></html>\r\n";

std::string
Hex(uint64 value)
{
	char text[32];
	snprintf(text, sizeof(text), "%llx", (unsigned long long)value);
	return text;
}

std::string
Chunked(const std::string& body, size_t chunkSize)
{
	std::string framed;
	size_t step = chunkSize > 0 ? chunkSize : body.size();
	for (size_t start = 0; start < body.size(); start += step) {
		std::string chunk = body.substr(start, step);
		framed += Hex(chunk.size()) + "\r\n" + chunk + "\r\n";
	}
	return framed + "0\r\n\r\n";
}

} // namespace

ReplyComposer::Behaviour::Behaviour() :
	checkPageStyle(kCheckPageToday),
	address("203.0.113.7"),
	answers{"good 203.0.113.7"},
	checkPage{200, CheckPageHeaders(), kFramingContentLength, kFaultNone, std::string(), 0},
	update{200, CapturedUpdateHeaders(), kFramingChunked, kFaultNone, std::string(), 0},
	closeAfterBytes(0),
	floodBytes(16 * 1024 * 1024),
	floodFiller('x'),
	trickleInterval(1000000),
	giveUpAfter(180000000),
	stallHandshake(false)
{
}

std::string
ReplyComposer::Answer(AnswerCode code, const std::string& address)
{
	static const char* const kCodes[] = {"good", "nochg", "badauth", "!donator", "notfqdn",
		"nohost", "numhost", "abuse", "badagent", "badsys", "!yours", "dnserr", "911"};
	std::string answer = kCodes[code];
	if ((code == kAnswerGood || code == kAnswerNochg) && !address.empty())
		answer += " " + address;
	return answer;
}

std::vector<std::string>
ReplyComposer::CheckPageHeaders()
{
	return {"Content-Type: text/html", "Server: DynDNS-CheckIP/1.0", "Cache-Control: no-cache",
		"Pragma: no-cache"};
}

std::vector<std::string>
ReplyComposer::CapturedUpdateHeaders()
{
	// Note that "Vary: Accept-Encoding" comes before Transfer-Encoding, as the service sends it.
	return {"Date: Thu, 01 Jan 2026 12:00:00 GMT", "Server: Apache/2.4.18 (Ubuntu)",
		"Strict-Transport-Security: max-age=31536000", "X-UpdateCode: n", "Vary: Accept-Encoding",
		"Content-Type: text/plain", "Accept-Ranges: none", "X-User-Status: vip"};
}

std::string
ReplyComposer::CheckPageBody(CheckPageStyle style, const std::string& address)
{
	std::string body = kCheckPageStart;
	switch (style) {
		case kCheckPageToday:
			body += "Current IP Address: " + address;
			break;
		case kCheckPageBlankBreak:
			body += "Current IP Address: " + address + " <br>";
			break;
		case kCheckPageNewlineBreak:
			body += "Current IP Address: " + address + "\n<br>";
			break;
		case kCheckPageNoMarker:
			body += "Service temporarily unavailable";
			break;
		case kCheckPageMarkerWithoutBlank:
			body += "Current IP Address:" + address;
			break;
	}
	return body + kCheckPageEnd;
}

std::string
ReplyComposer::UpdateBody(const std::vector<std::string>& answers)
{
	std::string body;
	for (size_t i = 0; i < answers.size(); i++) {
		if (i > 0)
			body += "\n";
		body += answers[i];
	}
	return body;
}

ReplyComposer::Route
ReplyComposer::RouteOf(const std::string& request)
{
	if (request.compare(0, 4, "GET ") != 0)
		return kRouteOther;
	size_t end = request.find_first_of(" ?\r\n", 4);
	std::string path = request.substr(4, end == std::string::npos ? end : end - 4);
	if (path == "/")
		return kRouteCheckPage;
	if (path == "/nic/update")
		return kRouteUpdate;
	return kRouteOther;
}

const ReplyComposer::RouteBehaviour&
ReplyComposer::BehaviourOf(Route route, const Behaviour& behaviour)
{
	static const RouteBehaviour notFound{404, {"Content-Type: text/plain"}, kFramingContentLength,
		kFaultNone, std::string(), 0};
	return route == kRouteCheckPage ? behaviour.checkPage
		: route == kRouteUpdate     ? behaviour.update
									: notFound;
}

std::string
ReplyComposer::Reply(Route route, const Behaviour& behaviour)
{
	std::string head;
	std::string tail;
	BuildReply(route, behaviour, 0, head, tail);
	return head + tail;
}

void
ReplyComposer::BuildReply(Route route, const Behaviour& behaviour, uint64 padding,
	std::string& head, std::string& tail)
{
	const RouteBehaviour& reply = BehaviourOf(route, behaviour);
	if (!reply.rawReply.empty()) {
		head = reply.rawReply;
		tail.clear();
		return;
	}

	std::string body;
	if (route == kRouteCheckPage)
		body = CheckPageBody(behaviour.checkPageStyle, behaviour.address);
	else if (route == kRouteOther)
		body = "Not Found\r\n";
	else if (reply.status == 401)
		body = "badauth";
	else
		body = UpdateBody(behaviour.answers);

	head = "HTTP/1.1 " + std::to_string(reply.status) + " " + ReasonPhrase(reply.status) + "\r\n";
	for (const std::string& header : reply.headers)
		head += header + "\r\n";
	if (reply.status == 401)
		head += "WWW-Authenticate: Basic realm=\"DynDNS API Access\"\r\n";
	switch (reply.framing) {
		case kFramingContentLength:
			head += "Content-Length: " + std::to_string(padding + body.size()) + "\r\n";
			head += "Connection: close\r\n";
			tail = body;
			break;
		case kFramingChunked:
			head += "Connection: close\r\nTransfer-Encoding: chunked\r\n";
			tail = Chunked(body, reply.chunkSize);
			break;
		case kFramingClose:
			head += "Connection: close\r\n";
			tail = body;
			break;
	}
	head += "\r\n";
}

std::string
ReplyComposer::FloodPiece(Route route, const Behaviour& behaviour, uint64 left, uint64* _filler)
{
	std::string line(kFloodLine - 1, behaviour.floodFiller);
	line += '\n';
	std::string filler;
	while (filler.size() < kFloodPiece && filler.size() < left)
		filler += line;
	if (filler.size() > left)
		filler.resize((size_t)left);
	*_filler = filler.size();

	const RouteBehaviour& reply = BehaviourOf(route, behaviour);
	if (reply.framing == kFramingChunked && reply.rawReply.empty() && !filler.empty())
		return Hex(filler.size()) + "\r\n" + filler + "\r\n";
	return filler;
}

const char*
ReplyComposer::ReasonPhrase(int status)
{
	switch (status) {
		case 200:
			return "OK";
		case 401:
			return "Unauthorized";
		case 403:
			return "Forbidden";
		case 404:
			return "Not Found";
		case 500:
			return "Internal Server Error";
		case 502:
			return "Bad Gateway";
		case 503:
			return "Service Unavailable";
		default:
			return "Unknown";
	}
}

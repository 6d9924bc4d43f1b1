#include "Zorve.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <time.h>

#include <memory>

#include <Autolock.h>
#include <Message.h>
#include <OS.h>
#include <SecureEndpoint.h>

#include "CPreferences.h"
#include "PreferencesEdit.h"
#include "EngineMessages.h"
#include "HttpReply.h"

namespace {

const char* const kUserAgent = "User-Agent: BeZorver v0.2a - zorve@example.org\r\n";
const char* const kMarker = "Current IP Address: ";
const char* const kNoAddress = "0.0.0.0";
const char* const kSecureScheme = "https://";
const unsigned short kSecurePort = 443;
const char* const kBase64Alphabet
	= "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// A reply is kept up to this size; a server that sends more cannot grow the engine.
const int32 kMaxReplySize = 64 * 1024;
// The log size limit when the preferences cannot be read.
const int32 kDefaultLogSize = 4096;
// A "time-out" of zero or less gives the network kit's own default.
const bigtime_t kDefaultTimeout = 10000000;

// One time-out covers a whole exchange: look-up, connect, send and reply.
bigtime_t
ExchangeTimeout(int8 seconds)
{
	return seconds > 0 ? (bigtime_t)seconds * 1000000 : kDefaultTimeout;
}

// What is left of an exchange's time-out for its next step; never zero, which the endpoint
// would read as its default.
bigtime_t
Remaining(bigtime_t deadline)
{
	bigtime_t left = deadline - system_time();
	return left > 0 ? left : 1;
}

// A host name goes into the request's Host line: it must not break it.
bool
IsValidServerName(const char* name)
{
	if (name == NULL || name[0] == '\0')
		return false;
	for (const char* c = name; *c != '\0'; c++) {
		unsigned char byte = (unsigned char)*c;
		if (byte < 0x20 || byte == 0x7f || byte == ' ')
			return false;
	}
	return true;
}

// Where a server preference leads: a host name alone is reached over plain HTTP on "port";
// "https://HOST" or "https://HOST:PORT" over TLS, on port 443 unless one is given.
struct ServerPlace {
	BString host;
	unsigned short port;
	bool secure;
};

// False for a value that names no host the request's Host line can hold, or a bad port.
bool
ParseServer(const BString& value, int32 plainPort, ServerPlace& server)
{
	size_t schemeLength = strlen(kSecureScheme);
	server.secure = strncasecmp(value.String(), kSecureScheme, schemeLength) == 0;
	if (!server.secure) {
		server.host = value;
		server.port = (unsigned short)(plainPort & 0xffff);
		return IsValidServerName(value.String());
	}

	const char* host = value.String() + schemeLength;
	size_t length = strcspn(host, ":/");
	server.host.SetTo(host, (int32)length);
	server.port = kSecurePort;
	const char* rest = host + length;
	if (*rest == ':') {
		rest++;
		long port = 0;
		while (isdigit((unsigned char)*rest) && port <= 65535)
			port = port * 10 + (*rest++ - '0');
		if (port < 1 || port > 65535)
			return false;
		server.port = (unsigned short)port;
	}
	// A final slash, as an address copied from a browser has, names no path.
	if (strcmp(rest, "/") == 0)
		rest++;
	return *rest == '\0' && IsValidServerName(server.host.String());
}

// The one log entry for a connection to `server` that reached it but failed to become secure:
// why, in the words of the secure endpoint. Empty after any other outcome.
BString
HandshakeFailure(const char* server, const BSecureEndpoint* endpoint)
{
	BString entry;
	if (endpoint == NULL || endpoint->HandshakeError() == NULL)
		return entry;
	entry << "Error " << server
		  << (endpoint->CertificateRefused() ? " certificate: " : " secure connection: ")
		  << endpoint->HandshakeError() << "\n";
	return entry;
}

// Query values go into the request line: every byte outside the unreserved set is
// percent-encoded, except commas, which separate several host names. Ordinary values (letters,
// digits, ".-_~") are sent as stored.
BString
QueryValue(const char* value)
{
	BString encoded;
	for (const char* c = value; *c != '\0'; c++) {
		unsigned char byte = (unsigned char)*c;
		if (isalnum(byte) || strchr("-._~,", byte) != NULL)
			encoded << (char)byte;
		else {
			char escaped[4];
			snprintf(escaped, sizeof(escaped), "%%%02X", byte);
			encoded << escaped;
		}
	}
	return encoded;
}

// The first word of every non-empty line of an update answer must be "good" or "nochg".
bool
AnswerIsSuccess(const BString& body)
{
	bool sawAnswer = false;
	const char* line = body.String();
	while (*line != '\0') {
		const char* end = strchr(line, '\n');
		size_t length = end != NULL ? (size_t)(end - line) : strlen(line);
		while (length > 0 && isspace((unsigned char)line[length - 1]))
			length--;
		if (length > 0) {
			size_t word = 0;
			while (word < length && !isspace((unsigned char)line[word]))
				word++;
			bool good = (word == 4 && strncmp(line, "good", 4) == 0)
				|| (word == 5 && strncmp(line, "nochg", 5) == 0);
			if (!good)
				return false;
			sawAnswer = true;
		}
		if (end == NULL)
			break;
		line = end + 1;
	}
	return sawAnswer;
}

struct UtcTime {
	int64 year;
	int month;
	int day;
	int hour;
	int minute;
	int second;
};

// The UTC date and time of a count of seconds since 1970, as gmtime() gives them, without
// the time zone files that gmtime() reads on every call.
UtcTime
BreakDownUtc(time_t seconds)
{
	int64 days = (int64)seconds / 86400;
	int64 rest = (int64)seconds % 86400;
	if (rest < 0) {
		rest += 86400;
		days--;
	}
	UtcTime time;
	time.hour = (int)(rest / 3600);
	time.minute = (int)(rest % 3600 / 60);
	time.second = (int)(rest % 60);

	// Days since 1970-01-01 to a civil date, counting in 400-year eras from 0000-03-01.
	days += 719468;
	int64 era = (days >= 0 ? days : days - 146096) / 146097;
	int64 dayOfEra = days - era * 146097;
	int64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
	int64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
	int64 monthIndex = (5 * dayOfYear + 2) / 153;
	time.day = (int)(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
	time.month = (int)(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
	time.year = yearOfEra + era * 400 + (time.month <= 2 ? 1 : 0);
	return time;
}

bool
HasVisibleText(const BString& text)
{
	for (const char* c = text.String(); *c != '\0'; c++) {
		if (!isspace((unsigned char)*c))
			return true;
	}
	return false;
}

} // namespace

Zorve::Zorve() :
	BLooper("ZorveLooper", B_NORMAL_PRIORITY, 100),
	fServerAddress(),
	fServerEndpoint(SOCK_STREAM),
	fBusy(false),
	fUpdateResult(0),
	fCheckResult(0),
	fLogLock("ZorveLog"),
	fExchangeLock("ZorveExchange"),
	fExchange(NULL),
	fAbandoned(false)
{
}

Zorve::~Zorve()
{
}

void
Zorve::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case MSG_CHECK_IP:
			// An engine about to quit starts no exchange; it is not busy either.
			if (fAbandoned)
				break;
			fBusy = true;
			fCheckResult = CheckIp();
			fBusy = false;
			break;
		case MSG_UPDATE:
			if (fAbandoned)
				break;
			fBusy = true;
			fUpdateResult = Update();
			fBusy = false;
			break;
		default:
			BLooper::MessageReceived(message);
			break;
	}
}

int32
Zorve::CheckIp()
{
	// One load serves the log size rule and the check.
	CPreferences prefs;
	status_t loaded = prefs.Load();
	_ApplyLogSizeRule(loaded == B_OK ? prefs.fLogSize : kDefaultLogSize);
	if (loaded != B_OK)
		return -1;
	ServerPlace server;
	if (!ParseServer(prefs.fCheckIpServer, prefs.fPort, server)) {
		Log("Error bad server name\n");
		return -1;
	}

	BString request("GET / HTTP/1.1\r\n");
	request << "Host: " << server.host << "\r\n";
	request << kUserAgent;
	request << "Connection: close\r\n";
	request << "Pragma: no-cache\r\n";
	request << "\r\n";

	BSecureEndpoint* secure = server.secure ? new BSecureEndpoint : NULL;
	std::unique_ptr<BNetEndpoint> owner(secure != NULL ? secure : new BNetEndpoint(SOCK_STREAM));
	BNetEndpoint& endpoint = *owner;
	if (endpoint.InitCheck() != B_OK)
		return -1;
	if (!_BeginExchange(&endpoint))
		return -1;

	printf("Resolving ip address...\n");
	fflush(stdout);

	bigtime_t timeout = ExchangeTimeout(prefs.fTimeOut);
	bigtime_t deadline = system_time() + timeout;
	endpoint.SetTimeout(timeout);
	// Resolving the name is part of the connect, within the same time-out, and so is the
	// handshake of a secure one.
	bool connected = endpoint.Connect(server.host.String(), server.port) == B_OK;
	bool sentAll = false;
	BString reply;
	if (connected) {
		endpoint.SetTimeout(Remaining(deadline));
		sentAll = endpoint.Send(request.String(), request.Length()) == request.Length();
		_ReceiveReply(endpoint, deadline, reply);
	}
	endpoint.Close();
	_EndExchange();

	// Given up for the engine's quit: whatever came or failed counts for nothing, and above
	// all a missing reply must not replace the cached address.
	if (fAbandoned)
		return -1;
	if (!connected) {
		BString failure = HandshakeFailure("IpCheck-Server", secure);
		Log(failure.Length() > 0 ? failure.String() : "Error IpCheck-Server InitCheck()\n");
		return -1;
	}
	if (!sentAll)
		Log("Error Send ip-check request");

	BString ip;
	if (!ExtractAddress(PageText(reply), ip)) {
		_SaveIpCache(kNoAddress);
		return -1;
	}

	// An empty or malformed text is never taken for the cached address.
	if (!IsValidAddress(ip.String())) {
		Log("Ip Corrupted : ");
		BString rest(ip);
		rest << "\n";
		_AppendToLog(rest.String());
		return -1;
	}

	if (ip == prefs.fIpCache) {
		Log("Ip not changed !\n");
		return 0;
	}

	_SaveIpCache(ip.String());
	Log("Your new IpAddress is : ");
	BString rest(ip);
	rest << "\n";
	_AppendToLog(rest.String());
	PostMessage(MSG_UPDATE);
	return 0;
}

int32
Zorve::Update()
{
	// One load serves the log size rule and the update.
	CPreferences prefs;
	status_t loaded = prefs.Load();
	_ApplyLogSizeRule(loaded == B_OK ? prefs.fLogSize : kDefaultLogSize);
	if (loaded != B_OK)
		return -1;

	// Never send an address that is not one: the default, or a value typed by hand.
	if (prefs.fIpCache == kNoAddress || !IsValidAddress(prefs.fIpCache.String())) {
		BString message("Error not good Ip in cache : ");
		message << prefs.fIpCache << "\n";
		Log(message.String());
		return -1;
	}
	ServerPlace server;
	if (!ParseServer(prefs.fDynDnsServer, prefs.fPort, server)) {
		Log("Error bad server name\n");
		return -1;
	}

	BString credentials(prefs.fUser);
	credentials << ":" << prefs.fPassword;

	BString head("GET /nic/update?system=");
	head << QueryValue(prefs.fSystem.String());
	head << "&hostname=" << QueryValue(prefs.fHost.String());
	head << "&myip=" << QueryValue(prefs.fIpCache.String());
	head << "&wildcard=" << (prefs.fWildcard == 1 ? "ON" : "OFF");
	head << "&mx=" << QueryValue(prefs.fMx.String());
	head << "&backmx=" << (prefs.fBackMx == 1 ? "YES" : "NO");
	head << "&offline=" << (prefs.fOffline == 1 ? "YES" : "NO");
	head << " HTTP/1.1\r\n";
	head << "Host: " << server.host << "\r\n";
	head << "Authorization: Basic ";
	BString tail("\r\n");
	tail << kUserAgent;
	tail << "Connection: close\r\n";
	tail << "Pragma: no-cache\r\n";
	tail << "\r\n";

	BString request(head);
	request << EncodeBase64(credentials.String()) << tail;

	// A plain update goes through the engine's own endpoint. It lives as long as the engine:
	// one that could not get a new socket after an earlier failure (no descriptor left, say)
	// gets another chance at every update. A secure one gets an endpoint of its own.
	std::unique_ptr<BSecureEndpoint> secure(server.secure ? new BSecureEndpoint : NULL);
	BNetEndpoint& endpoint = secure ? *secure : fServerEndpoint;
	if (endpoint.InitCheck() != B_OK)
		endpoint.SetProtocol(SOCK_STREAM);
	if (endpoint.InitCheck() != B_OK) {
		Log("Error Server InitCheck()\n");
		return -1;
	}
	if (!_BeginExchange(&endpoint))
		return -1;
	bigtime_t timeout = ExchangeTimeout(prefs.fTimeOut);
	bigtime_t deadline = system_time() + timeout;
	endpoint.SetTimeout(timeout);
	// Resolving the name is part of the connect, within the same time-out, and so is the
	// handshake of a secure one. A failed connect does not end the update: the send on the
	// unconnected endpoint fails and ends it, so that the log shows both steps. A failed
	// handshake ends it at once, with the one entry that says why.
	bool connected = endpoint.Connect(server.host.String(), server.port) != -1;
	fServerAddress = endpoint.RemoteAddr();
	BString failure = HandshakeFailure("Server", secure.get());
	if (failure.Length() > 0) {
		endpoint.Close();
		_EndExchange();
		if (!fAbandoned)
			Log(failure.String());
		return -1;
	}
	if (!connected && !fAbandoned)
		Log("Error Server Connection\n");

	// The credentials stay off standard output.
	BString shown(head);
	shown << "********" << tail;
	if (!fAbandoned) {
		printf("Request : %s\n", shown.String());
		fflush(stdout);
	}

	endpoint.SetTimeout(Remaining(deadline));
	bool sentAll = endpoint.Send(request.String(), request.Length()) == request.Length();
	BString reply;
	if (sentAll)
		_ReceiveReply(endpoint, deadline, reply);
	endpoint.Close();
	_EndExchange();

	if (fAbandoned)
		return -1;
	if (!sentAll) {
		Log("Error Send update-string");
		return -1;
	}

	HttpReply http;
	if (http.SetTo(reply.String(), reply.Length()) != B_OK
		|| (http.IsSuccess() && !HasVisibleText(http.Body()))) {
		Log("Data receiving Error !");
		return -1;
	}

	// One entry for the answer: its lines run together, with friendlier words for the two
	// successful codes.
	BString answer(HasVisibleText(http.Body()) ? http.Body() : http.StatusLine());
	answer.RemoveAll("\n");
	answer.RemoveAll("\r");
	int32 end = answer.Length();
	while (end > 0 && isspace((unsigned char)answer[end - 1]))
		end--;
	answer.Truncate(end);
	answer.ReplaceFirst("nochg", "Not Changed (same ip)");
	answer.ReplaceFirst("good", "Ip Changed");
	Log(answer.String());

	return http.IsSuccess() && AnswerIsSuccess(http.Body()) ? 0 : -1;
}

BString
Zorve::EncodeBase64(const char* text)
{
	BString encoded;
	if (text == NULL)
		return encoded;
	const unsigned char* bytes = (const unsigned char*)text;
	size_t length = strlen(text);
	for (size_t i = 0; i < length; i += 3) {
		unsigned int b0 = bytes[i];
		unsigned int b1 = i + 1 < length ? bytes[i + 1] : 0;
		unsigned int b2 = i + 2 < length ? bytes[i + 2] : 0;
		char group[5];
		group[0] = kBase64Alphabet[b0 >> 2];
		group[1] = kBase64Alphabet[((b0 & 0x03) << 4) | (b1 >> 4)];
		group[2] = i + 1 < length ? kBase64Alphabet[((b1 & 0x0f) << 2) | (b2 >> 6)] : '=';
		group[3] = i + 2 < length ? kBase64Alphabet[b2 & 0x3f] : '=';
		group[4] = '\0';
		encoded << group;
	}
	return encoded;
}

void
Zorve::Log(const char* message)
{
	UtcTime now = BreakDownUtc(time(NULL));
	char stamp[64];
	snprintf(stamp, sizeof(stamp), "%d/%d/%lld-%d:%d:%d ", now.day, now.month, (long long)now.year,
		now.hour, now.minute, now.second);
	BString entry(stamp);
	entry << (message != NULL ? message : "");
	_AppendToLog(entry.String());
}

void
Zorve::CheckLog()
{
	// Clearing an empty log changes nothing, whatever the limit: no need to read it.
	{
		BAutolock lock(fLogLock);
		if (fLogText.Length() == 0)
			return;
	}
	CPreferences prefs;
	_ApplyLogSizeRule(prefs.Load() == B_OK ? prefs.fLogSize : kDefaultLogSize);
}

// The whole log goes once it is longer than the limit; there is no partial trimming.
void
Zorve::_ApplyLogSizeRule(int32 limit)
{
	BAutolock lock(fLogLock);
	if (fLogText.Length() > limit)
		fLogText = "";
}

BString
Zorve::LogText() const
{
	BAutolock lock(fLogLock);
	return fLogText;
}

BString
Zorve::PageText(const BString& reply)
{
	HttpReply http;
	if (http.SetTo(reply.String(), reply.Length()) == B_OK)
		return http.Body();
	// An HTTP reply cut short of its declared end may hold a cut address that still looks
	// whole ("203.0.11"): it shows no page at all.
	if (strncmp(reply.String(), "HTTP/", 5) == 0)
		return BString();
	return reply;
}

bool
Zorve::ExtractAddress(const BString& page, BString& address)
{
	int32 marker = page.FindFirst(kMarker);
	if (marker < 0)
		return false;
	const char* start = page.String() + marker + strlen(kMarker);
	size_t length = strcspn(start, "<\r\n");
	while (length > 0 && isspace((unsigned char)start[length - 1]))
		length--;
	while (length > 0 && isspace((unsigned char)*start)) {
		start++;
		length--;
	}
	address.SetTo(start, (int32)length);
	return true;
}

bool
Zorve::IsValidAddress(const char* address)
{
	if (address == NULL)
		return false;
	const char* c = address;
	for (int part = 0; part < 4; part++) {
		if (part > 0 && *c++ != '.')
			return false;
		int digits = 0;
		int value = 0;
		while (isdigit((unsigned char)*c) && digits < 4) {
			value = value * 10 + (*c++ - '0');
			digits++;
		}
		if (digits == 0 || digits > 3 || value > 255)
			return false;
	}
	return *c == '\0';
}

void
Zorve::_AppendToLog(const char* text)
{
	BAutolock lock(fLogLock);
	fLogText << text;
}

// Only "ip-cache" is the check's. Another writer may have saved since the check loaded its
// record, so the key is changed in an edit of its own, which keeps every other writer, in this
// process or another, out until the save.
void
Zorve::_SaveIpCache(const char* address)
{
	PreferencesEdit prefs;
	prefs->fIpCache = address;
	prefs.Commit();
}

void
Zorve::AbandonExchange()
{
	BAutolock lock(fExchangeLock);
	fAbandoned = true;
	// Closing from here shuts the socket down under the waiting call, which then fails.
	if (fExchange != NULL)
		fExchange->Close();
}

// False once the engine is abandoned: the exchange must not start.
bool
Zorve::_BeginExchange(BNetEndpoint* endpoint)
{
	BAutolock lock(fExchangeLock);
	if (fAbandoned)
		return false;
	fExchange = endpoint;
	return true;
}

void
Zorve::_EndExchange()
{
	BAutolock lock(fExchangeLock);
	fExchange = NULL;
}

void
Zorve::_ReceiveReply(BNetEndpoint& endpoint, bigtime_t deadline, BString& reply)
{
	char* buffer = new char[kMaxReplySize];
	int32 length = 0;
	while (length < kMaxReplySize) {
		bigtime_t remaining = deadline - system_time();
		if (remaining <= 0)
			break;
		endpoint.SetTimeout(remaining);
		if (endpoint.Receive(buffer + length, 1) != 1)
			break;
		length++;
	}
	reply.SetTo(buffer, length);
	delete[] buffer;
}

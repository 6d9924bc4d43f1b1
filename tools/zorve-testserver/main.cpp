/*
 * zorve-testserver: runs the loopback HTTP server from the command line, for demos and manual
 * checks. Prints the port it listens on, then runs until killed or for --seconds N.
 */
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <string>

#include "LoopbackHttpServer.h"

namespace {

const char kUsage[]
	= "usage: zorve-testserver [options]\n"
	  "  --port N              port on 127.0.0.1 (default 0: a free one)\n"
	  "  --seconds N           stop after N seconds (default: run until killed)\n"
	  "  --address A           the address the check page reports\n"
	  "  --check-style S       today | blank-br | newline-br | no-marker | no-blank\n"
	  "  --answer TEXT         an update answer line; repeat for several hosts\n"
	  "  --status N            HTTP status of the update reply (401 answers badauth)\n"
	  "  --framing F           update reply framing: length | chunked | close\n"
	  "  --check-framing F     check page framing: length | chunked | close\n"
	  "  --check-fault F       none | stall | close-after | flood | trickle\n"
	  "  --update-fault F      as --check-fault, for the update reply\n"
	  "  --close-after N       bytes sent before close-after closes (default 0)\n"
	  "  --flood-bytes N       filler bytes of a flood (default 16 MiB)\n"
	  "  --trickle-ms N        milliseconds between trickled bytes (default 1000)\n"
	  "  --verbose             print each request as it arrives\n";

bool
ParseNumber(const char* text, long long minimum, long long maximum, long long& _value)
{
	char* end = NULL;
	errno = 0;
	long long value = strtoll(text, &end, 10);
	if (errno != 0 || end == text || *end != '\0' || value < minimum || value > maximum)
		return false;
	_value = value;
	return true;
}

bool
ParseFraming(const char* text, LoopbackHttpServer::Framing& _framing)
{
	if (strcmp(text, "length") == 0)
		_framing = LoopbackHttpServer::kFramingContentLength;
	else if (strcmp(text, "chunked") == 0)
		_framing = LoopbackHttpServer::kFramingChunked;
	else if (strcmp(text, "close") == 0)
		_framing = LoopbackHttpServer::kFramingClose;
	else
		return false;
	return true;
}

bool
ParseFault(const char* text, LoopbackHttpServer::Fault& _fault)
{
	static const struct {
		const char* name;
		LoopbackHttpServer::Fault fault;
	} kFaults[] = {{"none", LoopbackHttpServer::kFaultNone},
		{"stall", LoopbackHttpServer::kFaultStall},
		{"close-after", LoopbackHttpServer::kFaultCloseAfterBytes},
		{"flood", LoopbackHttpServer::kFaultFlood}, {"trickle", LoopbackHttpServer::kFaultTrickle}};
	for (const auto& entry : kFaults) {
		if (strcmp(text, entry.name) == 0) {
			_fault = entry.fault;
			return true;
		}
	}
	return false;
}

bool
ParseStyle(const char* text, LoopbackHttpServer::CheckPageStyle& _style)
{
	static const struct {
		const char* name;
		LoopbackHttpServer::CheckPageStyle style;
	} kStyles[] = {{"today", LoopbackHttpServer::kCheckPageToday},
		{"blank-br", LoopbackHttpServer::kCheckPageBlankBreak},
		{"newline-br", LoopbackHttpServer::kCheckPageNewlineBreak},
		{"no-marker", LoopbackHttpServer::kCheckPageNoMarker},
		{"no-blank", LoopbackHttpServer::kCheckPageMarkerWithoutBlank}};
	for (const auto& entry : kStyles) {
		if (strcmp(text, entry.name) == 0) {
			_style = entry.style;
			return true;
		}
	}
	return false;
}

void
PrintRequest(int32 index, const std::string& request)
{
	size_t end = request.find("\r\n");
	printf("request %d: %s\n", (int)index,
		request.substr(0, end == std::string::npos ? 200 : end).c_str());
	fflush(stdout);
}

} // namespace

int
main(int argc, char** argv)
{
	LoopbackHttpServer::Behaviour behaviour;
	long long port = 0;
	long long seconds = -1;
	bool verbose = false;
	bool answersGiven = false;

	for (int i = 1; i < argc; i++) {
		const char* option = argv[i];
		if (strcmp(option, "--verbose") == 0) {
			verbose = true;
			continue;
		}
		if (strcmp(option, "--help") == 0) {
			fputs(kUsage, stdout);
			return 0;
		}
		if (strncmp(option, "--", 2) != 0 || strstr(kUsage, option) == NULL) {
			fprintf(stderr, "zorve-testserver: unknown option %s\n%s", option, kUsage);
			return 2;
		}
		if (i + 1 >= argc) {
			fprintf(stderr, "zorve-testserver: %s needs a value\n%s", option, kUsage);
			return 2;
		}
		const char* value = argv[++i];
		long long number = 0;
		bool valid = true;
		if (strcmp(option, "--port") == 0)
			valid = ParseNumber(value, 0, 65535, port);
		else if (strcmp(option, "--seconds") == 0)
			valid = ParseNumber(value, 0, 1000000, seconds);
		else if (strcmp(option, "--address") == 0)
			behaviour.address = value;
		else if (strcmp(option, "--check-style") == 0)
			valid = ParseStyle(value, behaviour.checkPageStyle);
		else if (strcmp(option, "--answer") == 0) {
			if (!answersGiven)
				behaviour.answers.clear();
			answersGiven = true;
			behaviour.answers.push_back(value);
		} else if (strcmp(option, "--status") == 0) {
			valid = ParseNumber(value, 100, 999, number);
			behaviour.update.status = (int)number;
		} else if (strcmp(option, "--framing") == 0)
			valid = ParseFraming(value, behaviour.update.framing);
		else if (strcmp(option, "--check-framing") == 0)
			valid = ParseFraming(value, behaviour.checkPage.framing);
		else if (strcmp(option, "--check-fault") == 0)
			valid = ParseFault(value, behaviour.checkPage.fault);
		else if (strcmp(option, "--update-fault") == 0)
			valid = ParseFault(value, behaviour.update.fault);
		else if (strcmp(option, "--close-after") == 0) {
			valid = ParseNumber(value, 0, INT32_MAX, number);
			behaviour.closeAfterBytes = (size_t)number;
		} else if (strcmp(option, "--flood-bytes") == 0) {
			valid = ParseNumber(value, 0, 1LL << 40, number);
			behaviour.floodBytes = (uint64)number;
		} else if (strcmp(option, "--trickle-ms") == 0) {
			valid = ParseNumber(value, 1, 3600000, number);
			behaviour.trickleInterval = (bigtime_t)number * 1000;
		} else {
			fprintf(stderr, "zorve-testserver: unknown option %s\n%s", option, kUsage);
			return 2;
		}
		if (!valid) {
			fprintf(stderr, "zorve-testserver: bad value for %s: %s\n", option, value);
			return 2;
		}
	}

	// The server's threads inherit the mask, so only sigtimedwait() below sees the signals.
	sigset_t signals;
	sigemptyset(&signals);
	sigaddset(&signals, SIGINT);
	sigaddset(&signals, SIGTERM);
	sigaddset(&signals, SIGHUP);
	pthread_sigmask(SIG_BLOCK, &signals, NULL);

	LoopbackHttpServer server(behaviour);
	if (server.Start((uint16)port) != B_OK) {
		fprintf(stderr, "zorve-testserver: cannot listen on 127.0.0.1:%lld: %s\n", port,
			strerror(errno));
		return 1;
	}
	printf("port %u\n", (unsigned)server.Port());
	fflush(stdout);

	struct timespec start;
	clock_gettime(CLOCK_MONOTONIC, &start);
	int32 printed = 0;
	while (true) {
		struct timespec tick = {0, 100000000};
		if (sigtimedwait(&signals, NULL, &tick) >= 0)
			break;
		if (verbose) {
			std::vector<std::string> requests = server.Requests();
			for (; printed < (int32)requests.size(); printed++)
				PrintRequest(printed + 1, requests[printed]);
		}
		struct timespec now;
		clock_gettime(CLOCK_MONOTONIC, &now);
		if (seconds >= 0 && now.tv_sec - start.tv_sec >= seconds)
			break;
	}
	server.Stop();
	printf("connections %d, requests %d\n", (int)server.CountConnections(),
		(int)server.CountRequests());
	return 0;
}

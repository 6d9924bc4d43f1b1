/*
 * zorve-testserver: runs the loopback HTTP server from the command line, for demos and manual
 * checks. Prints the port it listens on, then runs until killed or for --seconds N. With
 * --commands it reads more options from its standard input, one with its value a line, and
 * applies them to the connections that follow. --make-certificates writes certificates for it
 * to speak TLS with, and ends.
 */
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <mutex>
#include <string>
#include <thread>

#include "LoopbackHttpServer.h"
#include "TestCertificates.h"

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
	  "  --certificate FILE    speak TLS with the certificate and key in FILE (PEM)\n"
	  "  --handshake-fault F   none | stall: take the TLS client's hello, never answer\n"
	  "  --make-certificates DIR  write into DIR an authority (authority.pem) and server\n"
	  "                        certificates for localhost signed by it (good.pem, expired.pem,\n"
	  "                        wrong-host.pem) or not (untrusted.pem), then end\n"
	  "  --verbose             print each request as it arrives, and \"served N\" once the\n"
	  "                        first N connections have all ended\n"
	  "  --commands            read further options from standard input, one a line\n";

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

// What the options set.
struct Settings {
	LoopbackHttpServer::Behaviour behaviour;
	long long port = 0;
	long long seconds = -1;
	bool answersGiven = false;
	std::string certificate;
};

// Applies one option and its value; false, with a message, for one that is unknown or bad.
bool
ApplyOption(const char* option, const char* value, Settings& settings)
{
	LoopbackHttpServer::Behaviour& behaviour = settings.behaviour;
	long long number = 0;
	bool valid = true;
	if (strcmp(option, "--port") == 0)
		valid = ParseNumber(value, 0, 65535, settings.port);
	else if (strcmp(option, "--seconds") == 0)
		valid = ParseNumber(value, 0, 1000000, settings.seconds);
	else if (strcmp(option, "--address") == 0)
		behaviour.address = value;
	else if (strcmp(option, "--check-style") == 0)
		valid = ParseStyle(value, behaviour.checkPageStyle);
	else if (strcmp(option, "--answer") == 0) {
		if (!settings.answersGiven)
			behaviour.answers.clear();
		settings.answersGiven = true;
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
	} else if (strcmp(option, "--certificate") == 0)
		settings.certificate = value;
	else if (strcmp(option, "--handshake-fault") == 0) {
		valid = strcmp(value, "none") == 0 || strcmp(value, "stall") == 0;
		behaviour.stallHandshake = strcmp(value, "stall") == 0;
	} else {
		fprintf(stderr, "zorve-testserver: unknown option %s\n%s", option, kUsage);
		return false;
	}
	if (!valid)
		fprintf(stderr, "zorve-testserver: bad value for %s: %s\n", option, value);
	return valid;
}

// The reader of commands may outlive the server: it asks under this lock whether the server
// is still there.
std::mutex sServerLock;
bool sServerStopped = false;

// Each line of standard input is one option and its value; a new answer list replaces the
// old one. Ends at the end of the input.
void
ReadCommands(LoopbackHttpServer& server, Settings settings)
{
	char line[1024];
	while (fgets(line, sizeof(line), stdin) != NULL) {
		line[strcspn(line, "\r\n")] = '\0';
		char* value = strchr(line, ' ');
		if (value == NULL)
			continue;
		*value++ = '\0';
		settings.answersGiven = false;
		if (ApplyOption(line, value, settings)) {
			std::lock_guard<std::mutex> guard(sServerLock);
			if (sServerStopped)
				return;
			if (server.SetCertificate(settings.certificate) != B_OK) {
				printf("bad certificate %s\n", settings.certificate.c_str());
				fflush(stdout);
				continue;
			}
			server.SetBehaviour(settings.behaviour);
			printf("applied %s %s\n", line, value);
			fflush(stdout);
		}
	}
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
	Settings settings;
	bool verbose = false;
	bool commands = false;

	for (int i = 1; i < argc; i++) {
		const char* option = argv[i];
		if (strcmp(option, "--verbose") == 0) {
			verbose = true;
			continue;
		}
		if (strcmp(option, "--commands") == 0) {
			commands = true;
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
		if (strcmp(option, "--make-certificates") == 0) {
			TestCertificates certificates(argv[++i]);
			if (certificates.InitCheck() != B_OK) {
				fprintf(stderr, "zorve-testserver: cannot write certificates into %s\n", argv[i]);
				return 1;
			}
			printf("%s\n", certificates.AuthorityFile().c_str());
			return 0;
		}
		if (!ApplyOption(option, argv[++i], settings))
			return 2;
	}

	// The server's threads inherit the mask, so only sigtimedwait() below sees the signals.
	sigset_t signals;
	sigemptyset(&signals);
	sigaddset(&signals, SIGINT);
	sigaddset(&signals, SIGTERM);
	sigaddset(&signals, SIGHUP);
	pthread_sigmask(SIG_BLOCK, &signals, NULL);

	LoopbackHttpServer server(settings.behaviour);
	if (server.SetCertificate(settings.certificate) != B_OK) {
		fprintf(stderr, "zorve-testserver: no certificate and key in %s\n",
			settings.certificate.c_str());
		return 1;
	}
	if (server.Start((uint16)settings.port) != B_OK) {
		fprintf(stderr, "zorve-testserver: cannot listen on 127.0.0.1:%lld: %s\n", settings.port,
			strerror(errno));
		return 1;
	}
	printf("port %u\n", (unsigned)server.Port());
	fflush(stdout);
	// The reader may wait on its input past the end: it is left to the process's exit.
	if (commands)
		std::thread(ReadCommands, std::ref(server), settings).detach();

	struct timespec start;
	clock_gettime(CLOCK_MONOTONIC, &start);
	int32 printed = 0;
	int32 served = 0;
	while (true) {
		struct timespec tick = {0, 100000000};
		if (sigtimedwait(&signals, NULL, &tick) >= 0)
			break;
		if (verbose) {
			std::vector<std::string> requests = server.Requests();
			for (; printed < (int32)requests.size(); printed++)
				PrintRequest(printed + 1, requests[printed]);
			// Counted before asking whether all are done: one accepted meanwhile keeps it open.
			int32 connections = server.CountConnections();
			if (connections > served && server.WaitForIdle(0)) {
				served = connections;
				printf("served %d\n", (int)served);
				fflush(stdout);
			}
		}
		struct timespec now;
		clock_gettime(CLOCK_MONOTONIC, &now);
		if (settings.seconds >= 0 && now.tv_sec - start.tv_sec >= settings.seconds)
			break;
	}
	{
		std::lock_guard<std::mutex> guard(sServerLock);
		sServerStopped = true;
	}
	server.Stop();
	printf("connections %d, requests %d\n", (int)server.CountConnections(),
		(int)server.CountRequests());
	return 0;
}

/*
 * One full check-and-update cycle of the engine against the loopback server, many times over:
 * prints the median and 90th-percentile wall time of a cycle, the receive system calls per
 * cycle, and the memory the engine adds to the process.
 */
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include <NetDebug.h>
#include <OS.h>

#include "CPreferences.h"
#include "EngineMessages.h"
#include "LoopbackHttpServer.h"
#include "ProcessFigures.h"
#include "TemporaryHome.h"
#include "Zorve.h"

namespace {

const int kCycles = 300;

long
ResidentKiB()
{
	return StatusNumber(ProcessStatus(getpid()), "VmRSS");
}

void
WaitUntilIdle(Zorve* engine)
{
	bigtime_t deadline = system_time() + 30000000;
	while (system_time() < deadline) {
		engine->Lock();
		bool waiting = engine->IsMessageWaiting();
		engine->Unlock();
		if (!waiting)
			return;
		snooze(50);
	}
	fprintf(stderr, "the engine did not finish\n");
	exit(1);
}

void
SetCachedAddress(const char* address)
{
	CPreferences prefs;
	prefs.Load();
	prefs.fIpCache = address;
	prefs.Save();
}

} // namespace

int
main()
{
	TemporaryHome home;

	LoopbackHttpServer::Behaviour behaviour;
	behaviour.address = "203.0.113.7";
	behaviour.answers = {
		LoopbackHttpServer::Answer(LoopbackHttpServer::kAnswerGood, "203.0.113.7")};
	LoopbackHttpServer server(behaviour);
	if (server.Start() != B_OK)
		return 1;

	CPreferences prefs;
	prefs.SetDefault();
	prefs.fCheckIpServer = "127.0.0.1";
	prefs.fDynDnsServer = "127.0.0.1";
	prefs.fPort = server.Port();
	prefs.Save();

	// The engine's diagnostics would drown the figures.
	if (freopen("/dev/null", "w", stdout) == NULL)
		return 1;

	long residentBefore = ResidentKiB();
	Zorve* engine = new Zorve();
	engine->Run();

	std::vector<double> cycles;
	uint64 receivesBefore = BPrivate::net_receive_syscall_count();
	for (int i = 0; i < kCycles; i++) {
		SetCachedAddress("198.51.100.1");
		bigtime_t start = system_time();
		engine->PostMessage(MSG_CHECK_IP);
		WaitUntilIdle(engine);
		cycles.push_back((system_time() - start) / 1000.0);
		if (engine->fCheckResult != 0 || engine->fUpdateResult != 0) {
			fprintf(stderr, "cycle %d failed\n", i);
			return 1;
		}
	}
	uint64 receives = BPrivate::net_receive_syscall_count() - receivesBefore;
	long residentAfter = ResidentKiB();
	struct rusage usage;
	getrusage(RUSAGE_SELF, &usage);

	engine->Lock();
	engine->Quit();
	server.Stop();

	std::sort(cycles.begin(), cycles.end());
	FILE* out = stderr;
	fprintf(out, "cycles: %d (check + update, two loopback exchanges each)\n", kCycles);
	fprintf(out, "median cycle: %.3f ms\n", cycles[cycles.size() / 2]);
	fprintf(out, "90th percentile cycle: %.3f ms\n", cycles[cycles.size() * 9 / 10]);
	fprintf(out, "receive system calls per cycle: %.2f\n", (double)receives / kCycles);
	fprintf(out, "peak RSS: %ld KiB\n", usage.ru_maxrss);
	fprintf(out, "RSS added by the engine and its cycles: %ld KiB\n",
		residentAfter - residentBefore);
	return 0;
}

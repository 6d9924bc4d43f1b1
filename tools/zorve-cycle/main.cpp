/*
 * zorve-cycle: runs one check (or, with --update, one forced update) of the engine against the
 * servers named in the user's preferences, waits until it and any update it queued are done,
 * then prints the log and the two results. Exits 0 when both results are 0.
 */
#include <stdio.h>
#include <string.h>

#include <Looper.h>
#include <OS.h>

#include "EngineMessages.h"
#include "Zorve.h"

namespace {

// Longer than any exchange the engine allows itself (127 seconds each, two exchanges).
const bigtime_t kMaxWait = 300000000;

// The engine takes a message only with its lock held, so holding the lock and finding the
// queue empty means nothing is in flight.
bool
WaitUntilIdle(Zorve* engine)
{
	bigtime_t deadline = system_time() + kMaxWait;
	while (system_time() < deadline) {
		snooze(5000);
		if (!engine->Lock())
			return false;
		bool waiting = engine->IsMessageWaiting();
		engine->Unlock();
		if (!waiting)
			return true;
	}
	return false;
}

} // namespace

int
main(int argc, char** argv)
{
	bool update = false;
	for (int i = 1; i < argc; i++) {
		if (strcmp(argv[i], "--update") == 0)
			update = true;
		else {
			fprintf(stderr, "usage: %s [--update]\n", argv[0]);
			return 2;
		}
	}

	Zorve* engine = new Zorve();
	engine->Run();
	engine->PostMessage(update ? MSG_UPDATE : MSG_CHECK_IP);
	bool idle = WaitUntilIdle(engine);

	engine->Lock();
	BString log = engine->LogText();
	int32 check = engine->fCheckResult;
	int32 result = engine->fUpdateResult;
	engine->Quit();

	fputs(log.String(), stdout);
	if (log.Length() > 0 && log[log.Length() - 1] != '\n')
		fputc('\n', stdout);
	printf("check=%d update=%d\n", (int)check, (int)result);
	if (!idle)
		fprintf(stderr, "zorve-cycle: the engine did not finish in time\n");
	return idle && check == 0 && result == 0 ? 0 : 1;
}

/*
 * zorve-cycle: runs one check (or, with --update, one forced update) of the engine against the
 * servers named in the user's preferences, and the update a check queues, then prints the log
 * and the two results. Exits 0 when both results are 0.
 *
 * A one-shot run has nothing else to do while the engine waits on the servers, so the engine's
 * looper is never started: its messages are handled here, on the program's own thread, one
 * after the other as its looper would handle them.
 */
#include <stdio.h>
#include <string.h>

#include <Message.h>

#include "EngineMessages.h"
#include "Zorve.h"

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
	engine->Lock();
	BMessage operation(update ? MSG_UPDATE : MSG_CHECK_IP);
	engine->DispatchMessage(&operation, engine);
	// The only message the engine posts itself is the update a check queues when it finds a
	// new address.
	if (engine->IsMessageWaiting()) {
		BMessage queued(MSG_UPDATE);
		engine->DispatchMessage(&queued, engine);
	}

	BString log = engine->LogText();
	int32 check = engine->fCheckResult;
	int32 result = engine->fUpdateResult;
	engine->Quit();

	fputs(log.String(), stdout);
	if (log.Length() > 0 && log[log.Length() - 1] != '\n')
		fputc('\n', stdout);
	printf("check=%d update=%d\n", (int)check, (int)result);
	return check == 0 && result == 0 ? 0 : 1;
}

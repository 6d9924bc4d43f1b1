/*
 * zorve-cycle: runs one check (or, with --update, one forced update) of the engine against the
 * servers named in the user's preferences, waits until it and any update it queued are done,
 * then prints the log and the two results. Exits 0 when both results are 0.
 */
#include <stdio.h>
#include <string.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include <Handler.h>
#include <Looper.h>
#include <Message.h>
#include <OS.h>

#include "EngineMessages.h"
#include "Zorve.h"

namespace {

// Longer than any exchange the engine allows itself (127 seconds each, two exchanges).
const bigtime_t kMaxWait = 300000000;
const uint32 kMsgCycleDone = 'ZCdn';

// Queued behind the operation it waits for: when it is handled with nothing else waiting,
// the operation and whatever it queued are done; otherwise it queues itself again.
class CycleWatcher : public BHandler {
public:
	CycleWatcher() :
		BHandler("cycle watcher"),
		fDone(false)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != kMsgCycleDone) {
			BHandler::MessageReceived(message);
			return;
		}
		if (Looper()->IsMessageWaiting()) {
			Looper()->PostMessage(kMsgCycleDone, this);
			return;
		}
		std::lock_guard<std::mutex> lock(fLock);
		fDone = true;
		fChanged.notify_all();
	}

	bool WaitUntilDone(bigtime_t timeout)
	{
		std::unique_lock<std::mutex> lock(fLock);
		return fChanged.wait_for(lock, std::chrono::microseconds(timeout),
			[this] { return fDone; });
	}

private:
	std::mutex fLock;
	std::condition_variable fChanged;
	bool fDone;
};

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
	CycleWatcher* watcher = new CycleWatcher;
	engine->AddHandler(watcher);
	engine->Run();
	engine->PostMessage(update ? MSG_UPDATE : MSG_CHECK_IP);
	engine->PostMessage(kMsgCycleDone, watcher);
	bool idle = watcher->WaitUntilDone(kMaxWait);

	engine->Lock();
	BString log = engine->LogText();
	int32 check = engine->fCheckResult;
	int32 result = engine->fUpdateResult;
	engine->Quit();
	delete watcher;

	fputs(log.String(), stdout);
	if (log.Length() > 0 && log[log.Length() - 1] != '\n')
		fputc('\n', stdout);
	printf("check=%d update=%d\n", (int)check, (int)result);
	if (!idle)
		fprintf(stderr, "zorve-cycle: the engine did not finish in time\n");
	return idle && check == 0 && result == 0 ? 0 : 1;
}

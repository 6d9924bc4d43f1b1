/*
 * Private to the application kit: the state of a looper, shared by BLooper and BApplication
 * (whose Run() borrows the calling thread for the loop).
 */
#ifndef _LOOPER_PRIVATE_H
#define _LOOPER_PRIVATE_H

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <Locker.h>
#include <Looper.h>
#include <Message.h>
#include <OS.h>

struct QueuedMessage {
	BMessage* message;
	BHandler* target;
	// Queued by the looper's own periodic beat.
	bool periodic = false;
};

struct BLooper::Private {
	std::string name;
	int32 priority;
	int32 capacity;

	BLocker lock;

	std::mutex queueLock;
	std::condition_variable queueChanged;
	std::deque<QueuedMessage> queue;

	std::thread thread;
	std::atomic<thread_id> threadId{-1};
	std::atomic<bool> running{false};
	std::atomic<bool> terminating{false};
	// Set when the loop runs on a thread the looper did not start (BApplication::Run).
	bool borrowedThread = false;
	std::atomic<bool> quitFromOwnThread{false};

	// A message the looper's own thread queues every `period` microseconds (0: never), unless
	// the last one still waits: a window's pulse, with no thread of its own to wake. Guarded
	// by queueLock.
	uint32 periodicWhat = 0;
	bigtime_t period = 0;
	bigtime_t periodicDue = 0;
	bool periodicWaiting = false;

	BMessage* current = NULL;
	std::vector<BHandler*> handlers;
	BHandler* preferred = NULL;

	Private(const char* looperName, int32 looperPriority, int32 portCapacity) :
		name(looperName != NULL ? looperName : ""),
		priority(looperPriority),
		capacity(portCapacity > 0 ? portCapacity : B_LOOPER_PORT_DEFAULT_CAPACITY),
		lock(looperName)
	{
	}

	void SetPeriodic(uint32 what, bigtime_t interval)
	{
		{
			std::lock_guard<std::mutex> guard(queueLock);
			periodicWhat = what;
			// Longer would overflow the clock's arithmetic; a day is as good as never.
			period = std::min(interval, (bigtime_t)86400000000LL);
			periodicDue = system_time() + interval;
		}
		queueChanged.notify_all();
	}

	// With queueLock held.
	void QueuePeriodicIfDue()
	{
		if (period <= 0)
			return;
		bigtime_t now = system_time();
		if (now < periodicDue)
			return;
		// A looper that fell behind skips the beats it missed.
		periodicDue += period;
		if (periodicDue <= now)
			periodicDue = now + period;
		if (periodicWaiting || (int32)queue.size() >= capacity)
			return;
		queue.push_back({new BMessage(periodicWhat), NULL, true});
		periodicWaiting = true;
	}
};

#endif // _LOOPER_PRIVATE_H

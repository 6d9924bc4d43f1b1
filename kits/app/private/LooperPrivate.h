/*
 * Private to the application kit: the state of a looper, shared by BLooper and BApplication
 * (whose Run() borrows the calling thread for the loop).
 */
#ifndef _LOOPER_PRIVATE_H
#define _LOOPER_PRIVATE_H

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <Locker.h>
#include <Looper.h>

struct QueuedMessage {
	BMessage* message;
	BHandler* target;
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
};

#endif // _LOOPER_PRIVATE_H

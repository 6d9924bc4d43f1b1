/*
 * BLooper over a host thread. The queue is a deque guarded by its own mutex; the looper's
 * BLocker is held by the looper thread while it dispatches, which is what makes Lock() from
 * another thread wait until the message at hand is handled.
 */
#include <Looper.h>

#include <pthread.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <Locker.h>
#include <Message.h>

#include "LooperPrivate.h"

namespace {

// Never destroyed: looper threads may still end while the team exits.
struct LooperList {
	std::mutex lock;
	std::map<thread_id, BLooper*> byThread;
};

LooperList&
TheLooperList()
{
	static LooperList* list = new LooperList;
	return *list;
}

} // namespace

BLooper::BLooper(const char* name, int32 priority, int32 portCapacity) :
	BHandler(name),
	fPrivate(new Private(name, priority, portCapacity))
{
	AddHandler(this);
}

BLooper::BLooper(BMessage* data) :
	BHandler(data),
	fPrivate(NULL)
{
	int32 priority = B_NORMAL_PRIORITY;
	int32 capacity = B_LOOPER_PORT_DEFAULT_CAPACITY;
	if (data != NULL) {
		data->FindInt32("_prio", &priority);
		data->FindInt32("_port_cap", &capacity);
	}
	fPrivate = new Private(Name(), priority, capacity);
	AddHandler(this);
}

BLooper::~BLooper()
{
	if (fPrivate->thread.joinable()) {
		if (fPrivate->thread.get_id() == std::this_thread::get_id())
			fPrivate->thread.detach();
		else
			fPrivate->thread.join();
	}
	for (QueuedMessage& queued : fPrivate->queue)
		delete queued.message;
	for (BHandler* handler : fPrivate->handlers)
		handler->_SetLooper(NULL);
	delete fPrivate;
}

BArchivable*
BLooper::Instantiate(BMessage* data)
{
	if (!validate_instantiation(data, "BLooper"))
		return NULL;
	return new BLooper(data);
}

status_t
BLooper::Archive(BMessage* data, bool deep) const
{
	status_t status = BHandler::Archive(data, deep);
	if (status == B_OK)
		status = data->AddInt32("_prio", fPrivate->priority);
	if (status == B_OK)
		status = data->AddInt32("_port_cap", fPrivate->capacity);
	return status;
}

status_t
BLooper::PostMessage(uint32 command)
{
	BMessage message(command);
	return PostMessage(&message, NULL, NULL);
}

status_t
BLooper::PostMessage(BMessage* message)
{
	return PostMessage(message, NULL, NULL);
}

status_t
BLooper::PostMessage(uint32 command, BHandler* handler, BHandler* replyTo)
{
	BMessage message(command);
	return PostMessage(&message, handler, replyTo);
}

status_t
BLooper::PostMessage(BMessage* message, BHandler* handler, BHandler* /*replyTo*/)
{
	if (message == NULL)
		return B_BAD_VALUE;
	if (handler != NULL && handler->Looper() != this)
		return B_MISMATCHED_VALUES;

	std::lock_guard<std::mutex> guard(fPrivate->queueLock);
	if (fPrivate->terminating)
		return B_BAD_PORT_ID;
	if ((int32)fPrivate->queue.size() >= fPrivate->capacity)
		return B_WOULD_BLOCK;
	BMessage* copy = new BMessage(*message);
	fPrivate->queue.push_back({copy, handler});
	fPrivate->queueChanged.notify_one();
	return B_OK;
}

void
BLooper::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (handler == NULL)
		return;
	if (message->what == B_QUIT_REQUESTED && handler == this) {
		if (QuitRequested())
			Quit();
		return;
	}
	handler->MessageReceived(message);
}

void
BLooper::MessageReceived(BMessage* message)
{
	BHandler::MessageReceived(message);
}

BMessage*
BLooper::CurrentMessage() const
{
	return fPrivate->current;
}

BMessage*
BLooper::DetachCurrentMessage()
{
	BMessage* message = fPrivate->current;
	fPrivate->current = NULL;
	return message;
}

bool
BLooper::IsMessageWaiting() const
{
	std::lock_guard<std::mutex> guard(fPrivate->queueLock);
	return !fPrivate->queue.empty();
}

void
BLooper::AddHandler(BHandler* handler)
{
	if (handler == NULL || handler->Looper() != NULL)
		return;
	handler->_SetLooper(this);
	fPrivate->handlers.push_back(handler);
}

bool
BLooper::RemoveHandler(BHandler* handler)
{
	if (handler == NULL || handler == this || handler->Looper() != this)
		return false;
	auto& handlers = fPrivate->handlers;
	handlers.erase(std::remove(handlers.begin(), handlers.end(), handler), handlers.end());
	handler->_SetLooper(NULL);
	if (fPrivate->preferred == handler)
		fPrivate->preferred = NULL;
	// Messages still queued for it are handed to nobody.
	std::lock_guard<std::mutex> guard(fPrivate->queueLock);
	for (QueuedMessage& queued : fPrivate->queue) {
		if (queued.target == handler)
			queued.target = NULL;
	}
	return true;
}

int32
BLooper::CountHandlers() const
{
	return (int32)fPrivate->handlers.size();
}

BHandler*
BLooper::HandlerAt(int32 index) const
{
	if (index < 0 || index >= CountHandlers())
		return NULL;
	return fPrivate->handlers[index];
}

int32
BLooper::IndexOf(BHandler* handler) const
{
	auto& handlers = fPrivate->handlers;
	auto found = std::find(handlers.begin(), handlers.end(), handler);
	return found != handlers.end() ? (int32)(found - handlers.begin()) : -1;
}

BHandler*
BLooper::PreferredHandler() const
{
	return fPrivate->preferred;
}

void
BLooper::SetPreferredHandler(BHandler* handler)
{
	if (handler == NULL || handler->Looper() == this)
		fPrivate->preferred = handler;
}

thread_id
BLooper::Run()
{
	if (fPrivate->running)
		return B_ALREADY_RUNNING;
	fPrivate->running = true;
	// The thread reports its id before Run returns, as spawn_thread would.
	std::mutex startLock;
	std::condition_variable started;
	bool ready = false;
	fPrivate->thread = std::thread([this, &startLock, &started, &ready] {
		std::string threadName = fPrivate->name.substr(0, 15);
		pthread_setname_np(pthread_self(), threadName.c_str());
		fPrivate->threadId = find_thread(NULL);
		{
			// Notified under the lock: Run() destroys the condition as soon as it wakes.
			std::lock_guard<std::mutex> guard(startLock);
			ready = true;
			started.notify_one();
		}
		task_looper();
	});
	std::unique_lock<std::mutex> guard(startLock);
	started.wait(guard, [&ready] { return ready; });
	return fPrivate->threadId;
}

void
BLooper::task_looper()
{
	thread_id self = find_thread(NULL);
	fPrivate->threadId = self;
	{
		LooperList& list = TheLooperList();
		std::lock_guard<std::mutex> guard(list.lock);
		list.byThread[self] = this;
	}

	while (true) {
		{
			std::unique_lock<std::mutex> guard(fPrivate->queueLock);
			while (!fPrivate->terminating) {
				fPrivate->QueuePeriodicIfDue();
				if (!fPrivate->queue.empty())
					break;
				if (fPrivate->period <= 0) {
					fPrivate->queueChanged.wait(guard);
				} else {
					bigtime_t wait = fPrivate->periodicDue - system_time();
					fPrivate->queueChanged.wait_for(guard, std::chrono::microseconds(wait));
				}
			}
			if (fPrivate->terminating)
				break;
		}

		// The message is taken only with the lock held, so whoever holds the lock and finds
		// the queue empty knows that no message is in flight.
		Lock();
		QueuedMessage next;
		{
			std::lock_guard<std::mutex> guard(fPrivate->queueLock);
			if (fPrivate->terminating || fPrivate->queue.empty()) {
				bool quit = fPrivate->terminating;
				Unlock();
				if (quit)
					break;
				continue;
			}
			next = fPrivate->queue.front();
			fPrivate->queue.pop_front();
			if (next.periodic)
				fPrivate->periodicWaiting = false;
		}
		BHandler* handler = next.target;
		if (handler == NULL)
			handler = fPrivate->preferred != NULL ? fPrivate->preferred : this;
		fPrivate->current = next.message;
		DispatchMessage(next.message, handler);
		delete fPrivate->current;
		fPrivate->current = NULL;
		bool quit = fPrivate->terminating;
		Unlock();
		if (quit)
			break;
	}

	{
		LooperList& list = TheLooperList();
		std::lock_guard<std::mutex> guard(list.lock);
		list.byThread.erase(self);
	}
	fPrivate->running = false;
	if (fPrivate->borrowedThread)
		return;
	// Quit was asked from this thread (or the quitter waits in join): decide who deletes.
	if (fPrivate->quitFromOwnThread)
		delete this;
}

void
BLooper::Quit()
{
	bool ownThread = fPrivate->running && fPrivate->threadId == find_thread(NULL);
	{
		std::lock_guard<std::mutex> guard(fPrivate->queueLock);
		fPrivate->quitFromOwnThread = ownThread;
		fPrivate->terminating = true;
		fPrivate->queueChanged.notify_all();
	}
	if (ownThread) {
		// The loop ends after the message at hand and deletes the looper.
		return;
	}
	if (!fPrivate->running && !fPrivate->thread.joinable()) {
		delete this;
		return;
	}
	// Give up every lock this thread holds so the looper can finish its message, then wait.
	while (IsLocked())
		Unlock();
	if (fPrivate->thread.joinable())
		fPrivate->thread.join();
	delete this;
}

bool
BLooper::QuitRequested()
{
	return true;
}

bool
BLooper::Lock()
{
	return fPrivate->lock.Lock();
}

void
BLooper::Unlock()
{
	fPrivate->lock.Unlock();
}

bool
BLooper::IsLocked() const
{
	return fPrivate->lock.IsLocked();
}

status_t
BLooper::LockWithTimeout(bigtime_t timeout)
{
	return fPrivate->lock.LockWithTimeout(timeout);
}

thread_id
BLooper::Thread() const
{
	return fPrivate->threadId;
}

team_id
BLooper::Team() const
{
	return (team_id)getpid();
}

BLooper*
BLooper::LooperForThread(thread_id thread)
{
	LooperList& list = TheLooperList();
	std::lock_guard<std::mutex> guard(list.lock);
	auto found = list.byThread.find(thread);
	return found != list.byThread.end() ? found->second : NULL;
}

thread_id
BLooper::LockingThread() const
{
	return fPrivate->lock.LockingThread();
}

int32
BLooper::CountLocks() const
{
	return fPrivate->lock.CountLocks();
}

int32
BLooper::CountLockRequests() const
{
	return fPrivate->lock.CountLockRequests();
}

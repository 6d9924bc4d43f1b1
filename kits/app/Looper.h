/*
 * BLooper: a handler with a thread of its own that takes messages from a first-in, first-out
 * queue of fixed capacity and dispatches them one at a time, holding its own lock meanwhile.
 * Message filters, common filters and the message queue object are not provided.
 */
#ifndef _LOOPER_H
#define _LOOPER_H

#include <Handler.h>
#include <OS.h>

class BMessage;

#define B_LOOPER_PORT_DEFAULT_CAPACITY 100

class BLooper : public BHandler {
public:
	BLooper(const char* name = NULL, int32 priority = B_NORMAL_PRIORITY,
		int32 portCapacity = B_LOOPER_PORT_DEFAULT_CAPACITY);
	BLooper(BMessage* data);
	virtual ~BLooper();

	static BArchivable* Instantiate(BMessage* data);
	virtual status_t Archive(BMessage* data, bool deep = true) const;

	// Queue a copy of the message; B_WOULD_BLOCK when the queue is full.
	status_t PostMessage(uint32 command);
	status_t PostMessage(BMessage* message);
	status_t PostMessage(uint32 command, BHandler* handler, BHandler* replyTo = NULL);
	status_t PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo = NULL);

	virtual void DispatchMessage(BMessage* message, BHandler* handler);
	virtual void MessageReceived(BMessage* message);
	BMessage* CurrentMessage() const;
	BMessage* DetachCurrentMessage();
	bool IsMessageWaiting() const;

	void AddHandler(BHandler* handler);
	bool RemoveHandler(BHandler* handler);
	int32 CountHandlers() const;
	BHandler* HandlerAt(int32 index) const;
	int32 IndexOf(BHandler* handler) const;
	BHandler* PreferredHandler() const;
	void SetPreferredHandler(BHandler* handler);

	virtual thread_id Run();
	// Ends the thread and deletes the looper: from the looper's own thread once the current
	// message is handled, from another thread (which must hold the lock) after waiting for it.
	virtual void Quit();
	virtual bool QuitRequested();

	bool Lock();
	void Unlock();
	bool IsLocked() const;
	status_t LockWithTimeout(bigtime_t timeout);
	thread_id Thread() const;
	team_id Team() const;
	static BLooper* LooperForThread(thread_id thread);
	thread_id LockingThread() const;
	int32 CountLocks() const;
	int32 CountLockRequests() const;

protected:
	// The body of the looper's thread; BApplication runs it on the caller's thread.
	void task_looper();

private:
	friend class BApplication;
	friend class BWindow;

	BLooper(const BLooper&);
	BLooper& operator=(const BLooper&);

	struct Private;
	Private* fPrivate;
};

#endif // _LOOPER_H

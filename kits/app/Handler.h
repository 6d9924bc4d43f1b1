/*
 * BHandler: a named receiver of messages, attached to at most one looper. Observing and
 * scripting are not provided.
 */
#ifndef _HANDLER_H
#define _HANDLER_H

#include <Archivable.h>
#include <OS.h>

class BLooper;
class BMessage;

class BHandler : public BArchivable {
public:
	BHandler(const char* name = NULL);
	BHandler(BMessage* data);
	virtual ~BHandler();

	static BArchivable* Instantiate(BMessage* data);
	virtual status_t Archive(BMessage* data, bool deep = true) const;

	// Hands the message to the next handler; a message nobody handles is dropped.
	virtual void MessageReceived(BMessage* message);

	BLooper* Looper() const;
	void SetName(const char* name);
	const char* Name() const;
	virtual void SetNextHandler(BHandler* handler);
	BHandler* NextHandler() const;

	bool LockLooper();
	status_t LockLooperWithTimeout(bigtime_t timeout);
	void UnlockLooper();

private:
	friend class BLooper;

	BHandler(const BHandler&);
	BHandler& operator=(const BHandler&);
	void _SetLooper(BLooper* looper);

	char* fName;
	BLooper* fLooper;
	BHandler* fNextHandler;
};

#endif // _HANDLER_H

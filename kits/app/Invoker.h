/*
 * BInvoker: a message and the handler it is sent to when a control or menu item is invoked.
 * The platform keeps it in the application kit; here it lives with its users. Messengers,
 * reply handlers, time-outs and notification (InvokeNotify and its kin) are not provided:
 * the target is a handler, or a looper's preferred handler.
 */
#ifndef _INVOKER_H
#define _INVOKER_H

#include <SupportDefs.h>

class BHandler;
class BLooper;
class BMessage;

class BInvoker {
public:
	BInvoker();
	BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper = NULL);
	virtual ~BInvoker();

	// Takes ownership of the message.
	virtual status_t SetMessage(BMessage* message);
	BMessage* Message() const;
	uint32 Command() const;

	// A handler that belongs to a looper, or a looper (its preferred handler receives).
	virtual status_t SetTarget(const BHandler* handler, const BLooper* looper = NULL);
	bool IsTargetLocal() const;
	BHandler* Target(BLooper** looper = NULL) const;

	// Posts a copy of the message (or of Message()) to the target; B_BAD_VALUE without one.
	virtual status_t Invoke(BMessage* message = NULL);

private:
	BInvoker(const BInvoker&);
	BInvoker& operator=(const BInvoker&);

	BMessage* fMessage;
	BHandler* fHandler;
	BLooper* fLooper;
};

#endif // _INVOKER_H

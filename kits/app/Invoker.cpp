#include <Invoker.h>

#include <Errors.h>
#include <Handler.h>
#include <Looper.h>
#include <Message.h>

BInvoker::BInvoker() :
	fMessage(NULL),
	fHandler(NULL),
	fLooper(NULL)
{
}

BInvoker::BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper) :
	fMessage(message),
	fHandler(NULL),
	fLooper(NULL)
{
	SetTarget(handler, looper);
}

BInvoker::~BInvoker()
{
	delete fMessage;
}

status_t
BInvoker::SetMessage(BMessage* message)
{
	if (message == fMessage)
		return B_OK;
	delete fMessage;
	fMessage = message;
	return B_OK;
}

BMessage*
BInvoker::Message() const
{
	return fMessage;
}

uint32
BInvoker::Command() const
{
	return fMessage != NULL ? fMessage->what : 0;
}

status_t
BInvoker::SetTarget(const BHandler* handler, const BLooper* looper)
{
	fHandler = NULL;
	fLooper = NULL;
	if (handler != NULL) {
		// A handler must already belong to the looper it is named with.
		BLooper* owner = handler->Looper();
		if (owner == NULL || (looper != NULL && looper != owner))
			return B_BAD_VALUE;
		fHandler = const_cast<BHandler*>(handler);
		return B_OK;
	}
	fLooper = const_cast<BLooper*>(looper);
	return B_OK;
}

bool
BInvoker::IsTargetLocal() const
{
	return fHandler != NULL || fLooper != NULL;
}

BHandler*
BInvoker::Target(BLooper** looper) const
{
	if (looper != NULL)
		*looper = fHandler != NULL ? fHandler->Looper() : fLooper;
	return fHandler != NULL ? fHandler : fLooper;
}

status_t
BInvoker::Invoke(BMessage* message)
{
	if (message == NULL)
		message = fMessage;
	if (message == NULL)
		return B_BAD_VALUE;
	if (fHandler != NULL) {
		BLooper* looper = fHandler->Looper();
		if (looper == NULL)
			return B_BAD_HANDLER;
		return looper->PostMessage(message, fHandler);
	}
	if (fLooper != NULL)
		return fLooper->PostMessage(message);
	return B_BAD_PORT_ID;
}

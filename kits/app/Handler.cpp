#include <Handler.h>

#include <stdlib.h>
#include <string.h>

#include <Looper.h>
#include <Message.h>

BHandler::BHandler(const char* name) :
	fName(name != NULL ? strdup(name) : NULL),
	fLooper(NULL),
	fNextHandler(NULL)
{
}

BHandler::BHandler(BMessage* data) :
	BArchivable(data),
	fName(NULL),
	fLooper(NULL),
	fNextHandler(NULL)
{
	const char* name;
	if (data != NULL && data->FindString("_name", &name) == B_OK)
		fName = strdup(name);
}

BHandler::~BHandler()
{
	if (fLooper != NULL)
		fLooper->RemoveHandler(this);
	free(fName);
}

BArchivable*
BHandler::Instantiate(BMessage* data)
{
	if (!validate_instantiation(data, "BHandler"))
		return NULL;
	return new BHandler(data);
}

status_t
BHandler::Archive(BMessage* data, bool deep) const
{
	status_t status = BArchivable::Archive(data, deep);
	if (status == B_OK && fName != NULL)
		status = data->AddString("_name", fName);
	return status;
}

void
BHandler::MessageReceived(BMessage* message)
{
	if (fNextHandler != NULL && fNextHandler != this)
		fNextHandler->MessageReceived(message);
}

BLooper*
BHandler::Looper() const
{
	return fLooper;
}

void
BHandler::SetName(const char* name)
{
	free(fName);
	fName = name != NULL ? strdup(name) : NULL;
}

const char*
BHandler::Name() const
{
	return fName;
}

void
BHandler::SetNextHandler(BHandler* handler)
{
	fNextHandler = handler;
}

BHandler*
BHandler::NextHandler() const
{
	return fNextHandler;
}

bool
BHandler::LockLooper()
{
	BLooper* looper = fLooper;
	return looper != NULL && looper->Lock();
}

status_t
BHandler::LockLooperWithTimeout(bigtime_t timeout)
{
	BLooper* looper = fLooper;
	if (looper == NULL)
		return B_BAD_VALUE;
	return looper->LockWithTimeout(timeout);
}

void
BHandler::UnlockLooper()
{
	if (fLooper != NULL)
		fLooper->Unlock();
}

void
BHandler::_SetLooper(BLooper* looper)
{
	fLooper = looper;
}

#include <Application.h>

#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <Entry.h>
#include <Message.h>
#include <Roster.h>

#include "LooperPrivate.h"
#include "WindowList.h"

BApplication* be_app = NULL;

// Posts B_PULSE to the application at its pulse rate while Run() runs.
struct BApplication::PulseThread {
	std::mutex lock;
	std::condition_variable wake;
	bool stop = false;
	std::thread thread;

	PulseThread(BApplication* application, bigtime_t rate)
	{
		thread = std::thread([this, application, rate] {
			std::unique_lock<std::mutex> guard(lock);
			while (!wake.wait_for(guard, std::chrono::microseconds(rate), [this] { return stop; }))
				application->PostMessage(B_PULSE);
		});
	}

	~PulseThread()
	{
		{
			std::lock_guard<std::mutex> guard(lock);
			stop = true;
		}
		wake.notify_all();
		thread.join();
	}
};

static bool
IsValidAppSignature(const char* signature)
{
	static const char kPrefix[] = "application/";
	return signature != NULL && strncasecmp(signature, kPrefix, sizeof(kPrefix) - 1) == 0
		&& strlen(signature) > sizeof(kPrefix) - 1 && strlen(signature) < B_MIME_TYPE_LENGTH;
}

BApplication::BApplication(const char* signature) :
	BLooper("AppLooperPort")
{
	_InitData(signature, NULL);
}

BApplication::BApplication(const char* signature, status_t* error) :
	BLooper("AppLooperPort")
{
	_InitData(signature, error);
}

void
BApplication::_InitData(const char* signature, status_t* error)
{
	fAppSignature = NULL;
	fPulseRate = 500000;
	fReadyToRunCalled = false;
	fPulse = NULL;
	fInitError = IsValidAppSignature(signature) ? B_OK : B_BAD_VALUE;
	if (fInitError == B_OK) {
		fAppSignature = strdup(signature);
		// As the registrar learns a starting application; a registry that cannot be written
		// only means FindApp will not find this one.
		char executable[B_PATH_NAME_LENGTH];
		ssize_t length = readlink("/proc/self/exe", executable, sizeof(executable) - 1);
		if (length > 0) {
			executable[length] = '\0';
			BRoster::_RegisterApp(signature, executable);
		}
	}
	if (error != NULL)
		*error = fInitError;
	be_app = this;
}

BApplication::~BApplication()
{
	delete fPulse;
	free(fAppSignature);
	if (be_app == this)
		be_app = NULL;
}

status_t
BApplication::InitCheck() const
{
	return fInitError;
}

thread_id
BApplication::Run()
{
	if (fPrivate->running)
		return B_ALREADY_RUNNING;
	fPrivate->running = true;
	fPrivate->borrowedThread = true;
	fPrivate->threadId = find_thread(NULL);

	{
		std::lock_guard<std::mutex> guard(fPrivate->queueLock);
		fPrivate->queue.push_front({new BMessage(B_READY_TO_RUN), NULL});
	}
	if (fPulseRate > 0)
		fPulse = new PulseThread(this, fPulseRate);

	task_looper();

	delete fPulse;
	fPulse = NULL;
	return fPrivate->threadId;
}

void
BApplication::Quit()
{
	// Ends Run(); the application object itself belongs to its creator.
	std::lock_guard<std::mutex> guard(fPrivate->queueLock);
	fPrivate->terminating = true;
	fPrivate->queueChanged.notify_all();
}

bool
BApplication::QuitRequested()
{
	return true;
}

void
BApplication::Pulse()
{
}

void
BApplication::ReadyToRun()
{
}

void
BApplication::MessageReceived(BMessage* message)
{
	BLooper::MessageReceived(message);
}

void
BApplication::ArgvReceived(int32 /*argc*/, char** /*argv*/)
{
}

void
BApplication::AppActivated(bool /*active*/)
{
}

void
BApplication::RefsReceived(BMessage* /*message*/)
{
}

void
BApplication::AboutRequested()
{
}

void
BApplication::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (handler != this) {
		BLooper::DispatchMessage(message, handler);
		return;
	}
	switch (message->what) {
		case B_READY_TO_RUN:
			if (!fReadyToRunCalled) {
				fReadyToRunCalled = true;
				ReadyToRun();
			}
			break;
		case B_PULSE:
			Pulse();
			break;
		case B_ABOUT_REQUESTED:
			AboutRequested();
			break;
		case B_REFS_RECEIVED:
			RefsReceived(message);
			break;
		default:
			BLooper::DispatchMessage(message, handler);
			break;
	}
}

void
BApplication::SetPulseRate(bigtime_t rate)
{
	fPulseRate = rate;
}

int32
BApplication::CountWindows() const
{
	return BPrivate::WindowList::Count();
}

BWindow*
BApplication::WindowAt(int32 index) const
{
	return BPrivate::WindowList::At(index);
}

bool
BApplication::IsLaunching() const
{
	return !fReadyToRunCalled;
}

status_t
BApplication::GetAppInfo(app_info* info) const
{
	if (info == NULL)
		return B_BAD_VALUE;
	if (fInitError != B_OK)
		return fInitError;
	info->thread = fPrivate->threadId >= 0 ? fPrivate->threadId.load() : find_thread(NULL);
	info->team = Team();
	info->port = -1;
	info->flags = B_SINGLE_LAUNCH;
	strncpy(info->signature, fAppSignature, B_MIME_TYPE_LENGTH - 1);
	info->signature[B_MIME_TYPE_LENGTH - 1] = '\0';

	char executable[B_PATH_NAME_LENGTH];
	ssize_t length = readlink("/proc/self/exe", executable, sizeof(executable) - 1);
	if (length <= 0)
		return B_ENTRY_NOT_FOUND;
	executable[length] = '\0';
	return get_ref_for_path(executable, &info->ref);
}

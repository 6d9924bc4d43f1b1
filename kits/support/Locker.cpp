/*
 * BLocker over a host mutex and condition variable; the owner and the nesting count are kept
 * here so that IsLocked() and LockingThread() answer as on the platform.
 */
#include <Locker.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

struct BLocker::Data {
	std::string name;
	std::mutex mutex;
	std::condition_variable released;
	std::atomic<thread_id> owner{-1};
	int32 count = 0;
	std::atomic<int32> requests{0};
};

BLocker::BLocker() :
	BLocker("some BLocker", true)
{
}

BLocker::BLocker(const char* name) :
	BLocker(name, true)
{
}

BLocker::BLocker(bool benaphoreStyle) :
	BLocker("some BLocker", benaphoreStyle)
{
}

BLocker::BLocker(const char* name, bool /*benaphoreStyle*/) :
	fData(new Data)
{
	fData->name = name != NULL ? name : "";
}

BLocker::~BLocker()
{
	delete fData;
}

status_t
BLocker::InitCheck() const
{
	return B_OK;
}

bool
BLocker::Lock()
{
	return LockWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

status_t
BLocker::LockWithTimeout(bigtime_t timeout)
{
	thread_id self = find_thread(NULL);
	std::unique_lock<std::mutex> guard(fData->mutex);
	if (fData->owner.load() == self) {
		fData->count++;
		return B_OK;
	}
	fData->requests++;
	auto isFree = [this] { return fData->owner.load() == -1; };
	if (timeout == B_INFINITE_TIMEOUT)
		fData->released.wait(guard, isFree);
	else if (!fData->released.wait_for(guard, std::chrono::microseconds(timeout), isFree)) {
		fData->requests--;
		return timeout == 0 ? B_WOULD_BLOCK : B_TIMED_OUT;
	}
	fData->requests--;
	fData->owner = self;
	fData->count = 1;
	return B_OK;
}

void
BLocker::Unlock()
{
	std::lock_guard<std::mutex> guard(fData->mutex);
	if (fData->owner.load() != find_thread(NULL))
		return;
	if (--fData->count == 0) {
		fData->owner = -1;
		fData->released.notify_one();
	}
}

thread_id
BLocker::LockingThread() const
{
	return fData->owner.load();
}

bool
BLocker::IsLocked() const
{
	return fData->owner.load() == find_thread(NULL);
}

int32
BLocker::CountLocks() const
{
	std::lock_guard<std::mutex> guard(fData->mutex);
	return fData->count;
}

int32
BLocker::CountLockRequests() const
{
	return fData->requests.load() + (fData->owner.load() != -1 ? 1 : 0);
}

const char*
BLocker::Name() const
{
	return fData->name.c_str();
}

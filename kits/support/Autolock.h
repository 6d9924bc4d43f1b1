/*
 * BAutolock: holds a BLocker or a BLooper locked for the lifetime of a scope.
 */
#ifndef _AUTOLOCK_H
#define _AUTOLOCK_H

#include <Locker.h>
#include <Looper.h>

class BAutolock {
public:
	inline BAutolock(BLooper* looper) :
		fLocker(NULL),
		fLooper(looper),
		fIsLocked(looper != NULL && looper->Lock())
	{
	}

	inline BAutolock(BLocker* locker) :
		fLocker(locker),
		fLooper(NULL),
		fIsLocked(locker != NULL && locker->Lock())
	{
	}

	inline BAutolock(BLocker& locker) :
		fLocker(&locker),
		fLooper(NULL),
		fIsLocked(locker.Lock())
	{
	}

	inline ~BAutolock()
	{
		if (!fIsLocked)
			return;
		if (fLooper != NULL)
			fLooper->Unlock();
		else
			fLocker->Unlock();
	}

	inline bool IsLocked() { return fIsLocked; }

private:
	BLocker* fLocker;
	BLooper* fLooper;
	bool fIsLocked;
};

#endif // _AUTOLOCK_H

/*
 * Private to the kits and their hosts: work one thread asks of another, and the answer it
 * waits for, for a while. Both sides share it (through a std::shared_ptr), so either may let
 * go first: an asker that gives up leaves the doer to finish into a handshake nobody reads.
 */
#ifndef _HANDSHAKE_H
#define _HANDSHAKE_H

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

#include <OS.h>

namespace BPrivate {

template<typename Result>
class Handshake {
public:
	// The doer's claim on the work: false when the asker has withdrawn it, and it is not to
	// be done.
	bool Begin()
	{
		std::lock_guard<std::mutex> guard(fLock);
		fBegun = !fWithdrawn;
		return fBegun;
	}

	// The doer's answer; wakes the asker.
	void Finish(Result result)
	{
		std::lock_guard<std::mutex> guard(fLock);
		fResult = std::move(result);
		fFinished = true;
		fDone.notify_all();
	}

	// The asker: waits up to `timeout` (B_INFINITE_TIMEOUT: for as long as it takes) for the
	// answer, which it copies into `result`; false, leaving `result` alone, when none came.
	bool Wait(bigtime_t timeout, Result* result)
	{
		std::unique_lock<std::mutex> guard(fLock);
		if (!_Wait(guard, timeout))
			return false;
		*result = fResult;
		return true;
	}

	// As Wait, but work the doer has not begun by then is withdrawn (false), and work it has
	// begun is waited for to its end, however long it takes.
	bool WaitOrWithdraw(bigtime_t timeout, Result* result)
	{
		std::unique_lock<std::mutex> guard(fLock);
		if (!_Wait(guard, timeout)) {
			fWithdrawn = !fBegun;
			if (fWithdrawn)
				return false;
			_Wait(guard, B_INFINITE_TIMEOUT);
		}
		*result = fResult;
		return true;
	}

private:
	bool _Wait(std::unique_lock<std::mutex>& guard, bigtime_t timeout)
	{
		auto finished = [this] { return fFinished; };
		if (timeout == B_INFINITE_TIMEOUT) {
			fDone.wait(guard, finished);
			return true;
		}
		return fDone.wait_for(guard, std::chrono::microseconds(timeout), finished);
	}

	std::mutex fLock;
	std::condition_variable fDone;
	Result fResult{};
	bool fBegun = false;
	bool fWithdrawn = false;
	bool fFinished = false;
};

} // namespace BPrivate

#endif // _HANDSHAKE_H

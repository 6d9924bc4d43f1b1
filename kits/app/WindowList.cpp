#include "WindowList.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <vector>

namespace BPrivate {

namespace {

std::mutex sLock;
std::condition_variable sReleased;
std::vector<BWindow*> sWindows;
std::map<BWindow*, int32> sHolds;

}	// namespace

void
WindowList::Add(BWindow* window)
{
	std::lock_guard<std::mutex> guard(sLock);
	sWindows.push_back(window);
}

void
WindowList::Remove(BWindow* window)
{
	std::unique_lock<std::mutex> guard(sLock);
	sWindows.erase(std::remove(sWindows.begin(), sWindows.end(), window), sWindows.end());
	sReleased.wait(guard, [window] { return sHolds.count(window) == 0; });
}

bool
WindowList::Acquire(BWindow* window)
{
	std::lock_guard<std::mutex> guard(sLock);
	if (std::find(sWindows.begin(), sWindows.end(), window) == sWindows.end())
		return false;
	sHolds[window]++;
	return true;
}

void
WindowList::Release(BWindow* window)
{
	std::lock_guard<std::mutex> guard(sLock);
	auto hold = sHolds.find(window);
	if (hold == sHolds.end())
		return;
	if (--hold->second == 0) {
		sHolds.erase(hold);
		sReleased.notify_all();
	}
}

int32
WindowList::Count()
{
	std::lock_guard<std::mutex> guard(sLock);
	return (int32)sWindows.size();
}

BWindow*
WindowList::At(int32 index)
{
	std::lock_guard<std::mutex> guard(sLock);
	if (index < 0 || index >= (int32)sWindows.size())
		return NULL;
	return sWindows[index];
}

}	// namespace BPrivate

#include "WindowList.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace BPrivate {

namespace {

std::mutex sLock;
std::vector<BWindow*> sWindows;

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
	std::lock_guard<std::mutex> guard(sLock);
	sWindows.erase(std::remove(sWindows.begin(), sWindows.end(), window), sWindows.end());
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

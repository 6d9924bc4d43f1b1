#include "WindowList.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <vector>

namespace BPrivate {

namespace {

// Never destroyed: window threads may still quit while the team exits.
struct State {
	std::mutex lock;
	std::condition_variable released;
	std::vector<BWindow*> windows;
	std::map<BWindow*, int32> holds;
};

State&
TheState()
{
	static State* state = new State;
	return *state;
}

} // namespace

void
WindowList::Add(BWindow* window)
{
	State& state = TheState();
	std::lock_guard<std::mutex> guard(state.lock);
	state.windows.push_back(window);
}

void
WindowList::Remove(BWindow* window)
{
	State& state = TheState();
	std::unique_lock<std::mutex> guard(state.lock);
	std::vector<BWindow*>& windows = state.windows;
	windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
	state.released.wait(guard, [&state, window] { return state.holds.count(window) == 0; });
}

bool
WindowList::Acquire(BWindow* window)
{
	State& state = TheState();
	std::lock_guard<std::mutex> guard(state.lock);
	if (std::find(state.windows.begin(), state.windows.end(), window) == state.windows.end())
		return false;
	state.holds[window]++;
	return true;
}

void
WindowList::Release(BWindow* window)
{
	State& state = TheState();
	std::lock_guard<std::mutex> guard(state.lock);
	auto hold = state.holds.find(window);
	if (hold == state.holds.end())
		return;
	if (--hold->second == 0) {
		state.holds.erase(hold);
		state.released.notify_all();
	}
}

int32
WindowList::Count()
{
	State& state = TheState();
	std::lock_guard<std::mutex> guard(state.lock);
	return (int32)state.windows.size();
}

BWindow*
WindowList::At(int32 index)
{
	State& state = TheState();
	std::lock_guard<std::mutex> guard(state.lock);
	if (index < 0 || index >= (int32)state.windows.size())
		return NULL;
	return state.windows[index];
}

} // namespace BPrivate

/*
 * Private to the interface kit: the state of a window, shared by BWindow, BView and
 * WindowPort, and the window's private message codes.
 */
#ifndef _WINDOW_PRIVATE_H
#define _WINDOW_PRIVATE_H

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <Region.h>
#include <Window.h>

#include "Painter.h"

namespace BPrivate {

// Posted when the first part of a pending update was invalidated.
const uint32 kMsgWindowUpdate = '_UPD';
// Carries a SyncPoint in "sync": answered once everything before it is handled and drawn.
const uint32 kMsgWindowSync = '_SYN';
// The display gave the window the keyboard focus ("focused" true) or took it away.
const uint32 kMsgWindowFocusChanged = '_FOC';
// In a B_MOUSE_DOWN: the press activated the window on the display before it arrived.
const char* const kActivatingClickField = "be:activating";

// Shared by a waiting thread and the window; whoever lets go last deletes it.
struct SyncPoint {
	std::mutex lock;
	std::condition_variable changed;
	bool signalled = false;
	std::atomic<int32> references{2};

	void Signal()
	{
		{
			std::lock_guard<std::mutex> guard(lock);
			signalled = true;
		}
		changed.notify_all();
	}

	void Release()
	{
		if (--references == 0)
			delete this;
	}
};

} // namespace BPrivate

struct BWindow::Data {
	BView* topView = NULL;
	std::string title;
	window_look look = B_TITLED_WINDOW_LOOK;
	window_feel feel = B_NORMAL_WINDOW_FEEL;
	uint32 flags = 0;
	uint32 workspaces = B_CURRENT_WORKSPACE;
	float minWidth = 0;
	float maxWidth = 32768;
	float minHeight = 0;
	float maxHeight = 32768;

	// Readable from any thread without the window's lock.
	mutable std::mutex frameLock;
	BRect frame;
	std::atomic<int32> showLevel{1};
	std::atomic<bool> active{false};
	bool running = false;
	bool destroying = false;

	// The window's pixels; touched only with the window locked.
	std::vector<uint8> pixels;
	int32 width = 0;
	int32 height = 0;
	BRegion updateRegion;
	std::atomic<bool> updatePosted{false};
	int32 updatesDisabled = 0;
	std::atomic<uint32> updateCount{0};

	BView* focus = NULL;
	BView* lastMouseMovedView = NULL;
	BPoint pointer;
	uint32 buttons = 0;

	std::atomic<bigtime_t> pulseRate{500000};

	BPrivate::PixelBuffer Buffer() { return {pixels.data(), width, height, width * 4}; }
};

#endif // _WINDOW_PRIVATE_H

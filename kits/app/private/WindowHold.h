/*
 * Private to the kits and their hosts: a hold on one of the team's windows for as long as
 * the object lives (WindowList::Acquire and Release), so that the window's object outlives
 * its use by a thread that is not the window's own, even if the window quits meanwhile.
 */
#ifndef _WINDOW_HOLD_H
#define _WINDOW_HOLD_H

#include "WindowList.h"

namespace BPrivate {

class WindowHold {
public:
	explicit WindowHold(BWindow* window) :
		fWindow(WindowList::Acquire(window) ? window : NULL)
	{
	}

	WindowHold(WindowHold&& other) :
		fWindow(other.fWindow)
	{
		other.fWindow = NULL;
	}

	~WindowHold()
	{
		if (fWindow != NULL)
			WindowList::Release(fWindow);
	}

	// The window; NULL when it had left the list already.
	BWindow* Window() const { return fWindow; }
	explicit operator bool() const { return fWindow != NULL; }

private:
	WindowHold(const WindowHold&) = delete;
	WindowHold& operator=(const WindowHold&) = delete;
	WindowHold& operator=(WindowHold&&) = delete;

	BWindow* fWindow;
};

} // namespace BPrivate

#endif // _WINDOW_HOLD_H

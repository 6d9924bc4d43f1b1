/*
 * Private to the kits: the team's windows, in order of creation. The interface kit adds each
 * window when it is made and removes it when it is deleted; BApplication reads the list, and
 * hosts that drive windows from threads of their own hold them while they do.
 */
#ifndef _WINDOW_LIST_H
#define _WINDOW_LIST_H

#include <SupportDefs.h>

class BWindow;

namespace BPrivate {

class WindowList {
public:
	static void Add(BWindow* window);
	// Takes the window off the list, then waits until nobody holds it (see Acquire).
	static void Remove(BWindow* window);
	static int32 Count();
	// NULL past the end. The window may go away at any time unless it is locked.
	static BWindow* At(int32 index);

	// Holds a window that is still on the list, so that its object outlives the holder's
	// use of it even if it quits meanwhile; false when it is gone already.
	static bool Acquire(BWindow* window);
	static void Release(BWindow* window);
};

} // namespace BPrivate

#endif // _WINDOW_LIST_H

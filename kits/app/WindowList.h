/*
 * Private to the kits: the team's windows, in order of creation. The interface kit adds each
 * window when it is made and removes it when it is deleted; BApplication reads the list.
 */
#ifndef _WINDOW_LIST_H
#define _WINDOW_LIST_H

#include <SupportDefs.h>

class BWindow;

namespace BPrivate {

class WindowList {
public:
	static void Add(BWindow* window);
	static void Remove(BWindow* window);
	static int32 Count();
	// NULL past the end. The window may go away at any time unless it is locked.
	static BWindow* At(int32 index);
};

}	// namespace BPrivate

#endif	// _WINDOW_LIST_H

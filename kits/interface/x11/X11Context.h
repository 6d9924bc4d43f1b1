/*
 * Part of the X11 display backend (Xlib): the connection, its atoms and what every part of
 * the backend asks of it. Used on the backend's event thread only, the one thread that calls
 * Xlib.
 */
#ifndef X11_CONTEXT_H
#define X11_CONTEXT_H

#include <X11/Xlib.h>

#include <initializer_list>

enum X11Atom {
	kWmProtocols,
	kWmDeleteWindow,
	kWmClientMachine,
	kNetWmName,
	kNetWmPid,
	kNetWmPing,
	kNetWmWindowType,
	kNetWmWindowTypePopupMenu,
	kNetWmWindowTypeNormal,
	kNetWmWindowTypeDock,
	kNetWmState,
	kNetWmStateAbove,
	kNetWmStateSkipTaskbar,
	kNetWmStateSkipPager,
	kNetActiveWindow,
	kNetSupportingWmCheck,
	kMotifWmHints,
	kUtf8String,
	kManager,
	// The selection the tray manager of this screen owns.
	kSystemTraySelection,
	kSystemTrayOpcode,
	kXEmbed,
	kXEmbedInfo,
	// A property of our own that is touched only to learn the server's time.
	kBeTimestamp,
	kX11AtomCount
};

struct X11Context {
	Display* display = NULL;
	int screen = 0;
	Window root = 0;
	Visual* visual = NULL;
	int depth = 0;
	// A window manager runs: it names itself on the root window.
	bool hasWindowManager = false;
	Atom atoms[kX11AtomCount] = {};

	Atom operator[](X11Atom atom) const { return atoms[atom]; }

	// Once the connection is open.
	void InternAtoms();
	// Reads again whether a window manager runs.
	void CheckWindowManager();
	// Sends `destination` a ClientMessage of this type about `window`, with up to five longs.
	void SendMessage(Window destination, Window window, X11Atom type, long eventMask,
		std::initializer_list<long> data) const;
};

#endif // X11_CONTEXT_H

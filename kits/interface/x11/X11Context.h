/*
 * Part of the X11 display backend (Xlib): the connection and the atoms that every part of the
 * backend shares. Used on the backend's event thread only, the one thread that calls Xlib.
 */
#ifndef X11_CONTEXT_H
#define X11_CONTEXT_H

#include <X11/Xlib.h>

#include <string>

struct X11Context {
	Display* display = NULL;
	int screen = 0;
	Window root = 0;
	Visual* visual = NULL;
	int depth = 0;
	bool hasWindowManager = false;

	Atom wmProtocols = 0;
	Atom wmDeleteWindow = 0;
	Atom wmClientMachine = 0;
	Atom netWmName = 0;
	Atom netWmPid = 0;
	Atom netWmPing = 0;
	Atom netWmWindowType = 0;
	Atom netWmWindowTypePopupMenu = 0;
	Atom netWmWindowTypeNormal = 0;
	Atom netWmWindowTypeDock = 0;
	Atom netWmState = 0;
	Atom netWmStateAbove = 0;
	Atom netWmStateSkipTaskbar = 0;
	Atom netWmStateSkipPager = 0;
	Atom netActiveWindow = 0;
	Atom netSupportingWmCheck = 0;
	Atom motifWmHints = 0;
	Atom utf8String = 0;
	Atom manager = 0;
	Atom systemTraySelection = 0;
	Atom systemTrayOpcode = 0;
	Atom xembed = 0;
	Atom xembedInfo = 0;
	// A property of our own that is touched only to learn the server's time.
	Atom beTimestamp = 0;

	void InternAtoms()
	{
		const char* names[] = {"WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_CLIENT_MACHINE",
			"_NET_WM_NAME", "_NET_WM_PID", "_NET_WM_PING", "_NET_WM_WINDOW_TYPE",
			"_NET_WM_WINDOW_TYPE_POPUP_MENU", "_NET_WM_WINDOW_TYPE_NORMAL",
			"_NET_WM_WINDOW_TYPE_DOCK", "_NET_WM_STATE", "_NET_WM_STATE_ABOVE",
			"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER", "_NET_ACTIVE_WINDOW",
			"_NET_SUPPORTING_WM_CHECK", "_MOTIF_WM_HINTS", "UTF8_STRING", "MANAGER", NULL,
			"_NET_SYSTEM_TRAY_OPCODE", "_XEMBED", "_XEMBED_INFO", "_BE_TIMESTAMP"};
		const int count = sizeof(names) / sizeof(names[0]);
		std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
		names[19] = selection.c_str();
		Atom atoms[count];
		XInternAtoms(display, (char**)names, count, False, atoms);
		Atom* fields[] = {&wmProtocols, &wmDeleteWindow, &wmClientMachine, &netWmName, &netWmPid,
			&netWmPing, &netWmWindowType, &netWmWindowTypePopupMenu, &netWmWindowTypeNormal,
			&netWmWindowTypeDock, &netWmState, &netWmStateAbove, &netWmStateSkipTaskbar,
			&netWmStateSkipPager, &netActiveWindow, &netSupportingWmCheck, &motifWmHints,
			&utf8String, &manager, &systemTraySelection, &systemTrayOpcode, &xembed, &xembedInfo,
			&beTimestamp};
		for (int i = 0; i < count; i++)
			*fields[i] = atoms[i];
	}
};

#endif // X11_CONTEXT_H

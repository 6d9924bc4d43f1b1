/*
 * Part of the X11 display backend (Xlib): the atoms by name, and the window manager's mark
 * on the root window.
 */
#include "X11Context.h"

#include <X11/Xatom.h>
#include <string.h>

#include <algorithm>
#include <string>

namespace {

const struct {
	X11Atom atom;
	const char* name;
	// The name ends in the screen's number.
	bool perScreen;
} kAtomNames[] = {
	{kWmProtocols, "WM_PROTOCOLS", false},
	{kWmDeleteWindow, "WM_DELETE_WINDOW", false},
	{kWmClientMachine, "WM_CLIENT_MACHINE", false},
	{kNetWmName, "_NET_WM_NAME", false},
	{kNetWmPid, "_NET_WM_PID", false},
	{kNetWmPing, "_NET_WM_PING", false},
	{kNetWmWindowType, "_NET_WM_WINDOW_TYPE", false},
	{kNetWmWindowTypePopupMenu, "_NET_WM_WINDOW_TYPE_POPUP_MENU", false},
	{kNetWmWindowTypeNormal, "_NET_WM_WINDOW_TYPE_NORMAL", false},
	{kNetWmWindowTypeDock, "_NET_WM_WINDOW_TYPE_DOCK", false},
	{kNetWmState, "_NET_WM_STATE", false},
	{kNetWmStateAbove, "_NET_WM_STATE_ABOVE", false},
	{kNetWmStateSkipTaskbar, "_NET_WM_STATE_SKIP_TASKBAR", false},
	{kNetWmStateSkipPager, "_NET_WM_STATE_SKIP_PAGER", false},
	{kNetActiveWindow, "_NET_ACTIVE_WINDOW", false},
	{kNetSupportingWmCheck, "_NET_SUPPORTING_WM_CHECK", false},
	{kMotifWmHints, "_MOTIF_WM_HINTS", false},
	{kUtf8String, "UTF8_STRING", false},
	{kManager, "MANAGER", false},
	{kSystemTraySelection, "_NET_SYSTEM_TRAY_S", true},
	{kSystemTrayOpcode, "_NET_SYSTEM_TRAY_OPCODE", false},
	{kXEmbed, "_XEMBED", false},
	{kXEmbedInfo, "_XEMBED_INFO", false},
	{kBeTimestamp, "_BE_TIMESTAMP", false},
};

static_assert(sizeof(kAtomNames) / sizeof(kAtomNames[0]) == kX11AtomCount,
	"every atom has its name");

} // namespace

void
X11Context::InternAtoms()
{
	std::string names[kX11AtomCount];
	for (const auto& entry : kAtomNames) {
		names[entry.atom] = entry.name;
		if (entry.perScreen)
			names[entry.atom] += std::to_string(screen);
	}
	char* pointers[kX11AtomCount];
	for (int i = 0; i < kX11AtomCount; i++)
		pointers[i] = (char*)names[i].c_str();
	XInternAtoms(display, pointers, kX11AtomCount, False, atoms);
}

void
X11Context::CheckWindowManager()
{
	Atom type;
	int format;
	unsigned long count;
	unsigned long remaining;
	unsigned char* data = NULL;
	hasWindowManager = XGetWindowProperty(display, root, atoms[kNetSupportingWmCheck], 0, 1, False,
						   XA_WINDOW, &type, &format, &count, &remaining, &data)
			== Success
		&& count == 1;
	if (data != NULL)
		XFree(data);
}

void
X11Context::SendMessage(Window destination, Window window, X11Atom type, long eventMask,
	std::initializer_list<long> data) const
{
	XEvent event;
	memset(&event, 0, sizeof(event));
	event.xclient.type = ClientMessage;
	event.xclient.window = window;
	event.xclient.message_type = atoms[type];
	event.xclient.format = 32;
	std::copy_n(data.begin(), std::min(data.size(), (size_t)5), event.xclient.data.l);
	XSendEvent(display, destination, False, eventMask, &event);
}

/*
 * Part of the X11 display backend (Xlib): status pictures of a window as icons in the
 * desktop's system tray (the freedesktop system-tray protocol over XEmbed). Each picture is
 * an icon window of its own, docked with the tray manager of the screen, following trays
 * that start or go away, drawn from a copy of its window's pixels and scaled by whole
 * multiples to the size the tray gives. Where an icon shows on the screen is told to the kit
 * (DisplayLink::DockedItemPlaced), so that its view's coordinates convert there. Lives on the
 * backend's event thread.
 */
#ifndef X11_TRAY_H
#define X11_TRAY_H

#include <X11/Xlib.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <Point.h>
#include <Rect.h>
#include <Region.h>
#include <SupportDefs.h>

class BView;
class BWindow;
struct X11Context;

struct X11TrayItem {
	BView* view;
	// The picture's place in its window.
	BRect rect;
	std::string name;
};

class X11Tray {
public:
	// `dockingChanged` is called when a window's first icon docks or its last one leaves,
	// and for every window with icons when a tray comes or goes.
	X11Tray(X11Context& context, std::function<void(BWindow*)> dockingChanged);
	~X11Tray();

	void SetItems(BWindow* window, const std::vector<X11TrayItem>& items);
	void RemoveWindow(BWindow* window);
	bool HasItems(BWindow* window) const;
	bool HasManager() const { return fManager != 0; }
	int32 CountDocked(BWindow* window) const;

	// A part of the window was redrawn: `bits` are the window's pixels of `rect`.
	void Drawn(BWindow* window, int32 windowWidth, int32 windowHeight, const uint8* bits,
		int32 bytesPerRow, const clipping_rect& rect);

	// Looks for the screen's tray manager; docks every icon with a new one.
	void FindManager();

	// Events: true when the event was the tray's own.
	bool HandleEvent(const XEvent& event);

	// A pointer event on an icon: its window, and the point in the window's coordinates.
	// Where the icon is on the screen is taken from the event as well.
	struct Hit {
		BWindow* window;
		BPoint where;
	};
	bool HitFor(::Window icon, int x, int y, int rootX, int rootY, Hit* hit);

private:
	struct Icon {
		BView* view = NULL;
		BRect rect;
		std::string name;
		::Window window = 0;
		int width = 16;
		int height = 16;
		bool embedded = false;
		// On the screen, as last told to the kit; invalid while not docked.
		BRect shown;
		BPoint shownOffset;
	};
	struct Host {
		std::vector<Icon> icons;
		std::vector<uint8> pixels;
		int32 width = 0;
		int32 height = 0;
	};

	void _ManagerGone();
	bool _HandleIconEvent(const XEvent& event, BWindow* owner, Icon& icon);
	void _Reparented(BWindow* owner, Icon& icon, ::Window parent);
	void _Configured(const Host& host, Icon& icon, const XConfigureEvent& event);

	void _CreateIcon(Icon& icon);
	void _DestroyIcon(Icon& icon);
	void _Dock(Icon& icon);
	void _DrawIcon(const Host& host, const Icon& icon);
	bool _FindIcon(::Window window, BWindow** owner, Icon** icon);
	void _SetEmbedded(BWindow* owner, Icon& icon, bool embedded);
	// Tells the kit where the icon shows, its top left corner at `where` on the screen.
	void _Place(Icon& icon, BPoint where);
	void _PlaceFromServer(Icon& icon);

	X11Context& fContext;
	std::function<void(BWindow*)> fDockingChanged;
	std::map<BWindow*, Host> fHosts;
	::Window fManager;
	GC fGC;
};

#endif // X11_TRAY_H

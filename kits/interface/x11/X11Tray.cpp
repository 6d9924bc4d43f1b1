/*
 * Part of the X11 display backend (Xlib): the freedesktop system tray over XEmbed, as a
 * client. It docks plain icon windows of the default visual; it does not use the tray's
 * ARGB visual, balloon messages or the XEmbed focus protocol.
 */
#include "X11Tray.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <string.h>

#include <algorithm>

#include "DisplayLink.h"
#include "X11Context.h"
#include "X11Image.h"

using BPrivate::DisplayLink;

namespace {

const long kSystemTrayRequestDock = 0;
const long kXEmbedEmbeddedNotify = 0;
const long kXEmbedMapped = 1;
const int32 kPictureSize = 16;
// A tray may make an icon's window any size; the picture is drawn at most this large (sixteen
// times its size), centred, and the rest of the window is left to its background.
const int32 kMaxDrawnSize = 256;

// Where in an icon window of that size the picture goes: the part drawn, and the picture's
// scale and top left corner in it.
struct Placement {
	int32 left;
	int32 top;
	int32 width;
	int32 height;
	int32 scale;
	int32 offsetX;
	int32 offsetY;
};

Placement
PlacementFor(int32 width, int32 height)
{
	Placement placement;
	placement.width = std::clamp(width, (int32)1, kMaxDrawnSize);
	placement.height = std::clamp(height, (int32)1, kMaxDrawnSize);
	placement.left = std::max((int32)0, (width - placement.width) / 2);
	placement.top = std::max((int32)0, (height - placement.height) / 2);
	// Whole multiples only, so that every picture pixel stays a sharp square.
	placement.scale = std::max((int32)1,
		std::min(placement.width, placement.height) / kPictureSize);
	placement.offsetX = placement.left + (placement.width - kPictureSize * placement.scale) / 2;
	placement.offsetY = placement.top + (placement.height - kPictureSize * placement.scale) / 2;
	return placement;
}

} // namespace

X11Tray::X11Tray(X11Context& context, std::function<void(BWindow*)> dockingChanged) :
	fContext(context),
	fDockingChanged(dockingChanged),
	fManager(0),
	fGC(0)
{
	fGC = XCreateGC(context.display, context.root, 0, NULL);
	XSetGraphicsExposures(context.display, fGC, False);
}

X11Tray::~X11Tray()
{
	for (auto& entry : fHosts) {
		for (Icon& icon : entry.second.icons)
			_DestroyIcon(icon);
	}
	XFreeGC(fContext.display, fGC);
}

void
X11Tray::SetItems(BWindow* window, const std::vector<X11TrayItem>& items)
{
	Host& host = fHosts[window];
	int32 dockedBefore = CountDocked(window);
	std::vector<Icon> icons;
	for (const X11TrayItem& item : items) {
		auto found = std::find_if(host.icons.begin(), host.icons.end(),
			[&item](const Icon& icon) { return icon.view == item.view; });
		Icon icon;
		if (found != host.icons.end()) {
			icon = *found;
			found->window = 0;
		}
		icon.view = item.view;
		icon.rect = item.rect;
		icon.name = item.name;
		icons.push_back(icon);
	}
	for (Icon& old : host.icons)
		_DestroyIcon(old);
	host.icons = icons;
	for (Icon& icon : host.icons) {
		if (icon.window == 0) {
			_CreateIcon(icon);
			_Dock(icon);
		}
		_DrawIcon(host, icon);
	}
	if (host.icons.empty())
		fHosts.erase(window);
	if ((dockedBefore > 0) != (CountDocked(window) > 0))
		fDockingChanged(window);
}

void
X11Tray::RemoveWindow(BWindow* window)
{
	auto found = fHosts.find(window);
	if (found == fHosts.end())
		return;
	for (Icon& icon : found->second.icons)
		_DestroyIcon(icon);
	fHosts.erase(found);
}

bool
X11Tray::HasItems(BWindow* window) const
{
	return fHosts.find(window) != fHosts.end();
}

int32
X11Tray::CountDocked(BWindow* window) const
{
	auto found = fHosts.find(window);
	if (found == fHosts.end())
		return 0;
	return (int32)std::count_if(found->second.icons.begin(), found->second.icons.end(),
		[](const Icon& icon) { return icon.embedded; });
}

void
X11Tray::Drawn(BWindow* window, int32 windowWidth, int32 windowHeight, const uint8* bits,
	int32 bytesPerRow, const clipping_rect& rect)
{
	auto found = fHosts.find(window);
	if (found == fHosts.end())
		return;
	Host& host = found->second;
	if (host.width != windowWidth || host.height != windowHeight) {
		host.width = windowWidth;
		host.height = windowHeight;
		host.pixels.assign((size_t)windowWidth * windowHeight * 4, 0);
	}
	int32 left = std::max((int32)0, rect.left);
	int32 top = std::max((int32)0, rect.top);
	int32 right = std::min(windowWidth - 1, rect.right);
	int32 bottom = std::min(windowHeight - 1, rect.bottom);
	if (left > right || top > bottom)
		return;
	for (int32 y = top; y <= bottom; y++) {
		memcpy(host.pixels.data() + ((size_t)y * windowWidth + left) * 4,
			bits + (size_t)(y - rect.top) * bytesPerRow + (size_t)(left - rect.left) * 4,
			(size_t)(right - left + 1) * 4);
	}
	BRect changed(left, top, right, bottom);
	for (const Icon& icon : host.icons) {
		if (icon.rect.Intersects(changed))
			_DrawIcon(host, icon);
	}
}

void
X11Tray::FindManager()
{
	XGrabServer(fContext.display);
	::Window manager = XGetSelectionOwner(fContext.display, fContext[kSystemTraySelection]);
	if (manager != 0)
		XSelectInput(fContext.display, manager, StructureNotifyMask);
	XUngrabServer(fContext.display);
	if (manager == fManager)
		return;
	fManager = manager;
	for (auto& entry : fHosts) {
		for (Icon& icon : entry.second.icons) {
			if (manager == 0 || icon.embedded)
				continue;
			_DestroyIcon(icon);
			_CreateIcon(icon);
			_Dock(icon);
			_DrawIcon(entry.second, icon);
		}
		fDockingChanged(entry.first);
	}
}

bool
X11Tray::HandleEvent(const XEvent& event)
{
	if (event.type == ClientMessage && event.xclient.window == fContext.root
		&& event.xclient.message_type == fContext[kManager]
		&& (Atom)event.xclient.data.l[1] == fContext[kSystemTraySelection]) {
		FindManager();
		return true;
	}
	if (event.type == DestroyNotify && fManager != 0 && event.xdestroywindow.window == fManager) {
		_ManagerGone();
		return true;
	}
	::Window window = event.xany.window;
	if (event.type == ReparentNotify)
		window = event.xreparent.window;
	else if (event.type == ConfigureNotify)
		window = event.xconfigure.window;
	BWindow* owner;
	Icon* icon;
	return _FindIcon(window, &owner, &icon) && _HandleIconEvent(event, owner, *icon);
}

bool
X11Tray::HitFor(::Window iconWindow, int x, int y, int rootX, int rootY, Hit* hit)
{
	BWindow* owner;
	Icon* icon;
	if (!_FindIcon(iconWindow, &owner, &icon))
		return false;
	// The event tells where the icon is now, however the tray has moved it meanwhile.
	_Place(*icon, BPoint(rootX - x, rootY - y));
	Placement placement = PlacementFor(icon->width, icon->height);
	int scale = placement.scale;
	int pictureX = std::clamp((x - placement.offsetX) / scale, 0, (int)kPictureSize - 1);
	int pictureY = std::clamp((y - placement.offsetY) / scale, 0, (int)kPictureSize - 1);
	hit->window = owner;
	hit->where.Set(icon->rect.left + pictureX, icon->rect.top + pictureY);
	return true;
}

void
X11Tray::_ManagerGone()
{
	fManager = 0;
	// Icons the tray let go of come back as windows of their own: start afresh.
	for (auto& entry : fHosts) {
		for (Icon& icon : entry.second.icons) {
			_DestroyIcon(icon);
			_CreateIcon(icon);
			_SetEmbedded(entry.first, icon, false);
		}
		fDockingChanged(entry.first);
	}
}

bool
X11Tray::_HandleIconEvent(const XEvent& event, BWindow* owner, Icon& icon)
{
	const Host& host = fHosts[owner];
	switch (event.type) {
		case ReparentNotify:
			_Reparented(owner, icon, event.xreparent.parent);
			return true;
		case ConfigureNotify:
			_Configured(host, icon, event.xconfigure);
			return true;
		case Expose:
			if (event.xexpose.count == 0)
				_DrawIcon(host, icon);
			return true;
		case MapNotify:
			_DrawIcon(host, icon);
			_PlaceFromServer(icon);
			return true;
		case ClientMessage:
			if (event.xclient.message_type == fContext[kXEmbed]
				&& event.xclient.data.l[1] == kXEmbedEmbeddedNotify) {
				_SetEmbedded(owner, icon, true);
			}
			return true;
		default:
			// Pointer events are the backend's, through HitFor.
			return false;
	}
}

void
X11Tray::_Reparented(BWindow* owner, Icon& icon, ::Window parent)
{
	if (parent != fContext.root) {
		_SetEmbedded(owner, icon, true);
	} else if (icon.embedded) {
		// Undocked: a window on the root would be a stray; make a fresh icon.
		_DestroyIcon(icon);
		_CreateIcon(icon);
		_SetEmbedded(owner, icon, false);
	}
}

void
X11Tray::_Configured(const Host& host, Icon& icon, const XConfigureEvent& event)
{
	if (event.width != icon.width || event.height != icon.height) {
		icon.width = event.width;
		icon.height = event.height;
		_DrawIcon(host, icon);
	}
	// Laid out anew in the tray.
	_PlaceFromServer(icon);
}

void
X11Tray::_CreateIcon(Icon& icon)
{
	Display* display = fContext.display;
	XSetWindowAttributes attributes;
	memset(&attributes, 0, sizeof(attributes));
	attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask
		| StructureNotifyMask;
	attributes.background_pixmap = None;
	attributes.border_pixel = 0;
	icon.width = kPictureSize;
	icon.height = kPictureSize;
	icon.window = XCreateWindow(display, fContext.root, 0, 0, kPictureSize, kPictureSize, 0,
		fContext.depth, InputOutput, fContext.visual, CWEventMask | CWBackPixmap | CWBorderPixel,
		&attributes);
	XClassHint classHint;
	classHint.res_name = (char*)icon.name.c_str();
	classHint.res_class = (char*)icon.name.c_str();
	XSetClassHint(display, icon.window, &classHint);
	XStoreName(display, icon.window, icon.name.c_str());
	XChangeProperty(display, icon.window, fContext[kNetWmName], fContext[kUtf8String], 8,
		PropModeReplace, (const unsigned char*)icon.name.c_str(), icon.name.size());
	long info[2] = {0, kXEmbedMapped};
	XChangeProperty(display, icon.window, fContext[kXEmbedInfo], fContext[kXEmbedInfo], 32,
		PropModeReplace, (unsigned char*)info, 2);
	XSizeHints hints;
	memset(&hints, 0, sizeof(hints));
	hints.flags = PMinSize | PBaseSize;
	hints.min_width = hints.base_width = kPictureSize;
	hints.min_height = hints.base_height = kPictureSize;
	XSetWMNormalHints(display, icon.window, &hints);
}

void
X11Tray::_DestroyIcon(Icon& icon)
{
	if (icon.window == 0)
		return;
	XDestroyWindow(fContext.display, icon.window);
	icon.window = 0;
	_Place(icon, B_ORIGIN);
}

void
X11Tray::_Dock(Icon& icon)
{
	if (fManager == 0 || icon.window == 0)
		return;
	fContext.SendMessage(fManager, fManager, kSystemTrayOpcode, NoEventMask,
		{CurrentTime, kSystemTrayRequestDock, (long)icon.window});
}

void
X11Tray::_DrawIcon(const Host& host, const Icon& icon)
{
	if (icon.window == 0 || host.pixels.empty())
		return;
	int32 left = (int32)icon.rect.left;
	int32 top = (int32)icon.rect.top;
	if (left < 0 || top < 0 || left + kPictureSize > host.width
		|| top + kPictureSize > host.height) {
		return;
	}
	// The margin around the picture takes the colour of its corner.
	Placement placement = PlacementFor(icon.width, icon.height);
	const uint8* picture = host.pixels.data() + ((size_t)top * host.width + left) * 4;
	uint32 corner;
	memcpy(&corner, picture, 4);
	std::vector<uint32> scaled((size_t)placement.width * placement.height, corner);
	for (int32 y = 0; y < placement.height; y++) {
		int32 windowY = placement.top + y;
		int32 pictureY = (windowY - placement.offsetY) / placement.scale;
		if (windowY < placement.offsetY || pictureY >= kPictureSize)
			continue;
		const uint8* row = picture + (size_t)pictureY * host.width * 4;
		for (int32 x = 0; x < placement.width; x++) {
			int32 windowX = placement.left + x;
			int32 pictureX = (windowX - placement.offsetX) / placement.scale;
			if (windowX < placement.offsetX || pictureX >= kPictureSize)
				continue;
			memcpy(&scaled[(size_t)y * placement.width + x], row + pictureX * 4, 4);
		}
	}
	X11Image::Put(fContext, icon.window, fGC, (const uint8*)scaled.data(), placement.width * 4,
		placement.width, placement.height, placement.left, placement.top);
}

bool
X11Tray::_FindIcon(::Window window, BWindow** owner, Icon** found)
{
	for (auto& entry : fHosts) {
		for (Icon& icon : entry.second.icons) {
			if (icon.window == window) {
				*owner = entry.first;
				*found = &icon;
				return true;
			}
		}
	}
	return false;
}

void
X11Tray::_SetEmbedded(BWindow* owner, Icon& icon, bool embedded)
{
	if (icon.embedded == embedded)
		return;
	int32 before = CountDocked(owner);
	icon.embedded = embedded;
	_PlaceFromServer(icon);
	if ((before > 0) != (CountDocked(owner) > 0))
		fDockingChanged(owner);
}

void
X11Tray::_Place(Icon& icon, BPoint where)
{
	BRect frame;
	BPoint offset;
	if (icon.embedded && icon.window != 0) {
		// The picture's pixel (0, 0), the view's window point `rect.LeftTop()`, shows at
		// `picture`. A tray that gives less room than the picture takes leaves part of it
		// outside the icon's window: the frame then grows to hold the whole picture.
		Placement placement = PlacementFor(icon.width, icon.height);
		BPoint picture(where.x + placement.offsetX, where.y + placement.offsetY);
		frame.Set(where.x, where.y, where.x + icon.width - 1, where.y + icon.height - 1);
		frame = frame | BRect(picture, picture + BPoint(kPictureSize - 1, kPictureSize - 1));
		offset = picture - icon.rect.LeftTop();
	}
	if (frame == icon.shown && offset == icon.shownOffset)
		return;
	icon.shown = frame;
	icon.shownOffset = offset;
	DisplayLink::DockedItemPlaced(icon.view, offset, frame);
}

void
X11Tray::_PlaceFromServer(Icon& icon)
{
	int x = 0;
	int y = 0;
	::Window child;
	if (icon.embedded && icon.window != 0
		&& !XTranslateCoordinates(fContext.display, icon.window, fContext.root, 0, 0, &x, &y,
			&child)) {
		return;
	}
	_Place(icon, BPoint(x, y));
}

#include "WindowPort.h"

#include <string.h>

#include <algorithm>
#include <chrono>

#include <AppDefs.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <View.h>
#include <Window.h>

#include "DisplayLink.h"
#include "InterfacePrivate.h"
#include "PngWriter.h"
#include "ViewPrivate.h"
#include "WindowHold.h"
#include "WindowPrivate.h"

namespace BPrivate {

namespace {

// Long enough for a sanitised build under load; a window that takes longer is stuck.
const std::chrono::seconds kSyncTimeout(20);
const int32 kPostAttempts = 200;
const bigtime_t kPostRetryDelay = 5000;

} // namespace

WindowPort::WindowPort(BWindow* window, delivery mode) :
	fWindow(window),
	fDelivery(mode)
{
}

rgb_color
WindowPort::PixelAt(int32 x, int32 y) const
{
	rgb_color color = {0, 0, 0, 0};
	if (!fWindow->Lock())
		return color;
	BWindow::Data* data = fWindow->fData;
	if (x >= 0 && y >= 0 && x < data->width && y < data->height) {
		const uint8* pixel = data->pixels.data() + ((size_t)y * data->width + x) * 4;
		color = {pixel[2], pixel[1], pixel[0], pixel[3]};
	}
	fWindow->Unlock();
	return color;
}

rgb_color
WindowPort::PixelAt(BPoint point) const
{
	return PixelAt(pixel_for(point.x), pixel_for(point.y));
}

status_t
WindowPort::SaveAsPNG(const char* path) const
{
	return SaveAsPNG(path, fWindow->Bounds());
}

status_t
WindowPort::SaveAsPNG(const char* path, BRect windowRect) const
{
	if (!fWindow->Lock())
		return B_ERROR;
	status_t status = _SavePixels(path, windowRect);
	fWindow->Unlock();
	return status;
}

status_t
WindowPort::SaveAsPNG(const char* path, int32 scale) const
{
	if (!fWindow->Lock())
		return B_ERROR;
	status_t status = _SavePixels(path, fWindow->Bounds(), scale);
	fWindow->Unlock();
	return status;
}

status_t
WindowPort::SaveViewAsPNG(BView* view, const char* path, BRect viewRect)
{
	if (view == NULL || view->Window() == NULL)
		return B_BAD_VALUE;
	BWindow* window = view->Window();
	if (!window->Lock())
		return B_ERROR;
	BPoint origin = view->_WindowOrigin();
	BRect rect(pixel_for(viewRect.left) + pixel_for(origin.x),
		pixel_for(viewRect.top) + pixel_for(origin.y),
		pixel_for(viewRect.right) + pixel_for(origin.x),
		pixel_for(viewRect.bottom) + pixel_for(origin.y));
	status_t status = WindowPort(window)._SavePixels(path, rect);
	window->Unlock();
	return status;
}

status_t
WindowPort::SaveViewAsPNG(BView* view, const char* path)
{
	if (view == NULL)
		return B_BAD_VALUE;
	return SaveViewAsPNG(view, path, view->Bounds());
}

uint32
WindowPort::UpdateCount() const
{
	return fWindow->fData->updateCount;
}

status_t
WindowPort::Sync()
{
	return _Deliver(NULL);
}

status_t
WindowPort::Pulse()
{
	BMessage pulse(B_PULSE);
	pulse.AddInt64("when", system_time());
	return _Deliver(&pulse);
}

status_t
WindowPort::Redraw()
{
	if (!fWindow->Lock())
		return B_ERROR;
	BRegion all(fWindow->Bounds());
	fWindow->_Invalidate(all);
	fWindow->Unlock();
	return Sync();
}

status_t
WindowPort::Redraw(BView* view)
{
	if (view == NULL || view->Window() == NULL)
		return B_BAD_VALUE;
	BWindow* window = view->Window();
	if (!window->Lock())
		return B_ERROR;
	view->Invalidate();
	window->Unlock();
	return WindowPort(window).Sync();
}

status_t
WindowPort::MouseMoved(BPoint where, uint32 buttons, coordinate_space space)
{
	BMessage moved(B_MOUSE_MOVED);
	moved.AddInt64("when", system_time());
	moved.AddPoint(space == kScreenCoordinates ? "screen_where" : "where", where);
	moved.AddInt32("buttons", (int32)buttons);
	moved.AddInt32("modifiers", (int32)modifiers());
	return _Deliver(&moved);
}

status_t
WindowPort::MouseDown(BPoint where, uint32 buttons, int32 clicks, coordinate_space space,
	bool activating)
{
	BMessage down(B_MOUSE_DOWN);
	down.AddInt64("when", system_time());
	down.AddPoint(space == kScreenCoordinates ? "screen_where" : "where", where);
	down.AddInt32("buttons", (int32)buttons);
	down.AddInt32("modifiers", (int32)modifiers());
	down.AddInt32("clicks", clicks);
	if (activating)
		down.AddBool(kActivatingClickField, true);
	return _Deliver(&down);
}

status_t
WindowPort::MouseUp(BPoint where, uint32 buttons, coordinate_space space)
{
	BMessage up(B_MOUSE_UP);
	up.AddInt64("when", system_time());
	up.AddPoint(space == kScreenCoordinates ? "screen_where" : "where", where);
	up.AddInt32("buttons", (int32)buttons);
	up.AddInt32("modifiers", (int32)modifiers());
	return _Deliver(&up);
}

status_t
WindowPort::KeyDown(const char* bytes, uint32 modifiers, int32 key)
{
	if (bytes == NULL || bytes[0] == '\0')
		return B_BAD_VALUE;
	set_modifiers(modifiers);
	BMessage down(B_KEY_DOWN);
	down.AddInt64("when", system_time());
	down.AddInt32("modifiers", (int32)modifiers);
	down.AddInt32("key", key);
	down.AddInt32("raw_char", (uint8)bytes[0]);
	for (const char* byte = bytes; *byte != '\0'; byte++)
		down.AddInt8("byte", (int8)*byte);
	down.AddString("bytes", bytes);
	return _Deliver(&down);
}

status_t
WindowPort::KeyUp(const char* bytes, uint32 modifiers, int32 key)
{
	if (bytes == NULL || bytes[0] == '\0')
		return B_BAD_VALUE;
	set_modifiers(modifiers);
	BMessage up(B_KEY_UP);
	up.AddInt64("when", system_time());
	up.AddInt32("modifiers", (int32)modifiers);
	up.AddInt32("key", key);
	up.AddInt32("raw_char", (uint8)bytes[0]);
	for (const char* byte = bytes; *byte != '\0'; byte++)
		up.AddInt8("byte", (int8)*byte);
	up.AddString("bytes", bytes);
	return _Deliver(&up);
}

status_t
WindowPort::FocusChanged(bool focused)
{
	BMessage changed(kMsgWindowFocusChanged);
	changed.AddBool("focused", focused);
	changed.AddInt64("number", DisplayLink::NumberFocusChange());
	return _Deliver(&changed);
}

status_t
WindowPort::_Deliver(BMessage* message)
{
	if (fDelivery == kQueueOnly)
		return message != NULL ? fWindow->PostMessage(message) : (status_t)B_OK;

	thread_id self = find_thread(NULL);
	thread_id windowThread = fWindow->Thread();
	if (windowThread < 0 || windowThread == self || fWindow->LockingThread() == self) {
		// No thread to hand it to, or this thread is the window's: handle it here.
		if (!fWindow->Lock())
			return B_ERROR;
		if (message != NULL)
			fWindow->DispatchMessage(message, fWindow);
		else
			fWindow->_DrawUpdates();
		fWindow->Unlock();
		return B_OK;
	}

	if (message != NULL) {
		status_t status = B_ERROR;
		for (int32 attempt = 0; attempt < kPostAttempts; attempt++) {
			status = fWindow->PostMessage(message);
			if (status != B_WOULD_BLOCK)
				break;
			snooze(kPostRetryDelay);
		}
		if (status != B_OK)
			return status;
	}

	SyncPoint* sync = new SyncPoint;
	BMessage syncMessage(kMsgWindowSync);
	syncMessage.AddPointer("sync", sync);
	status_t status = B_ERROR;
	for (int32 attempt = 0; attempt < kPostAttempts; attempt++) {
		status = fWindow->PostMessage(&syncMessage);
		if (status != B_WOULD_BLOCK)
			break;
		snooze(kPostRetryDelay);
	}
	if (status != B_OK) {
		delete sync;
		// A message handed over before the window began to quit counts as delivered: what
		// it asked for (a key or click that closes a menu, say) may be why the window quits.
		return message != NULL && status == B_BAD_PORT_ID ? (status_t)B_OK : status;
	}
	// A window that is being deleted drops what is queued: stop waiting when it leaves the
	// team's list (its deleter may be waiting for whoever holds it, this thread perhaps).
	bool signalled = false;
	bool gone = false;
	auto deadline = std::chrono::steady_clock::now() + kSyncTimeout;
	while (!signalled && !gone && std::chrono::steady_clock::now() < deadline) {
		{
			std::unique_lock<std::mutex> guard(sync->lock);
			signalled = sync->changed.wait_for(guard, std::chrono::milliseconds(20),
				[sync] { return sync->signalled; });
		}
		if (!signalled)
			gone = !WindowHold(fWindow);
	}
	sync->Release();
	if (gone)
		return message != NULL ? (status_t)B_OK : (status_t)B_BAD_VALUE;
	return signalled ? B_OK : B_TIMED_OUT;
}

status_t
WindowPort::_SavePixels(const char* path, BRect windowRect, int32 scale) const
{
	BWindow::Data* data = fWindow->fData;
	int32 left = std::max(0, pixel_for(windowRect.left));
	int32 top = std::max(0, pixel_for(windowRect.top));
	int32 right = std::min(data->width - 1, pixel_for(windowRect.right));
	int32 bottom = std::min(data->height - 1, pixel_for(windowRect.bottom));
	if (left > right || top > bottom)
		return B_BAD_VALUE;
	const uint8* bits = data->pixels.data() + ((size_t)top * data->width + left) * 4;
	return write_png(path, bits, right - left + 1, bottom - top + 1, data->width * 4, scale);
}

} // namespace BPrivate

#include "ControlCommands.h"

#include <math.h>
#include <string.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>

#include <Application.h>
#include <Message.h>
#include <View.h>
#include <Window.h>

#include "DeskbarProtocol.h"
#include "Handshake.h"
#include "MenuPrivate.h"
#include "ShelfWindow.h"
#include "WindowList.h"
#include "WindowPort.h"

using namespace BPrivate;

namespace {

// Input that opens a menu blocks its window until the menu closes: the control client is
// answered after this long all the same.
const bigtime_t kInputWait = 500000;
const int32 kMaxDragSteps = 100;
const int32 kMaxPulses = 100;
// Points lie within this distance of the window's origin; a rectangle of pixels has sides of
// 1 to 4096, and its reply must fit in a message with room to spare.
const float kMaxPixelSide = 4096;
const float kMaxPixelOffset = 1000000;
const size_t kMaxPixelBytes = kDeskbarMaxMessageSize - 4096;
// The shelf's own pulse: none (0), or at most this often and at least once an hour.
const bigtime_t kMinPulseRate = 10000;
const bigtime_t kMaxPulseRate = 3600000000LL;
// How long a request waits for a window held elsewhere (by an open menu, say).
const bigtime_t kWindowLockWait = 2000000;

bool
InRange(float value, float low, float high)
{
	// False for NaN too.
	return value >= low && value <= high;
}

} // namespace

ControlCommands::ControlCommands(ShelfWindow* shelf) :
	fShelf(shelf)
{
}

status_t
ControlCommands::Execute(const BMessage& request, BMessage* reply)
{
	switch (request.what) {
		case kMsgDeskbarListWindows:
			return _ListWindows(reply);
		case kMsgDeskbarClick:
		case kMsgDeskbarMouseMove:
		case kMsgDeskbarMouseDown:
		case kMsgDeskbarMouseUp:
		case kMsgDeskbarKey:
		case kMsgDeskbarDrag:
			return _Input(request);
		case kMsgDeskbarChooseMenuItem:
			return _ChooseMenuItem(request);
		case kMsgDeskbarScreenshot:
			return _Screenshot(request);
		case kMsgDeskbarPixels:
			return _Pixels(request, reply);
		case kMsgDeskbarActivate:
			return _Activate(request);
		case kMsgDeskbarPulse:
			return _Pulse(request);
		case kMsgDeskbarPulseRate:
			return _SetPulseRate(request);
		case kMsgDeskbarQuit:
			return be_app->PostMessage(B_QUIT_REQUESTED);
		default:
			return B_BAD_VALUE;
	}
}

status_t
ControlCommands::_ListWindows(BMessage* reply)
{
	for (int32 i = 0; BWindow* window = WindowList::At(i); i++) {
		if (!WindowList::Acquire(window))
			continue;
		reply->AddString("title", window->Title());
		reply->AddRect("frame", window->Frame());
		reply->AddBool("hidden", window->IsHidden());
		WindowList::Release(window);
	}
	return B_OK;
}

status_t
ControlCommands::_Input(const BMessage& request)
{
	BPoint where;
	request.FindPoint("where", &where);
	BPoint to = where;
	request.FindPoint("to", &to);
	for (BPoint point : {where, to}) {
		if (!InRange(point.x, -kMaxPixelOffset, kMaxPixelOffset)
			|| !InRange(point.y, -kMaxPixelOffset, kMaxPixelOffset)) {
			return B_BAD_VALUE;
		}
	}
	const char* title = NULL;
	request.FindString("window", &title);
	BWindow* window = _FindWindow(title);
	if (window == NULL)
		return B_NAME_NOT_FOUND;
	int32 steps = 1;
	request.FindInt32("steps", &steps);
	steps = std::max(1, std::min(steps, kMaxDragSteps));
	int32 buttons = B_PRIMARY_MOUSE_BUTTON;
	request.FindInt32("buttons", &buttons);
	int32 modifiers = 0;
	request.FindInt32("modifiers", &modifiers);
	bool screen = false;
	request.FindBool("screen", &screen);
	WindowPort::coordinate_space space = WindowPort::kWindowCoordinates;
	if (screen)
		space = WindowPort::kScreenCoordinates;
	const char* bytes = "";
	request.FindString("bytes", &bytes);
	std::string keys = bytes;
	uint32 what = request.what;

	// Delivered on a thread of its own: a click that opens a menu holds its window (and this
	// delivery) until the menu closes.
	auto delivery = std::make_shared<Handshake<status_t>>();
	std::thread([=] {
		WindowPort port(window);
		status_t status = B_OK;
		switch (what) {
			case kMsgDeskbarClick:
				status = port.MouseMoved(where, 0, space);
				if (status == B_OK)
					status = port.MouseDown(where, (uint32)buttons, 1, space);
				// Likewise a press that closes its window.
				if (status == B_OK)
					port.MouseUp(where, 0, space);
				break;
			case kMsgDeskbarMouseMove:
				status = port.MouseMoved(where, 0, space);
				break;
			case kMsgDeskbarMouseDown:
				status = port.MouseDown(where, (uint32)buttons, 1, space);
				break;
			case kMsgDeskbarMouseUp:
				status = port.MouseUp(where, 0, space);
				break;
			case kMsgDeskbarKey:
				// A key that closes its window (Escape in a menu) leaves no one for the release.
				status = port.KeyDown(keys.c_str(), (uint32)modifiers);
				if (status == B_OK)
					port.KeyUp(keys.c_str(), (uint32)modifiers);
				break;
			case kMsgDeskbarDrag:
			{
				// A drag may move its window: its points are the screen's from the start, as
				// a pointer's are.
				BPoint origin = space == WindowPort::kWindowCoordinates ? window->Frame().LeftTop()
																		: B_ORIGIN;
				BPoint from = where + origin;
				BPoint end = to + origin;
				WindowPort::coordinate_space screen = WindowPort::kScreenCoordinates;
				status = port.MouseMoved(from, 0, screen);
				if (status == B_OK)
					status = port.MouseDown(from, (uint32)buttons, 1, screen);
				for (int32 step = 1; status == B_OK && step <= steps; step++) {
					// On whole pixels, as a pointer is.
					BPoint next(roundf(from.x + (end.x - from.x) * step / steps),
						roundf(from.y + (end.y - from.y) * step / steps));
					status = port.MouseMoved(next, (uint32)buttons, screen);
				}
				if (status == B_OK)
					status = port.MouseUp(end, 0, screen);
				break;
			}
		}
		WindowList::Release(window);
		delivery->Finish(status);
	}).detach();

	// Not delivered by then: answered as delivered all the same.
	status_t status = B_OK;
	delivery->Wait(kInputWait, &status);
	return status;
}

status_t
ControlCommands::_ChooseMenuItem(const BMessage& request)
{
	const char* label;
	if (request.FindString("label", &label) != B_OK)
		return B_BAD_VALUE;
	return choose_menu_item(label);
}

status_t
ControlCommands::_Screenshot(const BMessage& request)
{
	const char* title = NULL;
	const char* path = NULL;
	request.FindString("window", &title);
	if (request.FindString("path", &path) != B_OK)
		return B_BAD_VALUE;
	int32 scale = 1;
	request.FindInt32("scale", &scale);
	BWindow* window = _FindWindow(title);
	if (window == NULL)
		return B_NAME_NOT_FOUND;
	status_t status = WindowPort(window).SaveAsPNG(path, scale);
	WindowList::Release(window);
	return status;
}

status_t
ControlCommands::_Pixels(const BMessage& request, BMessage* reply)
{
	const char* title = NULL;
	request.FindString("window", &title);
	BRect rect;
	if (request.FindRect("rect", &rect) != B_OK)
		return B_BAD_VALUE;
	// Each side on its own, before anything is converted or reserved: their product would let
	// a side of zero, or NaN, through.
	if (!InRange(rect.left, -kMaxPixelOffset, kMaxPixelOffset)
		|| !InRange(rect.top, -kMaxPixelOffset, kMaxPixelOffset)
		|| !InRange(rect.Width() + 1, 1, kMaxPixelSide)
		|| !InRange(rect.Height() + 1, 1, kMaxPixelSide)) {
		return B_BAD_VALUE;
	}
	int32 width = rect.IntegerWidth() + 1;
	int32 height = rect.IntegerHeight() + 1;
	if ((size_t)width * height * 4 > kMaxPixelBytes)
		return B_BAD_VALUE;
	BWindow* window = _FindWindow(title);
	if (window == NULL)
		return B_NAME_NOT_FOUND;
	if (window->LockWithTimeout(kWindowLockWait) != B_OK) {
		WindowList::Release(window);
		return B_TIMED_OUT;
	}
	WindowPort port(window);
	std::string pixels;
	pixels.reserve((size_t)width * height * 4);
	for (int32 y = 0; y < height; y++) {
		for (int32 x = 0; x < width; x++) {
			rgb_color color = port.PixelAt((int32)rect.left + x, (int32)rect.top + y);
			pixels += (char)color.red;
			pixels += (char)color.green;
			pixels += (char)color.blue;
			pixels += (char)color.alpha;
		}
	}
	window->Unlock();
	WindowList::Release(window);
	reply->AddInt32("width", width);
	reply->AddInt32("height", height);
	return reply->AddData("pixels", B_RAW_TYPE, pixels.data(), pixels.size());
}

status_t
ControlCommands::_Activate(const BMessage& request)
{
	const char* title = NULL;
	request.FindString("window", &title);
	BWindow* window = _FindWindow(title);
	if (window == NULL)
		return B_NAME_NOT_FOUND;
	window->Activate(true);
	WindowList::Release(window);
	return B_OK;
}

status_t
ControlCommands::_Pulse(const BMessage& request)
{
	int32 count = 1;
	request.FindInt32("count", &count);
	if (count < 1 || count > kMaxPulses)
		return B_BAD_VALUE;
	// Each pulse is handled, and what it invalidated drawn, before the next and before the
	// reply: whoever asks for pixels afterwards sees its effect.
	WindowPort port(fShelf);
	for (int32 i = 0; i < count; i++) {
		status_t status = port.Pulse();
		if (status != B_OK)
			return status;
	}
	return B_OK;
}

status_t
ControlCommands::_SetPulseRate(const BMessage& request)
{
	int64 rate;
	if (request.FindInt64("rate", &rate) != B_OK || rate < 0 || rate > kMaxPulseRate)
		return B_BAD_VALUE;
	// A pulse every few microseconds would keep the shelf busy for nothing.
	if (rate > 0 && rate < kMinPulseRate)
		rate = kMinPulseRate;
	fShelf->SetPulseRate(rate);
	return B_OK;
}

BWindow*
ControlCommands::_FindWindow(const char* title)
{
	// The newest window of that title: a menu opened again has a new window.
	BWindow* found = NULL;
	for (int32 i = 0; BWindow* window = WindowList::At(i); i++) {
		if (title == NULL || title[0] == '\0') {
			if (window == fShelf)
				found = window;
			continue;
		}
		if (!WindowList::Acquire(window))
			continue;
		if (window->Title() != NULL && strcmp(window->Title(), title) == 0)
			found = window;
		WindowList::Release(window);
	}
	return found != NULL && WindowList::Acquire(found) ? found : NULL;
}

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

// An input command's fields, read and checked before any window is looked for.
struct Input {
	uint32 what;
	BPoint where;
	BPoint to;
	int32 steps = 1;
	int32 buttons = B_PRIMARY_MOUSE_BUTTON;
	int32 modifiers = 0;
	WindowPort::coordinate_space space = WindowPort::kWindowCoordinates;
	std::string keys;
};

bool
ReadInput(const BMessage& request, Input* input)
{
	input->what = request.what;
	request.FindPoint("where", &input->where);
	input->to = input->where;
	request.FindPoint("to", &input->to);
	for (BPoint point : {input->where, input->to}) {
		if (!InRange(point.x, -kMaxPixelOffset, kMaxPixelOffset)
			|| !InRange(point.y, -kMaxPixelOffset, kMaxPixelOffset)) {
			return false;
		}
	}
	request.FindInt32("steps", &input->steps);
	input->steps = std::max(1, std::min(input->steps, kMaxDragSteps));
	request.FindInt32("buttons", &input->buttons);
	request.FindInt32("modifiers", &input->modifiers);
	bool screen = false;
	request.FindBool("screen", &screen);
	if (screen)
		input->space = WindowPort::kScreenCoordinates;
	const char* bytes = "";
	request.FindString("bytes", &bytes);
	input->keys = bytes;
	return true;
}

status_t
Click(WindowPort& port, const Input& input)
{
	status_t status = port.MouseMoved(input.where, 0, input.space);
	if (status == B_OK)
		status = port.MouseDown(input.where, (uint32)input.buttons, 1, input.space);
	// A press that closes its window leaves no one for the release.
	if (status == B_OK)
		port.MouseUp(input.where, 0, input.space);
	return status;
}

status_t
PressKey(WindowPort& port, const Input& input)
{
	// Likewise a key that closes its window (Escape in a menu).
	status_t status = port.KeyDown(input.keys.c_str(), (uint32)input.modifiers);
	if (status == B_OK)
		port.KeyUp(input.keys.c_str(), (uint32)input.modifiers);
	return status;
}

status_t
Drag(WindowPort& port, const Input& input)
{
	// A drag may move its window: its points are the screen's from the start, as a pointer's
	// are.
	BPoint origin = input.space == WindowPort::kWindowCoordinates ? port.Window()->Frame().LeftTop()
																  : B_ORIGIN;
	BPoint from = input.where + origin;
	BPoint end = input.to + origin;
	WindowPort::coordinate_space screen = WindowPort::kScreenCoordinates;
	uint32 buttons = (uint32)input.buttons;
	status_t status = port.MouseMoved(from, 0, screen);
	if (status == B_OK)
		status = port.MouseDown(from, buttons, 1, screen);
	for (int32 step = 1; status == B_OK && step <= input.steps; step++) {
		// On whole pixels, as a pointer is.
		BPoint next(roundf(from.x + (end.x - from.x) * step / input.steps),
			roundf(from.y + (end.y - from.y) * step / input.steps));
		status = port.MouseMoved(next, buttons, screen);
	}
	if (status == B_OK)
		status = port.MouseUp(end, 0, screen);
	return status;
}

status_t
Deliver(BWindow* window, const Input& input)
{
	WindowPort port(window);
	switch (input.what) {
		case kMsgDeskbarClick:
			return Click(port, input);
		case kMsgDeskbarMouseMove:
			return port.MouseMoved(input.where, 0, input.space);
		case kMsgDeskbarMouseDown:
			return port.MouseDown(input.where, (uint32)input.buttons, 1, input.space);
		case kMsgDeskbarMouseUp:
			return port.MouseUp(input.where, 0, input.space);
		case kMsgDeskbarKey:
			return PressKey(port, input);
		case kMsgDeskbarDrag:
			return Drag(port, input);
		default:
			return B_BAD_VALUE;
	}
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
	Input input;
	if (!ReadInput(request, &input))
		return B_BAD_VALUE;
	const char* title = NULL;
	request.FindString("window", &title);
	BWindow* window = _FindWindow(title);
	if (window == NULL)
		return B_NAME_NOT_FOUND;

	// Delivered on a thread of its own: a click that opens a menu holds its window (and this
	// delivery) until the menu closes.
	auto delivery = std::make_shared<Handshake<status_t>>();
	std::thread([=] {
		status_t status = Deliver(window, input);
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

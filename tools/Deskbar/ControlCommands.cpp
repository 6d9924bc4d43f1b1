#include "ControlCommands.h"

#include <string.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <Application.h>
#include <Message.h>
#include <View.h>
#include <Window.h>

#include "DeskbarProtocol.h"
#include "MenuPrivate.h"
#include "ShelfWindow.h"
#include "WindowList.h"
#include "WindowPort.h"

using namespace BPrivate;

namespace {

// Input that opens a menu blocks its window until the menu closes: the control client is
// answered after this long all the same.
const bigtime_t kInputWait = 500000;

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
			return _Input(request);
		case kMsgDeskbarChooseMenuItem:
			return _ChooseMenuItem(request);
		case kMsgDeskbarScreenshot:
			return _Screenshot(request);
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
	const char* title = NULL;
	request.FindString("window", &title);
	BWindow* window = _FindWindow(title);
	if (window == NULL)
		return B_NAME_NOT_FOUND;

	BPoint where;
	request.FindPoint("where", &where);
	int32 buttons = B_PRIMARY_MOUSE_BUTTON;
	request.FindInt32("buttons", &buttons);
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
	struct Delivery {
		std::mutex lock;
		std::condition_variable done;
		bool finished = false;
		status_t status = B_OK;
	};
	auto delivery = std::make_shared<Delivery>();
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
				status = port.KeyDown(keys.c_str());
				if (status == B_OK)
					port.KeyUp(keys.c_str());
				break;
		}
		WindowList::Release(window);
		std::lock_guard<std::mutex> guard(delivery->lock);
		delivery->finished = true;
		delivery->status = status;
		delivery->done.notify_all();
	}).detach();

	std::unique_lock<std::mutex> guard(delivery->lock);
	if (!delivery->done.wait_for(guard, std::chrono::microseconds(kInputWait),
			[&] { return delivery->finished; })) {
		return B_OK;
	}
	return delivery->status;
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

/*
 * Listens on a host local (AF_UNIX) socket; the user's lock file keeps a second host from
 * taking over the socket of a running one.
 */
#include "RequestServer.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <string.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include <Application.h>
#include <Message.h>
#include <OS.h>
#include <View.h>
#include <Window.h>

#include "DeskbarLink.h"
#include "DeskbarProtocol.h"
#include "MenuPrivate.h"
#include "ShelfWindow.h"
#include "WindowList.h"
#include "WindowPort.h"

using namespace BPrivate;

namespace {

const bigtime_t kRequestReadTimeout = 10000000;
// Input that opens a menu blocks its window until the menu closes: the control client is
// answered after this long all the same.
const bigtime_t kInputWait = 500000;

} // namespace

RequestServer::RequestServer(ShelfWindow* shelf) :
	fShelf(shelf),
	fLockFile(-1),
	fListenSocket(-1),
	fWakeRead(-1),
	fWakeWrite(-1),
	fStopping(false)
{
}

RequestServer::~RequestServer()
{
	Stop();
	// Released last: whoever can take the lock knows this host has finished.
	if (fLockFile >= 0)
		close(fLockFile);
}

status_t
RequestServer::Start()
{
	std::string lockPath;
	status_t status = DeskbarLink::LockPath(lockPath);
	if (status == B_OK)
		status = DeskbarLink::SocketPath(fSocketPath);
	if (status != B_OK)
		return status;

	fLockFile = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
	if (fLockFile < 0)
		return B_PERMISSION_DENIED;
	if (flock(fLockFile, LOCK_EX | LOCK_NB) != 0)
		return B_ALREADY_RUNNING;

	// Whatever socket is left belongs to a host that died.
	unlink(fSocketPath.c_str());
	fListenSocket = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
	if (fListenSocket < 0)
		return B_ERROR;
	struct sockaddr_un address = {};
	address.sun_family = AF_UNIX;
	strncpy(address.sun_path, fSocketPath.c_str(), sizeof(address.sun_path) - 1);
	if (bind(fListenSocket, (struct sockaddr*)&address, sizeof(address)) != 0
		|| listen(fListenSocket, 16) != 0) {
		return B_ERROR;
	}
	int wake[2];
	if (pipe2(wake, O_CLOEXEC) != 0)
		return B_ERROR;
	fWakeRead = wake[0];
	fWakeWrite = wake[1];

	DeskbarHostInterface::SetInstance(this);
	fAcceptor = std::thread(&RequestServer::_Accept, this);
	return B_OK;
}

void
RequestServer::Stop()
{
	if (DeskbarHostInterface::Instance() == this)
		DeskbarHostInterface::SetInstance(NULL);
	{
		std::lock_guard<std::mutex> guard(fConnectionLock);
		fStopping = true;
		for (int connection : fConnections)
			shutdown(connection, SHUT_RDWR);
	}
	if (fWakeWrite >= 0 && write(fWakeWrite, "x", 1) < 0) {
	}
	if (fAcceptor.joinable())
		fAcceptor.join();
	{
		std::unique_lock<std::mutex> guard(fConnectionLock);
		fConnectionsChanged.wait_for(guard, std::chrono::seconds(5),
			[this] { return fConnections.empty(); });
	}
	if (fListenSocket >= 0) {
		close(fListenSocket);
		unlink(fSocketPath.c_str());
		fListenSocket = -1;
	}
	for (int* fd : {&fWakeRead, &fWakeWrite}) {
		if (*fd >= 0)
			close(*fd);
		*fd = -1;
	}
}

void
RequestServer::_Accept()
{
	while (true) {
		struct pollfd entries[2] = {{fListenSocket, POLLIN, 0}, {fWakeRead, POLLIN, 0}};
		if (poll(entries, 2, -1) < 0) {
			if (errno == EINTR)
				continue;
			return;
		}
		if (entries[1].revents != 0)
			return;
		int connection = accept4(fListenSocket, NULL, NULL, SOCK_CLOEXEC);
		if (connection < 0)
			continue;
		std::lock_guard<std::mutex> guard(fConnectionLock);
		if (fStopping) {
			close(connection);
			return;
		}
		fConnections.push_back(connection);
		std::thread(&RequestServer::_Serve, this, connection).detach();
	}
}

void
RequestServer::_Serve(int socket)
{
	BMessage request;
	if (DeskbarLink::ReadMessage(socket, &request, kRequestReadTimeout) == B_OK) {
		BMessage reply(kMsgDeskbarReply);
		status_t status = HandleRequest(request, &reply);
		if (!reply.HasInt32("status"))
			reply.AddInt32("status", status);
		DeskbarLink::WriteMessage(socket, reply);
	}
	close(socket);
	std::lock_guard<std::mutex> guard(fConnectionLock);
	fConnections.erase(std::remove(fConnections.begin(), fConnections.end(), socket),
		fConnections.end());
	fConnectionsChanged.notify_all();
}

status_t
RequestServer::HandleRequest(const BMessage& request, BMessage* reply)
{
	BMessage ignored;
	if (reply == NULL)
		reply = &ignored;
	reply->what = kMsgDeskbarReply;

	const char* name = NULL;
	int32 id = -1;
	bool byName = request.FindString("name", &name) == B_OK;
	request.FindInt32("id", &id);
	std::vector<ShelfWindow::ItemInfo> items = fShelf->Items();
	auto matches = [&](const ShelfWindow::ItemInfo& item) {
		return byName ? item.name == name : item.id == id;
	};
	auto found = std::find_if(items.begin(), items.end(), matches);

	status_t status = B_OK;
	switch (request.what) {
		case kMsgDeskbarHasItem:
			reply->AddBool("exists", found != items.end());
			break;
		case kMsgDeskbarCountItems:
			reply->AddInt32("count", (int32)items.size());
			break;
		case kMsgDeskbarItemInfo:
			if (found == items.end())
				status = B_NAME_NOT_FOUND;
			else {
				reply->AddString("name", found->name.c_str());
				reply->AddInt32("id", found->id);
			}
			break;
		case kMsgDeskbarFrame:
			reply->AddRect("frame", fShelf->Frame());
			break;
		case kMsgDeskbarListItems:
			for (const ShelfWindow::ItemInfo& item : items) {
				reply->AddString("name", item.name.c_str());
				reply->AddInt32("id", item.id);
			}
			break;
		case kMsgDeskbarAddItem:
		case kMsgDeskbarRemoveItem:
		{
			// A hook on the shelf's own thread must not wait for the shelf: its request is done
			// right after the hook returns.
			bool onShelf = find_thread(NULL) == fShelf->Thread();
			status = fShelf->Submit(request, reply, !onShelf);
			break;
		}
		default:
			status = _Control(request, reply);
			break;
	}
	reply->RemoveName("status");
	reply->AddInt32("status", status);
	return status;
}

status_t
RequestServer::_Control(const BMessage& request, BMessage* reply)
{
	switch (request.what) {
		case kMsgDeskbarListWindows:
			for (int32 i = 0; BWindow* window = WindowList::At(i); i++) {
				if (!WindowList::Acquire(window))
					continue;
				reply->AddString("title", window->Title());
				reply->AddRect("frame", window->Frame());
				reply->AddBool("hidden", window->IsHidden());
				WindowList::Release(window);
			}
			return B_OK;
		case kMsgDeskbarClick:
		case kMsgDeskbarMouseMove:
		case kMsgDeskbarMouseDown:
		case kMsgDeskbarMouseUp:
		case kMsgDeskbarKey:
			return _Input(request);
		case kMsgDeskbarChooseMenuItem:
			return _ChooseMenuItem(request);
		case kMsgDeskbarScreenshot:
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
		case kMsgDeskbarQuit:
			return be_app->PostMessage(B_QUIT_REQUESTED);
		default:
			return B_BAD_VALUE;
	}
}

status_t
RequestServer::_Input(const BMessage& request)
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
	WindowPort::coordinate_space space = screen ? WindowPort::kScreenCoordinates
												: WindowPort::kWindowCoordinates;
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
RequestServer::_ChooseMenuItem(const BMessage& request)
{
	const char* label;
	if (request.FindString("label", &label) != B_OK)
		return B_BAD_VALUE;
	return choose_menu_item(label);
}

BWindow*
RequestServer::_FindWindow(const char* title)
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

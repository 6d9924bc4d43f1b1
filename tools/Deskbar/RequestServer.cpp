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

#include <Message.h>
#include <OS.h>

#include "DeskbarLink.h"
#include "DeskbarProtocol.h"
#include "ShelfWindow.h"

using namespace BPrivate;

namespace {

const bigtime_t kRequestReadTimeout = 10000000;

} // namespace

RequestServer::RequestServer(ShelfWindow* shelf) :
	fShelf(shelf),
	fCommands(shelf),
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
	return B_OK;
}

void
RequestServer::StartAccepting()
{
	if (!fAcceptor.joinable() && fListenSocket >= 0)
		fAcceptor = std::thread(&RequestServer::_Accept, this);
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
				reply->AddRect("frame", item.frame);
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
			status = fCommands.Execute(request, reply);
			break;
	}
	reply->RemoveName("status");
	reply->AddInt32("status", status);
	return status;
}

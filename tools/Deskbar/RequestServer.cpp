/*
 * Listens on a host local (AF_UNIX) socket; the user's lock file keeps a second host from
 * taking over the socket of a running one.
 */
#include "RequestServer.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <stdio.h>
#include <string.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <memory>

#include <Message.h>
#include <OS.h>

#include "DeskbarLink.h"
#include "DeskbarItemSelector.h"
#include "DeskbarProtocol.h"
#include "MenuPrivate.h"
#include "ShelfWindow.h"

using namespace BPrivate;

namespace {

// A whole request must be in by then; a reply taken by then.
const bigtime_t kRequestReadTimeout = 10000000;
const bigtime_t kReplyWriteTimeout = 3000000;
// How long accepting rests when no descriptor is left even for a moment.
const bigtime_t kExhaustedPause = 100000;

} // namespace

RequestServer::RequestServer(ShelfWindow* shelf) :
	fShelf(shelf),
	fCommands(shelf),
	fLockFile(-1),
	fListenSocket(-1),
	fWakeRead(-1),
	fWakeWrite(-1),
	fSpareDescriptor(-1),
	fToldExhausted(false),
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
	std::string folder;
	std::string note;
	status_t status = DeskbarLink::RuntimeDirectory(folder, &note);
	if (!note.empty())
		fprintf(stderr, "Deskbar: %s\n", note.c_str());
	if (status != B_OK)
		return status;
	std::string lockPath;
	status = DeskbarLink::LockPath(lockPath);
	if (status == B_OK)
		status = DeskbarLink::SocketPath(fSocketPath);
	if (status != B_OK)
		return status;

	// Not through a link put in its place.
	fLockFile = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
	if (fLockFile < 0) {
		fprintf(stderr, "Deskbar: cannot open %s: %s\n", lockPath.c_str(), strerror(errno));
		return B_PERMISSION_DENIED;
	}
	if (flock(fLockFile, LOCK_EX | LOCK_NB) != 0)
		return B_ALREADY_RUNNING;

	status = _Listen();
	if (status != B_OK) {
		fprintf(stderr, "Deskbar: cannot listen for requests at %s: %s\n", fSocketPath.c_str(),
			strerror(errno));
		return status;
	}
	int wake[2];
	if (pipe2(wake, O_CLOEXEC) != 0)
		return B_ERROR;
	fWakeRead = wake[0];
	fWakeWrite = wake[1];
	fSpareDescriptor = open("/dev/null", O_RDONLY | O_CLOEXEC);

	DeskbarHostInterface::SetInstance(this);
	return B_OK;
}

status_t
RequestServer::_Listen()
{
	// Whatever socket is left belongs to a host that died.
	unlink(fSocketPath.c_str());
	fListenSocket = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
	if (fListenSocket < 0)
		return B_ERROR;
	struct sockaddr_un address = {};
	address.sun_family = AF_UNIX;
	strncpy(address.sun_path, fSocketPath.c_str(), sizeof(address.sun_path) - 1);
	// The socket is the user's alone whatever the umask; the mode is set again after, in
	// case another thread changed the umask meanwhile.
	mode_t mask = umask(0177);
	int bound = bind(fListenSocket, (struct sockaddr*)&address, sizeof(address));
	umask(mask);
	if (bound != 0 || chmod(fSocketPath.c_str(), 0600) != 0 || listen(fListenSocket, 64) != 0)
		return B_ERROR;
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
		for (const Connection& connection : fConnections)
			shutdown(connection.socket, SHUT_RDWR);
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
	for (int* fd : {&fWakeRead, &fWakeWrite, &fSpareDescriptor}) {
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
		if (connection < 0) {
			if (errno == EMFILE || errno == ENFILE)
				_DescriptorsExhausted();
			continue;
		}
		// Only the user's own processes are served.
		struct ucred peer;
		socklen_t length = sizeof(peer);
		if (getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0
			|| peer.uid != getuid()) {
			close(connection);
			continue;
		}
		if (!_Admit(connection))
			return;
	}
}

bool
RequestServer::_Admit(int socket)
{
	std::lock_guard<std::mutex> guard(fConnectionLock);
	if (fStopping) {
		close(socket);
		return false;
	}
	size_t active = std::count_if(fConnections.begin(), fConnections.end(),
		[](const Connection& connection) { return !connection.evicted; });
	if (active >= kMaxConnections) {
		// Full: the connection that has waited longest for its request gives way, so that
		// idle connections cannot keep a client with a request out. With every one busy
		// answering, the newcomer is closed at once.
		auto oldest = fConnections.end();
		for (auto it = fConnections.begin(); it != fConnections.end(); ++it) {
			if (it->reading && !it->evicted
				&& (oldest == fConnections.end() || it->since < oldest->since)) {
				oldest = it;
			}
		}
		if (oldest == fConnections.end()) {
			close(socket);
			return true;
		}
		oldest->evicted = true;
		shutdown(oldest->socket, SHUT_RDWR);
	}
	// A plain thread: a refused start is an error code, not an exception, and the
	// start builds no polymorphic state object, whose type check under the sanitizers needs
	// a free descriptor that a host out of descriptors does not have.
	struct Start {
		RequestServer* server;
		int socket;
	};
	auto serve = [](void* data) -> void* {
		std::unique_ptr<Start> start(static_cast<Start*>(data));
		start->server->_Serve(start->socket);
		return NULL;
	};
	Start* start = new Start{this, socket};
	pthread_t thread;
	if (pthread_create(&thread, NULL, serve, start) != 0) {
		// No thread to be had: this connection goes unanswered, the host goes on.
		delete start;
		close(socket);
		return true;
	}
	pthread_detach(thread);
	fConnections.push_back({socket, system_time(), true, false});
	return true;
}

void
RequestServer::_DescriptorsExhausted()
{
	if (!fToldExhausted) {
		fprintf(stderr, "Deskbar: out of file descriptors; connections are refused meanwhile\n");
		fToldExhausted = true;
	}
	// The spare descriptor makes room to take the waiting connection and close it, so that
	// it does not keep the listening socket ready (and this loop spinning).
	if (fSpareDescriptor >= 0) {
		close(fSpareDescriptor);
		int connection = accept4(fListenSocket, NULL, NULL, SOCK_CLOEXEC);
		if (connection >= 0)
			close(connection);
		fSpareDescriptor = open("/dev/null", O_RDONLY | O_CLOEXEC);
	}
	snooze(kExhaustedPause);
}

void
RequestServer::_SetReading(int socket, bool reading)
{
	std::lock_guard<std::mutex> guard(fConnectionLock);
	for (Connection& connection : fConnections) {
		if (connection.socket == socket)
			connection.reading = reading;
	}
}

void
RequestServer::_Serve(int socket)
{
	BMessage request;
	status_t status = DeskbarLink::ReadMessage(socket, &request, kRequestReadTimeout);
	_SetReading(socket, false);
	if (status == B_OK) {
		BMessage reply(kMsgDeskbarReply);
		HandleRequest(request, &reply);
		// A client that does not take its reply is given up.
		DeskbarLink::WriteMessage(socket, reply, kReplyWriteTimeout);
	}
	// Closed only once off the list: the next connection accepted may take this descriptor's
	// number, and must not be taken for this one.
	std::lock_guard<std::mutex> guard(fConnectionLock);
	fConnections.erase(std::remove_if(fConnections.begin(), fConnections.end(),
						   [socket](const Connection& connection) {
							   return connection.socket == socket;
						   }),
		fConnections.end());
	close(socket);
	fConnectionsChanged.notify_all();
}

status_t
RequestServer::HandleRequest(const BMessage& request, BMessage* reply)
{
	BMessage ignored;
	if (reply == NULL)
		reply = &ignored;
	status_t status;
	try {
		status = _HandleRequest(request, reply);
	} catch (const std::exception& exception) {
		fprintf(stderr, "Deskbar: request 0x%08x failed: %s\n", (unsigned)request.what,
			exception.what());
		status = B_ERROR;
	} catch (...) {
		fprintf(stderr, "Deskbar: request 0x%08x failed\n", (unsigned)request.what);
		status = B_ERROR;
	}
	reply->what = kMsgDeskbarReply;
	reply->RemoveName("status");
	reply->AddInt32("status", status);
	return status;
}

status_t
RequestServer::_HandleRequest(const BMessage& request, BMessage* reply)
{
	DeskbarItemSelector selector(request);
	std::vector<ShelfWindow::ItemInfo> items = fShelf->Items();
	auto found = std::find_if(items.begin(), items.end(), [&](const ShelfWindow::ItemInfo& item) {
		return selector.Matches(item.id, item.name.c_str());
	});

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
			// An open menu holds the shelf: an item on its way out has its menu closed, as
			// an Escape would, so that it goes now and the answer says so.
			if (request.what == kMsgDeskbarRemoveItem && found != items.end() && !onShelf)
				close_open_menus();
			status = fShelf->Submit(request, reply, !onShelf);
			break;
		}
		default:
			status = fCommands.Execute(request, reply);
			break;
	}
	return status;
}

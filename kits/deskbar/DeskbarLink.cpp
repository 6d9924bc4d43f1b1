/*
 * Wraps a host local (AF_UNIX) stream socket for the Deskbar's requests; what goes over it is
 * flattened messages. Starting the host goes through the roster's launch of a file.
 */
#include "DeskbarLink.h"
#include "DeskbarProtocol.h"

#include <dlfcn.h>
#include <errno.h>
#include <poll.h>
#include <pwd.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include <DataIO.h>
#include <Message.h>
#include <OS.h>

#include "HostErrors.h"
#include "HostWait.h"
#include "MessageFormat.h"
#include "ProcessLauncher.h"

namespace BPrivate {

const char* const kDeskbarShelfTitle = "Deskbar";
const char* const kDeskbarItemsFile = "Deskbar_items";

namespace {

// A request waits at most this long for its reply; adding an item loads code.
const bigtime_t kReplyTimeout = 30000000;
const bigtime_t kHostStartTimeout = 10000000;
// A message's body is taken in pieces of at most this size, as they arrive.
const size_t kReadChunkSize = 64 * 1024;

status_t
WaitFor(int socket, short events, bigtime_t deadline)
{
	int error = host_wait_for(socket, events, deadline);
	return error == 0 ? B_OK : error == ETIMEDOUT ? B_TIMED_OUT : host_error_to_status(error);
}

status_t
ReadAll(int socket, void* buffer, size_t size, bigtime_t deadline)
{
	char* bytes = (char*)buffer;
	while (size > 0) {
		status_t status = WaitFor(socket, POLLIN, deadline);
		if (status != B_OK)
			return status;
		ssize_t count = recv(socket, bytes, size, 0);
		if (count < 0 && errno == EINTR)
			continue;
		if (count <= 0)
			return count == 0 ? (status_t)B_IO_ERROR : host_error_to_status(errno);
		bytes += count;
		size -= (size_t)count;
	}
	return B_OK;
}

// The user's own folder that no one else may enter.
bool
IsPrivateFolder(const struct stat& st)
{
	return S_ISDIR(st.st_mode) && st.st_uid == getuid() && (st.st_mode & 0077) == 0;
}

std::string
OwnerName(uid_t uid)
{
	struct passwd entry;
	struct passwd* found = NULL;
	char buffer[1024];
	if (getpwuid_r(uid, &entry, buffer, sizeof(buffer), &found) == 0 && found != NULL)
		return std::string(found->pw_name) + " (uid " + std::to_string(uid) + ")";
	return "uid " + std::to_string(uid);
}

} // namespace

status_t
DeskbarLink::RuntimeDirectory(std::string& path, std::string* note)
{
	const char* runtime = getenv("XDG_RUNTIME_DIR");
	if (runtime != NULL && runtime[0] == '/') {
		struct stat st;
		if (stat(runtime, &st) == 0 && IsPrivateFolder(st)) {
			path = runtime;
			return B_OK;
		}
		if (note != NULL) {
			*note = std::string("XDG_RUNTIME_DIR ") + runtime
				+ " is not a folder of this user's closed to others; using the temporary folder";
		}
	}
	const char* temporary = getenv("TMPDIR");
	path = std::string(temporary != NULL && temporary[0] == '/' ? temporary : "/tmp")
		+ "/be-deskbar-" + std::to_string(getuid());
	if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
		return host_error_to_status(errno);
	// Somebody else's folder of that name must not be trusted.
	struct stat st;
	if (lstat(path.c_str(), &st) != 0)
		return host_error_to_status(errno);
	if (!IsPrivateFolder(st)) {
		if (note != NULL) {
			*note = path
				+ (st.st_uid != getuid() ? " belongs to " + OwnerName(st.st_uid)
										 : std::string(" is no folder closed to others"))
				+ ", not to this user alone";
		}
		return B_PERMISSION_DENIED;
	}
	return B_OK;
}

status_t
DeskbarLink::SocketPath(std::string& path)
{
	status_t status = RuntimeDirectory(path);
	if (status == B_OK)
		path += "/be-deskbar.socket";
	if (path.size() >= sizeof(((struct sockaddr_un*)NULL)->sun_path))
		return B_NAME_TOO_LONG;
	return status;
}

status_t
DeskbarLink::LockPath(std::string& path)
{
	status_t status = RuntimeDirectory(path);
	if (status == B_OK)
		path += "/be-deskbar.lock";
	return status;
}

status_t
DeskbarLink::HostProgram(std::string& path)
{
	Dl_info info;
	if (dladdr((void*)&DeskbarLink::HostProgram, &info) == 0 || info.dli_fname == NULL)
		return B_ENTRY_NOT_FOUND;
	std::string library = info.dli_fname;
	size_t slash = library.rfind('/');
	std::string directory = slash == std::string::npos ? "." : library.substr(0, slash);
	for (const char* candidate : {"/Deskbar", "/../bin/Deskbar"}) {
		std::string program = directory + candidate;
		if (access(program.c_str(), X_OK) == 0) {
			path = program;
			return B_OK;
		}
	}
	return B_ENTRY_NOT_FOUND;
}

status_t
DeskbarLink::WriteMessage(int socket, const BMessage& message, bigtime_t timeout)
{
	bigtime_t deadline = host_deadline(timeout);
	BMallocIO flattened;
	uint32 size = 0;
	// Room for the length, filled in once it is known.
	flattened.Write(&size, sizeof(size));
	status_t status = message.Flatten(&flattened);
	if (status != B_OK)
		return status;
	size = (uint32)(flattened.BufferLength() - sizeof(size));
	flattened.WriteAt(0, &size, sizeof(size));
	const char* bytes = (const char*)flattened.Buffer();
	size_t left = flattened.BufferLength();
	while (left > 0) {
		// A reader that takes nothing is given up at the deadline.
		status = WaitFor(socket, POLLOUT, deadline);
		if (status != B_OK)
			return status;
		ssize_t sent = send(socket, bytes, left, MSG_NOSIGNAL | MSG_DONTWAIT);
		if (sent < 0 && (errno == EINTR || errno == EAGAIN))
			continue;
		if (sent <= 0)
			return sent < 0 ? host_error_to_status(errno) : (status_t)B_IO_ERROR;
		bytes += sent;
		left -= (size_t)sent;
	}
	return B_OK;
}

status_t
DeskbarLink::ReadMessage(int socket, BMessage* message, bigtime_t timeout)
{
	bigtime_t deadline = host_deadline(timeout);
	uint32 size;
	status_t status = ReadAll(socket, &size, sizeof(size), deadline);
	if (status != B_OK)
		return status;
	if (size == 0 || size > kDeskbarMaxMessageSize)
		return B_BAD_DATA;
	// The buffer grows with what arrives: a large size announced by a sender that then sends
	// nothing costs nothing.
	std::vector<char> buffer;
	while (buffer.size() < size) {
		size_t had = buffer.size();
		buffer.resize(had + std::min((size_t)size - had, kReadChunkSize));
		status = ReadAll(socket, buffer.data() + had, buffer.size() - had, deadline);
		if (status != B_OK)
			return status;
	}
	// Read from the buffer itself, which must hold exactly the size it declares.
	size_t declared = 0;
	status = MessageFormat::ReadSize((const uint8*)buffer.data(), buffer.size(), &declared);
	if (status != B_OK)
		return status;
	if (declared != size)
		return B_BAD_DATA;
	return message->Unflatten(buffer.data());
}

int
DeskbarLink::Connect(const std::string& socketPath)
{
	std::string path = socketPath;
	if (path.empty() && SocketPath(path) != B_OK)
		return -1;
	int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
	if (fd < 0)
		return -1;
	struct sockaddr_un address = {};
	address.sun_family = AF_UNIX;
	strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
	if (connect(fd, (struct sockaddr*)&address, sizeof(address)) != 0) {
		close(fd);
		return -1;
	}
	return fd;
}

status_t
DeskbarLink::_StartHost()
{
	std::string program;
	status_t status = HostProgram(program);
	if (status != B_OK)
		return status;
	// The host outlives whoever started it, so it keeps none of its terminal or pipes.
	std::string runtime;
	std::string note;
	status = RuntimeDirectory(runtime, &note);
	if (status != B_OK) {
		// Nowhere to put its socket: whoever asked is told why, once.
		static std::atomic<bool> sTold(false);
		if (!note.empty() && !sTold.exchange(true))
			fprintf(stderr, "The Deskbar could not be started: %s\n", note.c_str());
		return status;
	}
	std::string log = runtime + "/be-deskbar.log";
	return ProcessLauncher::Start(program, std::vector<std::string>(), NULL, log.c_str());
}

status_t
DeskbarLink::Exchange(const BMessage& request, BMessage* reply, bool startHost)
{
	int fd = Connect();
	if (fd < 0 && startHost) {
		status_t status = _StartHost();
		if (status != B_OK)
			return status;
		bigtime_t deadline = system_time() + kHostStartTimeout;
		while (fd < 0 && system_time() < deadline) {
			snooze(10000);
			fd = Connect();
		}
	}
	if (fd < 0)
		return B_ERROR;

	status_t status = WriteMessage(fd, request);
	BMessage answer;
	if (status == B_OK)
		status = ReadMessage(fd, &answer, kReplyTimeout);
	close(fd);
	if (status != B_OK)
		return status;
	int32 result = B_ERROR;
	if (answer.FindInt32("status", &result) != B_OK)
		return B_BAD_REPLY;
	if (reply != NULL)
		*reply = answer;
	return result;
}

} // namespace BPrivate

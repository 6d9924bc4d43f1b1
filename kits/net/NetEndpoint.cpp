#include <NetEndpoint.h>

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <Autolock.h>
#include <Message.h>

#include "HostErrors.h"
#include "HostSocket.h"
#include "HostWait.h"

using namespace BPrivate;

namespace {

const bigtime_t kDefaultTimeout = 10000000;
// Large enough that a reply read one byte per call costs a system call per 16 KiB.
const size_t kReadAheadSize = 16384;

const char kFamilyField[] = "_family";
const char kTypeField[] = "_type";
const char kProtocolField[] = "_protocol";
const char kTimeoutField[] = "_timeout";

} // namespace

BNetEndpoint::BNetEndpoint(int type) :
	BNetEndpoint(AF_INET, type, 0)
{
}

BNetEndpoint::BNetEndpoint(int family, int type, int protocol) :
	fSocketLock("net endpoint"),
	fSocket(-1),
	fUsers(0),
	fCloseWhenIdle(false),
	fForgetConnection(false),
	fInit(B_NO_INIT),
	fLastError(0),
	fFamily(family),
	fType(type),
	fProtocol(protocol),
	fTimeout(kDefaultTimeout),
	fNonBlocking(false),
	fBuffer(NULL),
	fBufferStart(0),
	fBufferEnd(0),
	fAwaitingReply(false)
{
	fErrorText[0] = '\0';
	_OpenSocket();
}

BNetEndpoint::BNetEndpoint(BMessage* archive) :
	BArchivable(archive),
	fSocketLock("net endpoint"),
	fSocket(-1),
	fUsers(0),
	fCloseWhenIdle(false),
	fForgetConnection(false),
	fInit(B_NO_INIT),
	fLastError(0),
	fFamily(AF_INET),
	fType(SOCK_STREAM),
	fProtocol(0),
	fTimeout(kDefaultTimeout),
	fNonBlocking(false),
	fBuffer(NULL),
	fBufferStart(0),
	fBufferEnd(0),
	fAwaitingReply(false)
{
	fErrorText[0] = '\0';
	int32 family;
	int32 type;
	int32 protocol;
	int64 timeout;
	if (archive == NULL || archive->FindInt32(kFamilyField, &family) != B_OK
		|| archive->FindInt32(kTypeField, &type) != B_OK
		|| archive->FindInt32(kProtocolField, &protocol) != B_OK) {
		fInit = B_BAD_VALUE;
		return;
	}
	fFamily = family;
	fType = type;
	fProtocol = protocol;
	if (archive->FindInt64(kTimeoutField, &timeout) == B_OK)
		SetTimeout(timeout);
	_OpenSocket();
}

BNetEndpoint::BNetEndpoint(const BNetEndpoint& other) :
	BArchivable(),
	fSocketLock("net endpoint"),
	fSocket(-1),
	fUsers(0),
	fCloseWhenIdle(false),
	fForgetConnection(false),
	fBuffer(NULL),
	fBufferStart(0),
	fBufferEnd(0),
	fAwaitingReply(false)
{
	fErrorText[0] = '\0';
	*this = other;
}

BNetEndpoint::~BNetEndpoint()
{
	_CloseSocket();
	delete[] fBuffer;
}

BNetEndpoint&
BNetEndpoint::operator=(const BNetEndpoint& other)
{
	if (this == &other)
		return *this;

	_CloseSocket();
	fForgetConnection = false;
	fInit = other.fInit;
	fLastError = other.fLastError;
	fFamily = other.fFamily;
	fType = other.fType;
	fProtocol = other.fProtocol;
	fTimeout = other.fTimeout;
	fNonBlocking = other.fNonBlocking;
	fLocalAddr = other.fLocalAddr;
	fRemoteAddr = other.fRemoteAddr;

	if (other.fSocket >= 0) {
		int error;
		fSocket = host_socket_duplicate(other.fSocket, &error);
		if (fSocket < 0) {
			fLastError = error;
			fInit = host_error_to_status(error);
		}
	}

	// Both copies share the connection, so each must see the bytes already read ahead.
	size_t buffered = other.fBufferEnd - other.fBufferStart;
	fBufferStart = fBufferEnd = 0;
	if (buffered > 0) {
		if (fBuffer == NULL)
			fBuffer = new char[kReadAheadSize];
		memcpy(fBuffer, other.fBuffer + other.fBufferStart, buffered);
		fBufferEnd = buffered;
	}
	return *this;
}

status_t
BNetEndpoint::Archive(BMessage* into, bool deep) const
{
	status_t status = BArchivable::Archive(into, deep);
	if (status == B_OK)
		status = into->AddInt32(kFamilyField, fFamily);
	if (status == B_OK)
		status = into->AddInt32(kTypeField, fType);
	if (status == B_OK)
		status = into->AddInt32(kProtocolField, fProtocol);
	if (status == B_OK)
		status = into->AddInt64(kTimeoutField, fTimeout);
	return status;
}

BArchivable*
BNetEndpoint::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BNetEndpoint"))
		return NULL;
	return new BNetEndpoint(archive);
}

status_t
BNetEndpoint::InitCheck() const
{
	return fInit;
}

int
BNetEndpoint::Socket() const
{
	BAutolock lock(fSocketLock);
	return fCloseWhenIdle ? -1 : fSocket;
}

const BNetAddress&
BNetEndpoint::LocalAddr()
{
	int socket = _BeginCall();
	sockaddr_in address;
	if (socket >= 0 && host_socket_local_name(socket, &address) == 0)
		fLocalAddr.SetTo(address);
	if (socket >= 0)
		_EndCall();
	return fLocalAddr;
}

const BNetAddress&
BNetEndpoint::RemoteAddr()
{
	_ForgetConnection();
	return fRemoteAddr;
}

void
BNetEndpoint::Close()
{
	BAutolock lock(fSocketLock);
	if (fUsers > 0) {
		// Another thread waits on the socket: shutting it down ends the wait, and that thread
		// closes it. Closing it here would let the descriptor's number be reused under the
		// waiting call.
		host_socket_shutdown(fSocket);
		fCloseWhenIdle = true;
	} else
		_CloseSocket();
	fForgetConnection = true;
}

status_t
BNetEndpoint::Bind(const BNetAddress& address)
{
	sockaddr_in local;
	if (address.GetAddr(local) != B_OK) {
		fLastError = EINVAL;
		return B_ERROR;
	}
	int socket = _BeginCall(true);
	if (socket < 0)
		return B_ERROR;
	int error = host_socket_bind(socket, local);
	_EndCall();
	if (error != 0) {
		fLastError = error;
		return B_ERROR;
	}
	return B_OK;
}

status_t
BNetEndpoint::Bind(int port)
{
	return Bind(BNetAddress(NULL, (unsigned short)port));
}

status_t
BNetEndpoint::Connect(const BNetAddress& address)
{
	sockaddr_in remote;
	if (address.GetAddr(remote) != B_OK) {
		fLastError = EDESTADDRREQ;
		return B_ERROR;
	}
	return _Connect(remote, host_deadline(_Wait()));
}

status_t
BNetEndpoint::Connect(const char* hostname, unsigned short port)
{
	// One time-out covers the look-up of the name and the connect; a Close() from another
	// thread gives up the look-up too.
	bigtime_t deadline = host_deadline(fTimeout);
	in_addr resolved;
	status_t status = B_BAD_VALUE;
	if (hostname != NULL) {
		if (_BeginCall(true) < 0)
			return B_ERROR;
		status = host_resolve_ipv4(hostname, &resolved, fTimeout, &_IsBeingClosed, this);
		if (!_EndCall()) {
			fLastError = ECONNABORTED;
			return B_ERROR;
		}
	}
	if (status != B_OK) {
		fLastError = status == B_TIMED_OUT ? ETIMEDOUT : EDESTADDRREQ;
		return B_ERROR;
	}
	sockaddr_in remote;
	memset(&remote, 0, sizeof(remote));
	remote.sin_family = AF_INET;
	remote.sin_port = htons(port);
	remote.sin_addr = resolved;
	return _Connect(remote, fNonBlocking ? host_deadline(0) : deadline);
}

status_t
BNetEndpoint::Listen(int backlog)
{
	int socket = _BeginCall();
	if (socket < 0) {
		fLastError = EBADF;
		return B_ERROR;
	}
	int error = host_socket_listen(socket, backlog);
	_EndCall();
	if (error != 0) {
		fLastError = error;
		return B_ERROR;
	}
	return B_OK;
}

BNetEndpoint*
BNetEndpoint::Accept(int32 timeout)
{
	int socket = _BeginCall();
	if (socket < 0) {
		fLastError = EBADF;
		return NULL;
	}
	bigtime_t wait = timeout < 0 ? -1 : (bigtime_t)timeout * 1000;
	if (fNonBlocking)
		wait = 0;
	sockaddr_in peer;
	int error;
	int connection = host_socket_accept(socket, &peer, wait, &error);
	if (!_EndCall()) {
		host_socket_close(connection);
		connection = -1;
		error = ECONNABORTED;
	}
	if (connection < 0) {
		fLastError = error;
		return NULL;
	}

	BNetEndpoint* endpoint = new BNetEndpoint(fFamily, fType, fProtocol);
	endpoint->_CloseSocket();
	endpoint->fSocket = connection;
	endpoint->fInit = B_OK;
	endpoint->fTimeout = fTimeout;
	endpoint->fRemoteAddr.SetTo(peer);
	return endpoint;
}

int
BNetEndpoint::Error() const
{
	return fLastError;
}

char*
BNetEndpoint::ErrorStr() const
{
	char text[sizeof(fErrorText)];
	// The GNU strerror_r may return a static text instead of filling the buffer.
	const char* message = strerror_r(fLastError, text, sizeof(text));
	snprintf(fErrorText, sizeof(fErrorText), "%s", message);
	return fErrorText;
}

int32
BNetEndpoint::Send(const void* buffer, size_t size, int flags)
{
	int socket = _BeginCall();
	if (socket < 0)
		return _Failed(ENOTCONN);
	if (size > INT32_MAX)
		size = INT32_MAX;
	int error;
	ssize_t sent = host_socket_send(socket, buffer, size, flags, NULL, _Wait(), &error);
	if (!_EndCall())
		return _Failed(ECONNABORTED);
	fLastError = error;
	fAwaitingReply = sent > 0 && fType == SOCK_STREAM;
	return sent < 0 ? B_ERROR : (int32)sent;
}

int32
BNetEndpoint::SendTo(const void* buffer, size_t size, const BNetAddress& to, int flags)
{
	sockaddr_in remote;
	if (to.GetAddr(remote) != B_OK)
		return _Failed(EDESTADDRREQ);
	int socket = _BeginCall(true);
	if (socket < 0)
		return B_ERROR;
	if (size > INT32_MAX)
		size = INT32_MAX;
	int error;
	ssize_t sent = host_socket_send(socket, buffer, size, flags, &remote, _Wait(), &error);
	if (!_EndCall())
		return _Failed(ECONNABORTED);
	fLastError = error;
	return sent < 0 ? B_ERROR : (int32)sent;
}

void
BNetEndpoint::SetTimeout(bigtime_t timeout)
{
	fTimeout = timeout > 0 ? timeout : kDefaultTimeout;
}

int32
BNetEndpoint::Receive(void* buffer, size_t size, int flags)
{
	if (size > INT32_MAX)
		size = INT32_MAX;

	_ForgetConnection();
	size_t buffered = fBufferEnd - fBufferStart;
	if (buffered > 0) {
		size_t count = min_c(size, buffered);
		memcpy(buffer, fBuffer + fBufferStart, count);
		if ((flags & MSG_PEEK) == 0)
			fBufferStart += count;
		return (int32)count;
	}
	if (size == 0) {
		BAutolock lock(fSocketLock);
		return fSocket < 0 || fCloseWhenIdle ? _Failed(ENOTCONN) : 0;
	}
	int socket = _BeginCall();
	if (socket < 0)
		return _Failed(ENOTCONN);

	int error;
	if (fType != SOCK_STREAM || flags != 0 || size >= kReadAheadSize) {
		ssize_t count = host_socket_receive(socket, buffer, size, flags, NULL, _Wait(), &error);
		if (!_EndCall())
			return _Failed(ECONNABORTED);
		return count < 0 ? _Failed(error) : (int32)count;
	}

	if (fBuffer == NULL)
		fBuffer = new char[kReadAheadSize];
	if (fAwaitingReply) {
		// Saves the read that would only find nothing yet.
		fAwaitingReply = false;
		int ready = host_socket_wait_readable(socket, _Wait(), &error);
		if (ready <= 0) {
			_EndCall();
			return _Failed(ready < 0 ? error : ETIMEDOUT);
		}
	}
	ssize_t count = host_socket_receive(socket, fBuffer, kReadAheadSize, 0, NULL, _Wait(), &error);
	if (!_EndCall())
		return _Failed(ECONNABORTED);
	if (count <= 0)
		return count < 0 ? _Failed(error) : 0;
	size_t served = min_c(size, (size_t)count);
	memcpy(buffer, fBuffer, served);
	fBufferStart = served;
	fBufferEnd = (size_t)count;
	return (int32)served;
}

int32
BNetEndpoint::ReceiveFrom(void* buffer, size_t size, BNetAddress& from, int flags)
{
	_ForgetConnection();
	if (fBufferEnd > fBufferStart) {
		from = fRemoteAddr;
		return Receive(buffer, size, flags);
	}
	int socket = _BeginCall();
	if (socket < 0)
		return _Failed(ENOTCONN);
	if (size > INT32_MAX)
		size = INT32_MAX;
	sockaddr_in remote;
	memset(&remote, 0, sizeof(remote));
	int error;
	ssize_t count = host_socket_receive(socket, buffer, size, flags, &remote, _Wait(), &error);
	if (!_EndCall())
		return _Failed(ECONNABORTED);
	if (count < 0)
		return _Failed(error);
	if (remote.sin_family == AF_INET)
		from.SetTo(remote);
	else
		from = fRemoteAddr;
	return (int32)count;
}

bool
BNetEndpoint::IsDataPending(bigtime_t timeout)
{
	_ForgetConnection();
	if (fBufferEnd > fBufferStart)
		return true;
	int socket = _BeginCall();
	if (socket < 0)
		return false;
	int error;
	int result = host_socket_wait_readable(socket, timeout > 0 ? timeout : 0, &error);
	if (!_EndCall())
		return false;
	if (result < 0)
		fLastError = error;
	return result > 0;
}

status_t
BNetEndpoint::SetProtocol(int protocol)
{
	BAutolock lock(fSocketLock);
	_CloseSocket();
	fBufferStart = fBufferEnd = 0;
	fType = protocol;
	_OpenSocket();
	return fInit;
}

int
BNetEndpoint::SetOption(int32 option, int32 level, const void* data, unsigned int dataSize)
{
	int socket = _BeginCall(true);
	if (socket < 0)
		return -1;
	int error = host_socket_set_option(socket, level, option, data, dataSize);
	_EndCall();
	if (error != 0) {
		fLastError = error;
		return -1;
	}
	return 0;
}

int
BNetEndpoint::SetNonBlocking(bool on)
{
	// The socket itself never blocks; this only decides whether calls wait for the time-out.
	fNonBlocking = on;
	return 0;
}

int
BNetEndpoint::SetReuseAddr(bool on)
{
	int value = on ? 1 : 0;
	return SetOption(SO_REUSEADDR, SOL_SOCKET, &value, sizeof(value));
}

status_t
BNetEndpoint::_Connect(const sockaddr_in& remote, bigtime_t deadline)
{
	// An unresolved address reads as any local address, which is nobody to connect to.
	if (remote.sin_addr.s_addr == htonl(INADDR_ANY) || remote.sin_port == 0) {
		fLastError = EDESTADDRREQ;
		return B_ERROR;
	}
	_ForgetConnection();
	int socket = _BeginCall(true);
	if (socket < 0)
		return B_ERROR;

	fBufferStart = fBufferEnd = 0;
	fAwaitingReply = false;
	int error = host_socket_connect(socket, remote, deadline);
	if (!_EndCall()) {
		fLastError = ECONNABORTED;
		return B_ERROR;
	}
	if (error != 0) {
		fLastError = error;
		// A socket whose connect failed is not fit for another try.
		if (error != EISCONN && error != EALREADY) {
			BAutolock lock(fSocketLock);
			if (fUsers == 0 && !fCloseWhenIdle) {
				_CloseSocket();
				_OpenSocket();
			}
		}
		return B_ERROR;
	}
	fRemoteAddr.SetTo(remote);
	return B_OK;
}

bool
BNetEndpoint::_OpenSocket()
{
	int error;
	fSocket = host_socket_open(fFamily, fType, fProtocol, &error);
	if (fSocket < 0) {
		fLastError = error;
		fInit = host_error_to_status(error);
		return false;
	}
	fInit = B_OK;
	return true;
}

// Both with fSocketLock held, or before the endpoint is shared.
void
BNetEndpoint::_CloseSocket()
{
	host_socket_close(fSocket);
	fSocket = -1;
	fCloseWhenIdle = false;
}

// The descriptor for one call, which stays open until _EndCall() even should another thread
// close the endpoint meanwhile; -1 when there is none. With `openIfClosed`, a closed endpoint
// gets a new socket first.
int
BNetEndpoint::_BeginCall(bool openIfClosed)
{
	BAutolock lock(fSocketLock);
	if (fCloseWhenIdle)
		return -1;
	if (fSocket < 0 && (!openIfClosed || !_OpenSocket()))
		return -1;
	fUsers++;
	return fSocket;
}

// False when the endpoint was closed during the call, whose result then counts for nothing.
bool
BNetEndpoint::_EndCall()
{
	BAutolock lock(fSocketLock);
	bool closed = fCloseWhenIdle;
	if (--fUsers == 0 && fCloseWhenIdle)
		_CloseSocket();
	return !closed;
}

bool
BNetEndpoint::_IsBeingClosed(void* endpoint)
{
	BNetEndpoint* self = static_cast<BNetEndpoint*>(endpoint);
	BAutolock lock(self->fSocketLock);
	return self->fCloseWhenIdle;
}

// A connection closed since the last call leaves nothing behind: no bytes read ahead, no
// remote address. Done by the thread that uses the endpoint, which alone touches them.
void
BNetEndpoint::_ForgetConnection()
{
	BAutolock lock(fSocketLock);
	if (!fForgetConnection)
		return;
	fForgetConnection = false;
	fBufferStart = fBufferEnd = 0;
	fAwaitingReply = false;
	fRemoteAddr = BNetAddress();
}

bigtime_t
BNetEndpoint::_Wait() const
{
	return fNonBlocking ? 0 : fTimeout;
}

int32
BNetEndpoint::_Failed(int error)
{
	fLastError = error;
	return B_ERROR;
}

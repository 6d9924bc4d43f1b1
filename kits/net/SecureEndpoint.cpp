#include <SecureEndpoint.h>

#include <arpa/inet.h>
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <Autolock.h>
#include <OS.h>

#include "HostWait.h"
#include "TlsBackEnd.h"

using namespace BPrivate;

BSecureEndpoint::BSecureEndpoint() :
	BNetEndpoint(SOCK_STREAM),
	fSession(NULL),
	fDeadline(0),
	fTransportFailed(false),
	fCertificateRefused(false)
{
	fHandshakeError[0] = '\0';
}

BSecureEndpoint::~BSecureEndpoint()
{
	_DropSession();
}

status_t
BSecureEndpoint::Connect(const BNetAddress& address)
{
	bigtime_t deadline = _BeginConnect();
	char host[INET_ADDRSTRLEN];
	if (BNetEndpoint::Connect(address) != B_OK || address.GetAddr(host) != B_OK)
		return B_ERROR;
	return _Handshake(host, deadline);
}

status_t
BSecureEndpoint::Connect(const char* hostname, unsigned short port)
{
	bigtime_t deadline = _BeginConnect();
	if (BNetEndpoint::Connect(hostname, port) != B_OK)
		return B_ERROR;
	return _Handshake(hostname, deadline);
}

BNetEndpoint*
BSecureEndpoint::Accept(int32 /*timeout*/)
{
	_Failed(EOPNOTSUPP);
	return NULL;
}

int32
BSecureEndpoint::Send(const void* buffer, size_t size, int flags)
{
	if (flags != 0)
		return _Failed(EOPNOTSUPP);
	if (!_HasSession())
		return _Failed(ENOTCONN);
	if (size > INT32_MAX)
		size = INT32_MAX;
	fDeadline = host_deadline(_Wait());
	fTransportFailed = false;
	int32 sent = fSession->Write(buffer, size);
	if (sent < 0 && !fTransportFailed)
		fLastError = EPROTO;
	return sent;
}

int32
BSecureEndpoint::SendTo(const void*, size_t, const BNetAddress&, int)
{
	return _Failed(EOPNOTSUPP);
}

int32
BSecureEndpoint::Receive(void* buffer, size_t size, int flags)
{
	if ((flags & ~MSG_PEEK) != 0)
		return _Failed(EOPNOTSUPP);
	if (!_HasSession())
		return _Failed(ENOTCONN);
	if (size == 0)
		return 0;
	if (size > INT32_MAX)
		size = INT32_MAX;
	fDeadline = host_deadline(_Wait());
	fTransportFailed = false;
	int32 count = fSession->Read(buffer, size, (flags & MSG_PEEK) != 0);
	if (count < 0 && !fTransportFailed)
		fLastError = EPROTO;
	return count;
}

int32
BSecureEndpoint::ReceiveFrom(void*, size_t, BNetAddress&, int)
{
	return _Failed(EOPNOTSUPP);
}

bool
BSecureEndpoint::IsDataPending(bigtime_t timeout)
{
	if (_HasSession() && fSession->Pending() > 0)
		return true;
	return BNetEndpoint::IsDataPending(timeout);
}

const char*
BSecureEndpoint::HandshakeError() const
{
	return fHandshakeError[0] != '\0' ? fHandshakeError : NULL;
}

bool
BSecureEndpoint::CertificateRefused() const
{
	return fCertificateRefused;
}

// Forgets the last connection's session and failure; returns the deadline of the whole connect.
bigtime_t
BSecureEndpoint::_BeginConnect()
{
	_DropSession();
	fHandshakeError[0] = '\0';
	fCertificateRefused = false;
	return host_deadline(fTimeout);
}

// The handshake gets what is left of the connect's time-out. A failure closes the connection:
// nothing may travel over one whose server was not verified.
status_t
BSecureEndpoint::_Handshake(const char* host, bigtime_t deadline)
{
	TlsBackEnd* backEnd = tls_back_end();
	TlsTransport transport = {this, &_TransportSend, &_TransportReceive};
	fSession = backEnd != NULL ? backEnd->NewClientSession(host, transport) : NULL;
	TlsHandshakeResult result = kTlsHandshakeFailed;
	if (fSession == NULL)
		snprintf(fHandshakeError, sizeof(fHandshakeError), "the TLS library is missing");
	else {
		fDeadline = deadline;
		fTransportFailed = false;
		result = fSession->Handshake(fHandshakeError, sizeof(fHandshakeError));
	}
	if (result == kTlsConnected)
		return B_OK;

	if (result == kTlsTransportFailed || fTransportFailed) {
		const char* why = fLastError == ETIMEDOUT ? "timed out" : ErrorStr();
		snprintf(fHandshakeError, sizeof(fHandshakeError), "%s", why);
	} else
		fLastError = EPROTO;
	fCertificateRefused = result == kTlsCertificateRefused;
	_DropSession();
	BNetEndpoint::Close();
	return B_ERROR;
}

// The session may be used only while the connection it was made on is open; one closed
// meanwhile, from whatever thread, is let go here, by the thread that uses the endpoint.
bool
BSecureEndpoint::_HasSession()
{
	{
		BAutolock lock(fSocketLock);
		if (fSocket >= 0 && !fCloseWhenIdle)
			return fSession != NULL;
	}
	_DropSession();
	return false;
}

void
BSecureEndpoint::_DropSession()
{
	delete fSession;
	fSession = NULL;
}

// Both run the base class's bounded, abortable calls with what is left until the deadline of
// the secure call under way, however many the session makes.
int32
BSecureEndpoint::_TransportSend(void* endpoint, const void* data, size_t size)
{
	BSecureEndpoint* self = static_cast<BSecureEndpoint*>(endpoint);
	bigtime_t timeout = self->fTimeout;
	int32 sent = self->_NarrowTimeout() ? self->BNetEndpoint::Send(data, size) : B_ERROR;
	self->fTimeout = timeout;
	if (sent != (int32)size) {
		self->fTransportFailed = true;
		return -1;
	}
	return sent;
}

int32
BSecureEndpoint::_TransportReceive(void* endpoint, void* data, size_t size)
{
	BSecureEndpoint* self = static_cast<BSecureEndpoint*>(endpoint);
	bigtime_t timeout = self->fTimeout;
	int32 count = self->_NarrowTimeout() ? self->BNetEndpoint::Receive(data, size) : B_ERROR;
	self->fTimeout = timeout;
	if (count < 0)
		self->fTransportFailed = true;
	return count;
}

// The base class's time-out becomes what is left until the deadline; false once none is.
bool
BSecureEndpoint::_NarrowTimeout()
{
	bigtime_t left = fDeadline - system_time();
	if (left <= 0) {
		fLastError = ETIMEDOUT;
		return false;
	}
	fTimeout = left;
	return true;
}

/*
 * BSecureEndpoint: a stream endpoint that speaks TLS (1.2 or later) to a server. Not in R5,
 * whose network kit has no secure connection: an addition beside BNetEndpoint, which it
 * extends through the virtual functions R5 made for that, so that code written for a
 * BNetEndpoint runs over it unchanged.
 *
 * Connect() connects, then shakes hands within the same time-out: it sends the server's name
 * (not an address) for the server to pick its certificate, and accepts only a certificate that
 * chains to the system's trust store and names the host (or the address) connected to.
 * Send() and Receive() then carry the data encrypted, each within the time-out. Close() from
 * another thread ends a handshake or any other wait at once, as it does for BNetEndpoint; the
 * session is let go by the next call, or with the endpoint.
 *
 * A client only: Accept(), SendTo() and ReceiveFrom() fail (EOPNOTSUPP), and so does
 * Receive() with a flag other than MSG_PEEK. Non-blocking use is not supported.
 */
#ifndef _SECURE_ENDPOINT_H
#define _SECURE_ENDPOINT_H

#include <NetEndpoint.h>

namespace BPrivate {
class TlsSession;
}

class BSecureEndpoint : public BNetEndpoint {
public:
	BSecureEndpoint();
	~BSecureEndpoint() override;

	status_t Connect(const BNetAddress& address) override;
	status_t Connect(const char* hostname, unsigned short port) override;
	BNetEndpoint* Accept(int32 timeout = -1) override;

	int32 Send(const void* buffer, size_t size, int flags = 0) override;
	int32 SendTo(const void* buffer, size_t size, const BNetAddress& to, int flags = 0) override;
	int32 Receive(void* buffer, size_t size, int flags = 0) override;
	int32 ReceiveFrom(void* buffer, size_t size, BNetAddress& from, int flags = 0) override;
	bool IsDataPending(bigtime_t timeout = 0) override;

	// After a Connect() that reached the server but made no secure connection with it: why,
	// in a few words ("certificate has expired", "not issued to example.org", "timed out");
	// NULL after any other outcome.
	const char* HandshakeError() const;
	// True when that was because the server's certificate was refused.
	bool CertificateRefused() const;

private:
	BSecureEndpoint(const BSecureEndpoint& other);
	BSecureEndpoint& operator=(const BSecureEndpoint& other);

	bigtime_t _BeginConnect();
	status_t _Handshake(const char* host, bigtime_t deadline);
	bool _HasSession();
	void _DropSession();
	bool _NarrowTimeout();
	static int32 _TransportSend(void* endpoint, const void* data, size_t size);
	static int32 _TransportReceive(void* endpoint, void* data, size_t size);

	BPrivate::TlsSession* fSession;
	// Every wait of the call under way ends by this system_time().
	bigtime_t fDeadline;
	bool fTransportFailed;
	bool fCertificateRefused;
	char fHandshakeError[128];
};

#endif // _SECURE_ENDPOINT_H

/*
 * Private to the network kit: what BSecureEndpoint asks of the host's TLS library. It lives in
 * the module be_tls (kits/net/tls), loaded on the first secure connection, so that a program
 * that makes none loads neither the module nor the library behind it.
 */
#ifndef _TLS_BACK_END_H
#define _TLS_BACK_END_H

#include <SupportDefs.h>

namespace BPrivate {

// The connection a session runs over: the endpoint's own send and receive, each bounded by
// the endpoint's deadline and ended by its Close() from another thread. They answer as
// BNetEndpoint's do: the count, 0 once the peer has closed (receive only), -1 on failure.
struct TlsTransport {
	void* cookie;
	int32 (*send)(void* cookie, const void* data, size_t size);
	int32 (*receive)(void* cookie, void* data, size_t size);
};

enum TlsHandshakeResult {
	kTlsConnected,
	// The transport failed (time-out, close): the endpoint knows why.
	kTlsTransportFailed,
	// The server's certificate was refused: its chain, its dates or its name.
	kTlsCertificateRefused,
	// The server broke off or answered something that is not TLS 1.2 or later.
	kTlsHandshakeFailed
};

class TlsSession {
public:
	virtual ~TlsSession() {}

	// Shakes hands as a client. After a refusal or a failure, `why` holds the reason in a few
	// words ("certificate has expired", "not issued to example.org").
	virtual TlsHandshakeResult Handshake(char* why, size_t whySize) = 0;
	// The count of bytes read (or only looked at, with `peek`) or written; 0 once the server
	// has closed (reads only); -1 on failure. A write writes everything or fails.
	virtual int32 Read(void* data, size_t size, bool peek) = 0;
	virtual int32 Write(const void* data, size_t size) = 0;
	// Decrypted bytes that a read serves without the transport.
	virtual size_t Pending() = 0;
};

class TlsBackEnd {
public:
	virtual ~TlsBackEnd() {}

	// A client session with the server `host`, a name or a dotted quad, whose certificate must
	// chain to the system's trust store and name that host; NULL when none can be made.
	virtual TlsSession* NewClientSession(const char* host, const TlsTransport& transport) = 0;
};

// The back end, loaded the first time it is asked for; NULL when the module is missing.
TlsBackEnd* tls_back_end();

} // namespace BPrivate

// The module's one entry point.
extern "C" BPrivate::TlsBackEnd* be_tls_back_end();

#endif // _TLS_BACK_END_H

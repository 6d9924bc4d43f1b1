/*
 * A TLS client session over OpenSSL (libssl and libcrypto), which carries its records over the
 * secure endpoint's transport through a BIO of its own.
 */
#ifndef OPEN_SSL_SESSION_H
#define OPEN_SSL_SESSION_H

#include <openssl/ssl.h>

#include <string>

#include "TlsBackEnd.h"

class OpenSslSession : public BPrivate::TlsSession {
public:
	// `method` is what NewBioMethod() made.
	OpenSslSession(BIO_METHOD* method, const char* host, const BPrivate::TlsTransport& transport);
	~OpenSslSession() override;

	status_t InitCheck() const;

	BPrivate::TlsHandshakeResult Handshake(char* why, size_t whySize) override;
	int32 Read(void* data, size_t size, bool peek) override;
	int32 Write(const void* data, size_t size) override;
	size_t Pending() override;

	// The BIO that runs over a session's transport; one serves every session.
	static BIO_METHOD* NewBioMethod();

private:
	OpenSslSession(const OpenSslSession&);
	OpenSslSession& operator=(const OpenSslSession&);

	static int _BioWrite(BIO* bio, const char* data, size_t size, size_t* _written);
	static int _BioRead(BIO* bio, char* data, size_t size, size_t* _read);
	static long _BioControl(BIO* bio, int command, long number, void* pointer);

	SSL* fSsl;
	BPrivate::TlsTransport fTransport;
	std::string fHost;
	bool fTransportFailed;
	bool fPeerClosed;
};

#endif // OPEN_SSL_SESSION_H

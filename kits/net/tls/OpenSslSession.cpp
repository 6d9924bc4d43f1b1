/*
 * Wraps OpenSSL's client side: TLS 1.2 or later, the server's name sent (SNI) unless it is an
 * address, the chain verified against OpenSSL's default paths (the system's trust store, or
 * what OpenSSL's own SSL_CERT_FILE and SSL_CERT_DIR name instead) and the certificate's name
 * or address checked. Does not resume sessions, renegotiate or present a client certificate.
 */
#include "OpenSslSession.h"

#include <arpa/inet.h>
#include <limits.h>
#include <stdio.h>

#include <openssl/err.h>
#include <openssl/x509v3.h>

using namespace BPrivate;

OpenSslSession::OpenSslSession(BIO_METHOD* method, const char* host,
	const TlsTransport& transport) :
	fSsl(NULL),
	fTransport(transport),
	fHost(host),
	fTransportFailed(false),
	fPeerClosed(false)
{
	// A context for each session: the trust store is read anew for each connection, and
	// nothing of it stays in memory between two.
	SSL_CTX* context = SSL_CTX_new(TLS_client_method());
	if (context == NULL)
		return;
	SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
	// Servers that close without a closing alert are the norm; the reply's framing tells
	// whether it came whole.
	SSL_CTX_set_options(context, SSL_OP_IGNORE_UNEXPECTED_EOF | SSL_OP_NO_RENEGOTIATION);
	SSL_CTX_set_verify(context, SSL_VERIFY_PEER, NULL);
	bool ready = SSL_CTX_set_default_verify_paths(context) == 1;
	fSsl = ready ? SSL_new(context) : NULL;
	// The session keeps its own reference.
	SSL_CTX_free(context);
	if (fSsl == NULL)
		return;

	in_addr address;
	if (inet_pton(AF_INET, host, &address) == 1)
		ready = X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(fSsl), host) == 1;
	else {
		SSL_set_hostflags(fSsl, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
		ready = SSL_set_tlsext_host_name(fSsl, host) == 1 && SSL_set1_host(fSsl, host) == 1;
	}
	BIO* bio = ready ? BIO_new(method) : NULL;
	if (bio == NULL) {
		SSL_free(fSsl);
		fSsl = NULL;
		return;
	}
	BIO_set_data(bio, this);
	BIO_set_init(bio, 1);
	SSL_set_bio(fSsl, bio, bio);
	SSL_set_connect_state(fSsl);
}

OpenSslSession::~OpenSslSession()
{
	SSL_free(fSsl);
}

status_t
OpenSslSession::InitCheck() const
{
	return fSsl != NULL ? B_OK : B_NO_INIT;
}

TlsHandshakeResult
OpenSslSession::Handshake(char* why, size_t whySize)
{
	ERR_clear_error();
	if (SSL_connect(fSsl) == 1)
		return kTlsConnected;

	long verified = SSL_get_verify_result(fSsl);
	if (verified == X509_V_ERR_HOSTNAME_MISMATCH || verified == X509_V_ERR_IP_ADDRESS_MISMATCH) {
		snprintf(why, whySize, "not issued to %s", fHost.c_str());
		return kTlsCertificateRefused;
	}
	if (verified != X509_V_OK) {
		snprintf(why, whySize, "%s", X509_verify_cert_error_string(verified));
		return kTlsCertificateRefused;
	}
	if (fTransportFailed)
		return kTlsTransportFailed;

	unsigned long error = ERR_peek_last_error();
	const char* reason = error != 0 ? ERR_reason_error_string(error) : NULL;
	if (fPeerClosed)
		reason = "closed by the server";
	else if (ERR_GET_LIB(error) == ERR_LIB_SSL
		&& ERR_GET_REASON(error) == SSL_R_WRONG_VERSION_NUMBER)
		reason = "no TLS on this port";
	snprintf(why, whySize, "%s", reason != NULL ? reason : "failed");
	return kTlsHandshakeFailed;
}

int32
OpenSslSession::Read(void* data, size_t size, bool peek)
{
	ERR_clear_error();
	int wanted = size > INT_MAX ? INT_MAX : (int)size;
	int count = peek ? SSL_peek(fSsl, data, wanted) : SSL_read(fSsl, data, wanted);
	if (count > 0)
		return count;
	return SSL_get_error(fSsl, count) == SSL_ERROR_ZERO_RETURN ? 0 : -1;
}

int32
OpenSslSession::Write(const void* data, size_t size)
{
	if (size == 0)
		return 0;
	ERR_clear_error();
	int wanted = size > INT_MAX ? INT_MAX : (int)size;
	return SSL_write(fSsl, data, wanted) == wanted ? wanted : -1;
}

size_t
OpenSslSession::Pending()
{
	return (size_t)SSL_pending(fSsl);
}

BIO_METHOD*
OpenSslSession::NewBioMethod()
{
	BIO_METHOD* method = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "be endpoint");
	if (method == NULL)
		return NULL;
	BIO_meth_set_write_ex(method, &_BioWrite);
	BIO_meth_set_read_ex(method, &_BioRead);
	BIO_meth_set_ctrl(method, &_BioControl);
	return method;
}

// The transport waits itself, within the endpoint's deadline: the BIO never asks OpenSSL to
// retry later.
int
OpenSslSession::_BioWrite(BIO* bio, const char* data, size_t size, size_t* _written)
{
	OpenSslSession* session = static_cast<OpenSslSession*>(BIO_get_data(bio));
	BIO_clear_retry_flags(bio);
	int32 sent = session->fTransport.send(session->fTransport.cookie, data, size);
	if (sent < 0) {
		session->fTransportFailed = true;
		return 0;
	}
	*_written = (size_t)sent;
	return 1;
}

int
OpenSslSession::_BioRead(BIO* bio, char* data, size_t size, size_t* _read)
{
	OpenSslSession* session = static_cast<OpenSslSession*>(BIO_get_data(bio));
	BIO_clear_retry_flags(bio);
	int32 count = session->fTransport.receive(session->fTransport.cookie, data, size);
	if (count <= 0) {
		if (count == 0)
			session->fPeerClosed = true;
		else
			session->fTransportFailed = true;
		return 0;
	}
	*_read = (size_t)count;
	return 1;
}

long
OpenSslSession::_BioControl(BIO* bio, int command, long, void*)
{
	switch (command) {
		case BIO_CTRL_FLUSH:
			return 1;
		case BIO_CTRL_EOF:
			return static_cast<OpenSslSession*>(BIO_get_data(bio))->fPeerClosed ? 1 : 0;
		default:
			return 0;
	}
}

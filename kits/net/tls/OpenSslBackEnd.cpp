/*
 * The network kit's TLS back end over OpenSSL: client sessions (see OpenSslSession.cpp).
 */
#include "TlsBackEnd.h"

#include "OpenSslSession.h"

namespace {

class OpenSslBackEnd : public BPrivate::TlsBackEnd {
public:
	OpenSslBackEnd() :
		fBioMethod(OpenSslSession::NewBioMethod())
	{
	}

	BPrivate::TlsSession* NewClientSession(const char* host,
		const BPrivate::TlsTransport& transport) override
	{
		if (fBioMethod == NULL || host == NULL)
			return NULL;
		OpenSslSession* session = new OpenSslSession(fBioMethod, host, transport);
		if (session->InitCheck() != B_OK) {
			delete session;
			return NULL;
		}
		return session;
	}

private:
	// Kept for the life of the process, as the module is.
	BIO_METHOD* fBioMethod;
};

} // namespace

extern "C" BPrivate::TlsBackEnd*
be_tls_back_end()
{
	static OpenSslBackEnd* backEnd = new OpenSslBackEnd;
	return backEnd;
}

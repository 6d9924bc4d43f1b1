/*
 * TestCertificates: the certificates of the loopback server's TLS, made when asked (at test
 * time) with OpenSSL: an authority, and server certificates for one host, good and bad. Not
 * part of the application.
 */
#ifndef TEST_CERTIFICATES_H
#define TEST_CERTIFICATES_H

#include <string>

#include <SupportDefs.h>

class TestCertificates {
public:
	enum Kind {
		// Signed by the authority, for the host, valid now.
		kGood,
		// As good, for another host ("wrong.example").
		kWrongHost,
		// As good, but its last valid day is past.
		kExpired,
		// For the host, signed by another authority, which nobody trusts.
		kUntrusted
	};

	// Writes into `folder` the authority's certificate, AuthorityFile(), to be trusted through
	// OpenSSL's SSL_CERT_FILE, and for each kind a file holding the certificate and its key.
	TestCertificates(const std::string& folder, const char* host = "localhost");

	status_t InitCheck() const;
	std::string AuthorityFile() const;
	std::string ServerFile(Kind kind) const;

private:
	std::string fFolder;
	status_t fStatus;
};

#endif // TEST_CERTIFICATES_H

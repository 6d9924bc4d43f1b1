/*
 * Uses OpenSSL's key, certificate and PEM functions: P-256 keys, version 3 certificates signed
 * with SHA-256, with the extensions a strict verifier asks for. No revocation lists.
 */
#include "TestCertificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509v3.h>

#include <memory>

namespace {

const long kDay = 86400;

typedef std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> Key;
typedef std::unique_ptr<X509, decltype(&X509_free)> Certificate;

Key
NewKey()
{
	return Key(EVP_EC_gen("P-256"), &EVP_PKEY_free);
}

bool
AddExtension(X509* certificate, X509V3_CTX* context, int nid, const char* value)
{
	X509_EXTENSION* extension = X509V3_EXT_conf_nid(NULL, context, nid, value);
	bool added = extension != NULL && X509_add_ext(certificate, extension, -1) == 1;
	X509_EXTENSION_free(extension);
	return added;
}

// An authority's certificate when `host` is NULL, else a server's for that host. Without an
// issuer it signs itself.
Certificate
NewCertificate(EVP_PKEY* key, const char* commonName, const char* host, long firstDay, long lastDay,
	X509* issuer, EVP_PKEY* issuerKey)
{
	Certificate certificate(X509_new(), &X509_free);
	uint32 serial;
	if (!certificate || key == NULL || RAND_bytes((unsigned char*)&serial, sizeof(serial)) != 1)
		return Certificate(NULL, &X509_free);
	X509* raw = certificate.get();
	X509_NAME* subject = X509_get_subject_name(raw);
	bool made = X509_set_version(raw, 2) == 1
		&& ASN1_INTEGER_set_int64(X509_get_serialNumber(raw), (serial >> 1) + 1) == 1
		&& X509_gmtime_adj(X509_getm_notBefore(raw), firstDay * kDay) != NULL
		&& X509_gmtime_adj(X509_getm_notAfter(raw), lastDay * kDay) != NULL
		&& X509_set_pubkey(raw, key) == 1
		&& X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_ASC, (const unsigned char*)commonName,
			   -1, -1, 0)
			== 1
		&& X509_set_issuer_name(raw, issuer != NULL ? X509_get_subject_name(issuer) : subject) == 1;

	X509V3_CTX context;
	X509V3_set_ctx_nodb(&context);
	X509V3_set_ctx(&context, issuer != NULL ? issuer : raw, raw, NULL, NULL, 0);
	made = made && AddExtension(raw, &context, NID_subject_key_identifier, "hash");
	if (host == NULL) {
		made = made && AddExtension(raw, &context, NID_basic_constraints, "critical,CA:TRUE")
			&& AddExtension(raw, &context, NID_key_usage, "critical,keyCertSign,cRLSign");
	} else {
		std::string names = std::string("DNS:") + host;
		made = made && AddExtension(raw, &context, NID_basic_constraints, "critical,CA:FALSE")
			&& AddExtension(raw, &context, NID_key_usage, "critical,digitalSignature")
			&& AddExtension(raw, &context, NID_ext_key_usage, "serverAuth")
			&& AddExtension(raw, &context, NID_subject_alt_name, names.c_str())
			&& AddExtension(raw, &context, NID_authority_key_identifier, "keyid:always");
	}
	made = made && X509_sign(raw, issuerKey != NULL ? issuerKey : key, EVP_sha256()) > 0;
	return made ? std::move(certificate) : Certificate(NULL, &X509_free);
}

// The certificate, then the key when given.
bool
WritePem(const std::string& path, X509* certificate, EVP_PKEY* key)
{
	if (certificate == NULL)
		return false;
	BIO* file = BIO_new_file(path.c_str(), "w");
	bool written = file != NULL && PEM_write_bio_X509(file, certificate) == 1
		&& (key == NULL || PEM_write_bio_PrivateKey(file, key, NULL, NULL, 0, NULL, NULL) == 1);
	return BIO_free(file) == 1 && written;
}

const char*
KindName(TestCertificates::Kind kind)
{
	switch (kind) {
		case TestCertificates::kGood:
			return "good";
		case TestCertificates::kWrongHost:
			return "wrong-host";
		case TestCertificates::kExpired:
			return "expired";
		case TestCertificates::kUntrusted:
			return "untrusted";
	}
	return "unknown";
}

} // namespace

TestCertificates::TestCertificates(const std::string& folder, const char* host) :
	fFolder(folder),
	fStatus(B_ERROR)
{
	Key authorityKey = NewKey();
	Certificate authority = NewCertificate(authorityKey.get(), "Zorve Test Authority", NULL, -1, 30,
		NULL, NULL);
	Key strangerKey = NewKey();
	Certificate stranger = NewCertificate(strangerKey.get(), "Unknown Authority", NULL, -1, 30,
		NULL, NULL);
	Key serverKey = NewKey();
	if (!authority || !stranger || !serverKey)
		return;

	struct {
		Kind kind;
		const char* host;
		long firstDay;
		long lastDay;
		X509* issuer;
		EVP_PKEY* issuerKey;
	} const kServers[] = {{kGood, host, -1, 30, authority.get(), authorityKey.get()},
		{kWrongHost, "wrong.example", -1, 30, authority.get(), authorityKey.get()},
		{kExpired, host, -30, -1, authority.get(), authorityKey.get()},
		{kUntrusted, host, -1, 30, stranger.get(), strangerKey.get()}};
	if (!WritePem(AuthorityFile(), authority.get(), NULL))
		return;
	for (const auto& server : kServers) {
		Certificate certificate = NewCertificate(serverKey.get(), server.host, server.host,
			server.firstDay, server.lastDay, server.issuer, server.issuerKey);
		if (!WritePem(ServerFile(server.kind), certificate.get(), serverKey.get()))
			return;
	}
	fStatus = B_OK;
}

status_t
TestCertificates::InitCheck() const
{
	return fStatus;
}

std::string
TestCertificates::AuthorityFile() const
{
	return fFolder + "/authority.pem";
}

std::string
TestCertificates::ServerFile(Kind kind) const
{
	return fFolder + "/" + KindName(kind) + ".pem";
}

/*
 * BNetAddress: an IPv4 address and port, as in R5. GetAddr() writes the address as a dotted
 * quad: no reverse look-up. The archive's field names are this kit's own.
 */
#ifndef _NET_ADDRESS_H
#define _NET_ADDRESS_H

#include <netinet/in.h>
#include <sys/socket.h>

#include <Archivable.h>
#include <SupportDefs.h>

class BNetAddress : public BArchivable {
public:
	BNetAddress(BMessage* archive);
	virtual ~BNetAddress();

	status_t Archive(BMessage* into, bool deep = true) const override;
	static BArchivable* Instantiate(BMessage* archive);

	BNetAddress(const char* hostname = NULL, unsigned short port = 0);
	BNetAddress(const struct sockaddr_in& address);
	// The address in network byte order.
	BNetAddress(in_addr address, int port = 0);
	// The address in host byte order, as INADDR_LOOPBACK is written.
	BNetAddress(uint32 address, int port);
	BNetAddress(const char* hostname, const char* protocol, const char* service);
	BNetAddress(const BNetAddress& other);

	BNetAddress& operator=(const BNetAddress& other);

	status_t InitCheck() const;

	// A NULL host name is any local address; a name is resolved (IPv4 only).
	status_t SetTo(const char* hostname = NULL, unsigned short port = 0);
	status_t SetTo(const char* hostname, const char* protocol, const char* service);
	status_t SetTo(const struct sockaddr_in& address);
	status_t SetTo(in_addr address, int port);
	status_t SetTo(uint32 address, int port);

	status_t GetAddr(char* hostname = NULL, unsigned short* port = NULL) const;
	status_t GetAddr(struct sockaddr_in& address) const;
	status_t GetAddr(in_addr& address, unsigned short* port = NULL) const;

private:
	status_t fInit;
	uint16 fPort;
	// Both in network byte order.
	in_addr fAddress;
};

#endif // _NET_ADDRESS_H

#include <NetAddress.h>

#include <arpa/inet.h>
#include <stdlib.h>
#include <string.h>

#include <Message.h>

#include "HostSocket.h"

using namespace BPrivate;

namespace {

const char kFamilyField[] = "_family";
const char kPortField[] = "_port";
const char kAddressField[] = "_address";
// SetTo() has no time-out of its own: a name's look-up gets what an endpoint gets by default.
const bigtime_t kResolveTimeout = 10000000;

// A service given as a number or by name; -1 when neither.
int
ServicePort(const char* service, const char* protocol)
{
	if (service == NULL || service[0] == '\0')
		return -1;
	char* end = NULL;
	long number = strtol(service, &end, 10);
	if (*end == '\0')
		return number >= 0 && number <= 65535 ? (int)number : -1;
	return host_service_port(service, protocol);
}

} // namespace

BNetAddress::BNetAddress(BMessage* archive) :
	BArchivable(archive),
	fInit(B_BAD_VALUE),
	fPort(0)
{
	fAddress.s_addr = htonl(INADDR_ANY);
	int16 family;
	int16 port;
	int32 address;
	if (archive == NULL || archive->FindInt16(kFamilyField, &family) != B_OK
		|| archive->FindInt16(kPortField, &port) != B_OK
		|| archive->FindInt32(kAddressField, &address) != B_OK || family != AF_INET) {
		return;
	}
	SetTo((uint32)address, (uint16)port);
}

BNetAddress::BNetAddress(const char* hostname, unsigned short port)
{
	SetTo(hostname, port);
}

BNetAddress::BNetAddress(const struct sockaddr_in& address)
{
	SetTo(address);
}

BNetAddress::BNetAddress(in_addr address, int port)
{
	SetTo(address, port);
}

BNetAddress::BNetAddress(uint32 address, int port)
{
	SetTo(address, port);
}

BNetAddress::BNetAddress(const char* hostname, const char* protocol, const char* service)
{
	SetTo(hostname, protocol, service);
}

BNetAddress::BNetAddress(const BNetAddress& other) :
	BArchivable(),
	fInit(other.fInit),
	fPort(other.fPort),
	fAddress(other.fAddress)
{
}

BNetAddress::~BNetAddress()
{
}

status_t
BNetAddress::Archive(BMessage* into, bool deep) const
{
	if (fInit != B_OK)
		return B_NO_INIT;
	status_t status = BArchivable::Archive(into, deep);
	if (status == B_OK)
		status = into->AddInt16(kFamilyField, AF_INET);
	if (status == B_OK)
		status = into->AddInt16(kPortField, (int16)ntohs(fPort));
	if (status == B_OK)
		status = into->AddInt32(kAddressField, (int32)ntohl(fAddress.s_addr));
	return status;
}

BArchivable*
BNetAddress::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BNetAddress"))
		return NULL;
	return new BNetAddress(archive);
}

BNetAddress&
BNetAddress::operator=(const BNetAddress& other)
{
	fInit = other.fInit;
	fPort = other.fPort;
	fAddress = other.fAddress;
	return *this;
}

status_t
BNetAddress::InitCheck() const
{
	return fInit;
}

status_t
BNetAddress::SetTo(const char* hostname, unsigned short port)
{
	fPort = htons(port);
	fAddress.s_addr = htonl(INADDR_ANY);
	if (hostname == NULL) {
		fInit = B_OK;
		return fInit;
	}
	fInit = host_resolve_ipv4(hostname, &fAddress, kResolveTimeout);
	if (fInit != B_OK)
		fAddress.s_addr = htonl(INADDR_ANY);
	return fInit;
}

status_t
BNetAddress::SetTo(const char* hostname, const char* protocol, const char* service)
{
	// Callers disagree on the order of the last two; a protocol name tells them apart.
	if (!host_is_protocol_name(protocol) && host_is_protocol_name(service)) {
		const char* swap = protocol;
		protocol = service;
		service = swap;
	}
	int port = ServicePort(service, protocol);
	status_t status = SetTo(hostname, (unsigned short)(port < 0 ? 0 : port));
	if (status == B_OK && port < 0)
		fInit = status = B_NAME_NOT_FOUND;
	return status;
}

status_t
BNetAddress::SetTo(const struct sockaddr_in& address)
{
	if (address.sin_family != AF_INET) {
		fPort = 0;
		fAddress.s_addr = htonl(INADDR_ANY);
		fInit = B_BAD_VALUE;
		return fInit;
	}
	fPort = address.sin_port;
	fAddress = address.sin_addr;
	fInit = B_OK;
	return fInit;
}

status_t
BNetAddress::SetTo(in_addr address, int port)
{
	fPort = htons((uint16)port);
	fAddress = address;
	fInit = B_OK;
	return fInit;
}

status_t
BNetAddress::SetTo(uint32 address, int port)
{
	in_addr networkOrder;
	networkOrder.s_addr = htonl(address);
	return SetTo(networkOrder, port);
}

status_t
BNetAddress::GetAddr(char* hostname, unsigned short* port) const
{
	if (fInit != B_OK)
		return B_NO_INIT;
	if (hostname != NULL && inet_ntop(AF_INET, &fAddress, hostname, INET_ADDRSTRLEN) == NULL)
		return B_ERROR;
	if (port != NULL)
		*port = ntohs(fPort);
	return B_OK;
}

status_t
BNetAddress::GetAddr(struct sockaddr_in& address) const
{
	if (fInit != B_OK)
		return B_NO_INIT;
	memset(&address, 0, sizeof(address));
	address.sin_family = AF_INET;
	address.sin_port = fPort;
	address.sin_addr = fAddress;
	return B_OK;
}

status_t
BNetAddress::GetAddr(in_addr& address, unsigned short* port) const
{
	if (fInit != B_OK)
		return B_NO_INIT;
	address = fAddress;
	if (port != NULL)
		*port = ntohs(fPort);
	return B_OK;
}

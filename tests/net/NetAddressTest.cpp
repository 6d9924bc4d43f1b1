#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <string.h>

#include <string>

#include <Message.h>
#include <NetAddress.h>

namespace {

std::string
HostOf(const BNetAddress& address, unsigned short* port = NULL)
{
	char host[64] = "unset";
	if (address.GetAddr(host, port) != B_OK)
		return "GetAddr failed";
	return host;
}

} // namespace

TEST(NetAddressTest, ResolvesDottedQuadWithPort)
{
	BNetAddress address("127.0.0.1", 8245);
	ASSERT_EQ(address.InitCheck(), B_OK);
	unsigned short port = 0;
	EXPECT_EQ(HostOf(address, &port), "127.0.0.1");
	EXPECT_EQ(port, 8245);

	sockaddr_in socketAddress;
	ASSERT_EQ(address.GetAddr(socketAddress), B_OK);
	EXPECT_EQ(socketAddress.sin_family, AF_INET);
	EXPECT_EQ(socketAddress.sin_port, htons(8245));
	EXPECT_EQ(socketAddress.sin_addr.s_addr, htonl(INADDR_LOOPBACK));
}

TEST(NetAddressTest, ResolvesLocalhostToLoopback)
{
	BNetAddress address;
	ASSERT_EQ(address.SetTo("localhost", 80), B_OK);
	in_addr host;
	unsigned short port = 0;
	ASSERT_EQ(address.GetAddr(host, &port), B_OK);
	EXPECT_EQ(ntohl(host.s_addr) >> 24, 127u);
	EXPECT_EQ(port, 80);
}

// These names are refused before any name server would be asked.
TEST(NetAddressTest, BadHostNamesFailAndLeaveNoUsableAddress)
{
	std::string longLabel(64, 'a');
	const char* names[] = {"no such host", "double..dot", "", ".", "under score!",
		longLabel.c_str()};
	for (const char* name : names) {
		SCOPED_TRACE(name);
		BNetAddress address(name, 80);
		EXPECT_NE(address.InitCheck(), B_OK);
		sockaddr_in socketAddress;
		EXPECT_NE(address.GetAddr(socketAddress), B_OK);

		// A failed SetTo also spoils an address that was good before.
		BNetAddress reused("127.0.0.1", 80);
		EXPECT_NE(reused.SetTo(name, 80), B_OK);
		EXPECT_NE(reused.InitCheck(), B_OK);
	}
}

TEST(NetAddressTest, NumericFormsKeepTheirByteOrders)
{
	EXPECT_EQ(HostOf(BNetAddress((uint32)INADDR_LOOPBACK, 80)), "127.0.0.1");

	in_addr networkOrder;
	inet_pton(AF_INET, "192.0.2.1", &networkOrder);
	unsigned short port = 0;
	EXPECT_EQ(HostOf(BNetAddress(networkOrder, 53), &port), "192.0.2.1");
	EXPECT_EQ(port, 53);

	sockaddr_in socketAddress;
	memset(&socketAddress, 0, sizeof(socketAddress));
	socketAddress.sin_family = AF_INET;
	socketAddress.sin_port = htons(65535);
	socketAddress.sin_addr = networkOrder;
	BNetAddress fromSocket(socketAddress);
	EXPECT_EQ(HostOf(fromSocket, &port), "192.0.2.1");
	EXPECT_EQ(port, 65535);

	socketAddress.sin_family = AF_INET6;
	EXPECT_NE(BNetAddress(socketAddress).InitCheck(), B_OK);
}

TEST(NetAddressTest, NoHostMeansAnyAddress)
{
	BNetAddress address;
	EXPECT_EQ(address.InitCheck(), B_OK);
	unsigned short port = 1;
	EXPECT_EQ(HostOf(address, &port), "0.0.0.0");
	EXPECT_EQ(port, 0);
}

TEST(NetAddressTest, ServiceFormAcceptsEitherArgumentOrder)
{
	unsigned short port = 0;
	BNetAddress protocolFirst("127.0.0.1", "tcp", "8245");
	ASSERT_EQ(protocolFirst.InitCheck(), B_OK);
	EXPECT_EQ(HostOf(protocolFirst, &port), "127.0.0.1");
	EXPECT_EQ(port, 8245);

	BNetAddress serviceFirst("127.0.0.1", "8245", "tcp");
	ASSERT_EQ(serviceFirst.InitCheck(), B_OK);
	serviceFirst.GetAddr(NULL, &port);
	EXPECT_EQ(port, 8245);

	EXPECT_NE(BNetAddress("127.0.0.1", "tcp", "no-such-service").InitCheck(), B_OK);
}

TEST(NetAddressTest, CopiesAreIndependent)
{
	BNetAddress original("127.0.0.1", 80);
	BNetAddress copy(original);
	BNetAddress assigned;
	assigned = original;
	original.SetTo("192.0.2.9", 81);

	unsigned short port = 0;
	EXPECT_EQ(HostOf(copy, &port), "127.0.0.1");
	EXPECT_EQ(port, 80);
	EXPECT_EQ(HostOf(assigned, &port), "127.0.0.1");
	EXPECT_EQ(port, 80);
}

TEST(NetAddressTest, ArchiveRoundTripGivesTheSameAddress)
{
	BNetAddress original("192.0.2.77", 8245);
	BMessage archive;
	ASSERT_EQ(original.Archive(&archive), B_OK);
	const char* className = NULL;
	ASSERT_EQ(archive.FindString("class", &className), B_OK);
	EXPECT_STREQ(className, "BNetAddress");

	BArchivable* object = instantiate_object(&archive);
	BNetAddress* copy = dynamic_cast<BNetAddress*>(object);
	ASSERT_NE(copy, nullptr);
	EXPECT_EQ(copy->InitCheck(), B_OK);
	unsigned short port = 0;
	EXPECT_EQ(HostOf(*copy, &port), "192.0.2.77");
	EXPECT_EQ(port, 8245);
	delete object;

	BMessage empty;
	EXPECT_NE(BNetAddress(&empty).InitCheck(), B_OK);
	EXPECT_NE(BNetAddress("no such host", 80).Archive(&empty), B_OK);
}

#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include <DataIO.h>
#include <File.h>
#include <Message.h>
#include <Resources.h>
#include <TypeConstants.h>

#include "ResourceTestFiles.h"

namespace {

struct TableRow {
	type_code type;
	int32 id;
	const char* name;
	size_t size;
};

const TableRow kTable[] = {
	{'APPF', 1, "BEOS:APP_FLAGS", 4},
	{'APPV', 1, "BEOS:APP_VERSION", 680},
	{'BBMP', 1, "ZRV:Normal", 403},
	{'BBMP', 2, "ZRV:Pending1", 403},
	{'BBMP', 3, "ZRV:Pending2", 403},
	{'BBMP', 4, "ZRV:Pending3", 403},
	{'BBMP', 5, "ZRV:Error", 403},
	{'ICON', 101, "BEOS:L:STD_ICON", 1024},
	{'MICN', 101, "BEOS:M:STD_ICON", 256},
	{'MIMS', 1, "BEOS:APP_SIG", sizeof("application/x-vnd.Orbel.Zorve")},
	{'MIMS', 2, "BEOS:TYPE", 35},
	{'MSGG', 1, "BEOS:FILE_TYPES", 18},
};

class ExecutableResourcesTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		fFile.SetTo(ZORVE_EXECUTABLE, B_READ_ONLY);
		ASSERT_EQ(fFile.InitCheck(), B_OK);
		ASSERT_EQ(fResources.SetTo(&fFile), B_OK);
	}

	std::string Load(type_code type, const char* name)
	{
		size_t size = 0;
		const void* data = fResources.LoadResource(type, name, &size);
		EXPECT_NE(data, nullptr) << name;
		return data != NULL ? std::string(static_cast<const char*>(data), size) : std::string();
	}

	BFile fFile;
	BResources fResources;
};

} // namespace

TEST_F(ExecutableResourcesTest, CarriesExactlyTheTwelveResourcesOfTheTable)
{
	int32 count = 0;
	type_code type;
	int32 id;
	const char* name;
	size_t size;
	while (fResources.GetResourceInfo(count, &type, &id, &name, &size)) {
		bool listed = false;
		for (const TableRow& row : kTable) {
			if (row.type == type && row.id == id) {
				EXPECT_STREQ(name, row.name);
				EXPECT_EQ(size, row.size) << row.name;
				listed = true;
			}
		}
		EXPECT_TRUE(listed) << name;
		count++;
	}
	EXPECT_EQ(count, 12);
	for (const TableRow& row : kTable)
		EXPECT_TRUE(fResources.HasResource(row.type, row.name)) << row.name;
}

TEST_F(ExecutableResourcesTest, ApplicationInformationHasTheDeclaredValues)
{
	const std::string flags = Load('APPF', "BEOS:APP_FLAGS");
	EXPECT_EQ(flags, std::string(4, '\0'));

	EXPECT_EQ(Load(B_MIME_STRING_TYPE, "BEOS:APP_SIG"),
		std::string("application/x-vnd.Orbel.Zorve", sizeof("application/x-vnd.Orbel.Zorve")));
	EXPECT_EQ(Load(B_MIME_STRING_TYPE, "BEOS:TYPE"),
		std::string("application/x-vnd.Be-elfexecutable", 35));

	const uint8 emptyMessage[18] = {0x31, 0x42, 0x4F, 0x46, 0x01, 0x00, 0x00, 0x12, 0x12, 0x00,
		0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00};
	EXPECT_EQ(Load(B_MESSAGE_TYPE, "BEOS:FILE_TYPES"),
		std::string(reinterpret_cast<const char*>(emptyMessage), sizeof(emptyMessage)));

	// Two 340-byte records: five uint32, a 64-byte short and a 256-byte long description.
	const std::string version = Load('APPV', "BEOS:APP_VERSION");
	ASSERT_EQ(version.size(), 680u);
	Bytes bytes(version.begin(), version.end());
	EXPECT_EQ(Get32(bytes, 0), 0u);
	EXPECT_EQ(Get32(bytes, 4), 1u);
	EXPECT_EQ(Get32(bytes, 8), 0u);
	EXPECT_EQ(Get32(bytes, 12), 0u);
	EXPECT_EQ(Get32(bytes, 16), 0u);
	EXPECT_EQ(bytes[20], 0) << "empty short description";
	const std::string longInfo(version.c_str() + 84);
	EXPECT_GT(longInfo.size(), 10u);
	EXPECT_LT(longInfo.size(), 256u);
	EXPECT_NE(longInfo.find("Zorve"), std::string::npos);
	EXPECT_EQ(longInfo.find('\n'), std::string::npos);
	EXPECT_EQ(version.find_first_not_of('\0', 340), std::string::npos)
		<< "the system version record is all zero";
}

TEST_F(ExecutableResourcesTest, StatusPicturesAreSixteenPixelCmap8BitmapArchives)
{
	const char* const names[] = {"ZRV:Normal", "ZRV:Pending1", "ZRV:Pending2", "ZRV:Pending3",
		"ZRV:Error"};
	const uint8 header[17] = {0x31, 0x42, 0x4F, 0x46, 0x01, 0x00, 0x01, 0x93, 0x93, 0x01, 0x00,
		0x00, 0x00, 0x00, 0x00, 0x00, 0x01};
	const char* const fields[] = {"class", "_frame", "_cspace", "_bmflags", "_rowbytes", "_data"};
	for (const char* name : names) {
		SCOPED_TRACE(name);
		const std::string archive = Load('BBMP', name);
		ASSERT_EQ(archive.size(), 403u);
		EXPECT_EQ(memcmp(archive.data(), header, sizeof(header)), 0);

		BMemoryIO io(archive.data(), archive.size());
		BMessage message;
		ASSERT_EQ(message.Unflatten(&io), B_OK);
		for (int32 i = 0; i < 6; i++) {
			char* field = NULL;
			type_code type;
			ASSERT_EQ(message.GetInfo(B_ANY_TYPE, i, &field, &type), B_OK);
			EXPECT_STREQ(field, fields[i]);
		}
		const char* className = NULL;
		EXPECT_EQ(message.FindString("class", &className), B_OK);
		EXPECT_STREQ(className, "BBitmap");
		BRect frame;
		EXPECT_EQ(message.FindRect("_frame", &frame), B_OK);
		EXPECT_EQ(frame, BRect(0, 0, 15, 15));
		int32 value = 0;
		EXPECT_EQ(message.FindInt32("_cspace", &value), B_OK);
		EXPECT_EQ(value, 4);
		EXPECT_EQ(message.FindInt32("_bmflags", &value), B_OK);
		EXPECT_EQ(value, 1);
		EXPECT_EQ(message.FindInt32("_rowbytes", &value), B_OK);
		EXPECT_EQ(value, 16);
		const void* data = NULL;
		ssize_t size = 0;
		EXPECT_EQ(message.FindData("_data", B_RAW_TYPE, &data, &size), B_OK);
		EXPECT_EQ(size, 256);
	}
}

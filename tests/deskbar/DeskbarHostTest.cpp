#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include <Deskbar.h>
#include <Entry.h>
#include <Message.h>
#include <OS.h>
#include <Roster.h>

#include "DeskbarLink.h"
#include "DeskbarProtocol.h"
#include "DeskbarTesting.h"
#include "TemporaryHome.h"

using namespace BPrivate;

namespace {

const char* const kItemSignature = "application/x-vnd.Test-DeskbarItem";

} // namespace

class DeskbarHostTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		fLog = fHome.Path() + "/item.log";
		setenv("TEST_ITEM_LOG", fLog.c_str(), 1);
		ASSERT_EQ(get_ref_for_path(TEST_DESKBAR_ITEM, &fItem), B_OK);
	}

	void TearDown() override
	{
		StopHost();
		unsetenv("TEST_ITEM_LOG");
	}

	void StopHost() { EXPECT_TRUE(StopDeskbarHost()); }

	std::string Log() { return fHome.ReadFile(fLog); }
	int Count(const std::string& event)
	{
		std::string log = Log();
		int count = 0;
		for (size_t at = log.find(event); at != std::string::npos; at = log.find(event, at + 1))
			count++;
		return count;
	}

	TemporaryHome fHome;
	std::string fLog;
	entry_ref fItem;
};

TEST_F(DeskbarHostTest, AHostIsStartedWhenNoneRuns)
{
	EXPECT_FALSE(HostAnswers());
	BDeskbar deskbar;
	EXPECT_FALSE(deskbar.HasItem("TestItem"));
	EXPECT_TRUE(HostAnswers());
	EXPECT_EQ(deskbar.CountItems(), 0u);
	EXPECT_TRUE(deskbar.Frame().IsValid());
}

TEST_F(DeskbarHostTest, AddOnIsLoadedPulsedAndRemoved)
{
	BDeskbar deskbar;
	int32 id = -1;
	ASSERT_EQ(deskbar.AddItem(&fItem, &id), B_OK);
	EXPECT_GT(id, 0);
	EXPECT_TRUE(deskbar.HasItem("TestItem"));
	EXPECT_TRUE(deskbar.HasItem(id));
	EXPECT_EQ(deskbar.CountItems(), 1u);
	int32 foundId = -1;
	EXPECT_EQ(deskbar.GetItemInfo("TestItem", &foundId), B_OK);
	EXPECT_EQ(foundId, id);
	EXPECT_NE(Log().find("attached on the window's thread\n"), std::string::npos) << Log();

	// The shelf pulses twice a second.
	EXPECT_TRUE(Eventually([this] { return Count("pulse") >= 2; }));

	ASSERT_EQ(deskbar.RemoveItem("TestItem"), B_OK);
	EXPECT_FALSE(deskbar.HasItem("TestItem"));
	EXPECT_EQ(Count("detached"), 1);
	EXPECT_EQ(deskbar.RemoveItem("TestItem"), B_NAME_NOT_FOUND);
}

TEST_F(DeskbarHostTest, FilesThatAreNoItemsAreRefused)
{
	BDeskbar deskbar;
	entry_ref missing;
	ASSERT_EQ(get_ref_for_path((fHome.Path() + "/nothing-here").c_str(), &missing), B_OK);
	EXPECT_NE(deskbar.AddItem(&missing), B_OK);

	// A library without instantiate_deskbar_item.
	std::string library = std::string(TEST_DESKBAR_ITEM);
	library = library.substr(0, library.rfind('/'));
	entry_ref plain;
	fHome.WriteFile(fHome.Path() + "/not-an-image", "just text");
	ASSERT_EQ(get_ref_for_path((fHome.Path() + "/not-an-image").c_str(), &plain), B_OK);
	EXPECT_NE(deskbar.AddItem(&plain), B_OK);
	EXPECT_EQ(deskbar.CountItems(), 0u);
}

TEST_F(DeskbarHostTest, AnItemMayRemoveItselfFromItsOwnHook)
{
	BDeskbar deskbar;
	ASSERT_EQ(deskbar.AddItem(&fItem), B_OK);
	// The item sits in the first slot, two pixels in from the shelf's corner.
	EXPECT_EQ(ControlStatus("click 8 8"), 0);
	EXPECT_TRUE(Eventually([&] { return !deskbar.HasItem("TestItem"); }));
	EXPECT_EQ(Count("removal asked"), 1);
	EXPECT_EQ(Count("detached"), 1);
}

TEST_F(DeskbarHostTest, ControlClientChoosesFromAMenuOpenedOnTheShelf)
{
	setenv("TEST_ITEM_MENU", "1", 1);
	BDeskbar deskbar;
	ASSERT_EQ(deskbar.AddItem(&fItem), B_OK);
	EXPECT_NE(ControlStatus("choose First"), 0);

	// The click returns while the menu holds the shelf's thread; the menu opens soon after.
	EXPECT_EQ(ControlStatus("click 8 8"), 0);
	EXPECT_TRUE(Eventually([] { return ControlStatus("windows | grep -q TestMenu") == 0; }));
	EXPECT_EQ(ControlStatus("choose Nothing-Like-This"), 1);
	EXPECT_EQ(ControlStatus("choose First"), 0);
	EXPECT_TRUE(Eventually([this] { return Count("chose First") == 1; }));
	EXPECT_TRUE(deskbar.HasItem("TestItem"));

	// Escape closes the menu with no choice; the shelf goes on pulsing.
	EXPECT_EQ(ControlStatus("click 8 8"), 0);
	EXPECT_TRUE(Eventually([] { return ControlStatus("key '\\e' --window TestMenu") == 0; }));
	EXPECT_TRUE(Eventually([this] { return Count("chose nothing") == 1; }));

	EXPECT_EQ(ControlStatus("click 8 8"), 0);
	EXPECT_TRUE(Eventually([] { return ControlStatus("choose Exit") == 0; })) << Log();
	EXPECT_TRUE(Eventually([&] { return !deskbar.HasItem("TestItem"); }));
	EXPECT_EQ(Count("detached"), 1);
	unsetenv("TEST_ITEM_MENU");
}

TEST_F(DeskbarHostTest, ItemsComeBackAfterAnOrderlyRestart)
{
	ASSERT_EQ(BRoster::_RegisterApp(kItemSignature, TEST_DESKBAR_ITEM), B_OK);
	{
		BDeskbar deskbar;
		ASSERT_EQ(deskbar.AddItem(&fItem), B_OK);
	}
	StopHost();
	EXPECT_EQ(Count("detached"), 1);

	BDeskbar deskbar;
	EXPECT_TRUE(Eventually([&] { return deskbar.HasItem("TestItem"); }));
	EXPECT_EQ(Count("instantiated from archive"), 1);
	EXPECT_EQ(Count("attached on the window's thread"), 2);
}

TEST_F(DeskbarHostTest, ControlClientListsAndShootsTheShelf)
{
	BDeskbar deskbar;
	ASSERT_EQ(deskbar.AddItem(&fItem), B_OK);
	std::string shot = fHome.Path() + "/shelf.png";
	EXPECT_EQ(ControlStatus("screenshot " + shot), 0);
	std::string png = fHome.ReadFile(shot);
	ASSERT_GE(png.size(), 24u);
	EXPECT_EQ(png.substr(1, 3), "PNG");
	// Enlarged, every pixel becomes a square: the image's size follows the shelf's.
	BRect frame = deskbar.Frame();
	EXPECT_EQ(ControlStatus("screenshot " + shot + " --scale 4"), 0);
	png = fHome.ReadFile(shot);
	ASSERT_GE(png.size(), 24u);
	auto bigEndian = [&png](size_t at) {
		return ((uint32)(uint8)png[at] << 24) | ((uint32)(uint8)png[at + 1] << 16)
			| ((uint32)(uint8)png[at + 2] << 8) | (uint32)(uint8)png[at + 3];
	};
	EXPECT_EQ(bigEndian(16), (uint32)(frame.IntegerWidth() + 1) * 4);
	EXPECT_EQ(bigEndian(20), (uint32)(frame.IntegerHeight() + 1) * 4);
	EXPECT_EQ(ControlStatus("list"), 0);
	EXPECT_NE(ControlStatus("screenshot " + shot + " --window NoSuchWindow"), 0);
}

TEST_F(DeskbarHostTest, ControlClientPulsesTheShelfAndReadsItsPixels)
{
	BDeskbar deskbar;
	ASSERT_EQ(deskbar.AddItem(&fItem), B_OK);
	// With the shelf's own pulse stopped, the item is pulsed exactly as often as asked.
	EXPECT_EQ(ControlStatus("pulse-rate 0"), 0);
	snooze(600000);
	int before = Count("pulse");
	EXPECT_EQ(ControlStatus("pulse --count 3"), 0);
	EXPECT_EQ(Count("pulse"), before + 3);
	snooze(1100000);
	EXPECT_EQ(Count("pulse"), before + 3);
	EXPECT_EQ(ControlStatus("pulse --count 0"), 1);
	EXPECT_EQ(ControlStatus("pulse-rate 100000"), 0);
	EXPECT_TRUE(Eventually([&] { return Count("pulse") >= before + 5; }));

	// The list gives the item's frame; its pixels are the red square's.
	int status = -1;
	std::string list = RunControl("list", &status);
	EXPECT_EQ(status, 0);
	EXPECT_NE(list.find("\tTestItem\t2 2 17 17\n"), std::string::npos) << list;
	std::string pixels = RunControl("pixels 1 2 3 2", &status);
	EXPECT_EQ(status, 0);
	EXPECT_EQ(pixels, "d8d8d8 ff0000 ff0000\nd8d8d8 ff0000 ff0000\n");
}

TEST_F(DeskbarHostTest, ControlClientWaitsForWindowsWithinItsTimeOut)
{
	BDeskbar deskbar;
	ASSERT_EQ(deskbar.AddItem(&fItem), B_OK);
	EXPECT_EQ(ControlStatus("wait-shown Deskbar --timeout 0"), 0);
	EXPECT_EQ(ControlStatus("wait-hidden NoSuchWindow --timeout 0"), 0);
	bigtime_t start = system_time();
	EXPECT_EQ(ControlStatus("wait-shown NoSuchWindow --timeout 0.3"), 1);
	EXPECT_GE(system_time() - start, 300000);
	EXPECT_EQ(ControlStatus("wait-hidden Deskbar --timeout 0.1"), 1);
	EXPECT_EQ(ControlStatus("activate --window NoSuchWindow"), 1);
	EXPECT_EQ(ControlStatus("activate"), 0);
}

TEST_F(DeskbarHostTest, ControlClientRefusesUnknownCommandsAndWrongArgumentCounts)
{
	EXPECT_EQ(ControlStatus(""), 2);
	EXPECT_EQ(ControlStatus("frobnicate"), 2);
	EXPECT_EQ(ControlStatus("click 8"), 2);
	EXPECT_EQ(ControlStatus("click 8 8 8"), 2);
	EXPECT_EQ(ControlStatus("list everything"), 2);
	EXPECT_EQ(ControlStatus("screenshot"), 2);
	// Well formed, but with no host to ask, and none started for it.
	EXPECT_EQ(ControlStatus("list"), 1);
}

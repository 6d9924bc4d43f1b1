#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <string>

#include <Deskbar.h>
#include <Entry.h>

#include "CPreferences.h"
#include "DeskbarTesting.h"
#include "TemporaryHome.h"

namespace {

const char* const kNotFound = "Error Application not find\n";
const char* const kNotInstalled = "Error on the Install of Replicant\n";

} // namespace

class LauncherTest : public ::testing::Test {
protected:
	void TearDown() override
	{
		EXPECT_TRUE(StopDeskbarHost());
		unsetenv("TEST_ITEM_NAME");
	}

	// Puts an item named as the replicant into the Deskbar, standing in for an installed one.
	void InstallStandIn()
	{
		setenv("TEST_ITEM_NAME", "ZorveReplicant", 1);
		entry_ref ref;
		ASSERT_EQ(get_ref_for_path(TEST_DESKBAR_ITEM, &ref), B_OK);
		ASSERT_EQ(BDeskbar().AddItem(&ref), B_OK);
		ASSERT_TRUE(BDeskbar().HasItem("ZorveReplicant"));
	}

	TemporaryHome fHome;
};

TEST_F(LauncherTest, FirstStartInAnEmptyHomeWritesDefaultsAndTheProgramsPath)
{
	// A fresh account: not even a settings folder.
	int status = -1;
	RunCommand("rm -r '" + fHome.SettingsPath() + "'", &status);
	ASSERT_EQ(status, 0);
	std::string printed = StartProgram(ZORVE_PROGRAM, &status);
	EXPECT_EQ(status, 0);
	// Installed without a word, and the Deskbar holds the icon.
	EXPECT_EQ(printed, "");
	EXPECT_TRUE(BDeskbar().HasItem("ZorveReplicant"));
	EXPECT_EQ(BDeskbar().CountItems(), 1u);
	struct stat st;
	ASSERT_EQ(stat((fHome.SettingsPath() + "/Zorve").c_str(), &st), 0);
	EXPECT_EQ(st.st_mode & 0777, 0700u);

	CPreferences prefs;
	ASSERT_EQ(prefs.Load(), B_OK);
	EXPECT_EQ(prefs.fApplicationPath, ZORVE_PROGRAM);
	EXPECT_EQ(prefs.fIpCache, "0.0.0.0");
	EXPECT_EQ(prefs.fUser, "no user");
	EXPECT_EQ(prefs.fCheckDelay, 300);
	EXPECT_EQ(prefs.CountNames(B_ANY_TYPE), 17);
}

TEST_F(LauncherTest, InstalledItemMeansNothingMoreThanThePath)
{
	InstallStandIn();
	{
		CPreferences prefs;
		prefs.SetDefault();
		prefs.fUser = "kept";
		prefs.fApplicationPath = "/old/place/Zorve";
		prefs.Save();
	}
	// A registry that cannot be read would make a lookup print; none is made.
	fHome.WriteFile(fHome.SettingsPath() + "/Roster", "not a folder");

	// The program moved: the path follows the file that was started.
	std::string moved = fHome.Path() + "/apps";
	mkdir(moved.c_str(), 0700);
	std::string copy = moved + "/Zorve";
	int status = -1;
	RunCommand("cp '" + std::string(ZORVE_PROGRAM) + "' '" + copy + "'", &status);
	ASSERT_EQ(status, 0);

	std::string printed = StartProgram(copy, &status);
	EXPECT_EQ(status, 0);
	EXPECT_EQ(printed, "");
	CPreferences prefs;
	ASSERT_EQ(prefs.Load(), B_OK);
	EXPECT_EQ(prefs.fApplicationPath, copy.c_str());
	EXPECT_EQ(prefs.fUser, "kept");
	EXPECT_EQ(BDeskbar().CountItems(), 1u);
}

TEST_F(LauncherTest, UnregisteredSignatureStillTriesTheDeskbar)
{
	// A file where the registry's folder belongs: the application cannot register itself.
	fHome.WriteFile(fHome.SettingsPath() + "/Roster", "not a folder");
	int status = -1;
	std::string printed = StartProgram(ZORVE_PROGRAM, &status);
	EXPECT_EQ(status, 0);
	EXPECT_EQ(printed, std::string(kNotFound) + kNotInstalled);
	EXPECT_TRUE(HostAnswers());
}

TEST_F(LauncherTest, GarbagePreferencesAreKeptAsideAndReplacedByDefaults)
{
	InstallStandIn();
	CPreferences prefs;
	fHome.WriteFile(prefs.SettingPath(), "garbage, not a message");
	int status = -1;
	std::string printed = StartProgram(ZORVE_PROGRAM, &status);
	EXPECT_EQ(status, 0);
	ASSERT_EQ(prefs.Load(), B_OK);
	EXPECT_EQ(prefs.fPassword, "#####");
	EXPECT_EQ(prefs.fApplicationPath, ZORVE_PROGRAM);

	// One line names the copy, which holds the old bytes.
	std::string lead = "Error Preferences unreadable, kept as ";
	ASSERT_EQ(printed.rfind(lead + prefs.SettingPath() + ".damaged-", 0), 0u) << printed;
	ASSERT_EQ(printed.find('\n'), printed.size() - 1) << printed;
	std::string kept = printed.substr(lead.size(), printed.size() - lead.size() - 1);
	EXPECT_EQ(fHome.ReadFile(kept), "garbage, not a message");
}

TEST_F(LauncherTest, AFolderTakenByAnotherUserIsNamedWhenTheDeskbarCannotStart)
{
	if (getuid() != 0)
		GTEST_SKIP() << "giving a folder to another user needs root";
	// No private runtime folder, and the fallback's name taken by someone else.
	std::string temporary = fHome.Path() + "/tmp";
	mkdir(temporary.c_str(), 0700);
	setenv("TMPDIR", temporary.c_str(), 1);
	chmod((fHome.Path() + "/run").c_str(), 0755);
	std::string taken = temporary + "/be-deskbar-0";
	mkdir(taken.c_str(), 0700);
	ASSERT_EQ(chown(taken.c_str(), 65534, 65534), 0);
	int status = -1;
	std::string printed = StartProgram(ZORVE_PROGRAM, &status);
	chmod((fHome.Path() + "/run").c_str(), 0700);
	unsetenv("TMPDIR");
	EXPECT_NE(printed.find("The Deskbar could not be started: " + taken + " belongs to "),
		std::string::npos)
		<< printed;
	EXPECT_NE(printed.find(kNotInstalled), std::string::npos) << printed;
}

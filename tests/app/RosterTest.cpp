#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <Application.h>
#include <Entry.h>
#include <Path.h>
#include <Roster.h>

#include "TemporaryHome.h"

namespace {

const char* const kSignature = "application/x-vnd.Test-RosterApp";

std::string
OwnExecutable()
{
	char path[4096];
	ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
	path[length > 0 ? length : 0] = '\0';
	return path;
}

} // namespace

TEST(RosterTest, ApplicationRegistersItsExecutableUnderItsSignature)
{
	TemporaryHome home;
	entry_ref ref;
	EXPECT_EQ(be_roster->FindApp(kSignature, &ref), B_LAUNCH_FAILED_APP_NOT_FOUND);

	{
		BApplication application(kSignature);
		ASSERT_EQ(application.InitCheck(), B_OK);
		EXPECT_EQ(be_app, &application);

		app_info info;
		ASSERT_EQ(application.GetAppInfo(&info), B_OK);
		EXPECT_STREQ(info.signature, kSignature);
		BPath running(&info.ref);
		EXPECT_EQ(std::string(running.Path()), OwnExecutable());
	}
	EXPECT_EQ(be_app, nullptr);

	// The registry outlives the application, as the registrar's database does; case does not
	// matter in a signature.
	ASSERT_EQ(be_roster->FindApp("Application/X-Vnd.Test-RosterApp", &ref), B_OK);
	BPath found(&ref);
	EXPECT_EQ(std::string(found.Path()), OwnExecutable());
}

TEST(RosterTest, TheFirstApplicationOfAHomeWithoutSettingsIsFoundToo)
{
	TemporaryHome home;
	ASSERT_EQ(rmdir(home.SettingsPath().c_str()), 0);
	BApplication application(kSignature);
	entry_ref ref;
	EXPECT_EQ(be_roster->FindApp(kSignature, &ref), B_OK);
}

TEST(RosterTest, UnreadableRegistryGivesAnError)
{
	if (geteuid() == 0)
		GTEST_SKIP() << "root reads every folder";
	TemporaryHome home;
	{
		BApplication application(kSignature);
	}
	std::string registry = home.SettingsPath() + "/Roster";
	chmod(registry.c_str(), 0);
	entry_ref ref;
	EXPECT_NE(be_roster->FindApp(kSignature, &ref), B_OK);
	chmod(registry.c_str(), 0700);
}

TEST(RosterTest, UnwritableSettingsMeanTheApplicationIsNotFound)
{
	TemporaryHome home;
	// A file where the registry's folder should be makes registration impossible, even for root.
	home.WriteFile(home.SettingsPath() + "/Roster", "not a folder");
	{
		BApplication application(kSignature);
		EXPECT_EQ(application.InitCheck(), B_OK);
	}
	entry_ref ref;
	EXPECT_NE(be_roster->FindApp(kSignature, &ref), B_OK);
}

TEST(RosterTest, InvalidSignatureFailsInitCheck)
{
	TemporaryHome home;
	status_t error = B_OK;
	BApplication application("text/plain", &error);
	EXPECT_EQ(error, B_BAD_VALUE);
	EXPECT_EQ(application.InitCheck(), B_BAD_VALUE);
}

TEST(RosterTest, LaunchHandsWebAndMailAddressesToThePreferredApplication)
{
	TemporaryHome home;
	// A stand-in for the desktop's opener records its argument.
	std::string bin = home.Path() + "/bin";
	mkdir(bin.c_str(), 0700);
	std::string log = home.Path() + "/opened";
	home.WriteFile(bin + "/xdg-open", "#!/bin/sh\necho \"$1\" >> '" + log + "'\n");
	chmod((bin + "/xdg-open").c_str(), 0700);
	const char* oldPath = getenv("PATH");
	std::string savedPath = oldPath != NULL ? oldPath : "";
	setenv("PATH", (bin + ":/usr/bin:/bin").c_str(), 1);

	char web[] = "http://www.example.org/";
	char* webArgs[] = {web};
	team_id team = -1;
	EXPECT_EQ(be_roster->Launch("text/html", 1, webArgs, &team), B_OK);
	EXPECT_GT(team, 0);
	char mail[] = "mailto:someone@example.org";
	char* mailArgs[] = {mail};
	EXPECT_EQ(be_roster->Launch("text/x-email", 1, mailArgs), B_OK);

	std::string opened;
	for (int i = 0; i < 200 && opened.size() < 50; i++) {
		usleep(10000);
		opened = home.ReadFile(log);
	}
	EXPECT_NE(opened.find("http://www.example.org/\n"), std::string::npos);
	EXPECT_NE(opened.find("mailto:someone@example.org\n"), std::string::npos);

	EXPECT_EQ(be_roster->Launch("application/x-unknown-thing", 1, webArgs),
		B_LAUNCH_FAILED_NO_PREFERRED_APP);
	setenv("PATH", "/nonexistent", 1);
	EXPECT_EQ(be_roster->Launch("text/html", 1, webArgs), B_LAUNCH_FAILED_NO_PREFERRED_APP);
	setenv("PATH", savedPath.c_str(), 1);
}

TEST(RosterTest, AnApplicationRegisteredForATypeIsPreferredToTheDesktopsOpener)
{
	TemporaryHome home;
	std::string bin = home.Path() + "/bin";
	mkdir(bin.c_str(), 0700);
	std::string opened = home.Path() + "/opened";
	std::string browsed = home.Path() + "/browsed";
	home.WriteFile(bin + "/xdg-open", "#!/bin/sh\necho \"$1\" >> '" + opened + "'\n");
	home.WriteFile(bin + "/browser", "#!/bin/sh\necho \"$#:$1\" >> '" + browsed + "'\n");
	chmod((bin + "/xdg-open").c_str(), 0700);
	chmod((bin + "/browser").c_str(), 0700);
	const char* oldPath = getenv("PATH");
	std::string savedPath = oldPath != NULL ? oldPath : "";
	setenv("PATH", (bin + ":/usr/bin:/bin").c_str(), 1);

	ASSERT_EQ(BRoster::_RegisterApp("text/html", (bin + "/browser").c_str()), B_OK);
	entry_ref ref;
	ASSERT_EQ(be_roster->FindApp("text/html", &ref), B_OK);
	EXPECT_EQ(std::string(BPath(&ref).Path()), bin + "/browser");

	char web[] = "http://www.example.org/";
	char* webArgs[] = {web};
	EXPECT_EQ(be_roster->Launch("text/html", 1, webArgs), B_OK);
	std::string record;
	for (int i = 0; i < 200 && record.empty(); i++) {
		usleep(10000);
		record = home.ReadFile(browsed);
	}
	EXPECT_EQ(record, "1:http://www.example.org/\n");
	EXPECT_EQ(home.ReadFile(opened), "");
	setenv("PATH", savedPath.c_str(), 1);
}

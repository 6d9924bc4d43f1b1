/*
 * The installed Zorve as a user runs it: started on a private home against a loopback server,
 * its icon checking in the Deskbar host it starts; then a new login, simulated: the host
 * quits, as at the end of a session, and is started again the way the login entry says.
 */
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

#include "DeskbarTesting.h"
#include "Installation.h"
#include "StatusPictures.h"
#include "ZorveFixture.h"

namespace {

const bigtime_t kRequestTimeout = 10000000;

// Whether the program at `path` runs, and with `library` mapped.
bool
RunsWith(const std::string& path, const std::string& library)
{
	int status = -1;
	RunCommand("for p in /proc/[0-9]*; do [ \"$(readlink $p/exe)\" = '" + path + "' ] && grep -qF '"
			+ library + "' $p/maps && exit 0; done; exit 1",
		&status);
	return status == 0;
}

} // namespace

class LoginTest : public ZorveFixture {
protected:
	void SetUp() override
	{
		unsetenv("DISPLAY");
		ASSERT_TRUE(fInstalled.Succeeded());
		ZorveFixture::SetUp();
	}

	// Runs an installed program; what it printed, and its exit status in `status`.
	std::string Run(const std::string& command, int* status)
	{
		return RunCommand(fInstalled.Path("/usr/local/bin/") + command + " 2>&1", status);
	}

	// The icon is in the host, shows its normal picture (read from the installed executable)
	// and checks the address when asked to.
	void ExpectTheIconChecks(int32 requests)
	{
		int status = -1;
		EXPECT_NE(std::string::npos, Run("deskbar-ctl list", &status).find("ZorveReplicant"));
		StatusPictures pictures;
		ASSERT_EQ(B_OK, pictures.InitCheck());
		std::vector<uint8> pixels;
		ASSERT_EQ(B_OK, StatusPictures::ReadItemPixels("ZorveReplicant", pixels));
		EXPECT_EQ(StatusPictures::kNormal, pictures.Match(pixels.data()));
		for (const char* step : {"click 9 9", "wait-shown Options", "choose 'Force Ip Check'",
				 "wait-hidden Options", "pulse"}) {
			std::string printed = Run(std::string("deskbar-ctl ") + step, &status);
			ASSERT_EQ(0, status) << step << ": " << printed;
		}
		EXPECT_TRUE(fServer.WaitForRequests(requests, kRequestTimeout));
	}

	Installation fInstalled{"/usr/local"};
};

TEST_F(LoginTest, TheInstalledZorveChecksAndItsIconIsBackAtTheNextLogin)
{
	EXPECT_EQ("", StartZorve(fInstalled.Path("/usr/local/bin/Zorve")));
	int status = -1;
	// The host that Zorve started is the installed one, with the installed libbe.
	std::string host = fInstalled.Path("/usr/local/lib/zorve/Deskbar");
	std::string library = fInstalled.Path("/usr/local/lib/zorve/libbe.so");
	EXPECT_TRUE(RunsWith(host, library));
	ASSERT_NO_FATAL_FAILURE(ExpectTheIconChecks(1));

	// The end of the session, and the next login.
	Run("deskbar-ctl quit", &status);
	ASSERT_EQ(0, status);
	ASSERT_TRUE(Eventually([] { return HostFinished(); }));
	std::string exec = fInstalled.EntryValue("/etc/xdg/autostart/zorve-deskbar.desktop", "Exec");
	ASSERT_EQ("/usr/local/lib/zorve/Deskbar", exec);
	RunCommand("'" + fInstalled.Path(exec) + "' > /dev/null 2>&1 &", &status);
	ASSERT_TRUE(Eventually([] { return HostAnswers(); }));
	EXPECT_TRUE(RunsWith(host, library));
	ASSERT_NO_FATAL_FAILURE(ExpectTheIconChecks(2));
}

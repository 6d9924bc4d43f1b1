#include "EngineFixture.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include <OS.h>

#include "EngineMessages.h"
#include "StalledListener.h"
#include "ChildProcess.h"

namespace {

using Server = LoopbackHttpServer;

// What an exchange may take beyond its time-out: the engine's own work and the test's wait.
const bigtime_t kMargin = 700000;

bool
EndsWith(const BString& text, const char* end)
{
	int32 length = (int32)strlen(end);
	return text.Length() >= length && strcmp(text.String() + text.Length() - length, end) == 0;
}

} // namespace

// Each step of an exchange that never completes ends it within the one time-out, with that
// step's own report.
class ExchangeDeadlineTest : public EngineFixture {
protected:
	// Runs the message; returns how long it took.
	bigtime_t Timed(uint32 what)
	{
		bigtime_t start = system_time();
		Run(what);
		return system_time() - start;
	}
};

TEST_F(ExchangeDeadlineTest, ConnectThatStallsEndsWithinTheTimeOut)
{
	StalledListener stalled;
	ASSERT_NE(stalled.Port(), 0);
	WritePrefs([&](CPreferences& prefs) {
		prefs.fPort = stalled.Port();
		prefs.fTimeOut = 1;
		prefs.fIpCache = "198.51.100.1";
	});
	EXPECT_LT(Timed(MSG_CHECK_IP), 1000000 + kMargin);
	EXPECT_EQ(fEngine->fCheckResult, -1);
	BString log = fEngine->LogText();
	EXPECT_TRUE(EndsWith(log, " Error IpCheck-Server InitCheck()\n")) << log.String();
	EXPECT_EQ(IpCache(), "198.51.100.1");

	EXPECT_LT(Timed(MSG_UPDATE), 1000000 + kMargin);
	EXPECT_EQ(fEngine->fUpdateResult, -1);
	log = fEngine->LogText();
	EXPECT_NE(log.FindFirst(" Error Server Connection\n"), B_ERROR);
	EXPECT_TRUE(EndsWith(log, " Error Send update-string")) << log.String();
}

TEST_F(ExchangeDeadlineTest, ReplyThatNeverComesEndsWithinTheTimeOut)
{
	WritePrefs([](CPreferences& prefs) {
		prefs.fTimeOut = 1;
		prefs.fIpCache = "198.51.100.1";
	});
	fBehaviour.checkPage.fault = Server::kFaultStall;
	fBehaviour.update.fault = Server::kFaultStall;
	ApplyBehaviour();

	EXPECT_LT(Timed(MSG_CHECK_IP), 1000000 + kMargin);
	EXPECT_EQ(fEngine->fCheckResult, -1);
	EXPECT_EQ(fEngine->LogText(), "");
	EXPECT_EQ(IpCache(), "0.0.0.0");

	WritePrefs([](CPreferences& prefs) {
		prefs.fTimeOut = 1;
		prefs.fIpCache = "198.51.100.1";
	});
	EXPECT_LT(Timed(MSG_UPDATE), 1000000 + kMargin);
	EXPECT_EQ(fEngine->fUpdateResult, -1);
	EXPECT_TRUE(EndsWith(fEngine->LogText(), " Data receiving Error !"));
}

// A connect that takes most of the time-out leaves the reply only the rest of it.
TEST_F(ExchangeDeadlineTest, ConnectAndReplyShareOneTimeOut)
{
	StalledListener stalled;
	ASSERT_NE(stalled.Port(), 0);
	WritePrefs([&](CPreferences& prefs) {
		prefs.fPort = stalled.Port();
		prefs.fTimeOut = 2;
	});
	// A place in the backlog frees up while the connect waits: its next try, a second after
	// the first, gets through to a listener that never answers.
	std::thread freer([&] {
		snooze(300000);
		stalled.AcceptOne();
	});
	bigtime_t took = Timed(MSG_CHECK_IP);
	freer.join();
	EXPECT_LT(took, 2000000 + kMargin);
	EXPECT_EQ(fEngine->fCheckResult, -1);
	EXPECT_EQ(fEngine->LogText(), "") << "the connect went through";
	EXPECT_EQ(IpCache(), "0.0.0.0");
}

// A name whose look-up never ends: a private network where the only name server takes the
// query and never answers. Needs the right to make namespaces; skipped without.
TEST_F(ExchangeDeadlineTest, LookUpThatNeverEndsEndsWithinTheTimeOut)
{
	WritePrefs([](CPreferences& prefs) {
		prefs.fCheckIpServer = "slow.zorve.test";
		prefs.fTimeOut = 1;
		prefs.fIpCache = "198.51.100.1";
	});
	std::string resolvConf = fHome.Path() + "/resolv.conf";
	fHome.WriteFile(resolvConf, "nameserver 127.0.0.1\noptions timeout:30 attempts:1\n");
	std::string uidMap = "0 " + std::to_string(getuid()) + " 1";
	std::string gidMap = "0 " + std::to_string(getgid()) + " 1";

	auto writeFile = [](const char* path, const std::string& text) {
		int fd = open(path, O_WRONLY);
		bool written = fd >= 0 && write(fd, text.data(), text.size()) == (ssize_t)text.size();
		if (fd >= 0)
			close(fd);
		return written;
	};
	auto privateNetwork = [&]() {
		if (unshare(CLONE_NEWNS | CLONE_NEWNET) != 0) {
			if (unshare(CLONE_NEWUSER | CLONE_NEWNS | CLONE_NEWNET) != 0
				|| !writeFile("/proc/self/setgroups", "deny")
				|| !writeFile("/proc/self/uid_map", uidMap)
				|| !writeFile("/proc/self/gid_map", gidMap)) {
				return false;
			}
		}
		if (mount(NULL, "/", NULL, MS_REC | MS_PRIVATE, NULL) != 0
			|| mount(resolvConf.c_str(), "/etc/resolv.conf", NULL, MS_BIND, NULL) != 0) {
			return false;
		}
		int control = socket(AF_INET, SOCK_DGRAM, 0);
		struct ifreq request = {};
		strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
		if (control < 0 || ioctl(control, SIOCGIFFLAGS, &request) != 0)
			return false;
		request.ifr_flags |= IFF_UP;
		if (ioctl(control, SIOCSIFFLAGS, &request) != 0)
			return false;
		// Kept open into the program: queries reach it and stay unanswered.
		int server = socket(AF_INET, SOCK_DGRAM, 0);
		sockaddr_in address = {};
		address.sin_family = AF_INET;
		address.sin_port = htons(53);
		address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
		return server >= 0 && bind(server, (sockaddr*)&address, sizeof(address)) == 0;
	};

	bigtime_t start = system_time();
	ChildProcess cycle({ZORVE_CYCLE}, privateNetwork);
	ASSERT_TRUE(cycle.Started());
	int status = cycle.Wait(60000000);
	bigtime_t took = system_time() - start;
	if (status == 77)
		GTEST_SKIP() << "no private network namespace can be made here";
	EXPECT_EQ(status, 1) << cycle.Output();
	// The program's own start and end count as well.
	EXPECT_LT(took, 1000000 + 2 * kMargin) << cycle.Output();
	EXPECT_NE(cycle.Output().find(" Error IpCheck-Server InitCheck()\n"), std::string::npos)
		<< cycle.Output();
	EXPECT_EQ(IpCache(), "198.51.100.1");
}

// The Deskbar host tried as a hostile local program and a heavy user would: bad requests,
// menus left open, idle and greedy connections, other users, links in the files' place.
#include <gtest/gtest.h>

#include <errno.h>
#include <fcntl.h>
#include <grp.h>
#include <malloc.h>
#include <math.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <Deskbar.h>
#include <Entry.h>
#include <Message.h>
#include <OS.h>

#include "ChildProcess.h"
#include "DeskbarLink.h"
#include "DeskbarProtocol.h"
#include "DeskbarTesting.h"
#include "ProcessFigures.h"
#include "TemporaryHome.h"

using namespace BPrivate;

namespace {

const uid_t kOtherUser = 65534;

// True when the host at that socket answers a request, asked by this process.
bool
Answers(const std::string& path)
{
	int fd = DeskbarLink::Connect(path);
	if (fd < 0)
		return false;
	BMessage reply;
	bool answered = DeskbarLink::WriteMessage(fd, BMessage(kMsgDeskbarCountItems)) == B_OK
		&& DeskbarLink::ReadMessage(fd, &reply, 5000000) == B_OK;
	close(fd);
	return answered;
}

// Whether `work`, done by a child that takes another user's identity first, succeeds.
bool
AsOtherUser(const std::function<bool()>& work)
{
	pid_t child = fork();
	if (child == 0) {
		if (setgroups(0, NULL) != 0 || setresgid(kOtherUser, kOtherUser, kOtherUser) != 0
			|| setresuid(kOtherUser, kOtherUser, kOtherUser) != 0) {
			_exit(3);
		}
		_exit(work() ? 0 : 1);
	}
	int status = -1;
	waitpid(child, &status, 0);
	EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 3);
	return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Whether a host at one of those sockets answers another user.
bool
AnswersOtherUser(const std::vector<std::string>& paths)
{
	return AsOtherUser([&] {
		for (const std::string& path : paths) {
			if (Answers(path))
				return true;
		}
		return false;
	});
}

std::string
SocketPath()
{
	std::string path;
	DeskbarLink::SocketPath(path);
	return path;
}

// Closed by the host: its end reads as finished (after whatever it had sent).
bool
ClosedByPeer(int fd)
{
	struct pollfd entry = {fd, POLLRDHUP, 0};
	return poll(&entry, 1, 0) == 1 && (entry.revents & (POLLRDHUP | POLLHUP)) != 0;
}

} // namespace

class HostLimitsTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		fLog = fHome.Path() + "/item.log";
		setenv("TEST_ITEM_LOG", fLog.c_str(), 1);
		// The fallback folder of the runtime files stays inside this test's home.
		fTemporary = fHome.Path() + "/tmp";
		mkdir(fTemporary.c_str(), 0700);
		setenv("TMPDIR", fTemporary.c_str(), 1);
		ASSERT_EQ(get_ref_for_path(TEST_DESKBAR_ITEM, &fItem), B_OK);
	}

	void TearDown() override
	{
		EXPECT_TRUE(StopDeskbarHost());
		for (const char* name : {"TEST_ITEM_LOG", "TEST_ITEM_MENU", "TEST_ITEM_THROW", "TMPDIR"})
			unsetenv(name);
	}

	// How often `event` stands in a log: the test item's, or the one at `path`.
	int Count(const std::string& event, const std::string& path = "")
	{
		std::string log = fHome.ReadFile(path.empty() ? fLog : path);
		int count = 0;
		for (size_t at = log.find(event); at != std::string::npos; at = log.find(event, at + 1))
			count++;
		return count;
	}

	// Adds the test item with a menu and opens it from the shelf.
	void OpenItemMenu()
	{
		setenv("TEST_ITEM_MENU", "1", 1);
		ASSERT_EQ(BDeskbar().AddItem(&fItem), B_OK);
		ASSERT_EQ(ControlStatus("click 8 8"), 0);
		ASSERT_TRUE(
			Eventually([] { return ControlStatus("wait-shown TestMenu --timeout 0") == 0; }));
	}

	TemporaryHome fHome;
	std::string fLog;
	std::string fTemporary;
	entry_ref fItem;
};

TEST_F(HostLimitsTest, BadRectanglesOfPixelsAreRefusedAndTheHostGoesOn)
{
	ASSERT_EQ(BDeskbar().AddItem(&fItem), B_OK);
	// One wide and three billion high; a zero side; too many bytes for a reply.
	EXPECT_EQ(ControlStatus("pixels 0 0 1 3000000000"), 1);
	EXPECT_EQ(ControlStatus("pixels 0 0 0 5"), 1);
	EXPECT_EQ(ControlStatus("pixels 0 0 3000 3000"), 1);
	for (float bad : {NAN, INFINITY, -INFINITY}) {
		BMessage request(kMsgDeskbarPixels);
		request.AddRect("rect", BRect(0, 0, 3, bad));
		EXPECT_EQ(DeskbarLink::Exchange(request, NULL, false), B_BAD_VALUE);
	}
	BMessage click(kMsgDeskbarClick);
	click.AddPoint("where", BPoint(NAN, 1e30f));
	EXPECT_EQ(DeskbarLink::Exchange(click, NULL, false), B_BAD_VALUE);
	EXPECT_EQ(ControlStatus("pixels 1 2 3 2"), 0);
	EXPECT_TRUE(BDeskbar().HasItem("TestItem"));
}

TEST_F(HostLimitsTest, AnAddOnThatThrowsFailsOnlyItsOwnRequest)
{
	std::string throwFile = fHome.Path() + "/throw";
	setenv("TEST_ITEM_THROW", throwFile.c_str(), 1);
	fHome.WriteFile(throwFile, "");
	EXPECT_EQ(BDeskbar().AddItem(&fItem), B_ERROR);
	unlink(throwFile.c_str());
	EXPECT_TRUE(HostAnswers());
	EXPECT_EQ(BDeskbar().AddItem(&fItem), B_OK);
}

TEST_F(HostLimitsTest, QuittingClosesAnOpenMenuAndArchivesTheItems)
{
	OpenItemMenu();
	BMessage quit(kMsgDeskbarQuit);
	EXPECT_EQ(DeskbarLink::Exchange(quit, NULL, false), B_OK);
	EXPECT_TRUE(Eventually([] { return HostFinished(); }));
	EXPECT_EQ(Count("chose nothing"), 1);
	std::string archive = fHome.ReadFile(fHome.SettingsPath() + "/" + kDeskbarItemsFile);
	EXPECT_NE(archive.find("TestItem"), std::string::npos);
}

TEST_F(HostLimitsTest, RemovingAnItemWithItsMenuOpenClosesTheMenuAndSaysSo)
{
	OpenItemMenu();
	EXPECT_EQ(BDeskbar().RemoveItem("TestItem"), B_OK);
	EXPECT_FALSE(BDeskbar().HasItem("TestItem"));
	EXPECT_EQ(Count("chose nothing"), 1);
	EXPECT_EQ(Count("detached"), 1);
}

TEST_F(HostLimitsTest, IdleConnectionsGiveWayAndOthersAreStillAnswered)
{
	BDeskbar().CountItems();
	ASSERT_TRUE(HostAnswers());
	// Idle connections come between answered ones, so that descriptors the host closes are
	// taken again at once by the next connection it accepts.
	std::vector<int> idle;
	for (int i = 0; i < 200; i++) {
		idle.push_back(DeskbarLink::Connect());
		ASSERT_TRUE(HostAnswers());
	}
	// Beyond the cap the longest-waiting connections were closed, the newest kept.
	int open = 0;
	EXPECT_TRUE(Eventually([&] {
		open = 0;
		for (int fd : idle)
			open += fd >= 0 && !ClosedByPeer(fd) ? 1 : 0;
		return open <= 32;
	})) << open;
	EXPECT_FALSE(ClosedByPeer(idle.back()));
	for (int fd : idle)
		close(fd);
}

TEST_F(HostLimitsTest, AClientThatNeverReadsItsReplyIsDropped)
{
	ASSERT_EQ(BDeskbar().AddItem(&fItem), B_OK);
	int fd = DeskbarLink::Connect();
	ASSERT_GE(fd, 0);
	int small = 4096;
	setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof(small));
	// A megabyte of pixels, more than a socket's buffers hold.
	BMessage request(kMsgDeskbarPixels);
	request.AddRect("rect", BRect(0, 0, 511, 511));
	ASSERT_EQ(DeskbarLink::WriteMessage(fd, request), B_OK);
	bigtime_t deadline = system_time() + 15000000;
	while (!ClosedByPeer(fd) && system_time() < deadline)
		snooze(50000);
	EXPECT_TRUE(ClosedByPeer(fd));
	close(fd);
	EXPECT_TRUE(HostAnswers());
}

TEST_F(HostLimitsTest, OutOfDescriptorsTheHostSaysSoOnceNeitherSpinsNorStopsServing)
{
	// So few descriptors that idle connections use them up well before the cap.
	std::string hostLog = fHome.Path() + "/host.log";
	ChildProcess host;
	ASSERT_TRUE(host.Start({DESKBAR_HOST}, {}, hostLog, -1, [] {
		struct rlimit limit = {24, 24};
		return setrlimit(RLIMIT_NOFILE, &limit) == 0;
	}));
	ASSERT_TRUE(Eventually(HostAnswers));
	const char* kExhausted = "out of file descriptors";
	std::vector<int> idle;
	for (int i = 0; i < 30; i++)
		idle.push_back(DeskbarLink::Connect());
	ASSERT_TRUE(Eventually([&] { return Count(kExhausted, hostLog) > 0; }));
	// A loop retrying accept at once would take the whole second.
	double before = CpuSeconds(host.Pid());
	snooze(1000000);
	EXPECT_LT(CpuSeconds(host.Pid()) - before, 0.5);
	for (int fd : idle)
		close(fd);
	EXPECT_TRUE(Eventually(HostAnswers));
	EXPECT_EQ(Count(kExhausted, hostLog), 1) << host.Output();
	kill(host.Pid(), SIGTERM);
	EXPECT_EQ(0, host.Wait(10000000));
}

TEST(DeskbarLinkTest, ABodyIsTakenAsItArrivesNotAsDeclared)
{
	int pair[2];
	ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
	uint32 declared = kDeskbarMaxMessageSize;
	ASSERT_EQ(write(pair[1], &declared, sizeof(declared)), (ssize_t)sizeof(declared));
	size_t before = mallinfo2().hblkhd + mallinfo2().uordblks;
	size_t during = 0;
	std::thread reader([&] {
		BMessage message;
		EXPECT_EQ(DeskbarLink::ReadMessage(pair[0], &message, 300000), B_TIMED_OUT);
	});
	snooze(150000);
	during = mallinfo2().hblkhd + mallinfo2().uordblks;
	reader.join();
	// A sanitizer's allocator reports nothing here; the plain one shows the buffer.
	EXPECT_LT(during, before + 1024 * 1024);
	close(pair[0]);
	close(pair[1]);
}

TEST(DeskbarLinkTest, AnOpenRuntimeFolderOrOneOfAnotherUserIsPassedOver)
{
	TemporaryHome home;
	std::string temporary = home.Path() + "/tmp";
	mkdir(temporary.c_str(), 0700);
	setenv("TMPDIR", temporary.c_str(), 1);
	std::string run = home.Path() + "/run";
	std::string path;
	std::string note;
	ASSERT_EQ(DeskbarLink::RuntimeDirectory(path, &note), B_OK);
	EXPECT_EQ(path, run);
	EXPECT_EQ(note, "");

	chmod(run.c_str(), 0755);
	ASSERT_EQ(DeskbarLink::RuntimeDirectory(path, &note), B_OK);
	std::string fallback = temporary + "/be-deskbar-" + std::to_string(getuid());
	EXPECT_EQ(path, fallback);
	EXPECT_NE(note.find(run), std::string::npos) << note;

	if (getuid() == 0) {
		ASSERT_EQ(chown(fallback.c_str(), kOtherUser, kOtherUser), 0);
		note = "";
		EXPECT_EQ(DeskbarLink::RuntimeDirectory(path, &note), B_PERMISSION_DENIED);
		EXPECT_NE(note.find(fallback + " belongs to "), std::string::npos) << note;
		EXPECT_NE(note.find("65534"), std::string::npos) << note;
	}
	unsetenv("TMPDIR");
}

TEST_F(HostLimitsTest, ALinkInTheLockFilesPlaceIsRefused)
{
	std::string lock;
	ASSERT_EQ(DeskbarLink::LockPath(lock), B_OK);
	std::string target = fHome.Path() + "/elsewhere";
	ASSERT_EQ(symlink(target.c_str(), lock.c_str()), 0);
	std::string log = fHome.Path() + "/host.log";
	int status;
	// Bounded, should the host start all the same.
	RunCommand("timeout 10 " + std::string(DESKBAR_HOST) + " 2>" + log, &status);
	EXPECT_EQ(status, 1);
	EXPECT_NE(access(target.c_str(), F_OK), 0);
	EXPECT_NE(fHome.ReadFile(log).find(lock), std::string::npos) << fHome.ReadFile(log);
	unlink(lock.c_str());
}

TEST_F(HostLimitsTest, AnotherUserIsRefusedEvenWithAnOpenFolderAndUmask)
{
	if (getuid() != 0)
		GTEST_SKIP() << "switching to another user needs root";
	// Everything open: the folders on the way, the runtime folder, and the umask the host
	// starts with.
	chmod(fHome.Path().c_str(), 0755);
	std::string run = fHome.Path() + "/run";
	chmod(run.c_str(), 0777);
	mode_t mask = umask(0);
	BDeskbar().CountItems();
	umask(mask);
	ASSERT_TRUE(Answers(SocketPath()));
	std::string fallback = fTemporary + "/be-deskbar-0/be-deskbar.socket";
	chmod(fTemporary.c_str(), 0755);
	EXPECT_FALSE(AnswersOtherUser({run + "/be-deskbar.socket", fallback}));
	struct stat st;
	ASSERT_EQ(stat(SocketPath().c_str(), &st), 0);
	EXPECT_EQ(st.st_mode & 0077, 0u);
}

TEST_F(HostLimitsTest, AHostOfAnotherUserClosesThisUsersConnection)
{
	if (getuid() != 0)
		GTEST_SKIP() << "switching to another user needs root";
	if (!AsOtherUser([] { return access(DESKBAR_HOST, X_OK) == 0; }))
		GTEST_SKIP() << "another user cannot reach " DESKBAR_HOST " (a private folder on the way)";
	// The other user's home inside this one; root may enter its folders, as no one else may.
	chmod(fHome.Path().c_str(), 0755);
	std::string other = fHome.Path() + "/other";
	for (const char* folder : {"", "/.config", "/run"}) {
		std::string path = other + folder;
		mkdir(path.c_str(), 0700);
		ASSERT_EQ(chown(path.c_str(), kOtherUser, kOtherUser), 0);
	}
	ChildProcess host;
	ASSERT_TRUE(host.Start({DESKBAR_HOST},
		{"HOME=" + other, "XDG_CONFIG_HOME=" + other + "/.config",
			"XDG_RUNTIME_DIR=" + other + "/run"},
		"", -1, [] {
			return setgroups(0, NULL) == 0 && setresgid(kOtherUser, kOtherUser, kOtherUser) == 0
				&& setresuid(kOtherUser, kOtherUser, kOtherUser) == 0;
		}));
	std::string socket = other + "/run/be-deskbar.socket";
	EXPECT_TRUE(Eventually([&] { return access(socket.c_str(), F_OK) == 0; }));
	snooze(100000);
	int fd = DeskbarLink::Connect(socket);
	EXPECT_GE(fd, 0);
	EXPECT_TRUE(Eventually([&] { return fd >= 0 && ClosedByPeer(fd); }));
	close(fd);
	EXPECT_FALSE(Answers(socket));
	kill(host.Pid(), SIGTERM);
	EXPECT_EQ(0, host.Wait(10000000));
}

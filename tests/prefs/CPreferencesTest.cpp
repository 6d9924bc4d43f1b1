#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <File.h>
#include <Message.h>

#include "CPreferences.h"
#include "TemporaryHome.h"

namespace {

std::string
PrefsPath(const TemporaryHome& home)
{
	return home.SettingsPath() + "/Zorve/Zorve.prefs";
}

// Entries of a folder, not counting the lock file that stays beside the preferences.
int
CountEntries(const std::string& folder)
{
	int count = 0;
	DIR* directory = opendir(folder.c_str());
	if (directory == NULL)
		return -1;
	while (struct dirent* entry = readdir(directory)) {
		if (entry->d_name[0] != '.' && strcmp(entry->d_name, "Zorve.prefs.lock") != 0)
			count++;
	}
	closedir(directory);
	return count;
}

} // namespace

TEST(CPreferencesTest, FreshRecordBuildsItsPathAndStartsFromDefaults)
{
	TemporaryHome home;
	CPreferences prefs;
	EXPECT_STREQ(prefs.SettingPath(), PrefsPath(home).c_str());
	EXPECT_EQ(prefs.PreferencesLoaded(), 0);
	struct stat st;
	EXPECT_EQ(stat((home.SettingsPath() + "/Zorve").c_str(), &st), 0);
	EXPECT_TRUE(S_ISDIR(st.st_mode));

	EXPECT_EQ(prefs.fIpCache, "");
	EXPECT_FALSE(prefs.fSettingsWinPosition.IsValid());
	EXPECT_EQ(prefs.fPort, 80);
	EXPECT_EQ(prefs.fCheckDelay, 300);
	EXPECT_EQ(prefs.fTimeOut, 10);
	EXPECT_EQ(prefs.fLogSize, 4096);
	EXPECT_EQ(prefs.fWildcard, 0);
	EXPECT_EQ(prefs.what, 0u);
}

TEST(CPreferencesTest, MissingFileFailsLoadAndKeepsMembers)
{
	TemporaryHome home;
	CPreferences prefs;
	prefs.fUser = "kept";
	EXPECT_EQ(prefs.Load(), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(prefs.PreferencesLoaded(), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(prefs.fUser, "kept");
}

TEST(CPreferencesTest, DefaultValuesCanBeTakenWithoutSaving)
{
	TemporaryHome home;
	CPreferences prefs;
	prefs.fApplicationPath = "/some/where/Zorve";
	prefs.fPort = 8080;
	prefs.UseDefaultValues();
	EXPECT_EQ(prefs.fIpCache, "0.0.0.0");
	EXPECT_EQ(prefs.fSystem, "dyndns");
	EXPECT_EQ(prefs.fCheckIpServer, "checkip.dyndns.org");
	EXPECT_EQ(prefs.fDynDnsServer, "https://members.dyndns.org");
	EXPECT_EQ(prefs.fPort, 80);
	EXPECT_EQ(prefs.fSettingsWinPosition, BRect(50, 50, 311, 240));
	EXPECT_EQ(prefs.fApplicationPath, "/some/where/Zorve");
	EXPECT_EQ(CountEntries(home.SettingsPath() + "/Zorve"), 0);
}

TEST(CPreferencesTest, SetDefaultWritesThePlatformsFileWithPrivateMode)
{
	TemporaryHome home;
	CPreferences prefs;
	prefs.fApplicationPath = "/boot/apps/Zorve";
	EXPECT_EQ(prefs.SetDefault(), B_OK);
	EXPECT_EQ(prefs.fApplicationPath, "/boot/apps/Zorve");

	std::string bytes = home.ReadFile(PrefsPath(home));
	// With an empty application path this is the platform's message of the defaults: 471
	// bytes, and 8 more for the update server's "https://".
	prefs.fApplicationPath = "";
	ASSERT_EQ(prefs.Save(), B_OK);
	bytes = home.ReadFile(PrefsPath(home));
	ASSERT_EQ(bytes.size(), 479u);
	EXPECT_EQ(bytes.substr(0, 8), std::string("1BOF\x01\x00\x01\xDF", 8));

	struct stat st;
	ASSERT_EQ(stat(PrefsPath(home).c_str(), &st), 0);
	EXPECT_EQ(st.st_mode & 0777, 0600u);
	ASSERT_EQ(prefs.Save(), B_OK);
	ASSERT_EQ(stat(PrefsPath(home).c_str(), &st), 0);
	EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(CPreferencesTest, SavedValuesLoadIntoAnotherRecord)
{
	TemporaryHome home;
	{
		CPreferences prefs;
		prefs.SetDefault();
		prefs.fIpCache = "203.0.113.7";
		prefs.fUser = "someone";
		prefs.fPassword = "p:ss";
		prefs.fHost = "a.example.org,b.example.org";
		prefs.fSystem = "statdns";
		prefs.fWildcard = 2;
		prefs.fMx = "mx.example.org";
		prefs.fBackMx = 1;
		prefs.fOffline = -1;
		prefs.fApplicationPath = "/apps/Zorve";
		prefs.fCheckIpServer = "127.0.0.1";
		prefs.fDynDnsServer = "localhost";
		prefs.fPort = 70000;
		prefs.fCheckDelay = 600;
		prefs.fTimeOut = -5;
		prefs.fLogSize = -1;
		prefs.fSettingsWinPosition.Set(10, 20, 271, 210);
		ASSERT_EQ(prefs.Save(), B_OK);
	}
	CPreferences copy;
	ASSERT_EQ(copy.Load(), B_OK);
	EXPECT_EQ(copy.fIpCache, "203.0.113.7");
	EXPECT_EQ(copy.fUser, "someone");
	EXPECT_EQ(copy.fPassword, "p:ss");
	EXPECT_EQ(copy.fHost, "a.example.org,b.example.org");
	EXPECT_EQ(copy.fSystem, "statdns");
	EXPECT_EQ(copy.fWildcard, 2);
	EXPECT_EQ(copy.fMx, "mx.example.org");
	EXPECT_EQ(copy.fBackMx, 1);
	EXPECT_EQ(copy.fOffline, -1);
	EXPECT_EQ(copy.fApplicationPath, "/apps/Zorve");
	EXPECT_EQ(copy.fCheckIpServer, "127.0.0.1");
	EXPECT_EQ(copy.fDynDnsServer, "localhost");
	EXPECT_EQ(copy.fPort, 70000);
	EXPECT_EQ(copy.fCheckDelay, 600);
	EXPECT_EQ(copy.fTimeOut, -5);
	EXPECT_EQ(copy.fLogSize, -1);
	EXPECT_EQ(copy.fSettingsWinPosition, BRect(10, 20, 271, 210));

	// The file holds the 17 keys with their types, in order.
	const char* expected[] = {"ip-cache", "user", "password", "host", "system", "wildcard", "mx",
		"backmx", "offline", "application-path", "check-ip-server", "dyndns-server", "port",
		"check-delay", "time-out", "log-size", "settings-win-position"};
	const type_code types[] = {B_STRING_TYPE, B_STRING_TYPE, B_STRING_TYPE, B_STRING_TYPE,
		B_STRING_TYPE, B_INT32_TYPE, B_STRING_TYPE, B_INT32_TYPE, B_INT32_TYPE, B_STRING_TYPE,
		B_STRING_TYPE, B_STRING_TYPE, B_INT32_TYPE, B_INT32_TYPE, B_INT8_TYPE, B_INT32_TYPE,
		B_RECT_TYPE};
	EXPECT_EQ(copy.CountNames(B_ANY_TYPE), 17);
	for (int32 i = 0; i < 17; i++) {
		char* name = NULL;
		type_code type = 0;
		int32 count = 0;
		ASSERT_EQ(copy.GetInfo(B_ANY_TYPE, i, &name, &type, &count), B_OK);
		EXPECT_STREQ(name, expected[i]);
		EXPECT_EQ(type, types[i]) << expected[i];
		EXPECT_EQ(count, 1);
	}
}

TEST(CPreferencesTest, GarbageFileFailsLoadInsteadOfRunningOnIt)
{
	TemporaryHome home;
	CPreferences prefs;
	prefs.SetDefault();
	home.WriteFile(PrefsPath(home), "this is not a flattened message at all");

	CPreferences loaded;
	loaded.fHost = "unchanged";
	status_t status = loaded.Load();
	EXPECT_NE(status, B_OK);
	EXPECT_EQ(loaded.PreferencesLoaded(), status);
	EXPECT_EQ(loaded.fHost, "unchanged");

	// A truncated file is garbage too.
	prefs.Save();
	std::string whole = home.ReadFile(PrefsPath(home));
	home.WriteFile(PrefsPath(home), whole.substr(0, whole.size() - 10));
	EXPECT_NE(loaded.Load(), B_OK);
}

namespace {

// A saved record holding a user's settings; its bytes.
std::string
SaveSettingsOfAUser(const TemporaryHome& home)
{
	CPreferences prefs;
	prefs.UseDefaultValues();
	prefs.fUser = "precious";
	prefs.fPassword = "secret";
	EXPECT_EQ(prefs.Save(), B_OK);
	return home.ReadFile(PrefsPath(home));
}

// After a save over a file that could not be loaded: the kept copy beside it, "" if none.
std::string
SaveDefaultsOverIt(const TemporaryHome& home)
{
	CPreferences prefs;
	EXPECT_NE(prefs.Load(), B_OK);
	prefs.UseDefaultValues();
	EXPECT_EQ(prefs.Save(), B_OK);
	std::string kept = prefs.DamagedCopy();
	EXPECT_EQ(kept.rfind(PrefsPath(home) + ".damaged-", 0), 0u) << kept;
	CPreferences written;
	EXPECT_EQ(written.Load(), B_OK);
	EXPECT_EQ(written.fUser, "no user");
	return kept;
}

} // namespace

// Whatever damage stops a load, the next save moves the file aside first, and no load reads
// for ever.
TEST(CPreferencesTest, AFileThatCannotBeLoadedIsKeptBesideItAtTheNextSave)
{
	enum Damage {
		kTruncated,
		kFlippedBit,
		kFolder,
		kOversized,
		kLinkToADevice
	};
	for (Damage damage : {kTruncated, kFlippedBit, kFolder, kOversized, kLinkToADevice}) {
		SCOPED_TRACE(damage);
		TemporaryHome home;
		std::string path = PrefsPath(home);
		std::string bytes = SaveSettingsOfAUser(home);
		switch (damage) {
			case kTruncated:
				bytes.resize(bytes.size() / 2);
				break;
			case kFlippedBit:
				bytes[9] ^= 0x10;
				break;
			case kOversized:
				bytes.append(2 * 1024 * 1024, ' ');
				break;
			default:
				break;
		}
		if (damage == kFolder) {
			unlink(path.c_str());
			mkdir(path.c_str(), 0700);
			home.WriteFile(path + "/inside", bytes);
		} else if (damage == kLinkToADevice) {
			unlink(path.c_str());
			ASSERT_EQ(symlink("/dev/zero", path.c_str()), 0);
		} else
			home.WriteFile(path, bytes);

		std::string kept = SaveDefaultsOverIt(home);
		struct stat st;
		ASSERT_EQ(lstat(kept.c_str(), &st), 0);
		if (damage == kFolder)
			EXPECT_EQ(home.ReadFile(kept + "/inside"), bytes);
		else if (damage == kLinkToADevice)
			EXPECT_TRUE(S_ISLNK(st.st_mode));
		else {
			EXPECT_EQ(home.ReadFile(kept), bytes);
			EXPECT_EQ(st.st_mode & 0777, 0600u);
		}

		// A second damaged file never takes the first one's place.
		home.WriteFile(path, "garbage");
		std::string second = SaveDefaultsOverIt(home);
		EXPECT_NE(second, kept);
		EXPECT_EQ(home.ReadFile(second), "garbage");
		EXPECT_EQ(lstat(kept.c_str(), &st), 0);
	}
}

// Mode 000: unreadable to its owner, though not to root, who runs it as another user.
TEST(CPreferencesTest, AnUnreadableFileIsKeptReadableForItsOwner)
{
	TemporaryHome home;
	std::string bytes = SaveSettingsOfAUser(home);
	chmod(PrefsPath(home).c_str(), 0);
	const uid_t kUser = 54321;
	if (geteuid() == 0) {
		std::string command = "chown -R " + std::to_string(kUser) + " '" + home.Path() + "'";
		ASSERT_EQ(system(command.c_str()), 0);
	}
	pid_t child = fork();
	ASSERT_GE(child, 0);
	if (child == 0) {
		if (geteuid() == 0 && (setgid(kUser) != 0 || setuid(kUser) != 0))
			_exit(2);
		CPreferences prefs;
		bool refused = prefs.Load() == B_PERMISSION_DENIED;
		prefs.UseDefaultValues();
		bool saved = prefs.Save() == B_OK && prefs.DamagedCopy()[0] != '\0';
		_exit(refused && saved && home.ReadFile(prefs.DamagedCopy()) == bytes ? 0 : 1);
	}
	int status = 0;
	ASSERT_EQ(waitpid(child, &status, 0), child);
	EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(CPreferencesTest, MissingOrMistypedKeysTakeTheirDefaults)
{
	TemporaryHome home;
	CPreferences prefs;
	BMessage partial;
	partial.AddString("user", "only user");
	partial.AddString("port", "eighty");
	partial.AddInt32("time-out", 3);
	partial.AddString("application-path", "/apps/Zorve");
	BMallocIO flat;
	ASSERT_EQ(partial.Flatten(&flat), B_OK);
	home.WriteFile(PrefsPath(home), std::string((const char*)flat.Buffer(), flat.BufferLength()));

	prefs.fApplicationPath = "old";
	ASSERT_EQ(prefs.Load(), B_OK);
	EXPECT_EQ(prefs.fUser, "only user");
	EXPECT_EQ(prefs.fIpCache, "0.0.0.0");
	EXPECT_EQ(prefs.fPassword, "#####");
	EXPECT_EQ(prefs.fCheckIpServer, "checkip.dyndns.org");
	EXPECT_EQ(prefs.fDynDnsServer, "https://members.dyndns.org");
	EXPECT_EQ(prefs.fPort, 80);
	EXPECT_EQ(prefs.fTimeOut, 10);
	EXPECT_EQ(prefs.fSettingsWinPosition, BRect(50, 50, 311, 240));
	EXPECT_EQ(prefs.fApplicationPath, "/apps/Zorve");
}

TEST(CPreferencesTest, FailedSaveLeavesThePreviousFileWhole)
{
	TemporaryHome home;
	CPreferences prefs;
	prefs.SetDefault();
	prefs.fUser = "first";
	ASSERT_EQ(prefs.Save(), B_OK);
	std::string before = home.ReadFile(PrefsPath(home));

	// A file size limit makes the write fail half way through the new file.
	struct rlimit old;
	getrlimit(RLIMIT_FSIZE, &old);
	sighandler_t oldHandler = signal(SIGXFSZ, SIG_IGN);
	struct rlimit small = {100, old.rlim_max};
	setrlimit(RLIMIT_FSIZE, &small);
	prefs.fUser = "second";
	status_t status = prefs.Save();
	setrlimit(RLIMIT_FSIZE, &old);
	signal(SIGXFSZ, oldHandler);

	EXPECT_NE(status, B_OK);
	EXPECT_EQ(home.ReadFile(PrefsPath(home)), before);
	EXPECT_EQ(CountEntries(home.SettingsPath() + "/Zorve"), 1);
	CPreferences reloaded;
	ASSERT_EQ(reloaded.Load(), B_OK);
	EXPECT_EQ(reloaded.fUser, "first");
}

// The platform's status codes pass unchanged: a missing folder is B_ENTRY_NOT_FOUND.
TEST(CPreferencesTest, SaveIntoAMissingFolderFailsWithItsCause)
{
	TemporaryHome home;
	CPreferences prefs;
	std::string folder = home.SettingsPath() + "/Zorve";
	rmdir(folder.c_str());
	EXPECT_EQ(prefs.Save(), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(prefs.Load(), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(CountEntries(folder), -1);

	// A file where the folder should be is no folder either.
	home.WriteFile(folder, "not a folder");
	EXPECT_EQ(prefs.Save(), B_NOT_A_DIRECTORY);
}

// Without a settings folder to be found (no home, no configuration folder, no account) a
// record has no path: it loads and saves nothing and touches no file.
TEST(CPreferencesTest, UnfindableSettingsFolderLeavesTheRecordWithoutAPath)
{
	if (geteuid() != 0)
		GTEST_SKIP() << "only root can become a user without an account";
	TemporaryHome home;
	pid_t child = fork();
	ASSERT_GE(child, 0);
	if (child == 0) {
		unsetenv("HOME");
		unsetenv("XDG_CONFIG_HOME");
		if (chdir(home.Path().c_str()) != 0 || setuid(54321) != 0)
			_exit(2);
		CPreferences prefs;
		prefs.fUser = "someone";
		bool ok = strcmp(prefs.SettingPath(), "") == 0 && prefs.PreferencesLoaded() == -1
			&& prefs.Load() != B_OK && prefs.Save() != B_OK && prefs.SetDefault() == B_OK
			&& prefs.LockFile() == B_OK;
		prefs.UnlockFile();
		_exit(ok ? 0 : 1);
	}
	int status = 0;
	ASSERT_EQ(waitpid(child, &status, 0), child);
	EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
	EXPECT_EQ(CountEntries(home.Path()), 1) << "only run beside the hidden .config";
	EXPECT_EQ(CountEntries(home.SettingsPath()), 0);
}

// A save that died before its rename left a private copy of the password behind: the next
// save removes such leftovers, and nothing else.
TEST(CPreferencesTest, NextSaveRemovesStaleTemporariesOnly)
{
	TemporaryHome home;
	CPreferences prefs;
	prefs.SetDefault();
	std::string folder = home.SettingsPath() + "/Zorve";
	auto makeFile = [&](const std::string& name, int ageSeconds) {
		std::string path = folder + "/" + name;
		home.WriteFile(path, "password");
		struct timeval times[2];
		gettimeofday(&times[0], NULL);
		times[0].tv_sec -= ageSeconds;
		times[1] = times[0];
		utimes(path.c_str(), times);
	};
	makeFile("Zorve.prefs.a1B2c3", 120);
	makeFile("Zorve.prefs.Zz9yY8", 3600 * 24);
	makeFile("Zorve.prefs.fresh1", 5);
	makeFile("Zorve.prefs.toolong1", 120);
	makeFile("Zorve.prefs.ab-cd!", 120);
	makeFile("Other.prefs.a1B2c3", 120);
	makeFile("Zorve.prefs.lock", 120);
	std::string stalePath = folder + "/Zorve.prefs.zzzzzz";
	ASSERT_EQ(mkdir(stalePath.c_str(), 0700), 0);
	std::string target = folder + "/kept-target";
	home.WriteFile(target, "x");
	std::string link = folder + "/Zorve.prefs.L1nk00";
	ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
	struct timeval old[2] = {{1000, 0}, {1000, 0}};
	lutimes(link.c_str(), old);

	ASSERT_EQ(prefs.Save(), B_OK);

	auto exists = [&](const std::string& name) {
		struct stat st;
		return lstat((folder + "/" + name).c_str(), &st) == 0;
	};
	EXPECT_FALSE(exists("Zorve.prefs.a1B2c3"));
	EXPECT_FALSE(exists("Zorve.prefs.Zz9yY8"));
	EXPECT_TRUE(exists("Zorve.prefs.fresh1"));
	EXPECT_TRUE(exists("Zorve.prefs.toolong1"));
	EXPECT_TRUE(exists("Zorve.prefs.ab-cd!"));
	EXPECT_TRUE(exists("Other.prefs.a1B2c3"));
	EXPECT_TRUE(exists("Zorve.prefs.lock"));
	EXPECT_TRUE(exists("Zorve.prefs.zzzzzz"));
	EXPECT_TRUE(exists("Zorve.prefs.L1nk00"));
	EXPECT_TRUE(exists("kept-target"));
	CPreferences loaded;
	EXPECT_EQ(loaded.Load(), B_OK);
}

TEST(CPreferencesTest, ConcurrentSavesNeverLeaveAPartialFile)
{
	TemporaryHome home;
	CPreferences first;
	first.SetDefault();
	std::atomic<int> failedLoads(0);
	std::atomic<bool> stop(false);

	auto saver = [](const char* user) {
		CPreferences prefs;
		prefs.SetDefault();
		prefs.fUser = user;
		for (int i = 0; i < 40; i++)
			prefs.Save();
	};
	// The reader takes no lock: it sees whatever the file holds at each moment, which is
	// always a whole record since a save replaces the file by a rename.
	std::string path = PrefsPath(home);
	std::thread reader([&] {
		while (!stop) {
			BFile file(path.c_str(), B_READ_ONLY);
			BMessage message;
			if (file.InitCheck() != B_OK || message.Unflatten(&file) != B_OK)
				failedLoads++;
		}
	});
	std::thread a(saver, "a-user");
	std::thread b(saver, "b-user-with-a-longer-name");
	a.join();
	b.join();
	stop = true;
	reader.join();
	EXPECT_EQ(failedLoads, 0);

	CPreferences last;
	ASSERT_EQ(last.Load(), B_OK);
	EXPECT_TRUE(last.fUser == "a-user" || last.fUser == "b-user-with-a-longer-name");
	EXPECT_EQ(CountEntries(home.SettingsPath() + "/Zorve"), 1);
}

// Load-change-save sequences of several threads, each under the lock, never lose one
// another's change: every increment of one shared key survives.
TEST(CPreferencesTest, LockedSequencesOfThreadsLoseNoChange)
{
	TemporaryHome home;
	CPreferences first;
	first.SetDefault();
	const int kRounds = 40;

	auto writer = [&](bool own) {
		for (int i = 0; i < kRounds; i++) {
			CPreferences prefs;
			prefs.LockFile();
			prefs.Load();
			prefs.fCheckDelay++;
			// Give the other thread every chance to step in between the load and the save.
			std::this_thread::yield();
			if (own)
				prefs.fUser << "a";
			else
				prefs.fPassword << "b";
			prefs.Save();
			prefs.UnlockFile();
		}
	};
	std::thread a(writer, true);
	std::thread b(writer, false);
	a.join();
	b.join();

	CPreferences last;
	ASSERT_EQ(last.Load(), B_OK);
	EXPECT_EQ(last.fCheckDelay, 300 + 2 * kRounds);
	EXPECT_EQ(last.fUser, BString("no user") << std::string(kRounds, 'a').c_str());
	EXPECT_EQ(last.fPassword.Length(), 5 + kRounds);
}

// Another process's load-change-save runs whole while this one holds the lock: neither loses
// the other's key.
TEST(CPreferencesTest, LockedSequencesOfTwoProcessesKeepBothChanges)
{
	TemporaryHome home;
	CPreferences first;
	first.SetDefault();

	int ready[2];
	ASSERT_EQ(pipe(ready), 0);
	pid_t child = fork();
	ASSERT_GE(child, 0);
	if (child == 0) {
		CPreferences prefs;
		prefs.LockFile();
		prefs.Load();
		char byte = 1;
		if (write(ready[1], &byte, 1) != 1)
			_exit(2);
		usleep(300000);
		prefs.fUser = "child-user";
		prefs.Save();
		prefs.UnlockFile();
		_exit(0);
	}
	char byte;
	ASSERT_EQ(read(ready[0], &byte, 1), 1);
	{
		CPreferences prefs;
		prefs.LockFile();
		prefs.Load();
		prefs.fPassword = "parent-password";
		prefs.Save();
	}
	int status = 0;
	waitpid(child, &status, 0);
	close(ready[0]);
	close(ready[1]);
	EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

	CPreferences last;
	ASSERT_EQ(last.Load(), B_OK);
	EXPECT_STREQ(last.fUser.String(), "child-user");
	EXPECT_STREQ(last.fPassword.String(), "parent-password");
}

// The same between processes that both keep changing one key.
TEST(CPreferencesTest, LockedSequencesOfTwoProcessesLoseNoIncrement)
{
	TemporaryHome home;
	CPreferences first;
	first.SetDefault();
	const int kRounds = 40;
	auto increment = [&] {
		for (int i = 0; i < kRounds; i++) {
			CPreferences prefs;
			prefs.LockFile();
			prefs.Load();
			prefs.fLogSize++;
			usleep(200);
			prefs.Save();
			prefs.UnlockFile();
		}
	};
	pid_t child = fork();
	ASSERT_GE(child, 0);
	if (child == 0) {
		increment();
		_exit(0);
	}
	increment();
	int status = 0;
	ASSERT_EQ(waitpid(child, &status, 0), child);
	EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

	CPreferences last;
	ASSERT_EQ(last.Load(), B_OK);
	EXPECT_EQ(last.fLogSize, 4096 + 2 * kRounds);
}

// A thread may still save while the process exits: the lock it takes is still there.
TEST(CPreferencesTest, SavesWhileTheProcessExitsFindTheLock)
{
	TemporaryHome home;
	CPreferences first;
	first.SetDefault();
	pid_t child = fork();
	ASSERT_GE(child, 0);
	if (child == 0) {
		std::atomic<bool> started(false);
		std::thread([&started] {
			CPreferences prefs;
			prefs.SetDefault();
			for (;;) {
				prefs.LockFile();
				started = true;
				prefs.fCheckDelay++;
				prefs.Save();
				prefs.UnlockFile();
			}
		}).detach();
		while (!started)
			usleep(1000);
		exit(0);
	}
	int status = 0;
	ASSERT_EQ(waitpid(child, &status, 0), child);
	EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
	CPreferences last;
	EXPECT_EQ(last.Load(), B_OK);
}

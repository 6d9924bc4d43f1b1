#include "CPreferences.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <FindDirectory.h>
#include <Locker.h>
#include <OS.h>
#include <Path.h>
#include <StorageDefs.h>

namespace {

const char* const kDefaultIpCache = "0.0.0.0";
const char* const kDefaultUser = "no user";
const char* const kDefaultPassword = "#####";
const char* const kDefaultHost = "empty";
const char* const kDefaultSystem = "dyndns";
const char* const kDefaultMx = "";
const char* const kDefaultCheckIpServer = "checkip.dyndns.org";
const char* const kDefaultDynDnsServer = "members.dyndns.org";
const int32 kDefaultPort = 80;
const int32 kDefaultCheckDelay = 300;
const int8 kDefaultTimeOut = 10;
const int32 kDefaultLogSize = 4096;
const BRect kDefaultWindowFrame(50, 50, 311, 240);

const bigtime_t kLockPollInterval = 2000;
// A holder keeps the lock for one load-change-save; past this, waiting longer cannot help.
const bigtime_t kLockPatience = 10000000;

// The preferences lock: a recursive lock between the threads of this process and, while the
// outermost holder has it, a lock on a file beside the preferences between processes. It is
// never destroyed, so that a thread saving while the team exits still finds it.
struct PreferencesLock {
	BLocker threads{"preferences file"};
	int32 depth = 0;
	BFile file;
};

PreferencesLock&
TheLock()
{
	static PreferencesLock* lock = new PreferencesLock;
	return *lock;
}

// Every call is paired with ReleaseLock(), whatever it returns. Without the file lock (no
// settings folder, a holder that does not let go) the threads of this process are still
// serialised.
status_t
AcquireLock(const BString& settingPath)
{
	PreferencesLock& lock = TheLock();
	lock.threads.Lock();
	if (lock.depth++ > 0 || settingPath.Length() == 0)
		return B_OK;

	BString path(settingPath);
	path << ".lock";
	status_t status = lock.file.SetTo(path.String(), B_READ_WRITE | B_CREATE_FILE);
	if (status != B_OK)
		return status;
	bigtime_t deadline = system_time() + kLockPatience;
	while ((status = lock.file.Lock()) == B_BUSY && system_time() < deadline)
		snooze(kLockPollInterval);
	return status;
}

void
ReleaseLock()
{
	PreferencesLock& lock = TheLock();
	// Closing the file ends its lock.
	if (--lock.depth == 0)
		lock.file.Unset();
	lock.threads.Unlock();
}

void
FindStringOr(const BMessage& message, const char* name, BString& member, const char* fallback)
{
	if (message.FindString(name, &member) != B_OK)
		member = fallback;
}

void
FindInt32Or(const BMessage& message, const char* name, int32& member, int32 fallback)
{
	if (message.FindInt32(name, &member) != B_OK)
		member = fallback;
}

} // namespace

CPreferences::CPreferences() :
	BMessage(),
	fStatus(-1),
	fSettingsWinPosition(0, 0, -1, -1),
	fHoldsFileLock(false)
{
	// Numbers start at their defaults so that a record saved without a successful load
	// never writes zeros; texts stay empty and the frame invalid.
	fWildcard = 0;
	fBackMx = 0;
	fOffline = 0;
	fPort = kDefaultPort;
	fCheckDelay = kDefaultCheckDelay;
	fTimeOut = kDefaultTimeOut;
	fLogSize = kDefaultLogSize;

	BPath settings;
	if (find_directory(B_USER_SETTINGS_DIRECTORY, &settings) != B_OK)
		return;
	fSettingPath = settings.Path();
	fSettingPath << "/Zorve";
	struct stat st;
	if (lstat(fSettingPath.String(), &st) != 0)
		create_directory(fSettingPath.String(), 0777);
	fSettingPath << "/Zorve.prefs";
	fStatus = 0;
}

CPreferences::~CPreferences()
{
	UnlockFile();
}

status_t
CPreferences::LockFile()
{
	if (fHoldsFileLock)
		return B_OK;
	fHoldsFileLock = true;
	return AcquireLock(fSettingPath);
}

void
CPreferences::UnlockFile()
{
	if (!fHoldsFileLock)
		return;
	fHoldsFileLock = false;
	ReleaseLock();
}

status_t
CPreferences::Load()
{
	AcquireLock(fSettingPath);
	status_t status = _Load();
	ReleaseLock();
	return status;
}

status_t
CPreferences::_Load()
{
	BFile file(SettingPath(), B_READ_ONLY);
	fStatus = file.InitCheck();
	if (fStatus != B_OK)
		return fStatus;

	// A file that is not a whole message is refused, leaving the members as they were.
	BMessage loaded;
	status_t status = loaded.Unflatten(&file);
	if (status != B_OK) {
		fStatus = status;
		return status;
	}
	BMessage::operator=(loaded);
	_ReadFields();
	return B_OK;
}

void
CPreferences::_ReadFields()
{
	FindStringOr(*this, "ip-cache", fIpCache, kDefaultIpCache);
	FindStringOr(*this, "user", fUser, kDefaultUser);
	FindStringOr(*this, "password", fPassword, kDefaultPassword);
	FindStringOr(*this, "host", fHost, kDefaultHost);
	FindStringOr(*this, "system", fSystem, kDefaultSystem);
	FindInt32Or(*this, "wildcard", fWildcard, 0);
	FindStringOr(*this, "mx", fMx, kDefaultMx);
	FindInt32Or(*this, "backmx", fBackMx, 0);
	FindInt32Or(*this, "offline", fOffline, 0);
	// The application path has no default: a missing one stays as it was.
	FindString("application-path", &fApplicationPath);
	FindStringOr(*this, "check-ip-server", fCheckIpServer, kDefaultCheckIpServer);
	FindStringOr(*this, "dyndns-server", fDynDnsServer, kDefaultDynDnsServer);
	FindInt32Or(*this, "port", fPort, kDefaultPort);
	FindInt32Or(*this, "check-delay", fCheckDelay, kDefaultCheckDelay);
	if (FindInt8("time-out", &fTimeOut) != B_OK)
		fTimeOut = kDefaultTimeOut;
	FindInt32Or(*this, "log-size", fLogSize, kDefaultLogSize);
	if (FindRect("settings-win-position", &fSettingsWinPosition) != B_OK)
		fSettingsWinPosition = kDefaultWindowFrame;
}

status_t
CPreferences::Save()
{
	AcquireLock(fSettingPath);
	MakeEmpty();
	AddString("ip-cache", fIpCache);
	AddString("user", fUser);
	AddString("password", fPassword);
	AddString("host", fHost);
	AddString("system", fSystem);
	AddInt32("wildcard", fWildcard);
	AddString("mx", fMx);
	AddInt32("backmx", fBackMx);
	AddInt32("offline", fOffline);
	AddString("application-path", fApplicationPath);
	AddString("check-ip-server", fCheckIpServer);
	AddString("dyndns-server", fDynDnsServer);
	AddInt32("port", fPort);
	AddInt32("check-delay", fCheckDelay);
	AddInt8("time-out", fTimeOut);
	AddInt32("log-size", fLogSize);
	AddRect("settings-win-position", fSettingsWinPosition);

	status_t status = _WriteFile();
	ReleaseLock();
	return status;
}

// Writes the message to a new file beside the old one and renames it into place, so the file
// is replaced whole or not at all. The file holds the password: mkstemp makes it private to
// its owner, and the rename keeps that.
status_t
CPreferences::_WriteFile()
{
	if (fSettingPath.Length() == 0)
		return B_ENTRY_NOT_FOUND;

	BString temporary(fSettingPath);
	temporary << ".XXXXXX";
	char* name = temporary.LockBuffer(0);
	int fd = mkstemp(name);
	temporary.UnlockBuffer();
	if (fd < 0)
		return B_ERROR;
	close(fd);

	BEntry entry(temporary.String());
	BFile file(temporary.String(), B_WRITE_ONLY | B_ERASE_FILE);
	status_t status = file.InitCheck();
	if (status == B_OK)
		status = Flatten(&file);
	if (status == B_OK)
		status = file.Sync();
	file.Unset();
	if (status == B_OK)
		status = entry.Rename(fSettingPath.String(), true);
	if (status != B_OK)
		entry.Remove();
	return status;
}

status_t
CPreferences::SetDefault()
{
	_SetDefaultValues();
	Save();
	return B_OK;
}

void
CPreferences::UseDefaultValues()
{
	_SetDefaultValues();
}

void
CPreferences::_SetDefaultValues()
{
	fIpCache = kDefaultIpCache;
	fUser = kDefaultUser;
	fPassword = kDefaultPassword;
	fHost = kDefaultHost;
	fSystem = kDefaultSystem;
	fWildcard = 0;
	fMx = kDefaultMx;
	fBackMx = 0;
	fOffline = 0;
	fCheckIpServer = kDefaultCheckIpServer;
	fDynDnsServer = kDefaultDynDnsServer;
	fPort = kDefaultPort;
	fCheckDelay = kDefaultCheckDelay;
	fTimeOut = kDefaultTimeOut;
	fLogSize = kDefaultLogSize;
	fSettingsWinPosition = kDefaultWindowFrame;
}

const char*
CPreferences::SettingPath() const
{
	return fSettingPath.String();
}

int32
CPreferences::PreferencesLoaded() const
{
	return fStatus;
}

#include "CPreferences.h"

#include <dirent.h>
#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <DataIO.h>
#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <FindDirectory.h>
#include <Locker.h>
#include <OS.h>
#include <Path.h>
#include <StorageDefs.h>

namespace {

const char* const kFolderName = "/Zorve";
const char* const kFileName = "Zorve.prefs";

// A save writes a temporary named after the file with this many random characters added.
const int32 kTemporarySuffixLength = 6;
// A temporary this old belongs to a save that cannot be running any more.
const time_t kStaleTemporaryAge = 60;

// A record of 17 keys flattens to a few hundred bytes: anything far larger is no record, and
// is refused before it is read.
const off_t kLargestFile = 1024 * 1024;
// A file that cannot be loaded is kept beside it under this suffix and a UTC time.
const char* const kDamagedSuffix = ".damaged-";

const bigtime_t kLockFirstPoll = 1000;
const bigtime_t kLockLongestPoll = 16000;
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
	bigtime_t poll = kLockFirstPoll;
	while ((status = lock.file.Lock()) == B_BUSY && system_time() < deadline) {
		snooze(poll);
		if (poll < kLockLongestPoll)
			poll *= 2;
	}
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

// Names that mkstemp() made from "Zorve.prefs.XXXXXX".
bool
IsTemporaryName(const char* name)
{
	size_t prefix = strlen(kFileName);
	if (strncmp(name, kFileName, prefix) != 0 || name[prefix] != '.')
		return false;
	const char* suffix = name + prefix + 1;
	if (strlen(suffix) != (size_t)kTemporarySuffixLength)
		return false;
	for (const char* c = suffix; *c != '\0'; c++) {
		bool letter = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z');
		if (!letter && !(*c >= '0' && *c <= '9'))
			return false;
	}
	return true;
}

// A save that died between making its temporary and renaming it left the password in a file
// that nothing else removes. Only plain files of the temporaries' pattern, older than any
// running save, go.
void
RemoveStaleTemporaries(const BString& folder)
{
	DIR* directory = opendir(folder.String());
	if (directory == NULL)
		return;
	time_t oldest = (time_t)real_time_clock() - kStaleTemporaryAge;
	while (struct dirent* entry = readdir(directory)) {
		if (!IsTemporaryName(entry->d_name))
			continue;
		BString path(folder);
		path << "/" << entry->d_name;
		struct stat st;
		if (lstat(path.String(), &st) == 0 && S_ISREG(st.st_mode) && st.st_mtime < oldest)
			unlink(path.String());
	}
	closedir(directory);
}

// Failures that say nothing about the file itself: the file may well be sound.
bool
IsPassingFailure(status_t status)
{
	return status == B_NO_MORE_FDS || status == B_NO_MEMORY || status == B_INTERRUPTED
		|| status == B_WOULD_BLOCK;
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
	_SetDefaultNumbers();

	BPath settings;
	if (find_directory(B_USER_SETTINGS_DIRECTORY, &settings) != B_OK)
		return;
	fSettingPath = settings.Path();
	fSettingPath << kFolderName;
	// The folder holds the password: private to its owner, and made with every folder on the
	// way on a fresh account.
	struct stat st;
	if (lstat(fSettingPath.String(), &st) != 0)
		create_directory(fSettingPath.String(), 0700);
	fSettingPath << "/" << kFileName;
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

// The file is only ever replaced whole by a rename, so a load needs no lock to read a whole
// record; inside LockFile() the holder's lock keeps other writers out until its save.
status_t
CPreferences::Load()
{
	// A file that is not a whole message is refused, leaving the members as they were.
	BMessage loaded;
	fStatus = _ReadFile(loaded);
	if (fStatus != B_OK)
		return fStatus;
	BMessage::operator=(loaded);
	_ReadFields();
	return B_OK;
}

// Only a plain file of a sane size is read: a link to a device or a huge file would keep a
// reader busy for ever.
status_t
CPreferences::_ReadFile(BMessage& message) const
{
	BEntry entry(SettingPath(), true);
	if (entry.InitCheck() == B_OK && entry.Exists() && !entry.IsFile())
		return entry.IsDirectory() ? (status_t)B_IS_A_DIRECTORY : (status_t)B_BAD_TYPE;

	BFile file(SettingPath(), B_READ_ONLY);
	status_t status = file.InitCheck();
	if (status != B_OK)
		return status;
	struct stat st;
	status = file.GetStat(&st);
	if (status != B_OK)
		return status;
	if (!S_ISREG(st.st_mode))
		return B_BAD_TYPE;
	if (st.st_size > kLargestFile)
		return B_BAD_DATA;

	// Read to its end, but never past the largest file: it may have grown since.
	BMallocIO content;
	char buffer[4096];
	ssize_t count;
	while ((count = file.Read(buffer, sizeof(buffer))) > 0) {
		content.Write(buffer, count);
		if (content.BufferLength() > (size_t)kLargestFile)
			return B_BAD_DATA;
	}
	if (count < 0)
		return count;

	BMemoryIO stream(content.Buffer(), content.BufferLength());
	return message.Unflatten(&stream);
}

// A key that is missing or of another type takes its default.
void
CPreferences::_ReadFields()
{
	BString applicationPath(fApplicationPath);
	_SetDefaultValues();
	FindString("ip-cache", &fIpCache);
	FindString("user", &fUser);
	FindString("password", &fPassword);
	FindString("host", &fHost);
	FindString("system", &fSystem);
	FindInt32("wildcard", &fWildcard);
	FindString("mx", &fMx);
	FindInt32("backmx", &fBackMx);
	FindInt32("offline", &fOffline);
	// The application path has no default: a missing one stays as it was.
	fApplicationPath = applicationPath;
	FindString("application-path", &fApplicationPath);
	FindString("check-ip-server", &fCheckIpServer);
	FindString("dyndns-server", &fDynDnsServer);
	FindInt32("port", &fPort);
	FindInt32("check-delay", &fCheckDelay);
	FindInt8("time-out", &fTimeOut);
	FindInt32("log-size", &fLogSize);
	FindRect("settings-win-position", &fSettingsWinPosition);
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

	status_t status = _KeepDamagedFile();
	if (status == B_OK)
		status = _WriteFile();
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
	BString folder(fSettingPath);
	folder.Truncate(folder.FindLast('/'));
	RemoveStaleTemporaries(folder);

	BString temporary(fSettingPath);
	temporary << ".XXXXXX";
	char* name = temporary.LockBuffer(0);
	int fd = mkstemp(name);
	temporary.UnlockBuffer();
	if (fd < 0) {
		// mkstemp tells its cause only through errno: creating the same name through the
		// storage kit gives it as the platform's status code.
		temporary.Truncate(fSettingPath.Length());
		temporary << ".probe";
		BFile probe(temporary.String(), B_WRITE_ONLY | B_CREATE_FILE | B_FAIL_IF_EXISTS);
		status_t status = probe.InitCheck();
		if (status == B_OK) {
			probe.Unset();
			BEntry(temporary.String()).Remove();
			status = B_ERROR;
		}
		return status;
	}

	// Written through the descriptor mkstemp opened: the name is never opened again, so
	// nothing put in its place meanwhile can receive the password.
	BEntry entry(temporary.String());
	BMallocIO content;
	status_t status = Flatten(&content);
	if (status == B_OK)
		status = _WriteAll(fd, content);
	if (close(fd) != 0 && status == B_OK)
		status = B_IO_ERROR;
	if (status == B_OK)
		status = entry.Rename(fSettingPath.String(), true);
	if (status != B_OK) {
		entry.Remove();
		return status;
	}
	// The new name reaches the disk with the folder: without this a power cut could bring
	// back the old file, or none.
	BDirectory directory(folder.String());
	if (directory.InitCheck() == B_OK)
		directory.Sync();
	return B_OK;
}

// The whole content, on the disk before it is renamed into place.
status_t
CPreferences::_WriteAll(int fd, const BMallocIO& content)
{
	const char* bytes = (const char*)content.Buffer();
	size_t left = content.BufferLength();
	while (left > 0) {
		ssize_t count = write(fd, bytes, left);
		if (count < 0 && errno == EINTR)
			continue;
		if (count <= 0)
			return count < 0 && errno == ENOSPC ? (status_t)B_DEVICE_FULL : (status_t)B_IO_ERROR;
		bytes += count;
		left -= (size_t)count;
	}
	return fsync(fd) == 0 ? B_OK : B_IO_ERROR;
}

// A file in the way that cannot be loaded (cut short by a crash, a flipped bit, unreadable, a
// folder or a link to a device) holds the user's settings as far as anybody knows: it is moved
// aside, never overwritten. Called with the lock held.
status_t
CPreferences::_KeepDamagedFile()
{
	fDamagedCopy = "";
	if (fSettingPath.Length() == 0)
		return B_OK;
	BMessage ignored;
	status_t status = _ReadFile(ignored);
	if (status == B_OK || status == B_ENTRY_NOT_FOUND)
		return B_OK;
	if (IsPassingFailure(status))
		return status;

	char stamp[32];
	time_t now = (time_t)real_time_clock();
	struct tm utc;
	strftime(stamp, sizeof(stamp), "%Y%m%dT%H%M%SZ", gmtime_r(&now, &utc));
	BEntry entry(SettingPath(), false);
	BString kept;
	for (int32 attempt = 0; attempt < 100; attempt++) {
		kept = fSettingPath;
		kept << kDamagedSuffix << stamp;
		if (attempt > 0)
			kept << "-" << attempt;
		status = entry.Rename(kept.String(), false);
		if (status != B_FILE_EXISTS)
			break;
	}
	if (status != B_OK)
		return status;

	// The kept copy is the user's to read, whatever mode the damage left it with; a link or
	// a folder is kept as it is.
	struct stat st;
	if (lstat(kept.String(), &st) == 0 && S_ISREG(st.st_mode))
		chmod(kept.String(), 0600);
	fDamagedCopy = kept;
	return B_OK;
}

const char*
CPreferences::DamagedCopy() const
{
	return fDamagedCopy.String();
}

status_t
CPreferences::SetDefault()
{
	_SetDefaultValues();
	// Always 0: the launcher calls this only to get a record to work on, and a failed save
	// leaves nothing it could act on; its own next save reports again.
	Save();
	return B_OK;
}

// Every default lives here and in _SetDefaultNumbers(), nowhere else.
void
CPreferences::UseDefaultValues()
{
	_SetDefaultValues();
}

void
CPreferences::_SetDefaultValues()
{
	_SetDefaultNumbers();
	fIpCache = "0.0.0.0";
	fUser = "no user";
	fPassword = "#####";
	fHost = "empty";
	fSystem = "dyndns";
	fMx = "";
	fCheckIpServer = "checkip.dyndns.org";
	fDynDnsServer = "https://members.dyndns.org";
	fSettingsWinPosition.Set(50, 50, 311, 240);
}

void
CPreferences::_SetDefaultNumbers()
{
	fWildcard = 0;
	fBackMx = 0;
	fOffline = 0;
	fPort = 80;
	fCheckDelay = 300;
	fTimeOut = 10;
	fLogSize = 4096;
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

/*
 * CPreferences: the in-memory record of the preferences file, one flattened BMessage with one
 * typed field per key. Every user builds its own record, loads it, changes what it owns and
 * saves the whole record.
 */
#ifndef C_PREFERENCES_H
#define C_PREFERENCES_H

#include <Message.h>
#include <Rect.h>
#include <String.h>

class BMallocIO;

class CPreferences : public BMessage {
public:
	CPreferences();
	virtual ~CPreferences();

	status_t Load();
	status_t Save();
	status_t SetDefault();
	// The defaults SetDefault writes, assigned without saving: for a user whose load failed
	// and who saves only the keys it edits.
	void UseDefaultValues();

	// Holds the preferences lock, between the threads of this process and between
	// processes, from here to UnlockFile() or the record's end, so that a load, a change and
	// a save run as one step. Save takes the same lock for itself alone; a plain Load needs
	// none, as the file is only ever replaced whole. Unlock on the thread that locked.
	status_t LockFile();
	void UnlockFile();

	const char* SettingPath() const;
	int32 PreferencesLoaded() const;
	// Where the last Save() of this record kept a file it found damaged; "" when it found
	// none.
	const char* DamagedCopy() const;

	int32 fStatus;
	BString fSettingPath;
	BString fIpCache;
	BString fUser;
	BString fPassword;
	BString fHost;
	BString fSystem;
	int32 fWildcard;
	BString fMx;
	int32 fBackMx;
	int32 fOffline;
	BString fApplicationPath;
	BString fCheckIpServer;
	BString fDynDnsServer;
	int32 fPort;
	int32 fCheckDelay;
	int8 fTimeOut;
	int32 fLogSize;
	BRect fSettingsWinPosition;

private:
	CPreferences(const CPreferences&);
	CPreferences& operator=(const CPreferences&);

	void _SetDefaultValues();
	void _SetDefaultNumbers();
	status_t _ReadFile(BMessage& message) const;
	void _ReadFields();
	status_t _KeepDamagedFile();
	status_t _WriteFile();
	static status_t _WriteAll(int fd, const BMallocIO& content);

	bool fHoldsFileLock;
	BString fDamagedCopy;
};

#endif // C_PREFERENCES_H

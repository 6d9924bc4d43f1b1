#include "PreferencesEdit.h"

PreferencesEdit::PreferencesEdit() :
	fLockStatus(fRecord.LockFile()),
	fLoadStatus(fRecord.Load())
{
	// A record that could not be loaded must not blank the keys its editor does not change.
	if (fLoadStatus != B_OK)
		fRecord.UseDefaultValues();
}

PreferencesEdit::~PreferencesEdit()
{
	fRecord.UnlockFile();
}

status_t
PreferencesEdit::Commit()
{
	if (fLockStatus != B_OK)
		return fLockStatus;
	return fRecord.Save();
}

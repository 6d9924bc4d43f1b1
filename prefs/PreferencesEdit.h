/*
 * PreferencesEdit: one load, change and save of the preferences file that no other writer, in
 * this process or another, can split. It takes the preferences lock and loads the record when
 * made, falling back to the defaults when the file cannot be loaded; Commit() saves the
 * whole record; the lock is let go when the edit ends. Every writer edits through one.
 */
#ifndef PREFERENCES_EDIT_H
#define PREFERENCES_EDIT_H

#include "CPreferences.h"

class PreferencesEdit {
public:
	PreferencesEdit();
	~PreferencesEdit();

	CPreferences* operator->() { return &fRecord; }
	CPreferences& Record() { return fRecord; }

	// B_OK when the file was loaded; otherwise why not, and the record holds the defaults.
	status_t LoadStatus() const { return fLoadStatus; }

	// Saves the record; without the lock nothing is saved, as another writer's keys could
	// be lost.
	status_t Commit();

private:
	PreferencesEdit(const PreferencesEdit&);
	PreferencesEdit& operator=(const PreferencesEdit&);

	CPreferences fRecord;
	status_t fLockStatus;
	status_t fLoadStatus;
};

#endif // PREFERENCES_EDIT_H

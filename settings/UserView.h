/*
 * UserView: the account page. User name, password, host name and the cached public
 * address, read from the preferences when built and written back by SaveSettings().
 */
#ifndef USER_VIEW_H
#define USER_VIEW_H

#include <String.h>
#include <View.h>

class BTextControl;
class CPreferences;

class UserView : public BView {
public:
	// Shows what `prefs` holds.
	UserView(BRect frame, const CPreferences& prefs);
	virtual ~UserView();

	virtual void AttachedToWindow() override;

	virtual void SaveSettings();

	// Shows the address the preferences hold now: the engine may have stored a newer one
	// since, which a later save must not undo.
	void RefreshIpAddress();

private:
	BTextControl* fUserEdit;
	BTextControl* fPasswordEdit;
	BTextControl* fHostEdit;
	BTextControl* fIpEdit;
	// The address as last read from or written to the preferences: unless the user typed
	// another one, the page leaves the stored address alone.
	BString fShownIpAddress;
};

#endif // USER_VIEW_H

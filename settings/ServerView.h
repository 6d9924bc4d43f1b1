/*
 * ServerView: the server page. The two server host names, shown but not editable, and the
 * delay between automatic address checks, edited in whole minutes and stored in seconds.
 */
#ifndef SERVER_VIEW_H
#define SERVER_VIEW_H

#include <View.h>

class BTextControl;
class CPreferences;

class ServerView : public BView {
public:
	// Shows what `prefs` holds.
	ServerView(BRect frame, const CPreferences& prefs);
	virtual ~ServerView();

	virtual void SaveSettings();

private:
	BTextControl* fDynDnsServerEdit;
	BTextControl* fCheckIpServerEdit;
	BTextControl* fDelayEdit;
};

#endif // SERVER_VIEW_H

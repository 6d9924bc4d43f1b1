/*
 * ServerView: the server page. The two server host names, shown but not editable, and the
 * delay between automatic address checks, edited in whole minutes and stored in seconds.
 */
#ifndef SERVER_VIEW_H
#define SERVER_VIEW_H

#include <View.h>

class BTextControl;

class ServerView : public BView {
public:
	ServerView(BRect frame);
	virtual ~ServerView();

	virtual void SaveSettings();

private:
	BTextControl* fDynDnsServerEdit;
	BTextControl* fCheckIpServerEdit;
	BTextControl* fDelayEdit;
};

#endif // SERVER_VIEW_H

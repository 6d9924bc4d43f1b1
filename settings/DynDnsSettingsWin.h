/*
 * DynDnsSettingsWin: the borderless settings window. A title strip to drag it and close it
 * with Escape, above a tab view of five pages. The editing pages write the preferences each
 * time the window hides; the log page shows the engine's log as it was when the window
 * was last shown.
 */
#ifndef DYN_DNS_SETTINGS_WIN_H
#define DYN_DNS_SETTINGS_WIN_H

#include <atomic>

#include <Window.h>

class AboutView;
class LogView;
class MTabView;
class MTitleView;
class OtherView;
class ServerView;
class UserView;
class Zorve;

class DynDnsSettingsWin : public BWindow {
public:
	// Built hidden; the engine is not owned.
	DynDnsSettingsWin(BRect frame, Zorve* engine);
	virtual ~DynDnsSettingsWin();

	// Refreshes the log page and the cached address, then shows the window.
	virtual void Show() override;
	// Saves the User, Server and Other pages, in this order, then hides the window.
	virtual void Hide() override;

	// How many times the pages have saved: another thread sees a new value once they have
	// and rereads what it copied from the preferences.
	int32 CountSaves() const;

private:
	Zorve* fEngine;
	MTitleView* fTitleView;
	MTabView* fTabView;
	AboutView* fAboutView;
	UserView* fUserView;
	ServerView* fServerView;
	LogView* fLogView;
	OtherView* fOtherView;
	std::atomic<int32> fSaveCount;
};

#endif // DYN_DNS_SETTINGS_WIN_H

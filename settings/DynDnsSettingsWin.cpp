#include "DynDnsSettingsWin.h"

#include <String.h>

#include "AboutView.h"
#include "CPreferences.h"
#include "LogView.h"
#include "MTabView.h"
#include "MTitleView.h"
#include "OtherView.h"
#include "ServerView.h"
#include "UserView.h"
#include "Zorve.h"

DynDnsSettingsWin::DynDnsSettingsWin(BRect frame, Zorve* engine) :
	BWindow(frame, "Settings", B_NO_BORDER_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL,
		B_NOT_RESIZABLE | B_NOT_ZOOMABLE, B_CURRENT_WORKSPACE),
	fEngine(engine),
	fTitleView(NULL),
	fTabView(NULL),
	fAboutView(NULL),
	fUserView(NULL),
	fServerView(NULL),
	fLogView(NULL),
	fOtherView(NULL),
	fSaveCount(0)
{
	BRect bounds = Bounds();
	fTitleView = new MTitleView(BRect(0, 0, bounds.right, 7));
	AddChild(fTitleView);

	fTabView = new MTabView(BRect(0, 8, bounds.right, bounds.bottom), "settings-tab");
	// The pages fill the box below the tabs. One read of the file serves them all; a file
	// that cannot be read leaves the record's defaults.
	BRect page(0, 0, bounds.right - 2, bounds.bottom - 31);
	CPreferences prefs;
	prefs.Load();
	fAboutView = new AboutView(page, prefs);
	fUserView = new UserView(page, prefs);
	fServerView = new ServerView(page, prefs);
	fOtherView = new OtherView(page, prefs);
	fLogView = new LogView(page);
	fTabView->AddTab(fAboutView);
	fTabView->AddTab(fUserView);
	fTabView->AddTab(fServerView);
	fTabView->AddTab(fOtherView);
	fTabView->AddTab(fLogView);
	AddChild(fTabView);
}

DynDnsSettingsWin::~DynDnsSettingsWin()
{
}

void
DynDnsSettingsWin::Show()
{
	// Called from other threads too (the replicant's): the pages are touched locked.
	if (Lock()) {
		if (fLogView != NULL && fEngine != NULL) {
			// The locked copy: the engine may be appending at this moment.
			fLogView->SetLog(fEngine->LogText().String());
		}
		// A page whose tab stays selected is not attached again: without this, a hide
		// would write back an address the engine has replaced meanwhile.
		if (fUserView != NULL)
			fUserView->RefreshIpAddress();
		Unlock();
	}
	BWindow::Show();
}

void
DynDnsSettingsWin::Hide()
{
	if (Lock()) {
		fUserView->SaveSettings();
		fServerView->SaveSettings();
		fOtherView->SaveSettings();
		fSaveCount++;
		Unlock();
	}
	BWindow::Hide();
}

int32
DynDnsSettingsWin::CountSaves() const
{
	return fSaveCount;
}

#include "ServerView.h"

#include <stdint.h>
#include <stdlib.h>

#include <InterfaceDefs.h>
#include <String.h>
#include <TextControl.h>

#include "CPreferences.h"
#include "PageTextControl.h"
#include "PreferencesEdit.h"

namespace {

const long kShortestDelay = 5;
// The most whole minutes whose seconds still fit the stored signed 32-bit number.
const long kLongestDelay = INT32_MAX / 60;

// The minutes are the number the text begins with (after white space, with an optional
// sign); a text that does not begin with one, or fewer than 5 minutes, stores 5.
int32
DelaySeconds(const char* text)
{
	char* end;
	long minutes = strtol(text, &end, 10);
	if (end == text || minutes < kShortestDelay)
		minutes = kShortestDelay;
	if (minutes > kLongestDelay)
		minutes = kLongestDelay;
	return (int32)(minutes * 60);
}

} // namespace

ServerView::ServerView(BRect frame, const CPreferences& prefs) :
	BView(frame, "Server", B_FOLLOW_ALL_SIDES, B_WILL_DRAW)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));

	fDynDnsServerEdit = MakePageTextControl(BRect(10, 20, 250, 30), "server-Dns-edit",
		"Server DynDns", 80, prefs.fDynDnsServer.String());
	fCheckIpServerEdit = MakePageTextControl(BRect(10, 45, 250, 55), "server-ip-edit",
		"Server Ip Check", 80, prefs.fCheckIpServer.String());
	BString minutes;
	minutes << prefs.fCheckDelay / 60;
	fDelayEdit = MakePageTextControl(BRect(10, 70, 180, 80), "delay", "Delay for ipCheck (minutes)",
		135, minutes.String());

	fDynDnsServerEdit->SetEnabled(false);
	fCheckIpServerEdit->SetEnabled(false);

	AddChild(fDynDnsServerEdit);
	AddChild(fCheckIpServerEdit);
	AddChild(fDelayEdit);
}

ServerView::~ServerView()
{
}

void
ServerView::SaveSettings()
{
	// The server names are not editable here: they stay as the file holds them, which may
	// be newer than what the page showed when it was built.
	PreferencesEdit prefs;
	prefs->fCheckDelay = DelaySeconds(fDelayEdit->Text());
	prefs.Commit();
}

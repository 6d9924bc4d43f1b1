#include "ServerView.h"

#include <stdint.h>
#include <stdlib.h>

#include <InterfaceDefs.h>
#include <String.h>
#include <TextControl.h>

#include "CPreferences.h"

namespace {

const long kShortestDelay = 5;
// The most whole minutes whose seconds still fit the stored signed 32-bit number.
const long kLongestDelay = INT32_MAX / 60;

BTextControl*
MakeControl(BRect frame, const char* name, const char* label, float divider)
{
	BTextControl* control = new BTextControl(frame, name, label, "", NULL,
		B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
	control->SetDivider(divider);
	// Escape belongs to the window: it hides it.
	control->TextView()->DisallowChar(B_ESCAPE);
	return control;
}

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

ServerView::ServerView(BRect frame) :
	BView(frame, "Server", B_FOLLOW_ALL_SIDES, B_WILL_DRAW)
{
	CPreferences prefs;
	prefs.Load();
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));

	fDynDnsServerEdit = MakeControl(BRect(10, 20, 250, 30), "server-Dns-edit", "Server DynDns", 80);
	fCheckIpServerEdit = MakeControl(BRect(10, 45, 250, 55), "server-ip-edit", "Server Ip Check",
		80);
	fDelayEdit = MakeControl(BRect(10, 70, 180, 80), "delay", "Delay for ipCheck (minutes)", 135);

	fDynDnsServerEdit->SetText(prefs.fDynDnsServer.String());
	fCheckIpServerEdit->SetText(prefs.fCheckIpServer.String());
	BString minutes;
	minutes << prefs.fCheckDelay / 60;
	fDelayEdit->SetText(minutes.String());

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
	CPreferences prefs;
	prefs.LockFile();
	// A failed load must not blank the keys this page does not edit.
	if (prefs.Load() != B_OK)
		prefs.UseDefaultValues();
	// The server names are not editable here: they stay as the file holds them, which may
	// be newer than what the page showed when it was built.
	prefs.fCheckDelay = DelaySeconds(fDelayEdit->Text());
	prefs.Save();
	prefs.UnlockFile();
}

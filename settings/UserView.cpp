#include "UserView.h"

#include <InterfaceDefs.h>
#include <TextControl.h>

#include "CPreferences.h"

namespace {

const float kDivider = 55;

BTextControl*
MakeControl(BRect frame, const char* name, const char* label)
{
	BTextControl* control = new BTextControl(frame, name, label, "", NULL,
		B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
	control->SetDivider(kDivider);
	// Escape belongs to the window: it hides it.
	control->TextView()->DisallowChar(B_ESCAPE);
	return control;
}

} // namespace

UserView::UserView(BRect frame) :
	BView(frame, "User", B_FOLLOW_ALL_SIDES, B_WILL_DRAW)
{
	CPreferences prefs;
	prefs.Load();
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));

	fUserEdit = MakeControl(BRect(10, 20, 250, 30), "user-edit", "User");
	fPasswordEdit = MakeControl(BRect(10, 45, 250, 55), "password-edit", "Password");
	fHostEdit = MakeControl(BRect(10, 70, 250, 80), "host-edit", "Host");
	fIpEdit = MakeControl(BRect(10, 95, 250, 105), "ip", "Ip Address");

	fUserEdit->SetText(prefs.fUser.String());
	fPasswordEdit->SetText(prefs.fPassword.String());
	fHostEdit->SetText(prefs.fHost.String());
	fIpEdit->SetText(prefs.fIpCache.String());
	fShownIpAddress = prefs.fIpCache;

	AddChild(fUserEdit);
	AddChild(fPasswordEdit);
	AddChild(fHostEdit);
	AddChild(fIpEdit);
}

UserView::~UserView()
{
}

void
UserView::AttachedToWindow()
{
	BView::AttachedToWindow();
	RefreshIpAddress();
}

void
UserView::SaveSettings()
{
	// Under the lock, an address check finishing meanwhile cannot lose these edits, nor
	// these edits its address.
	CPreferences prefs;
	prefs.LockFile();
	// A failed load must not blank the keys this page does not edit.
	if (prefs.Load() != B_OK)
		prefs.UseDefaultValues();
	prefs.fUser = fUserEdit->Text();
	prefs.fPassword = fPasswordEdit->Text();
	prefs.fHost = fHostEdit->Text();
	// A typed address becomes the cached one; an untouched field must not undo an address
	// the engine stored while the window was open.
	BString typed(fIpEdit->Text());
	if (typed != fShownIpAddress)
		prefs.fIpCache = typed;
	// Should the file not be written, the typed address is tried again at the next save.
	if (prefs.Save() == B_OK)
		fShownIpAddress = typed;
	prefs.UnlockFile();
}

void
UserView::RefreshIpAddress()
{
	CPreferences prefs;
	// An unreadable file leaves the shown address as it is.
	if (prefs.Load() != B_OK)
		return;
	// An address typed but not saved yet (the file could not be written, or the window is
	// still open) stays in the field; an untouched field follows the file.
	if (fShownIpAddress == fIpEdit->Text())
		fIpEdit->SetText(prefs.fIpCache.String());
	fShownIpAddress = prefs.fIpCache;
}

#include "UserView.h"

#include <InterfaceDefs.h>
#include <TextControl.h>

#include "CPreferences.h"
#include "PageTextControl.h"
#include "PreferencesEdit.h"

namespace {

const float kDivider = 55;

} // namespace

UserView::UserView(BRect frame, const CPreferences& prefs) :
	BView(frame, "User", B_FOLLOW_ALL_SIDES, B_WILL_DRAW)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));

	fUserEdit = MakePageTextControl(BRect(10, 20, 250, 30), "user-edit", "User", kDivider,
		prefs.fUser.String());
	fPasswordEdit = MakePageTextControl(BRect(10, 45, 250, 55), "password-edit", "Password",
		kDivider, prefs.fPassword.String());
	fHostEdit = MakePageTextControl(BRect(10, 70, 250, 80), "host-edit", "Host", kDivider,
		prefs.fHost.String());
	fIpEdit = MakePageTextControl(BRect(10, 95, 250, 105), "ip", "Ip Address", kDivider,
		prefs.fIpCache.String());
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
	// As one edit, an address check finishing meanwhile cannot lose these edits, nor these
	// edits its address.
	PreferencesEdit prefs;
	prefs->fUser = fUserEdit->Text();
	prefs->fPassword = fPasswordEdit->Text();
	prefs->fHost = fHostEdit->Text();
	// A typed address becomes the cached one; an untouched field must not undo an address
	// the engine stored while the window was open.
	BString typed(fIpEdit->Text());
	if (typed != fShownIpAddress)
		prefs->fIpCache = typed;
	// Should the file not be written, the typed address is tried again at the next save.
	if (prefs.Commit() == B_OK)
		fShownIpAddress = typed;
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

#include "OtherView.h"

#include <CheckBox.h>
#include <InterfaceDefs.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <TextControl.h>

#include "CPreferences.h"
#include "PageTextControl.h"
#include "PreferencesEdit.h"

namespace {

const uint32 kControlResizing = B_FOLLOW_LEFT | B_FOLLOW_TOP;
const uint32 kControlFlags = B_WILL_DRAW | B_NAVIGABLE;

// A flag counts as set only when it is exactly 1.
BCheckBox*
MakeCheckBox(BRect frame, const char* name, const char* label, int32 stored)
{
	BCheckBox* box = new BCheckBox(frame, name, label, NULL, kControlResizing, kControlFlags);
	box->SetValue(stored == 1 ? B_CONTROL_ON : B_CONTROL_OFF);
	return box;
}

} // namespace

OtherView::OtherView(BRect frame, const CPreferences& prefs) :
	BView(frame, "Other", B_FOLLOW_ALL_SIDES, B_WILL_DRAW)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));

	fWildcardCheck = MakeCheckBox(BRect(10, 20, 200, 30), "wildcard-check", "Wildcard",
		prefs.fWildcard);
	fBackMxCheck = MakeCheckBox(BRect(10, 40, 200, 50), "backmx-check", "Back mx", prefs.fBackMx);
	fOfflineCheck = MakeCheckBox(BRect(10, 60, 200, 70), "offline-check", "Offline",
		prefs.fOffline);

	fMxEdit = MakePageTextControl(BRect(10, 85, 250, 95), "mx-edit", "Mail Exchanger", 80,
		prefs.fMx.String());

	// No item is marked: the field shows the stored text, whatever it is, until the user
	// picks one.
	fSystemMenu = new BPopUpMenu(prefs.fSystem.String(), true, true, B_ITEMS_IN_COLUMN);
	fSystemMenu->AddItem(new BMenuItem("dyndns", NULL));
	fSystemMenu->AddItem(new BMenuItem("statdns", NULL));
	fSystemMenu->AddItem(new BMenuItem("custom", NULL));
	fSystemField = new BMenuField(BRect(10, 110, 180, 130), "system-menufield", "System",
		fSystemMenu, true, kControlResizing, kControlFlags);
	fSystemField->SetDivider(82);

	AddChild(fWildcardCheck);
	AddChild(fBackMxCheck);
	AddChild(fOfflineCheck);
	AddChild(fMxEdit);
	AddChild(fSystemField);
}

OtherView::~OtherView()
{
}

void
OtherView::SaveSettings()
{
	PreferencesEdit prefs;
	prefs->fSystem = fSystemField->MenuItem()->Label();
	prefs->fWildcard = fWildcardCheck->Value();
	prefs->fBackMx = fBackMxCheck->Value();
	prefs->fOffline = fOfflineCheck->Value();
	prefs->fMx = fMxEdit->Text();
	prefs.Commit();
}

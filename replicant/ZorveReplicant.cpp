#include "ZorveReplicant.h"

#include <time.h>

#include <Bitmap.h>
#include <DataIO.h>
#include <Deskbar.h>
#include <File.h>
#include <MenuItem.h>
#include <Message.h>
#include <PopUpMenu.h>
#include <Resources.h>
#include <Window.h>

#include "CPreferences.h"
#include "DynDnsSettingsWin.h"
#include "EngineMessages.h"
#include "PreferencesEdit.h"
#include "ScreenFit.h"
#include "Zorve.h"
#include "ZorveConstants.h"

namespace {

const type_code kBitmapType = 'BBMP';

// Slots of fFrames: the normal picture, three pending frames, the error picture.
const int8 kNormalFrame = 0;
const int8 kErrorFrame = 4;
const char* const kPictureNames[] = {"ZRV:Normal", "ZRV:Pending1", "ZRV:Pending2", "ZRV:Pending3",
	"ZRV:Error"};

// The menu's entries are told apart by their index.
const int32 kSettingsItem = 0;
const int32 kForceCheckItem = 1;
const int32 kForceUpdateItem = 2;
const int32 kExitItem = 4;

// Used when the preferences cannot be read or hold no usable window rectangle.
const BRect kDefaultWindowFrame(50, 50, 311, 240);

// While the engine does not let itself be locked, its exchange is abandoned again this often:
// one may have begun between the first abandon and the engine's next look at it.
const bigtime_t kEngineLockRetry = 50000;
const int32 kEngineLockTries = 100;

// The stored frame, moved wholly onto the screen; the default one if it is no rectangle.
BRect
StoredFrameOnScreen(BRect frame)
{
	return FitOnScreen(frame.IsValid() ? frame : kDefaultWindowFrame);
}

} // namespace

ZorveReplicant::ZorveReplicant() :
	BView(BRect(0, 0, 15, 15), kReplicantName, B_FOLLOW_NONE, B_WILL_DRAW | B_PULSE_NEEDED)
{
	_Init();
}

ZorveReplicant::ZorveReplicant(BMessage* archive) :
	BView(archive)
{
	_Init();
}

ZorveReplicant::~ZorveReplicant()
{
}

BArchivable*
ZorveReplicant::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, kReplicantName))
		return NULL;
	return new ZorveReplicant(archive);
}

status_t
ZorveReplicant::Archive(BMessage* data, bool deep) const
{
	status_t status = BView::Archive(data, deep);
	if (status == B_OK)
		status = data->AddString("add_on", kAppSignature);
	return status;
}

// #pragma mark - Attaching and detaching

void
ZorveReplicant::AttachedToWindow()
{
	// One read of the file serves the pictures, the delay and the window.
	CPreferences prefs;
	status_t loaded = prefs.Load();

	const char* application = loaded == B_OK ? prefs.fApplicationPath.String() : NULL;
	fNormalBitmap = _LoadBitmap(application, kPictureNames[kNormalFrame], kBitmapType);
	fFrames[kNormalFrame] = fNormalBitmap;
	for (int8 i = 1; i <= kErrorFrame; i++)
		fFrames[i] = _LoadBitmap(application, kPictureNames[i], kBitmapType);

	// A record that could not be loaded still holds the default delay.
	fCheckDelay = prefs.fCheckDelay;
	fLastCheck = (int32)time(NULL);
	fFrameIndex = 0;
	fCurrentBitmap = fNormalBitmap;

	BView::AttachedToWindow();

	fEngine = new Zorve();
	fEngine->Run();

	BuildMenu();

	fSettingsWin = new DynDnsSettingsWin(StoredFrameOnScreen(prefs.fSettingsWinPosition), fEngine);
	fSettingsSaves = fSettingsWin->CountSaves();
}

void
ZorveReplicant::DetachedFromWindow()
{
	// Hidden first, so that its pages save what the user typed: a window quit while shown
	// would not.
	if (!fSettingsWin->IsHidden())
		fSettingsWin->Hide();
	BRect frame = fSettingsWin->Frame();

	BView::DetachedFromWindow();

	delete fNormalBitmap;
	for (int8 i = 1; i <= kErrorFrame; i++)
		delete fFrames[i];
	delete fMenu;

	_QuitEngine();

	// Loaded now, so that every other key keeps what the window's pages just saved. The
	// engine is gone, so holding the lock here cannot meet its own save.
	{
		PreferencesEdit prefs;
		prefs->fSettingsWinPosition = frame;
		prefs.Commit();
	}

	_DisposeOfSettingsWindow();
}

// #pragma mark - Status

void
ZorveReplicant::Pulse()
{
	_FollowSavedSettings();
	int32 now = (int32)time(NULL);
	if (_CheckIsDue(now)) {
		// A check that falls due while the user edits the settings is dropped, not postponed.
		if (fSettingsWin->IsHidden())
			fEngine->PostMessage(MSG_CHECK_IP);
		fLastCheck = now;
	}

	if (fEngine->fBusy) {
		if (fFrameIndex == kErrorFrame)
			fFrameIndex = kNormalFrame;
		fCurrentBitmap = fFrames[fFrameIndex];
		Invalidate();
		fFrameIndex++;
		return;
	}

	// Idle: the results decide the picture, whether or not a pulse saw the exchange run (one
	// on a fast network begins and ends between two pulses). Nothing is drawn unless it
	// changes.
	bool failed = fEngine->fCheckResult != 0 || fEngine->fUpdateResult != 0;
	BBitmap* wanted = failed ? fFrames[kErrorFrame] : fNormalBitmap;
	if (fCurrentBitmap == wanted)
		return;
	fCurrentBitmap = wanted;
	Invalidate();
	fFrameIndex = kNormalFrame;
}

void
ZorveReplicant::Draw(BRect /*updateRect*/)
{
	SetHighColor(tint_color(ui_color(B_MENU_BACKGROUND_COLOR), B_DARKEN_1_TINT));
	FillRect(Bounds(), B_SOLID_HIGH);
	// A picture that failed to load leaves the background alone.
	if (fNormalBitmap == NULL || fCurrentBitmap == NULL)
		return;
	SetDrawingMode(B_OP_OVER);
	DrawBitmap(fCurrentBitmap, B_ORIGIN);
	SetDrawingMode(B_OP_COPY);
}

BBitmap*
ZorveReplicant::GetBitmap(const char* name, type_code type)
{
	CPreferences prefs;
	if (prefs.Load() != B_OK)
		return NULL;
	return _LoadBitmap(prefs.fApplicationPath.String(), name, type);
}

// NULL for an application that cannot be named.
BBitmap*
ZorveReplicant::_LoadBitmap(const char* application, const char* name, type_code type)
{
	if (application == NULL)
		return NULL;
	BFile file(application, B_READ_ONLY);
	BResources resources(&file, false);
	size_t size = 0;
	const void* data = resources.LoadResource(type, name, &size);
	BMemoryIO stream(data, size);
	BMessage archive;
	if (archive.Unflatten(&stream) != B_OK)
		return NULL;

	BBitmap* bitmap = new BBitmap(&archive);
	if (bitmap->InitCheck() != B_OK) {
		delete bitmap;
		return NULL;
	}
	return bitmap;
}

// #pragma mark - Menu

void
ZorveReplicant::BuildMenu()
{
	fMenu = new BPopUpMenu("Options", true, true, B_ITEMS_IN_COLUMN);
	fMenu->AddItem(new BMenuItem("Settings", NULL, 0, 0));
	fMenu->AddItem(new BMenuItem("Force Ip Check", NULL, 0, 0));
	fMenu->AddItem(new BMenuItem("Force Update", NULL, 0, 0));
	fMenu->AddSeparatorItem();
	fMenu->AddItem(new BMenuItem("Exit", NULL, 0, 0));
}

void
ZorveReplicant::MouseDown(BPoint where)
{
	// No menu while a check or an update runs.
	if (fEngine->fBusy)
		return;

	BMenuItem* chosen = fMenu->Go(ConvertToScreen(where), false, false, false);
	switch (fMenu->IndexOf(chosen)) {
		case kSettingsItem:
			if (fSettingsWin->IsHidden())
				fSettingsWin->Show();
			break;
		case kForceCheckItem:
			// Due at the next pulse, which posts it as a periodic check would be: counted
			// with the delay that pulse will use.
			_FollowSavedSettings();
			fLastCheck = (int32)time(NULL) - fCheckDelay;
			break;
		case kForceUpdateItem:
			fEngine->PostMessage(MSG_UPDATE);
			break;
		case kExitItem:
			// The Deskbar removes the view once this hook has returned.
			BDeskbar().RemoveItem(kReplicantName);
			break;
		default:
			break;
	}
}

// #pragma mark - Private

// Nothing exists until the view is attached.
void
ZorveReplicant::_Init()
{
	fSettingsWin = NULL;
	fMenu = NULL;
	fEngine = NULL;
	fLastCheck = 0;
	fCheckDelay = 0;
	fFrameIndex = 0;
	fCurrentBitmap = NULL;
	fNormalBitmap = NULL;
	for (int8 i = 0; i <= kErrorFrame; i++)
		fFrames[i] = NULL;
	fSettingsSaves = 0;
}

// Compared in 64 bits: a delay near the top of the 32-bit range must not wrap the sum and
// make every pulse due.
bool
ZorveReplicant::_CheckIsDue(int32 now) const
{
	return (int64)now - (int64)fLastCheck >= (int64)fCheckDelay;
}

// A delay changed in the settings window counts from the last check once the window has
// saved it, not only after the icon comes back.
void
ZorveReplicant::_FollowSavedSettings()
{
	int32 saves = fSettingsWin->CountSaves();
	if (saves == fSettingsSaves)
		return;
	fSettingsSaves = saves;
	CPreferences prefs;
	if (prefs.Load() == B_OK)
		fCheckDelay = prefs.fCheckDelay;
}

void
ZorveReplicant::_QuitEngine()
{
	// A check or update waiting on a server would hold the Deskbar's thread until its
	// time-out: the engine gives it up before it is locked.
	fEngine->AbandonExchange();
	int32 tries = 0;
	while (fEngine->LockWithTimeout(kEngineLockRetry) != B_OK) {
		if (++tries == kEngineLockTries) {
			fEngine->Lock();
			break;
		}
		fEngine->AbandonExchange();
	}
	fEngine->Quit();
}

void
ZorveReplicant::_DisposeOfSettingsWindow()
{
	// A window never shown has no thread to handle a quit request: it is quit from here.
	if (fSettingsWin->Thread() < 0) {
		if (fSettingsWin->Lock())
			fSettingsWin->Quit();
		return;
	}
	fSettingsWin->PostMessage(B_QUIT_REQUESTED);
}

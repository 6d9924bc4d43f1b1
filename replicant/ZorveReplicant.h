/*
 * ZorveReplicant: the 16x16 status icon in the Deskbar, and the owner of the running system.
 * Attached, it loads its pictures, starts the engine, builds its menu and creates the hidden
 * settings window; the Deskbar's pulse schedules the periodic address check and animates the
 * icon while the engine works. Detached, it undoes all of that and stores the window's frame.
 */
#ifndef ZORVE_REPLICANT_H
#define ZORVE_REPLICANT_H

#include <View.h>

class BBitmap;
class BPopUpMenu;
class DynDnsSettingsWin;
class Zorve;

class ZorveReplicant : public BView {
public:
	ZorveReplicant();
	ZorveReplicant(BMessage* archive);
	virtual ~ZorveReplicant();

	static BArchivable* Instantiate(BMessage* archive);
	virtual status_t Archive(BMessage* data, bool deep = true) const override;

	virtual void AttachedToWindow() override;
	virtual void DetachedFromWindow() override;
	virtual void Draw(BRect updateRect) override;
	virtual void MouseDown(BPoint where) override;
	virtual void Pulse() override;

	// A new bitmap from the archive stored as the resource `name` of type `type` in the file
	// the preferences name as the application's; NULL on any failure.
	BBitmap* GetBitmap(const char* name, type_code type);
	void BuildMenu();

private:
	void _Init();
	BBitmap* _LoadBitmap(const char* application, const char* name, type_code type);
	bool _CheckIsDue(int32 now) const;
	void _FollowSavedSettings();
	void _QuitEngine();
	void _DisposeOfSettingsWindow();

	DynDnsSettingsWin* fSettingsWin;
	BPopUpMenu* fMenu;
	Zorve* fEngine;
	int32 fLastCheck;
	int32 fCheckDelay;
	int8 fFrameIndex;
	BBitmap* fCurrentBitmap;
	BBitmap* fNormalBitmap;
	BBitmap* fFrames[5];
	// The settings window's save count when "check-delay" was last read.
	int32 fSettingsSaves;
};

#endif // ZORVE_REPLICANT_H

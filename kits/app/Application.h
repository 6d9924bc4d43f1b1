/*
 * BApplication: the team's application object. It registers its signature with the roster
 * when constructed; Run() runs its message loop on the calling thread. Scripting, cursors and
 * window lists are not provided.
 */
#ifndef _APPLICATION_H
#define _APPLICATION_H

#include <AppDefs.h>
#include <Looper.h>

class BWindow;
struct app_info;

class BApplication : public BLooper {
public:
	BApplication(const char* signature);
	BApplication(const char* signature, status_t* error);
	virtual ~BApplication();

	status_t InitCheck() const;

	virtual thread_id Run();
	virtual void Quit();
	virtual bool QuitRequested();
	virtual void Pulse();
	virtual void ReadyToRun();
	virtual void MessageReceived(BMessage* message);
	virtual void ArgvReceived(int32 argc, char** argv);
	virtual void AppActivated(bool active);
	virtual void RefsReceived(BMessage* message);
	virtual void AboutRequested();
	virtual void DispatchMessage(BMessage* message, BHandler* handler);

	void SetPulseRate(bigtime_t rate);
	int32 CountWindows() const;
	BWindow* WindowAt(int32 index) const;
	bool IsLaunching() const;
	status_t GetAppInfo(app_info* info) const;

private:
	void _InitData(const char* signature, status_t* error);

	char* fAppSignature;
	status_t fInitError;
	bigtime_t fPulseRate;
	bool fReadyToRunCalled;
	struct PulseThread;
	PulseThread* fPulse;
};

extern BApplication* be_app;

#endif // _APPLICATION_H

/*
 * DeskbarApplication: the Deskbar host process. It owns the shelf and the request server,
 * brings back the items archived at its last orderly quit before it answers any request, and
 * archives them again when it quits (on request, on SIGTERM, SIGINT or SIGHUP, or when the
 * display it shows on goes away, so that the next session's host starts with them).
 */
#ifndef DESKBAR_APPLICATION_H
#define DESKBAR_APPLICATION_H

#include <signal.h>

#include <atomic>
#include <thread>

#include <Application.h>

class RequestServer;
class ShelfWindow;

class DeskbarApplication : public BApplication {
public:
	DeskbarApplication();
	~DeskbarApplication() override;

	// Restores the items, then runs the Deskbar until it is asked to quit; the process's
	// exit status.
	int Serve();

	void MessageReceived(BMessage* message) override;

private:
	// Between the start of the server and the shutdown: the items restored, requests
	// answered until a quit, the items archived.
	void _ServeUntilQuit();
	void _WatchSignals();
	void _StopWatchingSignals();
	void _CloseMenus();
	void _RestoreItems();
	void _ArchiveItems();

	ShelfWindow* fShelf;
	RequestServer* fServer;
	sigset_t fSignals;
	std::thread fSignalThread;
	std::atomic<bool> fQuitting;
};

#endif // DESKBAR_APPLICATION_H

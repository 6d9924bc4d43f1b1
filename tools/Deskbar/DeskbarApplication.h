/*
 * DeskbarApplication: the Deskbar host process. It owns the shelf and the request server,
 * brings back the items archived at its last orderly quit before it answers any request, and
 * archives them again when it quits (on request, on SIGTERM, SIGINT or SIGHUP, or when the
 * display it shows on goes away, so that the next session's host starts with them).
 */
#ifndef DESKBAR_APPLICATION_H
#define DESKBAR_APPLICATION_H

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
	void _CloseMenus();
	void _RestoreItems();
	void _ArchiveItems();

	ShelfWindow* fShelf;
	RequestServer* fServer;
};

#endif // DESKBAR_APPLICATION_H

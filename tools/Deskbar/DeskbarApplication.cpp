#include "DeskbarApplication.h"

#include <malloc.h>
#include <pthread.h>
#include <signal.h>
#include <stdio.h>
#include <unistd.h>

#include <string>

#include <File.h>
#include <FindDirectory.h>
#include <Message.h>
#include <Path.h>

#include "DeskbarProtocol.h"
#include "DisplayLink.h"
#include "MenuPrivate.h"
#include "RequestServer.h"
#include "ShelfWindow.h"

using namespace BPrivate;

namespace {

const char* const kDeskbarSignature = "application/x-vnd.Be-TSKB";
const uint32 kMsgDisplayLost = 'DBdl';

status_t
ItemsPath(BPath& path)
{
	status_t status = find_directory(B_USER_SETTINGS_DIRECTORY, &path, true);
	if (status == B_OK)
		status = path.Append(kDeskbarItemsFile);
	return status;
}

} // namespace

DeskbarApplication::DeskbarApplication() :
	BApplication(kDeskbarSignature),
	fShelf(NULL),
	fServer(NULL),
	fQuitting(false)
{
	// Only the shelf pulses (its items); the application's own pulse would only wake it.
	SetPulseRate(0);
}

DeskbarApplication::~DeskbarApplication()
{
	delete fServer;
}

int
DeskbarApplication::Serve()
{
	// Large buffers (a big request, a reply) go back to the system when freed, instead of
	// raising the threshold under which the allocator keeps what it was given.
	mallopt(M_MMAP_THRESHOLD, 256 * 1024);
	// Before any other thread is made: every thread inherits the blocked signals.
	_WatchSignals();

	fShelf = new ShelfWindow();
	fServer = new RequestServer(fShelf);
	status_t status = fServer->Start();
	if (status == B_OK)
		_ServeUntilQuit();
	else if (status == B_ALREADY_RUNNING) {
		// Any other failure the server has told in its own words.
		fprintf(stderr, "Deskbar: another Deskbar runs\n");
	}

	fShelf->Lock();
	fShelf->Quit();
	fShelf = NULL;
	delete fServer;
	fServer = NULL;
	_StopWatchingSignals();
	return status == B_OK ? 0 : 1;
}

void
DeskbarApplication::_ServeUntilQuit()
{
	// Hidden until it holds an item.
	fShelf->Run();
	// The items of the last run are back before any request is answered: a client asking
	// whether an item is there must not hear "no" from a Deskbar about to restore it.
	_RestoreItems();
	fServer->StartAccepting();
	DisplayLink::WatchDisplayLoss(this, kMsgDisplayLost);

	Run();
	DisplayLink::WatchDisplayLoss(NULL, 0);

	_CloseMenus();
	_ArchiveItems();
	fServer->Stop();
}

void
DeskbarApplication::_WatchSignals()
{
	// Signals are taken by one thread only, which turns them into a quit request.
	sigemptyset(&fSignals);
	sigaddset(&fSignals, SIGTERM);
	sigaddset(&fSignals, SIGINT);
	sigaddset(&fSignals, SIGHUP);
	sigaddset(&fSignals, SIGUSR1);
	pthread_sigmask(SIG_BLOCK, &fSignals, NULL);
	fSignalThread = std::thread([this] {
		int received;
		while (sigwait(&fSignals, &received) == 0 && !fQuitting) {
			if (received != SIGUSR1) {
				PostMessage(B_QUIT_REQUESTED);
				break;
			}
		}
	});
}

void
DeskbarApplication::_StopWatchingSignals()
{
	// SIGUSR1 only wakes the thread.
	fQuitting = true;
	pthread_kill(fSignalThread.native_handle(), SIGUSR1);
	fSignalThread.join();
}

void
DeskbarApplication::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kMsgDisplayLost:
			// The session has ended. A host that outlived it would keep the next session's
			// host from starting, and with it every item: it quits as when asked to.
			fprintf(stderr, "Deskbar: the display has gone; quitting\n");
			PostMessage(B_QUIT_REQUESTED);
			break;
		default:
			BApplication::MessageReceived(message);
			break;
	}
}

void
DeskbarApplication::_CloseMenus()
{
	// An open menu holds the shelf's thread, and so its lock, in the menu's Go(): it is
	// closed as an Escape would close it, and again should another open meanwhile.
	for (int32 attempt = 0; attempt < 50; attempt++) {
		close_open_menus();
		if (fShelf->LockWithTimeout(100000) == B_OK) {
			fShelf->Unlock();
			return;
		}
	}
}

void
DeskbarApplication::_RestoreItems()
{
	BPath path;
	if (ItemsPath(path) != B_OK)
		return;
	BFile file(path.Path(), B_READ_ONLY);
	BMessage items;
	if (file.InitCheck() != B_OK || items.Unflatten(&file) != B_OK)
		return;
	BMessage archive;
	for (int32 i = 0; items.FindMessage("item", i, &archive) == B_OK; i++) {
		BMessage request(kMsgDeskbarAddItem);
		request.AddMessage("archive", &archive);
		fShelf->Submit(request, NULL, true);
	}
}

void
DeskbarApplication::_ArchiveItems()
{
	BMessage items;
	fShelf->ArchiveItems(&items);
	BPath path;
	if (ItemsPath(path) != B_OK)
		return;
	std::string temporary = std::string(path.Path()) + ".new";
	BFile file(temporary.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
	if (file.InitCheck() != B_OK || items.Flatten(&file) != B_OK) {
		unlink(temporary.c_str());
		return;
	}
	file.Sync();
	rename(temporary.c_str(), path.Path());
}

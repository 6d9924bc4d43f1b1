#include "ShelfWindow.h"

#include <stdio.h>

#include <algorithm>
#include <memory>

#include <Application.h>
#include <Archivable.h>
#include <InterfaceDefs.h>
#include <OS.h>
#include <Screen.h>
#include <View.h>

#include "AddOnImage.h"
#include "DeskbarItemSelector.h"
#include "DeskbarProtocol.h"
#include "DisplayLink.h"
#include "Handshake.h"

using namespace BPrivate;

namespace {

const uint32 kMsgShelfRequest = 'SHrq';
const float kSlotSize = 16;
const float kSlotSpacing = 2;
const float kMargin = 2;
const bigtime_t kShelfPulseRate = 500000;
// Shorter than a client waits for its reply: a request given up here is answered before the
// client gives up, and is then withdrawn, so the answer holds.
const bigtime_t kRequestTimeout = 20000000;

typedef BView* (*instantiate_deskbar_item_func)();

BRect
ShelfFrame(int32 slots)
{
	float width = kMargin * 2 + std::max(slots, (int32)1) * (kSlotSize + kSlotSpacing)
		- kSlotSpacing - 1;
	float height = kMargin * 2 + kSlotSize - 1;
	BRect screen = BScreen().Frame();
	return BRect(screen.right - width, 0, screen.right, height);
}

// An add or remove request, and the shelf's reply ("status", "id") to it.
struct ShelfRequest : Handshake<BMessage> {
	BMessage request;
};

} // namespace

ShelfWindow::ShelfWindow() :
	BWindow(ShelfFrame(0), kDeskbarShelfTitle, B_NO_BORDER_WINDOW_LOOK, B_FLOATING_ALL_WINDOW_FEEL,
		B_NOT_MOVABLE | B_NOT_CLOSABLE | B_NOT_ZOOMABLE | B_NOT_RESIZABLE | B_AVOID_FOCUS
			| B_WILL_ACCEPT_FIRST_CLICK),
	fNextId(1)
{
	fShelf = new BView(Bounds(), "Shelf", B_FOLLOW_ALL, B_WILL_DRAW);
	fShelf->SetViewColor(ui_color(B_MENU_BACKGROUND_COLOR));
	AddChild(fShelf);
	SetPulseRate(kShelfPulseRate);
}

ShelfWindow::~ShelfWindow()
{
}

bool
ShelfWindow::QuitRequested()
{
	// The shelf goes with the Deskbar, never on its own.
	be_app->PostMessage(B_QUIT_REQUESTED);
	return false;
}

void
ShelfWindow::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kMsgShelfRequest:
		{
			std::shared_ptr<ShelfRequest>* shared = NULL;
			if (message->FindPointer("request", (void**)&shared) != B_OK || shared == NULL)
				break;
			std::shared_ptr<ShelfRequest> pending = std::move(*shared);
			delete shared;
			int32 id = -1;
			status_t status = B_TIMED_OUT;
			if (pending->Begin())
				status = _Carry(pending->request, &id);
			BMessage reply;
			reply.AddInt32("status", status);
			if (status == B_OK && id >= 0)
				reply.AddInt32("id", id);
			pending->Finish(reply);
			break;
		}
		default:
			BWindow::MessageReceived(message);
			break;
	}
}

status_t
ShelfWindow::_Carry(const BMessage& request, int32* id)
{
	try {
		if (request.what == kMsgDeskbarAddItem)
			return _AddItem(request, id);
		if (request.what == kMsgDeskbarRemoveItem)
			return _RemoveItem(request);
		return B_BAD_VALUE;
	} catch (...) {
		// An add-on that throws fails its own request, not the Deskbar.
		fprintf(stderr, "Deskbar: an item's code failed while it was added or removed\n");
		return B_ERROR;
	}
}

status_t
ShelfWindow::Submit(const BMessage& request, BMessage* reply, bool wait)
{
	auto pending = std::make_shared<ShelfRequest>();
	pending->request = request;
	// The message carries a share of the request, which the shelf takes over.
	auto shared = new std::shared_ptr<ShelfRequest>(pending);
	BMessage message(kMsgShelfRequest);
	message.AddPointer("request", shared);
	status_t status = PostMessage(&message);
	if (status != B_OK) {
		delete shared;
		return status;
	}
	if (!wait)
		return B_OK;

	// Once begun, its answer is waited for, whatever it is.
	BMessage answer;
	if (!pending->WaitOrWithdraw(kRequestTimeout, &answer))
		return B_TIMED_OUT;
	if (reply != NULL)
		*reply = answer;
	int32 result = B_ERROR;
	answer.FindInt32("status", &result);
	return result;
}

std::vector<ShelfWindow::ItemInfo>
ShelfWindow::Items() const
{
	std::lock_guard<std::mutex> guard(fSnapshotLock);
	return fSnapshot;
}

status_t
ShelfWindow::ArchiveItems(BMessage* into)
{
	if (!Lock())
		return B_ERROR;
	for (const Item& item : fItems) {
		BMessage archive;
		if (item.view->Archive(&archive, true) == B_OK)
			into->AddMessage("item", &archive);
	}
	Unlock();
	return B_OK;
}

status_t
ShelfWindow::_AddItem(const BMessage& request, int32* id)
{
	BView* view = NULL;
	const char* path;
	BMessage archive;
	if (request.FindString("path", &path) == B_OK) {
		// The image stays loaded: its code runs as long as the view lives, and its archive may
		// be instantiated again.
		void* instantiate;
		status_t status = load_add_on_symbol(path, "instantiate_deskbar_item", &instantiate);
		if (status != B_OK)
			return status;
		view = ((instantiate_deskbar_item_func)instantiate)();
	} else if (request.FindMessage("archive", &archive) == B_OK) {
		BArchivable* object = instantiate_object(&archive);
		view = dynamic_cast<BView*>(object);
		if (view == NULL)
			delete object;
	} else
		return B_BAD_VALUE;
	if (view == NULL)
		return B_ERROR;

	Item item = {fNextId++, view};
	fItems.push_back(item);
	_Layout();
	fShelf->AddChild(view);
	_UpdateSnapshot();
	// Shown once the tray knows the item, so that a shelf whose item goes to a tray never
	// flashes by.
	_UpdateVisibility();
	*id = item.id;
	return B_OK;
}

status_t
ShelfWindow::_RemoveItem(const BMessage& request)
{
	DeskbarItemSelector selector(request);
	auto found = std::find_if(fItems.begin(), fItems.end(),
		[&](const Item& item) { return selector.Matches(item.id, item.view->Name()); });
	if (found == fItems.end())
		return B_NAME_NOT_FOUND;
	BView* view = found->view;
	fItems.erase(found);
	view->RemoveSelf();
	delete view;
	// Hidden before it shrinks: the empty shelf never reaches the screen.
	_UpdateVisibility();
	_Layout();
	_UpdateSnapshot();
	return B_OK;
}

void
ShelfWindow::_Layout()
{
	BRect frame = ShelfFrame((int32)fItems.size());
	MoveTo(frame.LeftTop());
	ResizeTo(frame.Width(), frame.Height());
	float x = kMargin;
	for (const Item& item : fItems) {
		item.view->MoveTo(x, kMargin);
		x += kSlotSize + kSlotSpacing;
	}
	fShelf->Invalidate();
}

void
ShelfWindow::_UpdateVisibility()
{
	// An empty shelf shows nothing: a host started with no item, or whose last item left,
	// stays out of sight. On a display with a tray the backend keeps a shown shelf off the
	// screen as well.
	if (fItems.empty() && !IsHidden())
		Hide();
	else if (!fItems.empty() && IsHidden())
		Show();
}

void
ShelfWindow::_UpdateSnapshot()
{
	std::vector<ItemInfo> snapshot;
	for (const Item& item : fItems)
		snapshot.push_back(
			{item.id, item.view->Name() != NULL ? item.view->Name() : "", item.view->Frame()});
	{
		std::lock_guard<std::mutex> guard(fSnapshotLock);
		fSnapshot.swap(snapshot);
	}
	_UpdateTray();
}

void
ShelfWindow::_UpdateTray()
{
	// On a display with a system tray every item is an icon there, and the shelf window
	// shows only while none is docked.
	std::vector<BView*> views;
	for (const Item& item : fItems)
		views.push_back(item.view);
	DisplayLink::SetTrayItems(this, views);
}

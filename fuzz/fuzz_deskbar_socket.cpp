/*
 * The Deskbar host's socket: framed bytes in, through the length prefix and the message
 * decoding, to the request handling of a headless host holding a stand-in item. Each input is
 * sent as it is, and once more with its message's size, checksum and length prefix set right.
 * Loading an add-on by path gives the stand-in; a screenshot goes to a file of the run's own.
 * Every request must be answered with a reply a client accepts.
 */
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <math.h>

#include <thread>
#include <vector>

#include <Application.h>
#include <Message.h>
#include <View.h>

#include "AddOnImage.h"
#include "DeskbarLink.h"
#include "DeskbarProtocol.h"
#include "FuzzHome.h"
#include "FuzzCheck.h"
#include "MessageRepair.h"
#include "RequestServer.h"
#include "ShelfWindow.h"

using namespace BPrivate;

namespace {

// Inputs that could not sit in a socket's buffer whole are left out.
const size_t kMaxInput = 128 * 1024;
// Rectangles of pixels larger than this are legitimate but slow: left out once checked.
const float kMaxPixelArea = 256 * 256;
const int32 kMaxItems = 4;

class StandIn : public BView {
public:
	StandIn() :
		BView(BRect(0, 0, 15, 15), "StandIn", B_FOLLOW_NONE, B_WILL_DRAW | B_PULSE_NEEDED)
	{
	}

	void Draw(BRect) override
	{
		SetHighColor(255, 0, 0);
		FillRect(Bounds());
	}
};

BView*
InstantiateStandIn()
{
	return new StandIn;
}

class FuzzApplication : public BApplication {
public:
	FuzzApplication() :
		BApplication("application/x-vnd.Zorve-FuzzDeskbar")
	{
	}

	// Asked to quit, the host of a fuzz run goes on: it lives as long as the run.
	bool QuitRequested() override { return false; }
};

// Lives as long as the run; its folder (a FuzzHome's) goes at the run's end.
struct Host {
	explicit Host(const std::string& folder) :
		screenshot(folder + "/shot.png")
	{
		std::thread([this] { application->Run(); }).detach();
		shelf->SetPulseRate(0);
		shelf->Show();
		DeskbarHostInterface::SetInstance(server);
	}

	FuzzApplication* application = new FuzzApplication;
	ShelfWindow* shelf = new ShelfWindow;
	RequestServer* server = new RequestServer(shelf);
	std::string screenshot;
};

// Keeps the request within this run and its time: a file of its own for a screenshot,
// small pictures, no pulse of the shelf's own. False for a request left out.
bool
Tame(BMessage& request, Host& host)
{
	if (request.what == kMsgDeskbarScreenshot) {
		// Put anew: a field the input marked as of fixed size takes no longer text.
		if (request.HasString("path")) {
			request.RemoveName("path");
			request.AddString("path", host.screenshot.c_str());
		}
		int32 scale;
		if (request.FindInt32("scale", &scale) == B_OK && scale > 2)
			request.ReplaceInt32("scale", 2);
	}
	BRect rect;
	if (request.what == kMsgDeskbarPixels && request.FindRect("rect", &rect) == B_OK
		&& (rect.Width() + 1) * (rect.Height() + 1) > kMaxPixelArea) {
		// Still handed over when a side is zero or not a number: those the host must refuse.
		return !isfinite(rect.Width()) || !isfinite(rect.Height()) || rect.Width() < 0
			|| rect.Height() < 0;
	}
	return true;
}

void
Handle(BMessage& request, Host& host)
{
	if (!Tame(request, host))
		return;
	BMessage reply;
	status_t status = host.server->HandleRequest(request, &reply);
	int32 answered;
	Check(reply.FindInt32("status", &answered) == B_OK && answered == status);
	Check(reply.FlattenedSize() <= (ssize_t)kDeskbarMaxMessageSize);

	if (request.what == kMsgDeskbarPulseRate)
		host.shelf->SetPulseRate(0);
	std::vector<ShelfWindow::ItemInfo> items = host.shelf->Items();
	if (items.size() > (size_t)kMaxItems) {
		for (const ShelfWindow::ItemInfo& item : items) {
			BMessage remove(kMsgDeskbarRemoveItem);
			remove.AddInt32("id", item.id);
			host.server->HandleRequest(remove, NULL);
		}
	}
}

// Sends the frame over a socket and reads it back as the host reads a request.
void
Deliver(const uint8_t* data, size_t size, Host& host)
{
	int pair[2];
	Check(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) == 0);
	size_t sent = 0;
	while (sent < size) {
		ssize_t count = send(pair[1], data + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
		if (count <= 0)
			break;
		sent += (size_t)count;
	}
	shutdown(pair[1], SHUT_WR);
	BMessage request;
	status_t status = DeskbarLink::ReadMessage(pair[0], &request, 0);
	close(pair[0]);
	close(pair[1]);
	if (status == B_OK)
		Handle(request, host);
}

} // namespace

namespace BPrivate {

// Every add-on the fuzzer names is the stand-in: no path of its loads anything.
status_t
load_add_on_symbol(const char* /*path*/, const char* name, void** symbol)
{
	*symbol = NULL;
	if (strcmp(name, "instantiate_deskbar_item") != 0)
		return B_MISSING_SYMBOL;
	*symbol = (void*)&InstantiateStandIn;
	return B_OK;
}

} // namespace BPrivate

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	static FuzzHome home;
	static Host* host = new Host(home.Path());
	if (size > kMaxInput)
		return 0;
	Deliver(data, size, *host);
	// The message after the prefix, repaired, with the prefix giving its length.
	if (size > 4) {
		std::vector<uint8_t> message = Repaired(data + 4, size - 4);
		if (!message.empty()) {
			uint32 length = (uint32)message.size();
			message.insert(message.begin(), (uint8_t*)&length, (uint8_t*)&length + 4);
			Deliver(message.data(), message.size(), *host);
		}
	}
	return 0;
}

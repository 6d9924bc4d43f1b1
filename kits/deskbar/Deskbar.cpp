#include <Deskbar.h>

#include <string.h>

#include <Entry.h>
#include <Message.h>
#include <Path.h>
#include <View.h>

#include "DeskbarHostInterface.h"
#include "DeskbarItemSelector.h"
#include "DeskbarLink.h"
#include "DeskbarProtocol.h"

using namespace BPrivate;

namespace {

status_t
Ask(const BMessage& request, BMessage* reply)
{
	DeskbarHostInterface* host = DeskbarHostInterface::Instance();
	if (host != NULL)
		return host->HandleRequest(request, reply);
	return DeskbarLink::Exchange(request, reply);
}

} // namespace

BDeskbar::BDeskbar()
{
}

BDeskbar::~BDeskbar()
{
}

BRect
BDeskbar::Frame() const
{
	BMessage request(kMsgDeskbarFrame), reply;
	BRect frame;
	if (Ask(request, &reply) == B_OK)
		reply.FindRect("frame", &frame);
	return frame;
}

deskbar_location
BDeskbar::Location(bool* isExpanded) const
{
	if (isExpanded != NULL)
		*isExpanded = true;
	return B_DESKBAR_RIGHT_TOP;
}

status_t
BDeskbar::SetLocation(deskbar_location /*location*/, bool /*expanded*/)
{
	return B_NOT_ALLOWED;
}

bool
BDeskbar::IsExpanded() const
{
	return true;
}

status_t
BDeskbar::Expand(bool /*expand*/)
{
	return B_NOT_ALLOWED;
}

status_t
BDeskbar::GetItemInfo(int32 id, const char** name) const
{
	if (name == NULL)
		return B_BAD_VALUE;
	BMessage request(kMsgDeskbarItemInfo), reply;
	DeskbarItemSelector(id).AddTo(&request);
	status_t status = Ask(request, &reply);
	if (status != B_OK)
		return status;
	// The caller owns the name, as on the platform.
	const char* found;
	if (reply.FindString("name", &found) != B_OK)
		return B_NAME_NOT_FOUND;
	*name = strdup(found);
	return B_OK;
}

status_t
BDeskbar::GetItemInfo(const char* name, int32* id) const
{
	if (name == NULL || id == NULL)
		return B_BAD_VALUE;
	BMessage request(kMsgDeskbarItemInfo), reply;
	DeskbarItemSelector(name).AddTo(&request);
	status_t status = Ask(request, &reply);
	if (status == B_OK)
		status = reply.FindInt32("id", id);
	return status;
}

bool
BDeskbar::HasItem(int32 id) const
{
	BMessage request(kMsgDeskbarHasItem), reply;
	DeskbarItemSelector(id).AddTo(&request);
	bool found = false;
	return Ask(request, &reply) == B_OK && reply.FindBool("exists", &found) == B_OK && found;
}

bool
BDeskbar::HasItem(const char* name) const
{
	if (name == NULL)
		return false;
	BMessage request(kMsgDeskbarHasItem), reply;
	DeskbarItemSelector(name).AddTo(&request);
	bool found = false;
	return Ask(request, &reply) == B_OK && reply.FindBool("exists", &found) == B_OK && found;
}

uint32
BDeskbar::CountItems() const
{
	BMessage request(kMsgDeskbarCountItems), reply;
	int32 count = 0;
	if (Ask(request, &reply) == B_OK)
		reply.FindInt32("count", &count);
	return (uint32)count;
}

status_t
BDeskbar::AddItem(BView* archivableView, int32* id)
{
	if (archivableView == NULL)
		return B_BAD_VALUE;
	BMessage archive;
	status_t status = archivableView->Archive(&archive, true);
	if (status != B_OK)
		return status;
	BMessage request(kMsgDeskbarAddItem), reply;
	request.AddMessage("archive", &archive);
	status = Ask(request, &reply);
	if (status == B_OK && id != NULL)
		reply.FindInt32("id", id);
	return status;
}

status_t
BDeskbar::AddItem(entry_ref* addon, int32* id)
{
	if (addon == NULL)
		return B_BAD_VALUE;
	BPath path(addon);
	if (path.InitCheck() != B_OK)
		return B_ENTRY_NOT_FOUND;
	BMessage request(kMsgDeskbarAddItem), reply;
	request.AddString("path", path.Path());
	status_t status = Ask(request, &reply);
	if (status == B_OK && id != NULL)
		reply.FindInt32("id", id);
	return status;
}

status_t
BDeskbar::RemoveItem(int32 id)
{
	BMessage request(kMsgDeskbarRemoveItem), reply;
	DeskbarItemSelector(id).AddTo(&request);
	return Ask(request, &reply);
}

status_t
BDeskbar::RemoveItem(const char* name)
{
	if (name == NULL)
		return B_BAD_VALUE;
	BMessage request(kMsgDeskbarRemoveItem), reply;
	DeskbarItemSelector(name).AddTo(&request);
	return Ask(request, &reply);
}

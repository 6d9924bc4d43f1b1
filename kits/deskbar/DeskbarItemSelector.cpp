#include "DeskbarItemSelector.h"

#include <string.h>

#include <Message.h>

namespace BPrivate {

DeskbarItemSelector::DeskbarItemSelector(int32 id) :
	fName(NULL),
	fId(id)
{
}

DeskbarItemSelector::DeskbarItemSelector(const char* name) :
	fName(name),
	fId(-1)
{
}

DeskbarItemSelector::DeskbarItemSelector(const BMessage& request) :
	fName(NULL),
	fId(-1)
{
	if (request.FindString("name", &fName) != B_OK) {
		fName = NULL;
		request.FindInt32("id", &fId);
	}
}

status_t
DeskbarItemSelector::AddTo(BMessage* request) const
{
	if (fName != NULL)
		return request->AddString("name", fName);
	return request->AddInt32("id", fId);
}

bool
DeskbarItemSelector::Matches(int32 id, const char* name) const
{
	if (fName == NULL)
		return id == fId;
	return strcmp(name != NULL ? name : "", fName) == 0;
}

} // namespace BPrivate

/*
 * Private to the Deskbar handle, the Deskbar host and its control client: which of the
 * shelf's items a request means, the one of a name or the one of an id. The asker puts it
 * into the request; the host reads it back and matches its items against it.
 */
#ifndef _DESKBAR_ITEM_SELECTOR_H
#define _DESKBAR_ITEM_SELECTOR_H

#include <SupportDefs.h>

class BMessage;

namespace BPrivate {

class DeskbarItemSelector {
public:
	explicit DeskbarItemSelector(int32 id);
	explicit DeskbarItemSelector(const char* name);
	// The request's "name" when it has one, else its "id"; the name is the request's own,
	// valid while the request is.
	explicit DeskbarItemSelector(const BMessage& request);

	status_t AddTo(BMessage* request) const;
	// A nameless item (NULL) is named "".
	bool Matches(int32 id, const char* name) const;

private:
	const char* fName;
	int32 fId;
};

} // namespace BPrivate

#endif // _DESKBAR_ITEM_SELECTOR_H

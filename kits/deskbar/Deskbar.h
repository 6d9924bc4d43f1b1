/*
 * BDeskbar: a handle on the Deskbar of the user's session, which holds replicant views in its
 * shelf. Talks to the Deskbar host process over a local socket, starting a host when none runs.
 * The Deskbar's location and expansion cannot be changed.
 */
#ifndef _DESKBAR_H
#define _DESKBAR_H

#include <Rect.h>
#include <SupportDefs.h>

class BView;
struct entry_ref;

enum deskbar_location {
	B_DESKBAR_TOP,
	B_DESKBAR_BOTTOM,
	B_DESKBAR_LEFT_TOP,
	B_DESKBAR_RIGHT_TOP,
	B_DESKBAR_LEFT_BOTTOM,
	B_DESKBAR_RIGHT_BOTTOM
};

class BDeskbar {
public:
	BDeskbar();
	~BDeskbar();

	BRect Frame() const;
	deskbar_location Location(bool* isExpanded = NULL) const;
	status_t SetLocation(deskbar_location location, bool expanded = false);
	bool IsExpanded() const;
	status_t Expand(bool expand);

	status_t GetItemInfo(int32 id, const char** name) const;
	status_t GetItemInfo(const char* name, int32* id) const;
	bool HasItem(int32 id) const;
	bool HasItem(const char* name) const;
	uint32 CountItems() const;

	status_t AddItem(BView* archivableView, int32* id = NULL);
	status_t AddItem(entry_ref* addon, int32* id = NULL);
	status_t RemoveItem(int32 id);
	status_t RemoveItem(const char* name);
};

#endif // _DESKBAR_H

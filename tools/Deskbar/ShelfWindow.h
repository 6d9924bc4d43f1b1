/*
 * ShelfWindow: the Deskbar's shelf, a borderless window holding the replicant views side by
 * side in 16 by 16 slots on the menu background colour, and pulsing them. It shows only while
 * it holds an item. Items are added and removed on the window's own thread; other threads read
 * a snapshot of the item list.
 */
#ifndef SHELF_WINDOW_H
#define SHELF_WINDOW_H

#include <mutex>
#include <string>
#include <vector>

#include <Message.h>
#include <Window.h>

class ShelfWindow : public BWindow {
public:
	ShelfWindow();
	~ShelfWindow() override;

	void MessageReceived(BMessage* message) override;
	bool QuitRequested() override;

	// Posts an add or remove request. With `wait`, blocks until the shelf has done it and
	// fills `reply` ("status", "id"); without, only queues it.
	status_t Submit(const BMessage& request, BMessage* reply, bool wait);

	struct ItemInfo {
		int32 id;
		std::string name;
		// In the shelf window's coordinates.
		BRect frame;
	};
	std::vector<ItemInfo> Items() const;

	// Archives of the items, for the next start.
	status_t ArchiveItems(BMessage* into);

private:
	// Adds or removes as asked.
	status_t _Carry(const BMessage& request, int32* id);
	status_t _AddItem(const BMessage& request, int32* id);
	status_t _RemoveItem(const BMessage& request);
	void _Layout();
	void _UpdateVisibility();
	void _UpdateSnapshot();
	void _UpdateTray();

	struct Item {
		int32 id;
		BView* view;
	};

	BView* fShelf;
	std::vector<Item> fItems;
	int32 fNextId;

	mutable std::mutex fSnapshotLock;
	std::vector<ItemInfo> fSnapshot;
};

#endif // SHELF_WINDOW_H

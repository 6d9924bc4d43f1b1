/*
 * A Deskbar item for the host's tests: a red square that writes what happens to it, one line
 * per event, into the file named by TEST_ITEM_LOG. TEST_ITEM_NAME, when set, names its view;
 * with TEST_ITEM_MENU set, a click opens a pop-up menu whose "Exit" removes the item; with
 * TEST_ITEM_PATTERN set, a white line down its sixth column shows how it is scaled; with
 * TEST_ITEM_ANIMATE set, every pulse turns it from red to blue or back, and the log gets
 * "frame N at T" with the pulse's system_time(). While the file named by TEST_ITEM_THROW
 * exists, the add-on throws instead of making an item.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

#include <Deskbar.h>
#include <MenuItem.h>
#include <Message.h>
#include <OS.h>
#include <PopUpMenu.h>
#include <View.h>
#include <Window.h>

namespace {

const char* const kSignature = "application/x-vnd.Test-DeskbarItem";

void
Record(const char* event)
{
	const char* path = getenv("TEST_ITEM_LOG");
	if (path == NULL)
		return;
	FILE* log = fopen(path, "a");
	if (log == NULL)
		return;
	fprintf(log, "%s\n", event);
	fclose(log);
}

const char*
ItemName()
{
	const char* name = getenv("TEST_ITEM_NAME");
	return name != NULL ? name : "TestItem";
}

} // namespace

class TestItem : public BView {
public:
	TestItem() :
		BView(BRect(0, 0, 15, 15), ItemName(), B_FOLLOW_NONE, B_WILL_DRAW | B_PULSE_NEEDED),
		fFrame(0)
	{
	}

	TestItem(BMessage* archive) :
		BView(archive),
		fFrame(0)
	{
	}

	static BArchivable* Instantiate(BMessage* archive);

	status_t Archive(BMessage* data, bool deep = true) const override
	{
		status_t status = BView::Archive(data, deep);
		if (status == B_OK)
			status = data->AddString("add_on", kSignature);
		return status;
	}

	void AttachedToWindow() override
	{
		SetViewColor(255, 0, 0);
		bool onWindowThread = find_thread(NULL) == Window()->Thread();
		Record(onWindowThread ? "attached on the window's thread" : "attached elsewhere");
	}

	void DetachedFromWindow() override { Record("detached"); }

	void Draw(BRect) override
	{
		if (getenv("TEST_ITEM_PATTERN") == NULL)
			return;
		SetHighColor(255, 255, 255);
		StrokeLine(BPoint(5, 0), BPoint(5, 15));
	}

	void Pulse() override
	{
		if (getenv("TEST_ITEM_ANIMATE") == NULL) {
			Record("pulse");
			return;
		}
		fFrame++;
		SetViewColor(fFrame % 2 == 0 ? 255 : 0, 0, fFrame % 2 == 0 ? 0 : 255);
		Invalidate();
		std::string event = "frame " + std::to_string(fFrame) + " at "
			+ std::to_string(system_time());
		Record(event.c_str());
	}

	void MouseDown(BPoint where) override
	{
		if (getenv("TEST_ITEM_MENU") != NULL) {
			// As the status icon does: a pop-up menu run from the shelf's own thread.
			BPopUpMenu menu("TestMenu", false, false);
			menu.AddItem(new BMenuItem("First", NULL));
			menu.AddItem(new BMenuItem("Exit", NULL));
			BMenuItem* chosen = menu.Go(ConvertToScreen(where), false, true);
			std::string event = std::string("chose ")
				+ (chosen != NULL ? chosen->Label() : "nothing");
			Record(event.c_str());
			if (chosen == NULL || strcmp(chosen->Label(), "Exit") != 0)
				return;
		}
		// As a replicant's own "Exit" does: it must not wait for the shelf it runs on.
		status_t status = BDeskbar().RemoveItem(Name());
		Record(status == B_OK ? "removal asked" : "removal refused");
	}

private:
	int32 fFrame;
};

// Out of line, so that the image exports it for instantiate_object().
BArchivable*
TestItem::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "TestItem"))
		return NULL;
	Record("instantiated from archive");
	return new TestItem(archive);
}

extern "C" BView*
instantiate_deskbar_item()
{
	const char* throwFile = getenv("TEST_ITEM_THROW");
	if (throwFile != NULL && access(throwFile, F_OK) == 0)
		throw std::runtime_error("no item today");
	return new TestItem();
}

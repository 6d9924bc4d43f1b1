/*
 * The controls scene: one window holding every standard control of the interface kit (tab
 * view, check boxes, text controls, menu field, scroll views with text views) with a pop-up
 * menu open over it.
 */
#include <Bitmap.h>
#include <CheckBox.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <ScrollView.h>
#include <TabView.h>
#include <TextControl.h>
#include <TextView.h>
#include <View.h>
#include <Window.h>

#include "MenuPrivate.h"
#include "Scenes.h"
#include "WindowPort.h"

namespace {

const BRect kWindowFrame(60, 40, 499, 339);

const char* const kLog
	= "2024-05-01 10:00:01 checking the public address at checkip.example.org\n"
	  "2024-05-01 10:00:02 address unchanged: 192.0.2.10\n"
	  "2024-05-01 10:05:01 checking the public address at checkip.example.org\n"
	  "2024-05-01 10:05:02 address changed to 192.0.2.77, updating members.example.org\n"
	  "2024-05-01 10:05:03 update answered: good 192.0.2.77\n"
	  "2024-05-01 10:10:01 checking the public address at checkip.example.org\n"
	  "2024-05-01 10:10:02 address unchanged: 192.0.2.77\n"
	  "2024-05-01 10:15:01 checking the public address at checkip.example.org\n"
	  "2024-05-01 10:15:02 address unchanged: 192.0.2.77\n"
	  "2024-05-01 10:20:01 checking the public address at checkip.example.org\n"
	  "2024-05-01 10:20:31 no answer from checkip.example.org\n";

const char* const kNote
	= "Word wrap is on in this text view: a paragraph longer than the view breaks at "
	  "blanks and goes on below.\nA second paragraph.";

rgb_color
Panel()
{
	return ui_color(B_PANEL_BACKGROUND_COLOR);
}

BView*
MakeOptionsPage(BRect frame)
{
	BView* page = new BView(frame, "Options", B_FOLLOW_ALL, B_WILL_DRAW);
	page->SetViewColor(Panel());

	BCheckBox* wildcard = new BCheckBox(BRect(10, 8, 200, 18), "wildcard", "Wildcard", NULL);
	wildcard->SetValue(B_CONTROL_ON);
	page->AddChild(wildcard);
	page->AddChild(new BCheckBox(BRect(10, 28, 200, 38), "backmx", "Back mx", NULL));
	BCheckBox* offline = new BCheckBox(BRect(10, 48, 200, 58), "offline", "Offline", NULL);
	offline->SetValue(B_CONTROL_ON);
	offline->SetEnabled(false);
	page->AddChild(offline);

	BTextControl* host = new BTextControl(BRect(10, 73, 250, 83), "host", "Host",
		"home.example.org", NULL);
	host->SetDivider(80);
	page->AddChild(host);
	BTextControl* server = new BTextControl(BRect(10, 98, 250, 108), "server", "Server DynDns",
		"members.example.org", NULL);
	server->SetDivider(80);
	server->SetEnabled(false);
	page->AddChild(server);

	BPopUpMenu* menu = new BPopUpMenu("dyndns");
	menu->AddItem(new BMenuItem("dyndns", NULL));
	menu->AddItem(new BMenuItem("statdns", NULL));
	menu->AddItem(new BMenuItem("custom", NULL));
	menu->ItemAt(1)->SetMarked(true);
	BMenuField* system = new BMenuField(BRect(10, 125, 180, 145), "system", "System", menu, true);
	system->SetDivider(80);
	page->AddChild(system);
	return page;
}

BView*
MakeEmptyPage(BRect frame, const char* name)
{
	BView* page = new BView(frame, name, B_FOLLOW_ALL, B_WILL_DRAW);
	page->SetViewColor(Panel());
	return page;
}

// The pixels of a window, or of a part of it, as a bitmap.
BBitmap*
CopyPixels(BPrivate::WindowPort& port)
{
	BRect bounds = port.Window()->Bounds();
	BBitmap* copy = new BBitmap(bounds, B_RGB32);
	uint8* bits = (uint8*)copy->Bits();
	for (int32 y = 0; y <= bounds.IntegerHeight(); y++) {
		for (int32 x = 0; x <= bounds.IntegerWidth(); x++) {
			rgb_color color = port.PixelAt(x, y);
			uint8* pixel = bits + y * copy->BytesPerRow() + x * 4;
			pixel[0] = color.blue;
			pixel[1] = color.green;
			pixel[2] = color.red;
			pixel[3] = 255;
		}
	}
	return copy;
}

// Draws the window's picture with the menu's over it.
class Composite : public BView {
public:
	Composite(BRect frame, BBitmap* window, BBitmap* menu, BPoint menuOffset) :
		BView(frame, "composite", B_FOLLOW_ALL, B_WILL_DRAW),
		fWindow(window),
		fMenu(menu),
		fMenuOffset(menuOffset)
	{
	}

	~Composite() override
	{
		delete fWindow;
		delete fMenu;
	}

	void Draw(BRect) override
	{
		DrawBitmap(fWindow, B_ORIGIN);
		if (fMenu != NULL)
			DrawBitmap(fMenu, fMenuOffset);
	}

private:
	BBitmap* fWindow;
	BBitmap* fMenu;
	BPoint fMenuOffset;
};

status_t
SaveComposite(BBitmap* window, BBitmap* menu, BPoint menuOffset, int32 scale, const char* path)
{
	BRect frame = window->Bounds();
	BWindow* output = new BWindow(frame, "composite", B_NO_BORDER_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL,
		B_AVOID_FOCUS);
	output->AddChild(new Composite(frame, window, menu, menuOffset));
	output->Show();
	BPrivate::WindowPort port(output);
	status_t status = port.Sync();
	if (status == B_OK)
		status = port.SaveAsPNG(path, scale);
	output->Lock();
	output->Quit();
	return status;
}

} // namespace

status_t
SaveControlsScene(const char* path, int32 scale)
{
	BWindow* window = new BWindow(kWindowFrame, "Controls", B_TITLED_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, B_NOT_RESIZABLE | B_NOT_ZOOMABLE);
	window->SetPulseRate(0);
	BRect bounds = window->Bounds();
	BView* background = new BView(bounds, "background", B_FOLLOW_ALL, B_WILL_DRAW);
	background->SetViewColor(Panel());
	window->AddChild(background);

	BTabView* tabs = new BTabView(BRect(6, 6, 272, 200), "tabs", B_WIDTH_FROM_LABEL);
	BRect page = tabs->ContainerView()->Bounds();
	tabs->AddTab(MakeOptionsPage(page));
	tabs->AddTab(MakeEmptyPage(page, "Account"));
	tabs->AddTab(MakeEmptyPage(page, "Log"));
	background->AddChild(tabs);

	// Wrap off, both bars, a fancy border: the log's view.
	BRect textFrame(284, 10, 410, 120);
	BTextView* log = new BTextView(textFrame, "log", BRect(4, 4, 700, 400), B_FOLLOW_ALL_SIDES,
		B_WILL_DRAW | B_PULSE_NEEDED);
	BScrollView* logScroll = new BScrollView("log-scroll", log, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0,
		true, true, B_FANCY_BORDER);
	log->SetWordWrap(false);
	log->SetText(kLog);
	background->AddChild(logScroll);

	// Wrap on, a vertical bar, a plain border, a selection.
	BRect noteFrame(284, 150, 410, 230);
	BTextView* note = new BTextView(noteFrame, "note", BRect(3, 3, noteFrame.Width() - 3, 400),
		B_FOLLOW_ALL_SIDES, B_WILL_DRAW | B_PULSE_NEEDED);
	BScrollView* noteScroll = new BScrollView("note-scroll", note, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0,
		false, true, B_PLAIN_BORDER);
	note->SetText(kNote);
	background->AddChild(noteScroll);

	BTextControl* filter = new BTextControl(BRect(10, 215, 272, 225), "filter", "Filter",
		"typed text", NULL);
	filter->SetDivider(50);
	background->AddChild(filter);
	BCheckBox* focused = new BCheckBox(BRect(10, 245, 200, 255), "focused", "Focused check box",
		NULL);
	background->AddChild(focused);

	window->Show();
	BPrivate::WindowPort port(window);
	// The log scrolled a little to the right and down, as a user would have; the focus in
	// the filter field with part of its text selected.
	window->Lock();
	logScroll->ScrollBar(B_HORIZONTAL)->SetValue(40);
	logScroll->ScrollBar(B_VERTICAL)->SetValue(12);
	filter->MakeFocus(true);
	filter->TextView()->Select(0, 5);
	window->Unlock();
	status_t status = port.Sync();

	// A pop-up menu open over the window, its second item under the pointer.
	BPopUpMenu* popUp = new BPopUpMenu("Options", true, true);
	popUp->AddItem(new BMenuItem("Settings", NULL));
	popUp->AddItem(new BMenuItem("Force Ip Check", NULL));
	popUp->AddItem(new BMenuItem("Force Update", NULL));
	popUp->AddSeparatorItem();
	BMenuItem* disabled = new BMenuItem("Disabled", NULL);
	disabled->SetEnabled(false);
	popUp->AddItem(disabled);
	popUp->AddItem(new BMenuItem("Exit", NULL));
	popUp->ItemAt(0)->SetMarked(true);
	BPoint menuAt = kWindowFrame.LeftTop() + BPoint(300, 200);
	popUp->Go(menuAt, false, true, true);
	BBitmap* menuPixels = NULL;
	BPoint menuOffset;
	BWindow* menuWindow = BPrivate::open_menu_window();
	if (menuWindow != NULL) {
		BPrivate::WindowPort menuPort(menuWindow);
		BRect item = popUp->ItemAt(1)->Frame();
		menuPort.MouseMoved(BPoint(item.left + 10, item.top + 5), 0);
		menuPixels = CopyPixels(menuPort);
		menuOffset = menuWindow->Frame().LeftTop() - kWindowFrame.LeftTop();
		menuPort.KeyDown("\x1b");
	}

	BBitmap* windowPixels = CopyPixels(port);
	if (status == B_OK)
		status = SaveComposite(windowPixels, menuPixels, menuOffset, scale, path);
	else {
		delete windowPixels;
		delete menuPixels;
	}
	delete popUp;
	window->Lock();
	window->Quit();
	return status;
}

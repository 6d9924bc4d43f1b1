/*
 * display-shots: a desktop on Xvfb (with openbox when installed, and trayer) where the
 * Deskbar host docks the test item in the tray and this program shows a titled window with
 * controls and a borderless one; it types, opens the item's menu and saves what the screen
 * shows as PNG files in the folder given, for a person to look at.
 *
 * Usage: display-shots FOLDER
 */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include <CheckBox.h>
#include <TextControl.h>
#include <View.h>
#include <Window.h>

#include "ChildProcess.h"
#include "TemporaryHome.h"
#include "TestDisplay.h"
#include "XwdImage.h"

namespace {

bool
Run(const std::string& command)
{
	return system(command.c_str()) == 0;
}

bool
Save(TestDisplay& display, const std::string& path, BRect rect, int32 scale = 1)
{
	XwdImage screen;
	if (!display.Grab(&screen) || !TestDisplay::SavePNG(screen, rect, path, scale))
		return false;
	printf("%s\n", path.c_str());
	return true;
}

BWindow*
ShowControls()
{
	BWindow* window = new BWindow(BRect(60, 60, 379, 189), "Display check", B_TITLED_WINDOW,
		B_NOT_RESIZABLE | B_NOT_ZOOMABLE);
	BView* panel = new BView(window->Bounds(), "panel", B_FOLLOW_ALL, B_WILL_DRAW);
	panel->SetViewColor(216, 216, 216);
	BTextControl* user = new BTextControl(BRect(10, 12, 309, 30), "user-edit", "User", "", NULL);
	user->SetDivider(70);
	BTextControl* host = new BTextControl(BRect(10, 42, 309, 60), "host-edit", "Host",
		"example.org", NULL);
	host->SetDivider(70);
	panel->AddChild(user);
	panel->AddChild(host);
	panel->AddChild(new BCheckBox(BRect(10, 76, 309, 94), "wildcard", "Wildcard", NULL));
	window->AddChild(panel);
	user->MakeFocus(true);
	window->Show();
	return window;
}

BWindow*
ShowBorderless()
{
	BWindow* window = new BWindow(BRect(420, 80, 619, 219), "Borderless check",
		B_NO_BORDER_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, B_AVOID_FOCUS);
	BView* strip = new BView(BRect(0, 0, 199, 17), "strip", B_FOLLOW_NONE, B_WILL_DRAW);
	strip->SetViewColor(80, 110, 170);
	BView* body = new BView(BRect(0, 18, 199, 139), "body", B_FOLLOW_NONE, B_WILL_DRAW);
	body->SetViewColor(232, 232, 232);
	window->AddChild(strip);
	window->AddChild(body);
	window->Show();
	return window;
}

} // namespace

int
main(int argc, char** argv)
{
	if (argc != 2) {
		fprintf(stderr, "usage: display-shots FOLDER\n");
		return 2;
	}
	std::string folder = argv[1];
	TemporaryHome home;
	TestDisplay display(800, 600);
	if (!display.Start()) {
		fprintf(stderr, "display-shots: %s\n", display.Failure().c_str());
		return 1;
	}
	setenv("DISPLAY", display.Name().c_str(), 1);
	ChildProcess windowManager;
	if (windowManager.Start({"openbox"}, {}, home.Path() + "/openbox.log")) {
		WaitUntil(
			[&display] {
				return !display
							.LongProperty(DefaultRootWindow(display.Connection()),
								"_NET_SUPPORTING_WM_CHECK")
							.empty();
			},
			5000000);
	}
	setenv("TEST_ITEM_MENU", "1", 1);
	setenv("TEST_ITEM_PATTERN", "1", 1);
	ChildProcess host;
	host.Start({DESKBAR_HOST}, {}, home.Path() + "/deskbar.log");
	WaitUntil([] { return Run(std::string(DESKBAR_CTL) + " list > /dev/null 2>&1"); });
	Run(std::string(DESKBAR_CTL) + " add " + TEST_DESKBAR_ITEM + " > /dev/null");

	// No tray yet: the shelf window shows the item.
	::Window shelf = display.FindWindow("Deskbar");
	WaitUntil([&] { return display.IsShown(shelf); });
	snooze(500000);
	Save(display, folder + "/shelf-without-tray.png", BRect(740, 0, 799, 29), 4);

	if (!display.StartTray()) {
		fprintf(stderr, "display-shots: no tray (is trayer installed?)\n");
		return 1;
	}
	::Window icon = display.DockedIcon("test_deskbar_item");

	BWindow* controls = ShowControls();
	BWindow* borderless = ShowBorderless();
	display.FindWindow("Display check");
	display.FindWindow("Borderless check");
	snooze(1000000);
	display.Click(200, 80);
	display.Type("zorve-user");
	snooze(500000);
	BRect screen(0, 0, 799, 599);
	Save(display, folder + "/desktop.png", screen);

	BRect iconFrame = display.ScreenFrame(icon);
	display.Click((int32)(iconFrame.left + iconFrame.right) / 2,
		(int32)(iconFrame.top + iconFrame.bottom) / 2);
	display.FindWindow("TestMenu", 5000000);
	snooze(500000);
	Save(display, folder + "/tray-menu.png", BRect(560, 480, 799, 599), 3);
	display.Key("Escape");

	Run(std::string(DESKBAR_CTL) + " quit > /dev/null 2>&1");
	WaitUntil([&host] { return !host.IsRunning(); }, 5000000);
	for (BWindow* window : {controls, borderless}) {
		if (window->Lock())
			window->Quit();
	}
	return 0;
}

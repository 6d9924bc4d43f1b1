#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include <InterfaceDefs.h>
#include <MenuItem.h>
#include <Message.h>
#include <PopUpMenu.h>
#include <Screen.h>
#include <TextControl.h>
#include <View.h>
#include <Window.h>

#include "DisplayTestSupport.h"

namespace {

// Records the clicks it gets.
class ClickView : public BView {
public:
	explicit ClickView(BRect frame) :
		BView(frame, "clicks", B_FOLLOW_NONE, B_WILL_DRAW)
	{
		SetViewColor(120, 120, 200);
	}

	void MouseDown(BPoint where) override
	{
		int32 buttons = 0;
		int32 clicks = 0;
		Window()->CurrentMessage()->FindInt32("buttons", &buttons);
		Window()->CurrentMessage()->FindInt32("clicks", &clicks);
		std::lock_guard<std::mutex> guard(fLock);
		fClicks.push_back({where, buttons, clicks});
	}

	struct Click {
		BPoint where;
		int32 buttons;
		int32 clicks;
	};

	std::vector<Click> Clicks()
	{
		std::lock_guard<std::mutex> guard(fLock);
		return fClicks;
	}

private:
	std::mutex fLock;
	std::vector<Click> fClicks;
};

// A borderless window that a strip at its top drags about, as a person drags a window by
// its title; the window keeps wholly on the screen.
class DragStrip : public BView {
public:
	explicit DragStrip(BRect frame) :
		BView(frame, "strip", B_FOLLOW_NONE, B_WILL_DRAW),
		fDragging(false)
	{
		SetViewColor(60, 60, 160);
	}

	void MouseDown(BPoint where) override
	{
		fOffset = ConvertToScreen(where) - Window()->Frame().LeftTop();
		fDragging = true;
		SetMouseEventMask(B_POINTER_EVENTS);
	}

	void MouseMoved(BPoint where, uint32, const BMessage*) override
	{
		if (!fDragging)
			return;
		BPoint origin = ConvertToScreen(where) - fOffset;
		BRect screen = BScreen().Frame();
		BRect frame = Window()->Frame();
		origin.x = std::max(screen.left, std::min(origin.x, screen.right - frame.Width()));
		origin.y = std::max(screen.top, std::min(origin.y, screen.bottom - frame.Height()));
		Window()->MoveTo(origin);
	}

	void MouseUp(BPoint) override { fDragging = false; }

private:
	BPoint fOffset;
	bool fDragging;
};

// A window that hides on Escape and keeps its field's text when hidden, as a settings
// window saves its pages.
class EditWindow : public BWindow {
public:
	EditWindow() :
		BWindow(BRect(150, 100, 449, 179), "Edit", B_NO_BORDER_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0)
	{
		BView* panel = new BView(Bounds(), "panel", B_FOLLOW_ALL, B_WILL_DRAW);
		panel->SetViewColor(216, 216, 216);
		AddChild(panel);
		fName = new BTextControl(BRect(10, 10, 289, 30), "name-edit", "Name", "", NULL);
		fHost = new BTextControl(BRect(10, 40, 289, 60), "host-edit", "Host", "", NULL);
		panel->AddChild(fName);
		panel->AddChild(fHost);
		fName->MakeFocus(true);
	}

	void DispatchMessage(BMessage* message, BHandler* handler) override
	{
		const char* bytes;
		if (message->what == B_KEY_DOWN && message->FindString("bytes", &bytes) == B_OK
			&& bytes[0] == B_ESCAPE) {
			Hide();
			return;
		}
		BWindow::DispatchMessage(message, handler);
	}

	void Hide() override
	{
		{
			std::lock_guard<std::mutex> guard(fLock);
			fSaved = std::string(fName->Text()) + "|" + fHost->Text();
		}
		BWindow::Hide();
	}

	std::string Saved()
	{
		std::lock_guard<std::mutex> guard(fLock);
		return fSaved;
	}

	std::string Text()
	{
		if (!Lock())
			return "";
		std::string text = fName->Text();
		Unlock();
		return text;
	}

private:
	BTextControl* fName;
	BTextControl* fHost;
	std::mutex fLock;
	std::string fSaved;
};

// Opens a pop-up menu when clicked, as a status icon does, and records the choice.
class MenuView : public BView {
public:
	explicit MenuView(BRect frame) :
		BView(frame, "menu-opener", B_FOLLOW_NONE, B_WILL_DRAW),
		fChoices(0)
	{
		SetViewColor(200, 120, 0);
	}

	void MouseDown(BPoint where) override
	{
		BPopUpMenu menu("TestMenu", false, false);
		menu.AddItem(new BMenuItem("First", NULL));
		menu.AddItem(new BMenuItem("Second", NULL));
		BMenuItem* chosen = menu.Go(ConvertToScreen(where), false, true);
		std::lock_guard<std::mutex> guard(fLock);
		fChosen = chosen != NULL ? chosen->Label() : "nothing";
		fChoices++;
	}

	int32 Choices()
	{
		std::lock_guard<std::mutex> guard(fLock);
		return fChoices;
	}

	std::string Chosen()
	{
		std::lock_guard<std::mutex> guard(fLock);
		return fChosen;
	}

private:
	std::mutex fLock;
	int32 fChoices;
	std::string fChosen;
};

} // namespace

TEST_F(DisplayTest, ClicksReachTheViewAtThePointWithTheirButtonAndCount)
{
	BWindow* window = Keep(new BWindow(BRect(200, 150, 399, 299), "Clicks", B_NO_BORDER_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, 0));
	ClickView* view = new ClickView(BRect(20, 30, 119, 99));
	Locked(window, [&] { window->AddChild(view); });
	window->Show();
	::Window shown = WaitForActive(window, "Clicks");
	ASSERT_NE(0u, shown);

	ASSERT_TRUE(fDisplay.Click(200 + 20 + 7, 150 + 30 + 11));
	ASSERT_TRUE(WaitUntil([&] { return view->Clicks().size() == 1; }));
	EXPECT_EQ(BPoint(7, 11), view->Clicks()[0].where);
	EXPECT_EQ(B_PRIMARY_MOUSE_BUTTON, view->Clicks()[0].buttons);

	ASSERT_TRUE(fDisplay.Click(200 + 20 + 50, 150 + 30 + 40, 3));
	ASSERT_TRUE(WaitUntil([&] { return view->Clicks().size() == 2; }));
	EXPECT_EQ(BPoint(50, 40), view->Clicks()[1].where);
	EXPECT_EQ(B_SECONDARY_MOUSE_BUTTON, view->Clicks()[1].buttons);

	// A double click, long after the last one.
	snooze(500000);
	ASSERT_TRUE(fDisplay.Xdotool({"click", "--repeat", "2", "--delay", "60", "1"}));
	ASSERT_TRUE(WaitUntil([&] { return view->Clicks().size() == 4; }));
	EXPECT_EQ(1, view->Clicks()[2].clicks);
	EXPECT_EQ(2, view->Clicks()[3].clicks);
}

TEST_F(DisplayTest, TypingReachesTheFocusedFieldAndEscapeHidesTheWindowWhichSaves)
{
	// A layout with keys for "é" and "€".
	ASSERT_TRUE(fDisplay.AddKeys({0xe9, 0x20ac}));
	EditWindow* window = new EditWindow;
	Keep(window);
	window->Show();
	::Window shown = WaitForActive(window, "Edit");
	ASSERT_NE(0u, shown);

	// Text from the keyboard layout, beyond ASCII too.
	ASSERT_TRUE(fDisplay.Type("host é€"));
	EXPECT_TRUE(WaitUntil([&] { return window->Text() == "host é€"; })) << window->Text();
	// Editing keys: the caret goes left twice, Delete takes "é", Backspace the space before.
	ASSERT_TRUE(fDisplay.Key("Left Left Delete BackSpace"));
	EXPECT_TRUE(WaitUntil([&] { return window->Text() == "host€"; })) << window->Text();
	ASSERT_TRUE(fDisplay.Key("End"));
	ASSERT_TRUE(fDisplay.Type("!"));
	EXPECT_TRUE(WaitUntil([&] { return window->Text() == "host€!"; })) << window->Text();

	// Tab moves on to the next field.
	ASSERT_TRUE(fDisplay.Key("Tab"));
	ASSERT_TRUE(fDisplay.Type("example.org"));
	ASSERT_TRUE(fDisplay.Key("Escape"));
	EXPECT_TRUE(WaitUntil([&] { return window->IsHidden(); }));
	EXPECT_TRUE(WaitUntil([&] { return !fDisplay.IsShown(shown); }));
	EXPECT_EQ("host€!|example.org", window->Saved());
}

TEST_F(DisplayTest, DraggingAStripMovesTheWindowWithThePointerAndKeepsItOnTheScreen)
{
	BWindow* window = Keep(new BWindow(BRect(100, 100, 299, 199), "Drag", B_NO_BORDER_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, 0));
	Locked(window, [&] { window->AddChild(new DragStrip(BRect(0, 0, 199, 14))); });
	window->Show();
	::Window shown = WaitForActive(window, "Drag");
	ASSERT_NE(0u, shown);

	// Steps larger than the strip: the pointer leaves the window between two events.
	ASSERT_TRUE(fDisplay.Xdotool({"mousemove", "110", "105", "mousedown", "1", "mousemove", "160",
		"130", "sleep", "0.1", "mousemove", "260", "185", "sleep", "0.1", "mouseup", "1"}));
	EXPECT_TRUE(WaitUntil([&] { return window->Frame().LeftTop() == BPoint(250, 180); }))
		<< window->Frame().left << "," << window->Frame().top;
	EXPECT_TRUE(
		WaitUntil([&] { return fDisplay.ScreenFrame(shown) == BRect(250, 180, 449, 279); }));

	// Far past the right and bottom edges: it stops at them.
	ASSERT_TRUE(fDisplay.Xdotool({"mousemove", "260", "185", "mousedown", "1", "mousemove", "700",
		"500", "sleep", "0.1", "mousemove", "1020", "760", "sleep", "0.1", "mouseup", "1"}));
	EXPECT_TRUE(WaitUntil([&] { return window->Frame().LeftTop() == BPoint(824, 668); }))
		<< window->Frame().left << "," << window->Frame().top;
	EXPECT_TRUE(
		WaitUntil([&] { return fDisplay.ScreenFrame(shown) == BRect(824, 668, 1023, 767); }));
}

TEST_F(DisplayTest, APopUpMenuClosesOnAClickOutsideAndChoosesOnAClickOrKey)
{
	BWindow* window = Keep(new BWindow(BRect(300, 300, 399, 359), "Opener", B_NO_BORDER_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, 0));
	MenuView* view = new MenuView(window->Bounds());
	Locked(window, [&] { window->AddChild(view); });
	window->Show();
	::Window shown = WaitForActive(window, "Opener");
	ASSERT_NE(0u, shown);

	// Each click on the opener makes a menu (and a window) anew.
	auto open = [&] {
		// A menu still on the screen holds the pointer.
		if (!WaitUntil([&] { return fDisplay.WindowNamed("TestMenu") == 0; })
			|| !fDisplay.Click(320, 310))
			return (::Window)0;
		return fDisplay.WaitForShown("TestMenu");
	};

	::Window menu = open();
	ASSERT_NE(0u, menu);
	EXPECT_TRUE(fDisplay.IsOverrideRedirect(menu));
	EXPECT_EQ(BPoint(320, 310), fDisplay.ScreenFrame(menu).LeftTop());
	// Outside the menu, on another window even: the menu closes and nothing is chosen.
	ASSERT_TRUE(fDisplay.Click(10, 10));
	EXPECT_TRUE(WaitUntil([&] { return view->Choices() == 1; }));
	EXPECT_EQ("nothing", view->Chosen());
	EXPECT_TRUE(WaitUntil([&] { return fDisplay.WindowNamed("TestMenu") == 0; }));

	menu = open();
	ASSERT_NE(0u, menu);
	BRect items = fDisplay.ScreenFrame(menu);
	ASSERT_TRUE(fDisplay.Click((int32)items.left + 10, (int32)(items.bottom - 5)));
	EXPECT_TRUE(WaitUntil([&] { return view->Choices() == 2; }));
	EXPECT_EQ("Second", view->Chosen());

	// The keyboard goes to the open menu.
	ASSERT_NE(0u, open());
	ASSERT_TRUE(fDisplay.Key("Down Return"));
	EXPECT_TRUE(WaitUntil([&] { return view->Choices() == 3; }));
	EXPECT_EQ("First", view->Chosen());
}

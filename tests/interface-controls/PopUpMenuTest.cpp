#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include <MenuItem.h>
#include <PopUpMenu.h>
#include <Screen.h>
#include <Window.h>

#include "ControlsTestSupport.h"
#include "DisplayLink.h"
#include "MenuPrivate.h"

namespace {

const uint32 kMsgChosen = 'chsn';
const BPoint kWhere(300, 200);

// The window of the pop-up menu that opens next, or NULL after ten seconds.
BWindow*
WaitForOpenMenu()
{
	for (int32 attempt = 0; attempt < 10000; attempt++) {
		BWindow* window = BPrivate::open_menu_window();
		if (window != NULL)
			return window;
		snooze(1000);
	}
	return NULL;
}

// Runs Go on a thread of its own, as a caller blocked in it would.
class GoThread {
public:
	GoThread(BPopUpMenu* menu, BPoint where, bool deliversMessage = false) :
		fChosen(NULL),
		fThread([this, menu, where, deliversMessage] {
			fChosen = menu->Go(where, deliversMessage, false, false);
		})
	{
	}

	~GoThread()
	{
		if (fThread.joinable())
			fThread.join();
	}

	BMenuItem* Join()
	{
		fThread.join();
		return fChosen;
	}

private:
	std::atomic<BMenuItem*> fChosen;
	std::thread fThread;
};

class PopUpMenuTest : public testing::Test {
protected:
	void SetUp() override { fMenu = MakeOptionsMenu(); }

	void TearDown() override
	{
		// A menu a failed test left open closes before it goes.
		BWindow* open = BPrivate::open_menu_window();
		if (open != NULL)
			BPrivate::WindowPort(open).KeyDown("\x1b");
		delete fMenu;
	}

	BMenuItem* ItemFrameCenter(int32 index, BPoint* center)
	{
		BMenuItem* item = fMenu->ItemAt(index);
		BRect frame = item->Frame();
		*center = BPoint(frame.left + 10, (frame.top + frame.bottom) / 2);
		return item;
	}

	BPopUpMenu* fMenu;
};

TEST_F(PopUpMenuTest, GoShowsTheMenuAtThePointAndReturnsTheChosenItem)
{
	EXPECT_EQ(B_NAME_NOT_FOUND, BPrivate::choose_menu_item("Settings"));
	GoThread go(fMenu, kWhere);
	BWindow* window = WaitForOpenMenu();
	ASSERT_NE(nullptr, window);
	EXPECT_STREQ("Options", window->Title());
	EXPECT_EQ(kWhere, window->Frame().LeftTop());
	EXPECT_FALSE(window->IsHidden());
	EXPECT_EQ(B_NAME_NOT_FOUND, BPrivate::choose_menu_item("Missing"));
	EXPECT_EQ(B_NAME_NOT_FOUND, BPrivate::choose_menu_item(""));
	EXPECT_EQ(B_OK, BPrivate::choose_menu_item("Force Update"));
	BMenuItem* chosen = go.Join();
	ASSERT_NE(nullptr, chosen);
	EXPECT_EQ(2, fMenu->IndexOf(chosen));
	// Not delivered, so not marked either.
	EXPECT_FALSE(chosen->IsMarked());
	EXPECT_TRUE(window->IsHidden());
	EXPECT_EQ(nullptr, BPrivate::open_menu_window());
	EXPECT_EQ(B_NAME_NOT_FOUND, BPrivate::choose_menu_item("Exit"));

	// It opens again, in the same window, which a quit request did not take away.
	window->PostMessage(B_QUIT_REQUESTED);
	EXPECT_EQ(B_OK, BPrivate::WindowPort(window).Sync());
	GoThread again(fMenu, kWhere + BPoint(10, 10));
	ASSERT_EQ(window, WaitForOpenMenu());
	EXPECT_EQ(B_OK, BPrivate::choose_menu_item("Exit"));
	EXPECT_EQ(4, fMenu->IndexOf(again.Join()));
}

TEST_F(PopUpMenuTest, EscapeOrAClickOutsideChoosesNothing)
{
	GoThread go(fMenu, kWhere);
	BWindow* window = WaitForOpenMenu();
	ASSERT_NE(nullptr, window);
	BPrivate::WindowPort port(window);
	port.KeyDown("\x1b");
	EXPECT_EQ(nullptr, go.Join());

	GoThread outside(fMenu, kWhere);
	window = WaitForOpenMenu();
	ASSERT_NE(nullptr, window);
	BPrivate::WindowPort(window).MouseDown(kWhere - BPoint(20, 20), B_PRIMARY_MOUSE_BUTTON, 1,
		BPrivate::WindowPort::kScreenCoordinates);
	EXPECT_EQ(nullptr, outside.Join());
}

TEST_F(PopUpMenuTest, ReleasingOnTheOpeningPointOrASeparatorKeepsTheMenuOpen)
{
	GoThread go(fMenu, kWhere);
	BWindow* window = WaitForOpenMenu();
	ASSERT_NE(nullptr, window);
	BPrivate::WindowPort port(window);
	// The release of the click that opened it lands on the border.
	port.MouseUp(BPoint(0, 0), 0);
	BPoint separator;
	ItemFrameCenter(3, &separator);
	port.MouseDown(separator, B_PRIMARY_MOUSE_BUTTON);
	port.MouseUp(separator, 0);
	EXPECT_EQ(window, BPrivate::open_menu_window());

	// A press and a release on an item choose it.
	BPoint center;
	BMenuItem* item = ItemFrameCenter(1, &center);
	port.MouseMoved(center, 0);
	port.MouseDown(center, B_PRIMARY_MOUSE_BUTTON);
	port.MouseUp(center, 0);
	EXPECT_EQ(item, go.Join());
}

TEST_F(PopUpMenuTest, ArrowKeysSkipTheSeparatorAndEnterChooses)
{
	fMenu->ItemAt(1)->SetEnabled(false);
	GoThread go(fMenu, kWhere);
	BWindow* window = WaitForOpenMenu();
	ASSERT_NE(nullptr, window);
	BPrivate::WindowPort port(window);
	EXPECT_EQ(B_NOT_ALLOWED, BPrivate::choose_menu_item("Force Ip Check"));
	// Settings, (Force Ip Check is disabled) Force Update, (separator) Exit.
	port.KeyDown("\x1f");
	port.KeyDown("\x1f");
	port.KeyDown("\x1f");
	port.KeyDown("\n");
	EXPECT_EQ(fMenu->ItemAt(4), go.Join());

	GoThread up(fMenu, kWhere);
	ASSERT_NE(nullptr, WaitForOpenMenu());
	port.KeyDown("\x1e");
	port.KeyDown("\x1e");
	port.KeyDown(" ");
	EXPECT_EQ(fMenu->ItemAt(2), up.Join());
}

TEST_F(PopUpMenuTest, DeliveringTheMessageInvokesAndMarksTheChosenItem)
{
	MessageCatcher catcher;
	BMenuItem* item = fMenu->ItemAt(0);
	item->SetMessage(new BMessage(kMsgChosen));
	item->SetTarget(catcher.Target());
	GoThread go(fMenu, kWhere, true);
	ASSERT_NE(nullptr, WaitForOpenMenu());
	EXPECT_EQ(B_OK, BPrivate::choose_menu_item("Settings"));
	EXPECT_EQ(item, go.Join());
	EXPECT_TRUE(item->IsMarked());
	std::vector<BMessage> received = WaitForMessages(catcher, 1);
	ASSERT_EQ(1u, received.size());
	EXPECT_EQ(kMsgChosen, received[0].what);
}

TEST_F(PopUpMenuTest, AnEmptyMenuOpensOnlyWhenAskedTo)
{
	BPopUpMenu empty("empty");
	EXPECT_EQ(nullptr, empty.Go(kWhere));
	EXPECT_EQ(nullptr, BPrivate::open_menu_window());
}

TEST_F(PopUpMenuTest, TheMenuStaysOnTheScreenAndOffThePointItOpensAt)
{
	BRect screen = BScreen().Frame();
	// No room right of the point nor below it: the menu opens left of it and above it.
	BPoint corner(screen.right - 5, screen.bottom - 5);
	// Off the screen: the menu comes as close as the screen lets it.
	BPoint outside(screen.right + 50, screen.top - 50);
	for (BPoint where : {corner, outside}) {
		GoThread go(fMenu, where);
		BWindow* window = WaitForOpenMenu();
		ASSERT_NE(nullptr, window);
		BRect frame = window->Frame();
		EXPECT_TRUE(screen.Contains(frame));
		if (where == corner) {
			EXPECT_EQ(corner.x - 1, frame.right);
			EXPECT_EQ(corner.y - 1, frame.bottom);
		} else {
			EXPECT_EQ(screen.right, frame.right);
			EXPECT_EQ(screen.top, frame.top);
		}
		BPrivate::WindowPort(window).KeyDown("\x1b");
		EXPECT_EQ(nullptr, go.Join());
	}
}

TEST_F(PopUpMenuTest, DrawsTheHighlightedItemAndTheMark)
{
	fMenu->ItemAt(0)->SetMarked(true);
	GoThread go(fMenu, kWhere);
	BWindow* window = WaitForOpenMenu();
	ASSERT_NE(nullptr, window);
	BPrivate::WindowPort port(window);
	BPoint center;
	ItemFrameCenter(2, &center);
	port.MouseMoved(center, 0);
	BRect highlighted = fMenu->ItemAt(2)->Frame();
	BRect plain = fMenu->ItemAt(1)->Frame();
	EXPECT_EQ(Color(152, 152, 152), port.PixelAt(highlighted.right - 2, highlighted.top + 1));
	EXPECT_EQ(kPanel, port.PixelAt(plain.right - 2, plain.top + 1));
	// The raised border: light above, dark below.
	EXPECT_EQ(kWhite, port.PixelAt(5, 0));
	EXPECT_EQ(Color(96, 96, 96), port.PixelAt(5, window->Bounds().bottom));
	// The tick left of "Settings".
	BRect marked = fMenu->ItemAt(0)->Frame();
	int32 dark = 0;
	for (int32 x = (int32)marked.left; x < marked.left + 13; x++) {
		for (int32 y = (int32)marked.top; y <= marked.bottom; y++)
			dark += port.PixelAt(x, y).red < 40 ? 1 : 0;
	}
	EXPECT_GT(dark, 6);
	port.KeyDown("\x1b");
	EXPECT_EQ(nullptr, go.Join());
}

// A view whose press opens the menu from its window's own thread, as the status icon does.
class MenuButton : public BView {
public:
	MenuButton(BPopUpMenu* menu) :
		BView(BRect(0, 0, 15, 15), "button", B_FOLLOW_NONE, B_WILL_DRAW),
		fMenu(menu),
		chosen(-2)
	{
	}

	void MouseDown(BPoint where) override
	{
		BMenuItem* item = fMenu->Go(ConvertToScreen(where), false, false, false);
		chosen = fMenu->IndexOf(item);
	}

	BPopUpMenu* fMenu;
	int32 chosen;
};

TEST_F(PopUpMenuTest, GoWorksFromAWindowsOwnThreadWhichWaitsMeanwhile)
{
	ShownWindow shelf(BRect(500, 400, 515, 415));
	MenuButton* button = new MenuButton(fMenu);
	shelf.Show(button);

	std::thread click([&shelf] { shelf.Port().MouseDown(BPoint(4, 5), B_PRIMARY_MOUSE_BUTTON); });
	BWindow* window = WaitForOpenMenu();
	ASSERT_NE(nullptr, window);
	EXPECT_EQ(BPoint(504, 405), window->Frame().LeftTop());
	// The shelf's thread is inside the hook, holding its window.
	EXPECT_EQ(shelf->Thread(), shelf->LockingThread());
	EXPECT_NE(B_OK, shelf->LockWithTimeout(1000));
	EXPECT_EQ(B_OK, BPrivate::choose_menu_item("Force Ip Check"));
	click.join();
	shelf->Lock();
	EXPECT_EQ(1, button->chosen);
	shelf->Unlock();

	std::thread escape([&shelf] { shelf.Port().MouseDown(BPoint(4, 5), B_PRIMARY_MOUSE_BUTTON); });
	window = WaitForOpenMenu();
	ASSERT_NE(nullptr, window);
	BPrivate::WindowPort(window).KeyDown("\x1b");
	escape.join();
	shelf->Lock();
	EXPECT_EQ(-1, button->chosen);
	shelf->Unlock();
}

TEST_F(PopUpMenuTest, AViewShownAsAnIconInATrayConvertsThereAndItsMenuLeavesTheIconClear)
{
	ShownWindow shelf(BRect(500, 0, 519, 19));
	MenuButton* button = new MenuButton(fMenu);
	shelf.Show(button);
	// As a display backend tells it: the button is a 24 pixel icon at the screen's bottom,
	// its picture in the middle.
	BRect screen = BScreen().Frame();
	BRect icon(700, screen.bottom - 23, 723, screen.bottom);
	BPrivate::DisplayLink::SetTrayItems(shelf.Window(), {button});
	BPrivate::DisplayLink::DockedItemPlaced(button, BPoint(704, screen.bottom - 19), icon);
	shelf->Lock();
	EXPECT_EQ(BPoint(712, screen.bottom - 11), button->ConvertToScreen(BPoint(8, 8)));
	EXPECT_EQ(BPoint(8, 8), button->ConvertFromScreen(BPoint(712, screen.bottom - 11)));
	shelf->Unlock();

	std::thread click([&shelf] { shelf.Port().MouseDown(BPoint(8, 8), B_PRIMARY_MOUSE_BUTTON); });
	BWindow* window = WaitForOpenMenu();
	ASSERT_NE(nullptr, window);
	// No room below the icon: the menu opens above it, clear of it.
	BRect frame = window->Frame();
	EXPECT_EQ(icon.top - 1, frame.bottom);
	EXPECT_TRUE(screen.Contains(frame));
	BPrivate::WindowPort(window).KeyDown("\x1b");
	click.join();

	// Back in its window, it converts through the window.
	BPrivate::DisplayLink::DockedItemPlaced(button, B_ORIGIN, BRect());
	shelf->Lock();
	EXPECT_EQ(BPoint(508, 8), button->ConvertToScreen(BPoint(8, 8)));
	shelf->Unlock();
	BPrivate::DisplayLink::SetTrayItems(shelf.Window(), {});
}

} // namespace

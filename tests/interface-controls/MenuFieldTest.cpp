#include <gtest/gtest.h>

#include <string>

#include <MenuField.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <Window.h>

#include "ControlsTestSupport.h"
#include "MenuPrivate.h"

namespace {

// The Other page's system field: a pop-up menu titled with the stored text.
BMenuField*
MakeSystemField(const char* stored)
{
	BPopUpMenu* menu = new BPopUpMenu(stored, true, true, B_ITEMS_IN_COLUMN);
	menu->AddItem(new BMenuItem("dyndns", NULL, 0, 0));
	menu->AddItem(new BMenuItem("statdns", NULL, 0, 0));
	menu->AddItem(new BMenuItem("custom", NULL, 0, 0));
	BMenuField* field = new BMenuField(BRect(10, 110, 180, 130), "system-menufield", "System", menu,
		true, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
	field->SetDivider(82);
	return field;
}

class MenuFieldTest : public testing::Test {
protected:
	void SetUp() override
	{
		fField = MakeSystemField("my-own-system");
		fWindow.ShowWith({fField});
	}

	void TearDown() override
	{
		BWindow* open = BPrivate::open_menu_window();
		if (open != NULL)
			BPrivate::WindowPort(open).KeyDown("\x1b");
	}

	std::string Shown()
	{
		fWindow->Lock();
		std::string label = fField->MenuItem()->Label();
		fWindow->Unlock();
		return label;
	}

	// The field's label once its window has handled what the menu sent it.
	std::string ShownAfterClosing()
	{
		fWindow.Port().Sync();
		return Shown();
	}

	BRect MenuBox()
	{
		// The box spans the field right of the divider, inset by a pixel or two.
		return BRect(10 + 83, 112, 178, 128);
	}

	PanelWindow fWindow;
	BMenuField* fField;
};

TEST_F(MenuFieldTest, ShowsTheMenusTitleUntilAnItemIsMarked)
{
	fWindow->Lock();
	EXPECT_STREQ("System", fField->Label());
	EXPECT_EQ(82, fField->Divider());
	EXPECT_EQ(BRect(10, 110, 180, 130), fField->Frame());
	ASSERT_NE(nullptr, fField->Menu());
	EXPECT_EQ(3, fField->Menu()->CountItems());
	EXPECT_EQ(fField->Menu(), fField->MenuItem()->Submenu());
	fWindow->Unlock();
	EXPECT_EQ("my-own-system", Shown());

	fWindow->Lock();
	fField->Menu()->ItemAt(2)->SetMarked(true);
	fWindow->Unlock();
	EXPECT_EQ("custom", Shown());
}

TEST_F(MenuFieldTest, AClickOpensTheMenuUnderTheBoxAndAChoiceMarksAndShowsTheItem)
{
	BRect box = MenuBox();
	fWindow.Click(BPoint(box.left + 20, box.top + 8));
	BWindow* menuWindow = BPrivate::open_menu_window();
	ASSERT_NE(nullptr, menuWindow);
	EXPECT_STREQ("my-own-system", menuWindow->Title());
	BRect frame = menuWindow->Frame();
	EXPECT_EQ(fWindow->Frame().left + 10 + 83, frame.left);
	EXPECT_GT(frame.top, fWindow->Frame().top + 110 + 15);
	EXPECT_LE(frame.top, fWindow->Frame().top + 131);
	// The field's window is not held while the menu is open.
	EXPECT_EQ(B_OK, fWindow.Port().Sync());

	EXPECT_EQ(B_OK, BPrivate::choose_menu_item("statdns"));
	EXPECT_EQ("statdns", ShownAfterClosing());
	fWindow->Lock();
	EXPECT_EQ(fField->Menu()->ItemAt(1), fField->Menu()->FindMarked());
	fWindow->Unlock();

	// Escape closes it again without a change.
	fWindow.Click(BPoint(box.left + 20, box.top + 8));
	menuWindow = BPrivate::open_menu_window();
	ASSERT_NE(nullptr, menuWindow);
	BPrivate::WindowPort(menuWindow).KeyDown("\x1b");
	EXPECT_EQ("statdns", ShownAfterClosing());
	EXPECT_EQ(nullptr, BPrivate::open_menu_window());
}

TEST_F(MenuFieldTest, OpensFromTheKeyboardWhenFocusedButNotWhenDisabled)
{
	fWindow->Lock();
	fField->MakeFocus();
	fWindow->Unlock();
	fWindow.Type(" ");
	BWindow* menuWindow = BPrivate::open_menu_window();
	ASSERT_NE(nullptr, menuWindow);
	BPrivate::WindowPort menuPort(menuWindow);
	menuPort.KeyDown("\x1f");
	menuPort.KeyDown("\n");
	EXPECT_EQ("dyndns", ShownAfterClosing());

	fWindow->Lock();
	fField->SetEnabled(false);
	EXPECT_FALSE(fField->IsEnabled());
	EXPECT_EQ(0u, fField->Flags() & B_NAVIGABLE);
	fWindow->Unlock();
	fWindow.Click(BPoint(MenuBox().left + 20, MenuBox().top + 8));
	EXPECT_EQ(nullptr, BPrivate::open_menu_window());
	// A click on the label never opens it.
	fWindow->Lock();
	fField->SetEnabled(true);
	fWindow->Unlock();
	fWindow.Click(BPoint(20, 120));
	EXPECT_EQ(nullptr, BPrivate::open_menu_window());
}

TEST_F(MenuFieldTest, DrawsTheLabelAndARaisedBoxReachingTheRightEdge)
{
	// The label left of the divider, the box's text right of it, on one baseline (both
	// reach below it with a "y"; the box's shadow is lighter than the ink).
	auto inkRows = [this](int32 left, int32 right) {
		int32 last = -1;
		for (int32 y = 110; y <= 130; y++) {
			for (int32 x = left; x <= right; x++) {
				if (fWindow.Pixel(x, y).red < 60)
					last = y;
			}
		}
		return last;
	};
	int32 labelBaseline = inkRows(12, 50);
	int32 boxBaseline = inkRows(100, 140);
	EXPECT_GT(labelBaseline, 0);
	EXPECT_EQ(labelBaseline, boxBaseline);

	// Fixed size: the box's outline and shadow reach the field's right end.
	int32 middle = 120;
	EXPECT_EQ(Color(152, 152, 152), fWindow.Pixel(178, middle));
	EXPECT_EQ(Color(96, 96, 96), fWindow.Pixel(179, middle));
	EXPECT_EQ(kPanel, fWindow.Pixel(180, middle));
	EXPECT_EQ(Color(152, 152, 152), fWindow.Pixel(93, middle));
	EXPECT_EQ(kWhite, fWindow.Pixel(94, middle));
	// The pop-up marker near the right end.
	int32 dark = 0;
	for (int32 x = 160; x < 178; x++) {
		for (int32 y = 112; y < 128; y++)
			dark += fWindow.Pixel(x, y).red < 40 ? 1 : 0;
	}
	EXPECT_GE(dark, 7);
}

} // namespace

#include <gtest/gtest.h>

#include <Menu.h>
#include <MenuItem.h>
#include <PopUpMenu.h>

#include "ControlsTestSupport.h"

namespace {

const uint32 kMsgChosen = 'chsn';

TEST(MenuTest, KeepsItsItemsInOrderAndFindsTheirIndex)
{
	BPopUpMenu* menu = MakeOptionsMenu();
	EXPECT_STREQ("Options", menu->Name());
	EXPECT_TRUE(menu->IsRadioMode());
	EXPECT_TRUE(menu->IsLabelFromMarked());
	ASSERT_EQ(5, menu->CountItems());
	EXPECT_STREQ("Force Update", menu->ItemAt(2)->Label());
	EXPECT_EQ(menu, menu->ItemAt(2)->Menu());
	EXPECT_EQ(nullptr, menu->ItemAt(5));
	EXPECT_EQ(nullptr, menu->ItemAt(-1));
	EXPECT_EQ(4, menu->IndexOf(menu->ItemAt(4)));
	EXPECT_EQ(menu->ItemAt(1), menu->FindItem("Force Ip Check"));
	EXPECT_EQ(nullptr, menu->FindItem("Missing"));

	// The separator is an item of its own, never enabled.
	BSeparatorItem* separator = dynamic_cast<BSeparatorItem*>(menu->ItemAt(3));
	ASSERT_NE(nullptr, separator);
	separator->SetEnabled(true);
	EXPECT_FALSE(separator->IsEnabled());

	// Negative for no item and for an item of another menu.
	BMenuItem foreign("Foreign", NULL);
	EXPECT_LT(menu->IndexOf((BMenuItem*)NULL), 0);
	EXPECT_LT(menu->IndexOf(&foreign), 0);
	BMenu other("other");
	BMenuItem* moved = new BMenuItem("Moved", NULL);
	ASSERT_TRUE(other.AddItem(moved));
	EXPECT_FALSE(menu->AddItem(moved));
	EXPECT_LT(menu->IndexOf(moved), 0);

	// Removal hands the item back.
	EXPECT_TRUE(other.RemoveItem(moved));
	EXPECT_EQ(nullptr, moved->Menu());
	EXPECT_TRUE(menu->AddItem(moved, 0));
	EXPECT_EQ(0, menu->IndexOf(moved));
	EXPECT_EQ(moved, menu->RemoveItem((int32)0));
	delete moved;
	EXPECT_TRUE(menu->RemoveItems(3, 2, true));
	EXPECT_EQ(3, menu->CountItems());
	delete menu;
}

TEST(MenuTest, RadioModeKeepsOneItemMarked)
{
	BMenu menu("choices");
	menu.AddItem(new BMenuItem("a", NULL));
	menu.AddItem(new BMenuItem("b", NULL));
	menu.AddItem(new BMenuItem("c", NULL));
	EXPECT_EQ(nullptr, menu.FindMarked());
	menu.ItemAt(0)->SetMarked(true);
	menu.ItemAt(2)->SetMarked(true);
	EXPECT_TRUE(menu.ItemAt(0)->IsMarked());
	EXPECT_EQ(menu.ItemAt(0), menu.FindMarked());

	menu.SetRadioMode(true);
	menu.ItemAt(1)->SetMarked(true);
	EXPECT_EQ(menu.ItemAt(1), menu.FindMarked());
	EXPECT_FALSE(menu.ItemAt(0)->IsMarked());
	EXPECT_FALSE(menu.ItemAt(2)->IsMarked());
	menu.ItemAt(1)->SetMarked(false);
	EXPECT_EQ(nullptr, menu.FindMarked());
}

TEST(MenuTest, TheSuperitemTakesTheMarkedItemsLabel)
{
	BPopUpMenu* menu = new BPopUpMenu("stored", true, true);
	menu->AddItem(new BMenuItem("dyndns", NULL));
	menu->AddItem(new BMenuItem("statdns", NULL));
	BMenuItem superitem(menu);
	EXPECT_EQ(menu, superitem.Submenu());
	EXPECT_EQ(&superitem, menu->Superitem());
	EXPECT_STREQ("stored", superitem.Label());
	menu->ItemAt(1)->SetMarked(true);
	EXPECT_STREQ("statdns", superitem.Label());

	// Without radio mode the label stays.
	menu->SetRadioMode(false);
	EXPECT_FALSE(menu->IsLabelFromMarked());
	menu->ItemAt(0)->SetMarked(true);
	EXPECT_STREQ("statdns", superitem.Label());
	menu->SetLabelFromMarked(true);
	EXPECT_TRUE(menu->IsRadioMode());

	// An item marked before the superitem exists names it at once.
	BPopUpMenu* marked = new BPopUpMenu("title");
	marked->AddItem(new BMenuItem("first", NULL));
	marked->ItemAt(0)->SetMarked(true);
	BMenuItem named(marked);
	EXPECT_STREQ("first", named.Label());
}

TEST(MenuTest, InvokingAnItemMarksItInRadioModeAndSendsItsMessage)
{
	MessageCatcher catcher;
	BPopUpMenu menu("menu");
	BMenuItem* silent = new BMenuItem("silent", NULL);
	BMenuItem* speaking = new BMenuItem("speaking", new BMessage(kMsgChosen));
	menu.AddItem(silent);
	menu.AddItem(speaking);
	EXPECT_EQ(B_BAD_VALUE, silent->Invoke());
	EXPECT_TRUE(silent->IsMarked());

	ASSERT_EQ(B_OK, speaking->SetTarget(catcher.Target()));
	EXPECT_EQ(B_OK, speaking->Invoke());
	EXPECT_TRUE(speaking->IsMarked());
	EXPECT_FALSE(silent->IsMarked());
	std::vector<BMessage> received = WaitForMessages(catcher, 1);
	ASSERT_EQ(1u, received.size());
	EXPECT_EQ(kMsgChosen, received[0].what);
	int32 index = -1;
	EXPECT_EQ(B_OK, received[0].FindInt32("index", &index));
	EXPECT_EQ(1, index);

	speaking->SetEnabled(false);
	EXPECT_EQ(B_ERROR, speaking->Invoke());
}

TEST(MenuTest, AColumnStacksItemsOfOneWidth)
{
	BPopUpMenu* menu = MakeOptionsMenu();
	float width;
	float height;
	menu->GetPreferredSize(&width, &height);
	float top = 1;
	float widest = menu->StringWidth("Force Ip Check");
	for (int32 i = 0; i < menu->CountItems(); i++) {
		BRect frame = menu->ItemAt(i)->Frame();
		EXPECT_EQ(top, frame.top) << i;
		EXPECT_EQ(1, frame.left) << i;
		EXPECT_EQ(width - 1, frame.right) << i;
		EXPECT_GT(frame.Width(), widest) << i;
		top = frame.bottom + 1;
	}
	EXPECT_EQ(height, top);
	// The separator is lower than the labelled items.
	EXPECT_LT(menu->ItemAt(3)->Frame().Height(), menu->ItemAt(0)->Frame().Height());
	delete menu;

	BMenu row("row", B_ITEMS_IN_ROW);
	row.AddItem(new BMenuItem("File", NULL));
	row.AddItem(new BMenuItem("Edit", NULL));
	EXPECT_EQ(row.ItemAt(0)->Frame().top, row.ItemAt(1)->Frame().top);
	EXPECT_EQ(row.ItemAt(0)->Frame().right + 1, row.ItemAt(1)->Frame().left);
}

} // namespace

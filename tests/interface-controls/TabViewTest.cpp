#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <TabView.h>
#include <Window.h>

#include "ControlsTestSupport.h"

namespace {

// The settings window's tab view: 262 wide, 183 high, pages of (0, 0, 259, 159).
const BRect kTabViewFrame(0, 8, 261, 190);
const BRect kPageFrame(0, 0, 259, 159);

class Page : public BView {
public:
	Page(const char* name) :
		BView(kPageFrame, name, B_FOLLOW_ALL_SIDES, B_WILL_DRAW),
		attached(0),
		detached(0)
	{
		SetViewColor(kPanel);
	}

	void AttachedToWindow() override
	{
		attached++;
		BView::AttachedToWindow();
	}

	void DetachedFromWindow() override
	{
		detached++;
		BView::DetachedFromWindow();
	}

	int32 attached;
	int32 detached;
};

// The settings window's own tab view: tabs sharing the width, drawn flat, in its own hooks.
class SharedWidthTabView : public BTabView {
public:
	SharedWidthTabView(BRect frame) :
		BTabView(frame, "settings-tab", B_WIDTH_FROM_LABEL, B_FOLLOW_ALL,
			B_FULL_UPDATE_ON_RESIZE | B_WILL_DRAW | B_NAVIGABLE_JUMP | B_FRAME_EVENTS | B_NAVIGABLE)
	{
	}

	BRect TabFrame(int32 index) const override
	{
		float width = Bounds().right / CountTabs();
		return BRect(width * index, 0, width * index + width, TabHeight());
	}

	BRect DrawTabs() override
	{
		drawTabsCalls++;
		rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
		for (int32 i = 0; i < CountTabs(); i++) {
			BRect frame = TabFrame(i);
			if (i == Selection()) {
				SetHighColor(tint_color(panel, B_LIGHTEN_MAX_TINT));
				StrokeLine(BPoint(frame.left, 1), BPoint(frame.left, frame.bottom));
				StrokeLine(BPoint(frame.left + 1, 0), BPoint(frame.right - 1, 0));
			}
			SetHighColor(tint_color(panel, B_DARKEN_4_TINT));
			StrokeLine(BPoint(frame.right, 1), BPoint(frame.right, frame.bottom));
			frame.InsetBy(1, 1);
			SetHighColor(i == Selection() ? panel : rgb_color{192, 192, 192, 255});
			FillRect(frame);
		}
		return TabFrame(Selection());
	}

	void DrawBox(BRect selectedTabFrame) override
	{
		boxFrames.push_back(selectedTabFrame);
		rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
		BRect bounds = Bounds();
		float top = selectedTabFrame.bottom + 1;
		SetHighColor(tint_color(panel, B_LIGHTEN_MAX_TINT));
		StrokeLine(BPoint(0, top), BPoint(0, bounds.bottom - 1));
		StrokeLine(BPoint(1, top), BPoint(bounds.right - 1, top));
		SetHighColor(tint_color(panel, B_DARKEN_4_TINT));
		StrokeLine(BPoint(bounds.right, top), BPoint(bounds.right, bounds.bottom));
		StrokeLine(BPoint(1, bounds.bottom), BPoint(bounds.right, bounds.bottom));
		SetHighColor(panel);
		BRect selected = TabFrame(Selection());
		StrokeLine(BPoint(selected.left + 1, top), BPoint(selected.right - 1, top));
	}

	int32 drawTabsCalls = 0;
	std::vector<BRect> boxFrames;
};

template<typename TabViewType>
class TabViewFixture : public testing::Test {
protected:
	void SetUp() override
	{
		fTabs = new TabViewType(kTabViewFrame);
		const char* names[] = {"About", "User", "Server", "Other", "Log"};
		for (const char* name : names) {
			Page* page = new Page(name);
			fPages.push_back(page);
			fTabs->AddTab(page);
		}
		fWindow.ShowWith({fTabs});
	}

	int32 Selection()
	{
		fWindow->Lock();
		int32 selection = fTabs->Selection();
		fWindow->Unlock();
		return selection;
	}

	PanelWindow fWindow{BRect(50, 50, 311, 240)};
	TabViewType* fTabs;
	std::vector<Page*> fPages;
};

class DefaultTabView : public BTabView {
public:
	DefaultTabView(BRect frame) :
		BTabView(frame, "tabs", B_WIDTH_FROM_LABEL)
	{
	}
};

typedef TabViewFixture<DefaultTabView> TabViewTest;
typedef TabViewFixture<SharedWidthTabView> CustomTabViewTest;

TEST_F(TabViewTest, TakesLabelsFromThePagesNamesAndSelectsTheFirstTab)
{
	fWindow->Lock();
	EXPECT_EQ(5, fTabs->CountTabs());
	EXPECT_STREQ("About", fTabs->TabAt(0)->Label());
	EXPECT_STREQ("Log", fTabs->TabAt(4)->Label());
	EXPECT_EQ(nullptr, fTabs->TabAt(5));
	EXPECT_EQ(nullptr, fTabs->TabAt(-1));
	EXPECT_EQ(fPages[2], fTabs->ViewForTab(2));
	EXPECT_EQ(0, fTabs->Selection());
	EXPECT_TRUE(fTabs->TabAt(0)->IsSelected());
	EXPECT_FALSE(fTabs->TabAt(1)->IsSelected());
	EXPECT_EQ(20, fTabs->TabHeight());
	fWindow->Unlock();

	// A tab given by the caller takes the view, and the label with it.
	BTabView alone(BRect(0, 0, 99, 99), "alone");
	BTab* tab = new BTab;
	alone.AddTab(new BView(BRect(0, 0, 9, 9), "Named", B_FOLLOW_NONE, 0), tab);
	EXPECT_EQ(tab, alone.TabAt(0));
	EXPECT_STREQ("Named", tab->Label());
	EXPECT_EQ(0, alone.Selection());
}

TEST_F(TabViewTest, OnlyTheSelectedPageIsAttachedAndReattachedOnReturn)
{
	fWindow->Lock();
	EXPECT_EQ(fWindow.Window(), fPages[0]->Window());
	for (int32 i = 1; i < 5; i++)
		EXPECT_EQ(nullptr, fPages[i]->Window()) << i;
	EXPECT_EQ(1, fPages[0]->attached);
	EXPECT_EQ(0, fPages[1]->attached);
	EXPECT_EQ(nullptr, fWindow->FindView("User"));

	fTabs->Select(1);
	EXPECT_EQ(1, fTabs->Selection());
	EXPECT_EQ(nullptr, fPages[0]->Window());
	EXPECT_EQ(1, fPages[0]->detached);
	EXPECT_EQ(fWindow.Window(), fPages[1]->Window());
	EXPECT_EQ(fTabs->ContainerView(), fPages[1]->Parent());

	fTabs->Select(0);
	fTabs->Select(0);
	EXPECT_EQ(2, fPages[0]->attached);
	EXPECT_EQ(1, fPages[1]->detached);
	EXPECT_FALSE(fTabs->TabAt(1)->IsSelected());
	fTabs->Select(9);
	EXPECT_EQ(0, fTabs->Selection());
	fWindow->Unlock();
}

TEST_F(TabViewTest, TheContainerFillsTheBoxBelowTheTabs)
{
	fWindow->Lock();
	BView* container = fTabs->ContainerView();
	EXPECT_EQ(BRect(1, 22, 260, 181), container->Frame());
	// A page of the settings window fits it exactly.
	EXPECT_EQ(container->Bounds(), fPages[0]->Frame());
	fTabs->SetTabHeight(30);
	EXPECT_EQ(30, fTabs->TabHeight());
	EXPECT_EQ(BRect(1, 32, 260, 181), container->Frame());
	fWindow->Unlock();
}

TEST_F(TabViewTest, AClickOnATabSelectsIt)
{
	fWindow->Lock();
	BRect third = fTabs->TabFrame(2);
	fWindow->Unlock();
	fWindow.Click(BPoint(third.left + third.Width() / 2, 8 + 10));
	EXPECT_EQ(2, Selection());
	// Below the tabs a click selects nothing.
	fWindow.Click(BPoint(20, 8 + 60));
	EXPECT_EQ(2, Selection());
}

TEST_F(TabViewTest, ArrowKeysMoveTheSelectionWhileTheTabViewHasTheFocus)
{
	fWindow.Type("\x1d");
	EXPECT_EQ(0, Selection());
	fWindow->Lock();
	fTabs->MakeFocus();
	fWindow->Unlock();
	fWindow.Type("\x1d");
	EXPECT_EQ(1, Selection());
	fWindow.Type("\x1d");
	EXPECT_EQ(2, Selection());
	fWindow.Type("\x1c");
	fWindow.Type("\x1c");
	EXPECT_EQ(0, Selection());
	fWindow.Type("\x1c");
	EXPECT_EQ(4, Selection());
	fWindow.Type("\x1d");
	EXPECT_EQ(0, Selection());
}

TEST_F(TabViewTest, RemovingTheSelectedTabSelectsANeighbour)
{
	fWindow->Lock();
	fTabs->Select(4);
	BTab* removed = fTabs->RemoveTab(4);
	ASSERT_NE(nullptr, removed);
	EXPECT_EQ(4, fTabs->CountTabs());
	EXPECT_EQ(3, fTabs->Selection());
	EXPECT_EQ(fWindow.Window(), fPages[3]->Window());
	EXPECT_EQ(nullptr, fPages[4]->Window());
	EXPECT_EQ(nullptr, fTabs->RemoveTab(7));
	fWindow->Unlock();
	delete removed;
}

TEST_F(TabViewTest, DrawsTheFrontTabOpenIntoTheBox)
{
	fWindow->Lock();
	BRect front = fTabs->TabFrame(0);
	BRect behind = fTabs->TabFrame(1);
	fWindow->Unlock();
	int32 y = 8 + 21;
	// The box's light top edge, open under the front tab.
	EXPECT_EQ(kWhite, fWindow.Pixel((int32)behind.left + 20, y));
	EXPECT_EQ(kPanel, fWindow.Pixel((int32)front.left + 20, y));
	EXPECT_EQ(kWhite, fWindow.Pixel(0, y + 10));
	EXPECT_EQ(Color(96, 96, 96), fWindow.Pixel(261, y + 10));
	EXPECT_EQ(Color(96, 96, 96), fWindow.Pixel(100, 190));
	// The front tab in the panel colour with a light top, the others a shade darker.
	EXPECT_EQ(kWhite, fWindow.Pixel((int32)front.left + 20, 8));
	EXPECT_EQ(kPanel, fWindow.Pixel((int32)front.left + 8, 8 + 3));
	EXPECT_EQ(Color(200, 200, 200), fWindow.Pixel((int32)behind.left + 8, 8 + 5));
}

TEST_F(CustomTabViewTest, UsesTheSubclassesGeometryForClicksAndItsDrawingHooks)
{
	fWindow->Lock();
	EXPECT_GT(fTabs->drawTabsCalls, 0);
	ASSERT_FALSE(fTabs->boxFrames.empty());
	EXPECT_EQ(fTabs->TabFrame(0), fTabs->boxFrames.back());
	fWindow->Unlock();

	// Tabs 52.2 wide: x 110 lies in the third.
	fWindow.Click(BPoint(110, 8 + 10));
	EXPECT_EQ(2, Selection());
	fWindow->Lock();
	EXPECT_EQ(fTabs->TabFrame(2), fTabs->boxFrames.back());
	fWindow->Unlock();

	// Pixels from the hooks alone: flat grey tabs, the selected one in the panel colour.
	EXPECT_EQ(Color(192, 192, 192), fWindow.Pixel(10, 8 + 10));
	EXPECT_EQ(kPanel, fWindow.Pixel(120, 8 + 10));
	EXPECT_EQ(kWhite, fWindow.Pixel(104, 8 + 5));
	EXPECT_EQ(kWhite, fWindow.Pixel(120, 8));
	EXPECT_EQ(Color(96, 96, 96), fWindow.Pixel(52, 8 + 5));
	EXPECT_EQ(Color(96, 96, 96), fWindow.Pixel(261, 8 + 5));
	EXPECT_EQ(kPanel, fWindow.Pixel(120, 8 + 21));
	EXPECT_EQ(kWhite, fWindow.Pixel(30, 8 + 21));
}

} // namespace

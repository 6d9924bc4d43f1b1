#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <Message.h>
#include <View.h>
#include <Window.h>

#include "InterfaceTestSupport.h"

namespace {

// Records its hooks in a journal shared by a family of views.
class HookView : public BView {
public:
	HookView(BRect frame, const char* name, std::vector<std::string>& journal,
		uint32 resizingMode = B_FOLLOW_NONE, uint32 flags = 0) :
		BView(frame, name, resizingMode, flags),
		fJournal(journal)
	{
	}

	void AttachedToWindow() override { _Add("attached"); }
	void AllAttached() override { _Add("all-attached"); }
	void DetachedFromWindow() override { _Add("detached"); }
	void AllDetached() override { _Add("all-detached"); }
	void FrameMoved(BPoint where) override
	{
		_Add("moved " + std::to_string((int)where.x) + "," + std::to_string((int)where.y));
	}
	void FrameResized(float width, float height) override
	{
		_Add("resized " + std::to_string((int)width) + "x" + std::to_string((int)height));
	}

private:
	void _Add(const std::string& what) { fJournal.push_back(std::string(Name()) + " " + what); }

	std::vector<std::string>& fJournal;
};

TEST(ViewTest, HierarchyKeepsOrderAndFindsViewsByName)
{
	std::unique_ptr<BView> root(new BView(BRect(0, 0, 99, 99), "root", B_FOLLOW_ALL, 0));
	BView* first = new BView(BRect(0, 0, 9, 9), "first", B_FOLLOW_NONE, 0);
	BView* third = new BView(BRect(0, 0, 9, 9), "third", B_FOLLOW_NONE, 0);
	BView* second = new BView(BRect(0, 0, 9, 9), "second", B_FOLLOW_NONE, 0);
	BView* grandchild = new BView(BRect(0, 0, 4, 4), "grandchild", B_FOLLOW_NONE, 0);
	root->AddChild(first);
	root->AddChild(third);
	root->AddChild(second, third);
	second->AddChild(grandchild);

	ASSERT_EQ(3, root->CountChildren());
	EXPECT_EQ(first, root->ChildAt(0));
	EXPECT_EQ(second, root->ChildAt(1));
	EXPECT_EQ(third, root->ChildAt(2));
	EXPECT_EQ(nullptr, root->ChildAt(3));
	EXPECT_EQ(second, first->NextSibling());
	EXPECT_EQ(second, third->PreviousSibling());
	EXPECT_EQ(nullptr, third->NextSibling());
	EXPECT_EQ(root.get(), second->Parent());
	EXPECT_EQ(second, grandchild->Parent());
	EXPECT_EQ(grandchild, root->FindView("grandchild"));
	EXPECT_EQ(root.get(), root->FindView("root"));
	EXPECT_EQ(nullptr, root->FindView("missing"));
	EXPECT_EQ(nullptr, root->Window());

	// A view that has a parent is not added a second time.
	root->AddChild(grandchild);
	EXPECT_EQ(3, root->CountChildren());

	EXPECT_TRUE(root->RemoveChild(first));
	EXPECT_FALSE(root->RemoveChild(first));
	EXPECT_EQ(nullptr, first->Parent());
	EXPECT_EQ(2, root->CountChildren());
	delete first;
}

TEST(ViewTest, AttachHooksRunParentsFirstAndAllAttachedChildrenFirst)
{
	std::vector<std::string> journal;
	ShownWindow window;
	HookView* parent = new HookView(BRect(0, 0, 19, 19), "parent", journal);
	parent->AddChild(new HookView(BRect(0, 0, 4, 4), "a", journal));
	parent->AddChild(new HookView(BRect(5, 5, 9, 9), "b", journal));
	window->Lock();
	window->AddChild(parent);
	std::vector<std::string> expected = {"parent attached", "a attached", "b attached",
		"a all-attached", "b all-attached", "parent all-attached"};
	EXPECT_EQ(expected, journal);
	EXPECT_EQ(window.Window(), parent->ChildAt(0)->Window());
	EXPECT_EQ(window.Window(), parent->Looper());
	EXPECT_EQ(nullptr, parent->Parent());
	EXPECT_EQ(parent, window->FindView("parent"));
	EXPECT_EQ(parent, window->ChildAt(0));

	journal.clear();
	EXPECT_TRUE(window->RemoveChild(parent));
	window->Unlock();
	expected = {"parent detached", "a detached", "b detached", "a all-detached", "b all-detached",
		"parent all-detached"};
	EXPECT_EQ(expected, journal);
	EXPECT_EQ(nullptr, parent->Window());
	EXPECT_EQ(nullptr, parent->ChildAt(1)->Looper());
	delete parent;
}

TEST(ViewTest, DeletingAWindowDetachesAndDeletesItsViews)
{
	std::vector<std::string> journal;
	BWindow* window = new BWindow(BRect(0, 0, 9, 9), "never shown", B_TITLED_WINDOW, 0);
	window->AddChild(new HookView(BRect(0, 0, 4, 4), "only", journal));
	window->Lock();
	window->Quit();
	std::vector<std::string> expected = {"only attached", "only all-attached", "only detached",
		"only all-detached"};
	EXPECT_EQ(expected, journal);
}

TEST(ViewTest, CoordinatesConvertThroughParentsWindowAndScreen)
{
	ShownWindow window(BRect(100, 50, 199, 149));
	BView* outer = new BView(BRect(10, 20, 89, 89), "outer", B_FOLLOW_NONE, 0);
	BView* inner = new BView(BRect(5, 6, 30, 30), "inner", B_FOLLOW_NONE, 0);
	outer->AddChild(inner);
	window.Show(outer);
	window->Lock();

	EXPECT_EQ(BPoint(6, 8), inner->ConvertToParent(BPoint(1, 2)));
	EXPECT_EQ(BPoint(1, 2), inner->ConvertFromParent(BPoint(6, 8)));
	EXPECT_EQ(BPoint(116, 78), inner->ConvertToScreen(BPoint(1, 2)));
	EXPECT_EQ(BPoint(1, 2), inner->ConvertFromScreen(BPoint(116, 78)));
	BPoint point(1, 2);
	inner->ConvertToScreen(&point);
	EXPECT_EQ(BPoint(116, 78), point);
	inner->ConvertFromScreen(&point);
	EXPECT_EQ(BPoint(1, 2), point);

	BRect rect(0, 0, 3, 4);
	EXPECT_EQ(BRect(115, 76, 118, 80), inner->ConvertToScreen(rect));
	inner->ConvertToParent(&rect);
	EXPECT_EQ(BRect(5, 6, 8, 10), rect);
	EXPECT_EQ(BRect(0, 0, 3, 4), inner->ConvertFromParent(rect));
	EXPECT_EQ(BRect(0, 0, 25, 24), inner->Bounds());
	EXPECT_EQ(BRect(5, 6, 30, 30), inner->Frame());

	// Scrolling moves the bounds, not the frame.
	inner->ScrollTo(10, 0);
	EXPECT_EQ(BRect(10, 0, 35, 24), inner->Bounds());
	EXPECT_EQ(BPoint(116, 78), inner->ConvertToScreen(BPoint(11, 2)));
	window->Unlock();
}

TEST(ViewTest, ChildrenFollowTheirResizingRules)
{
	std::vector<std::string> journal;
	ShownWindow window(BRect(0, 0, 99, 99));
	BView* parent = new BView(BRect(0, 0, 99, 99), "parent", B_FOLLOW_ALL, 0);
	BView* none = new BView(BRect(10, 10, 19, 19), "none", B_FOLLOW_NONE, 0);
	BView* right = new BView(BRect(10, 10, 19, 19), "right", B_FOLLOW_RIGHT, 0);
	BView* both = new BView(BRect(10, 10, 19, 19), "both", B_FOLLOW_LEFT_RIGHT, 0);
	BView* center = new BView(BRect(10, 10, 19, 19), "center", B_FOLLOW_H_CENTER, 0);
	BView* bottom = new BView(BRect(10, 10, 19, 19), "bottom", B_FOLLOW_BOTTOM, 0);
	HookView* all = new HookView(BRect(10, 10, 19, 19), "all", journal, B_FOLLOW_ALL,
		B_FRAME_EVENTS);
	for (BView* child : std::vector<BView*>{none, right, both, center, bottom, all})
		parent->AddChild(child);
	window.Show(parent);

	window->Lock();
	journal.clear();
	parent->ResizeBy(20, 40);
	EXPECT_EQ(BRect(0, 0, 119, 139), parent->Frame());
	EXPECT_EQ(BRect(10, 10, 19, 19), none->Frame());
	EXPECT_EQ(BRect(30, 10, 39, 19), right->Frame());
	EXPECT_EQ(BRect(10, 10, 39, 19), both->Frame());
	EXPECT_EQ(BRect(20, 10, 29, 19), center->Frame());
	EXPECT_EQ(BRect(10, 50, 19, 59), bottom->Frame());
	EXPECT_EQ(BRect(10, 10, 39, 59), all->Frame());
	std::vector<std::string> expected = {"all resized 29x49"};
	EXPECT_EQ(expected, journal);

	journal.clear();
	all->MoveTo(0, 5);
	all->MoveBy(1, 1);
	expected = {"all moved 0,5", "all moved 1,6"};
	EXPECT_EQ(expected, journal);
	window->Unlock();
}

TEST(ViewTest, ResizingModesAndFlagsHaveThePlatformValues)
{
	EXPECT_EQ(0u, (uint32)B_FOLLOW_NONE);
	EXPECT_EQ(0x0202u, B_FOLLOW_LEFT);
	EXPECT_EQ(0x0404u, B_FOLLOW_RIGHT);
	EXPECT_EQ(0x0204u, B_FOLLOW_LEFT_RIGHT);
	EXPECT_EQ(0x0505u, B_FOLLOW_H_CENTER);
	EXPECT_EQ(0x1010u, B_FOLLOW_TOP);
	EXPECT_EQ(0x3030u, B_FOLLOW_BOTTOM);
	EXPECT_EQ(0x1030u, B_FOLLOW_TOP_BOTTOM);
	EXPECT_EQ(0x5050u, B_FOLLOW_V_CENTER);
	EXPECT_EQ(0x1234u, B_FOLLOW_ALL);
	EXPECT_EQ(B_FOLLOW_ALL, B_FOLLOW_ALL_SIDES);
	EXPECT_EQ(0x30000000u, B_WILL_DRAW | B_PULSE_NEEDED);
	EXPECT_EQ(0x80000000u, B_FULL_UPDATE_ON_RESIZE);
	EXPECT_EQ(0x04000000u, B_FRAME_EVENTS);
	EXPECT_EQ(0x02000000u, B_NAVIGABLE);
	EXPECT_EQ(0x08000000u, B_NAVIGABLE_JUMP);
}

TEST(ViewTest, ShowAndHideNestAndFollowTheParent)
{
	BView parent(BRect(0, 0, 9, 9), "parent", B_FOLLOW_NONE, 0);
	BView* child = new BView(BRect(0, 0, 4, 4), "child", B_FOLLOW_NONE, 0);
	parent.AddChild(child);
	EXPECT_FALSE(child->IsHidden());
	child->Hide();
	child->Hide();
	child->Show();
	EXPECT_TRUE(child->IsHidden());
	child->Show();
	EXPECT_FALSE(child->IsHidden());
	parent.Hide();
	EXPECT_TRUE(child->IsHidden());
	EXPECT_FALSE(child->IsHidden(child));
}

TEST(ViewTest, ArchiveRoundTripKeepsStateAndChildren)
{
	BView original(BRect(5, 6, 55, 36), "original", B_FOLLOW_LEFT_RIGHT,
		B_WILL_DRAW | B_PULSE_NEEDED);
	original.SetViewColor(Color(1, 2, 3));
	original.SetHighColor(Color(4, 5, 6, 7));
	original.SetLowColor(Color(8, 9, 10));
	original.SetDrawingMode(B_OP_OVER);
	original.SetFontSize(20);
	original.SetEventMask(B_POINTER_EVENTS, B_NO_POINTER_HISTORY);
	original.AddChild(new BView(BRect(1, 1, 4, 4), "child", B_FOLLOW_NONE, 0));

	BMessage archive;
	ASSERT_EQ(B_OK, original.Archive(&archive));
	const char* className;
	ASSERT_EQ(B_OK, archive.FindString("class", &className));
	EXPECT_STREQ("BView", className);

	std::unique_ptr<BArchivable> object(BView::Instantiate(&archive));
	BView* copy = dynamic_cast<BView*>(object.get());
	ASSERT_NE(nullptr, copy);
	EXPECT_STREQ("original", copy->Name());
	EXPECT_EQ(BRect(5, 6, 55, 36), copy->Frame());
	EXPECT_EQ((uint32)B_FOLLOW_LEFT_RIGHT, copy->ResizingMode());
	EXPECT_EQ(B_WILL_DRAW | B_PULSE_NEEDED, copy->Flags());
	EXPECT_EQ(Color(1, 2, 3), copy->ViewColor());
	EXPECT_EQ(Color(4, 5, 6, 7), copy->HighColor());
	EXPECT_EQ(Color(8, 9, 10), copy->LowColor());
	EXPECT_EQ(B_OP_OVER, copy->DrawingMode());
	EXPECT_EQ((uint32)B_POINTER_EVENTS, copy->EventMask());
	BFont font;
	copy->GetFont(&font);
	EXPECT_EQ(20.0f, font.Size());
	ASSERT_EQ(1, copy->CountChildren());
	EXPECT_STREQ("child", copy->ChildAt(0)->Name());

	BMessage shallow;
	ASSERT_EQ(B_OK, original.Archive(&shallow, false));
	EXPECT_FALSE(shallow.HasMessage("_views"));

	BMessage other;
	other.AddString("class", "BBitmap");
	EXPECT_EQ(nullptr, BView::Instantiate(&other));
}

TEST(ViewTest, PushAndPopStateRestoreTheDrawingState)
{
	BView view(BRect(0, 0, 9, 9), "view", B_FOLLOW_NONE, 0);
	view.SetHighColor(kRed);
	view.SetDrawingMode(B_OP_OVER);
	view.PushState();
	view.SetHighColor(kBlue);
	view.SetDrawingMode(B_OP_ALPHA);
	view.SetFontSize(30);
	view.PopState();
	EXPECT_EQ(kRed, view.HighColor());
	EXPECT_EQ(B_OP_OVER, view.DrawingMode());
	BFont font;
	view.GetFont(&font);
	EXPECT_EQ(10.0f, font.Size());
}

} // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <InterfaceDefs.h>
#include <View.h>
#include <Window.h>

#include "InterfaceTestSupport.h"
#include "Journal.h"

namespace {

// Records the input it receives; the journal is read with the window locked or synced.
class RecordingView : public BView {
public:
	RecordingView(BRect frame, uint32 flags = 0) :
		BView(frame, "recording", B_FOLLOW_ALL, flags)
	{
	}

	void MouseDown(BPoint where) override { _Add("down", where); }
	void MouseUp(BPoint where) override { _Add("up", where); }
	void MouseMoved(BPoint where, uint32, const BMessage*) override { _Add("moved", where); }
	void KeyDown(const char* bytes, int32 numBytes) override
	{
		_Add("key " + std::string(bytes, numBytes), B_ORIGIN);
		BView::KeyDown(bytes, numBytes);
	}

	std::vector<std::string> Take() { return fJournal.Take(); }

private:
	void _Add(const std::string& what, BPoint where)
	{
		fJournal.Add(what == "down" || what == "up" || what == "moved"
				? what + " " + std::to_string((int)where.x) + "," + std::to_string((int)where.y)
				: what);
	}

	Journal fJournal;
};

class ActivationTest : public testing::Test {
protected:
	void Open(ShownWindow& window, RecordingView*& view)
	{
		view = new RecordingView(window->Bounds(), B_NAVIGABLE);
		window.Show(view);
	}
};

TEST_F(ActivationTest, AClickActivatesAnInactiveWindowAndDeactivatesTheOther)
{
	ShownWindow first(BRect(10, 10, 59, 59));
	ShownWindow second(BRect(100, 10, 149, 59));
	RecordingView* firstView;
	RecordingView* secondView;
	Open(first, firstView);
	Open(second, secondView);
	EXPECT_FALSE(first->IsActive());
	EXPECT_TRUE(second->IsActive());

	// The activating click is the window's alone; the next ones reach the views.
	first.Port().MouseDown(BPoint(5, 6), B_PRIMARY_MOUSE_BUTTON);
	EXPECT_TRUE(first->IsActive());
	EXPECT_FALSE(second->IsActive());
	first.Port().MouseMoved(BPoint(7, 8), B_PRIMARY_MOUSE_BUTTON);
	first.Port().MouseUp(BPoint(7, 8), 0);
	first.Port().MouseDown(BPoint(9, 9), B_PRIMARY_MOUSE_BUTTON);
	std::vector<std::string> expected = {"moved 7,8", "up 7,8", "down 9,9"};
	EXPECT_EQ(expected, firstView->Take());

	second.Port().MouseDown(BPoint(1, 1), B_SECONDARY_MOUSE_BUTTON);
	EXPECT_TRUE(second->IsActive());
	EXPECT_FALSE(first->IsActive());
	EXPECT_TRUE(secondView->Take().empty());
}

TEST_F(ActivationTest, AFocusChangeOvertakenByALaterOneToAnotherWindowIsDropped)
{
	ShownWindow first(BRect(10, 10, 59, 59));
	ShownWindow second(BRect(100, 10, 149, 59));
	first.Show();
	second.Show();
	// The display gave the focus to the first window and then to the second, and the
	// second's thread handled its change before the first's.
	first->Lock();
	BPrivate::WindowPort firstQueue(first.Window(), BPrivate::WindowPort::kQueueOnly);
	BPrivate::WindowPort secondQueue(second.Window(), BPrivate::WindowPort::kQueueOnly);
	firstQueue.FocusChanged(true);
	firstQueue.FocusChanged(false);
	secondQueue.FocusChanged(true);
	ASSERT_EQ(B_OK, second.Port().Sync());
	first->Unlock();
	ASSERT_EQ(B_OK, first.Port().Sync());
	EXPECT_TRUE(second->IsActive());
	EXPECT_FALSE(first->IsActive());
}

TEST_F(ActivationTest, AWindowThatAcceptsTheFirstClickGetsItToo)
{
	ShownWindow first(BRect(10, 10, 59, 59), B_WILL_ACCEPT_FIRST_CLICK);
	ShownWindow second(BRect(100, 10, 149, 59));
	RecordingView* firstView;
	RecordingView* secondView;
	Open(first, firstView);
	Open(second, secondView);
	ASSERT_FALSE(first->IsActive());
	first.Port().MouseDown(BPoint(5, 6), B_PRIMARY_MOUSE_BUTTON);
	EXPECT_TRUE(first->IsActive());
	std::vector<std::string> expected = {"down 5,6"};
	EXPECT_EQ(expected, firstView->Take());
}

TEST_F(ActivationTest, WindowsThatAvoidTheFocusStayInactiveAndTakeEveryClick)
{
	ShownWindow ordinary(BRect(10, 10, 59, 59));
	ShownWindow shy(BRect(100, 10, 149, 59), B_AVOID_FOCUS);
	RecordingView* ordinaryView;
	RecordingView* shyView;
	Open(ordinary, ordinaryView);
	Open(shy, shyView);
	ASSERT_TRUE(ordinary->IsActive());
	shy.Port().MouseDown(BPoint(2, 3), B_PRIMARY_MOUSE_BUTTON);
	EXPECT_FALSE(shy->IsActive());
	EXPECT_TRUE(ordinary->IsActive());
	std::vector<std::string> expected = {"down 2,3"};
	EXPECT_EQ(expected, shyView->Take());
}

TEST_F(ActivationTest, HiddenWindowsTakeNoInput)
{
	ShownWindow window(BRect(10, 10, 59, 59));
	RecordingView* view;
	Open(window, view);
	window->Lock();
	view->MakeFocus();
	view->SetEventMask(B_POINTER_EVENTS | B_KEYBOARD_EVENTS);
	window->Unlock();
	window->Hide();
	window.Port().MouseMoved(BPoint(4, 4), 0);
	window.Port().MouseDown(BPoint(4, 4), B_PRIMARY_MOUSE_BUTTON);
	window.Port().MouseUp(BPoint(4, 4), 0);
	window.Port().KeyDown("x");
	window.Port().KeyDown("\t");
	EXPECT_TRUE(view->Take().empty());
	EXPECT_FALSE(window->IsActive());

	window->Show();
	window.Port().KeyDown("y");
	std::vector<std::string> expected = {"key y"};
	EXPECT_EQ(expected, view->Take());
}

TEST_F(ActivationTest, AReleaseWhileHiddenStillEndsThePressesPointerMask)
{
	ShownWindow window(BRect(10, 10, 59, 59));
	RecordingView* view;
	Open(window, view);
	window->Lock();
	view->SetMouseEventMask(B_POINTER_EVENTS);
	window->Unlock();
	window->Hide();
	window.Port().MouseUp(BPoint(80, 80), 0);
	window->Show();
	window.Port().MouseMoved(BPoint(90, 90), 0);
	EXPECT_TRUE(view->Take().empty());
}

} // namespace

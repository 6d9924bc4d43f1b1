#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <InterfaceDefs.h>
#include <View.h>
#include <Window.h>

#include "InterfaceTestSupport.h"
#include "Journal.h"

namespace {

const char* const kTransitNames[] = {"entered", "inside", "exited", "outside"};

std::string
PointText(BPoint point)
{
	return std::to_string((int)point.x) + "," + std::to_string((int)point.y);
}

class InputView : public BView {
public:
	InputView(BRect frame, const char* name, Journal& journal, uint32 flags = 0) :
		BView(frame, name, B_FOLLOW_NONE, flags),
		fJournal(journal),
		fMaskOnPress(false)
	{
	}

	void MaskPointerWhilePressed() { fMaskOnPress = true; }

	void MouseMoved(BPoint where, uint32 transit, const BMessage*) override
	{
		BPoint mouse;
		uint32 buttons;
		GetMouse(&mouse, &buttons);
		_Add("moved " + PointText(where) + " " + kTransitNames[transit]
			+ (mouse == where ? "" : " mismatch") + (buttons != 0 ? " held" : ""));
	}

	void MouseDown(BPoint where) override
	{
		_Add("down " + PointText(where));
		if (fMaskOnPress)
			SetMouseEventMask(B_POINTER_EVENTS);
	}

	void MouseUp(BPoint where) override { _Add("up " + PointText(where)); }

	void KeyDown(const char* bytes, int32 numBytes) override
	{
		_Add("key " + std::string(bytes, numBytes) + " " + std::to_string(numBytes));
		BView::KeyDown(bytes, numBytes);
	}

	void KeyUp(const char* bytes, int32 numBytes) override
	{
		_Add("key-up " + std::string(bytes, numBytes));
	}

	void MakeFocus(bool focus = true) override
	{
		_Add(focus ? "focus" : "unfocus");
		BView::MakeFocus(focus);
	}

private:
	void _Add(const std::string& what) { fJournal.Add(std::string(Name()) + " " + what); }

	Journal& fJournal;
	bool fMaskOnPress;
};

class InputTest : public testing::Test {
protected:
	void SetUp() override
	{
		fFirst = new InputView(BRect(10, 10, 29, 29), "a", fJournal, B_NAVIGABLE);
		fInner = new InputView(BRect(5, 5, 9, 9), "c", fJournal);
		fFirst->AddChild(fInner);
		fSecond = new InputView(BRect(50, 10, 69, 29), "b", fJournal, B_NAVIGABLE);
		fWindow.Window()->Lock();
		fWindow->AddChild(fSecond);
		fWindow.Window()->Unlock();
		fWindow.Show(fFirst);
		fJournal.Take();
	}

	std::vector<std::string> Take() { return fJournal.Take(); }

	BPrivate::WindowPort& Port() { return fWindow.Port(); }

	ShownWindow fWindow{BRect(100, 100, 199, 199)};
	Journal fJournal;
	InputView* fFirst;
	InputView* fInner;
	InputView* fSecond;
};

TEST_F(InputTest, PointerMovesReportEnteringMovingInsideAndLeaving)
{
	Port().MouseMoved(BPoint(0, 0), 0);
	EXPECT_TRUE(Take().empty());
	Port().MouseMoved(BPoint(12, 12), 0);
	Port().MouseMoved(BPoint(13, 14), 0);
	std::vector<std::string> expected = {"a moved 2,2 entered", "a moved 3,4 inside"};
	EXPECT_EQ(expected, Take());

	// Into the child: the parent is left for it.
	Port().MouseMoved(BPoint(16, 16), 0);
	expected = {"a moved 6,6 exited", "c moved 1,1 entered"};
	EXPECT_EQ(expected, Take());

	Port().MouseMoved(BPoint(55, 15), 0);
	Port().MouseMoved(BPoint(90, 90), 0);
	expected = {"c moved 40,0 exited", "b moved 5,5 entered", "b moved 40,80 exited"};
	EXPECT_EQ(expected, Take());
}

TEST_F(InputTest, PressesAndReleasesGoToTheViewUnderThePointer)
{
	Port().MouseDown(BPoint(11, 12), B_PRIMARY_MOUSE_BUTTON);
	Port().MouseUp(BPoint(60, 20), 0);
	std::vector<std::string> expected = {"a down 1,2", "b up 10,10"};
	EXPECT_EQ(expected, Take());
	Port().MouseDown(BPoint(90, 90), B_SECONDARY_MOUSE_BUTTON);
	EXPECT_TRUE(Take().empty());
}

TEST_F(InputTest, ScreenCoordinatesAreTakenFromTheWindowFrame)
{
	Port().MouseDown(BPoint(112, 113), B_PRIMARY_MOUSE_BUTTON, 1,
		BPrivate::WindowPort::kScreenCoordinates);
	std::vector<std::string> expected = {"a down 2,3"};
	EXPECT_EQ(expected, Take());

	fWindow->MoveTo(200, 100);
	Port().MouseUp(BPoint(212, 113), 0, BPrivate::WindowPort::kScreenCoordinates);
	expected = {"a up 2,3"};
	EXPECT_EQ(expected, Take());
}

TEST_F(InputTest, GetMouseReportsTheEventBeingHandled)
{
	Port().MouseMoved(BPoint(12, 12), B_PRIMARY_MOUSE_BUTTON);
	Port().MouseMoved(BPoint(13, 12), 0);
	std::vector<std::string> expected = {"a moved 2,2 entered held", "a moved 3,2 inside"};
	EXPECT_EQ(expected, Take());
	fWindow->Lock();
	BPoint where;
	uint32 buttons;
	fSecond->GetMouse(&where, &buttons);
	fWindow->Unlock();
	EXPECT_EQ(BPoint(-37, 2), where);
	EXPECT_EQ(0u, buttons);
}

TEST_F(InputTest, PointerMaskDeliversEventsOutsideTheView)
{
	fWindow->Lock();
	fSecond->SetEventMask(B_POINTER_EVENTS, B_NO_POINTER_HISTORY);
	fWindow->Unlock();
	Port().MouseMoved(BPoint(12, 12), 0);
	Port().MouseDown(BPoint(12, 12), B_PRIMARY_MOUSE_BUTTON);
	Port().MouseUp(BPoint(0, 0), 0);
	std::vector<std::string> expected = {"a moved 2,2 entered", "b moved -38,2 outside",
		"a down 2,2", "b down -38,2", "b up -50,-10"};
	EXPECT_EQ(expected, Take());

	// Leaving the masked view itself still says so once.
	Port().MouseMoved(BPoint(55, 15), 0);
	Port().MouseMoved(BPoint(95, 15), 0);
	Port().MouseMoved(BPoint(96, 15), 0);
	expected = {"a moved 45,5 exited", "b moved 5,5 entered", "b moved 45,5 exited",
		"b moved 46,5 outside"};
	EXPECT_EQ(expected, Take());
}

TEST_F(InputTest, MouseEventMaskLastsUntilTheButtonsAreReleased)
{
	fFirst->MaskPointerWhilePressed();
	Port().MouseDown(BPoint(12, 12), B_PRIMARY_MOUSE_BUTTON);
	Port().MouseMoved(BPoint(80, 80), B_PRIMARY_MOUSE_BUTTON);
	Port().MouseUp(BPoint(81, 80), 0);
	Port().MouseMoved(BPoint(82, 80), 0);
	std::vector<std::string> expected = {"a down 2,2", "a moved 70,70 outside held", "a up 71,70"};
	EXPECT_EQ(expected, Take());
}

TEST_F(InputTest, KeysGoToTheFocusWithTheirBytes)
{
	Port().KeyDown("x");
	EXPECT_TRUE(Take().empty());

	fWindow->Lock();
	fFirst->MakeFocus();
	EXPECT_TRUE(fFirst->IsFocus());
	EXPECT_EQ(fFirst, fWindow->CurrentFocus());
	fSecond->MakeFocus();
	EXPECT_FALSE(fFirst->IsFocus());
	fWindow->Unlock();
	std::vector<std::string> expected = {"a focus", "b focus", "a unfocus"};
	EXPECT_EQ(expected, Take());

	Port().KeyDown("\xc3\xa9");
	Port().KeyUp("\xc3\xa9");
	Port().KeyDown("\x1b");
	expected = {"b key \xc3\xa9 2", "b key-up \xc3\xa9", "b key \x1b 1"};
	EXPECT_EQ(expected, Take());
}

TEST_F(InputTest, KeyboardMaskDeliversKeysWithoutTheFocus)
{
	fWindow->Lock();
	fSecond->MakeFocus();
	fInner->SetEventMask(B_KEYBOARD_EVENTS);
	fWindow->Unlock();
	Take();
	Port().KeyDown("\x1b");
	std::vector<std::string> expected = {"b key \x1b 1", "c key \x1b 1"};
	EXPECT_EQ(expected, Take());
}

TEST_F(InputTest, TabMovesTheFocusAmongNavigableViewsInTreeOrder)
{
	// "b" was added to the window before "a".
	Port().KeyDown("\t");
	EXPECT_EQ(fSecond, fWindow->CurrentFocus());
	Port().KeyDown("\t");
	EXPECT_EQ(fFirst, fWindow->CurrentFocus());
	Port().KeyDown("\t", B_SHIFT_KEY);
	EXPECT_EQ(fSecond, fWindow->CurrentFocus());
	EXPECT_EQ((uint32)B_SHIFT_KEY, modifiers());
	Port().KeyUp("\t");
	EXPECT_EQ(0u, modifiers());
}

TEST_F(InputTest, AViewWatchingTheKeyboardLeavesTabToTheWindow)
{
	fWindow->Lock();
	fInner->SetEventMask(B_KEYBOARD_EVENTS);
	fWindow->Unlock();
	Port().KeyDown("\t");
	EXPECT_EQ(fSecond, fWindow->CurrentFocus());
	Port().KeyDown("\t");
	EXPECT_EQ(fFirst, fWindow->CurrentFocus());
	Port().KeyDown("\t", B_SHIFT_KEY);
	EXPECT_EQ(fSecond, fWindow->CurrentFocus());
	// The watcher still sees every Tab.
	std::vector<std::string> journal = Take();
	EXPECT_EQ(3, std::count(journal.begin(), journal.end(), "c key \t 1"));
}

TEST_F(InputTest, HiddenAndRemovedViewsGetNoEvents)
{
	fWindow->Lock();
	fFirst->Hide();
	fWindow->Unlock();
	Port().MouseDown(BPoint(12, 12), B_PRIMARY_MOUSE_BUTTON);
	EXPECT_TRUE(Take().empty());

	fWindow->Lock();
	fSecond->MakeFocus();
	fWindow->RemoveChild(fSecond);
	EXPECT_EQ(nullptr, fWindow->CurrentFocus());
	fWindow->Unlock();
	Take();
	Port().KeyDown("x");
	Port().MouseDown(BPoint(55, 15), B_PRIMARY_MOUSE_BUTTON);
	EXPECT_TRUE(Take().empty());
	delete fSecond;
}

} // namespace

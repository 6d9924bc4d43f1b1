#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include <View.h>
#include <Window.h>

#include "DisplayTestSupport.h"
#include "DynDnsSettingsWin.h"
#include "Journal.h"

namespace {

class PressView : public BView {
public:
	PressView(BRect frame, Journal* journal) :
		BView(frame, "presses", B_FOLLOW_ALL, B_WILL_DRAW),
		fJournal(journal)
	{
		SetViewColor(90, 120, 190);
	}

	// A click reaches a view in an active window, be it the one that activated it.
	void MouseDown(BPoint where) override
	{
		std::string entry = "down " + std::to_string((int)where.x) + ","
			+ std::to_string((int)where.y);
		fJournal->Add(Window()->IsActive() ? entry : entry + " in an inactive window");
	}

private:
	Journal* fJournal;
};

class JournalWindow : public BWindow {
public:
	JournalWindow(BRect frame, const char* title, uint32 flags = 0) :
		BWindow(frame, title, B_NO_BORDER_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, flags)
	{
		AddChild(new PressView(Bounds(), &fJournal));
	}

	void WindowActivated(bool active) override { fJournal.Add(active ? "active" : "inactive"); }

	Journal fJournal;
};

// The settings window, as its title strip sees the activations.
class SettingsWindow : public DynDnsSettingsWin {
public:
	explicit SettingsWindow(BRect frame) :
		DynDnsSettingsWin(frame, NULL)
	{
	}

	void WindowActivated(bool active) override
	{
		fJournal.Add(active ? "active" : "inactive");
		DynDnsSettingsWin::WindowActivated(active);
	}

	Journal fJournal;
};

int32
Count(const std::vector<std::string>& entries, const std::string& entry)
{
	int32 count = 0;
	for (const std::string& each : entries)
		count += each == entry;
	return count;
}

// Gathers what the journal is told until `entry` has been told `times` times; false when that
// does not come in time. The hooks hear of a change by message, after IsActive() knows.
bool
Gather(Journal& journal, const std::string& entry, std::vector<std::string>* seen, int32 times = 1)
{
	return WaitUntil([&] {
		std::vector<std::string> more = journal.Take();
		seen->insert(seen->end(), more.begin(), more.end());
		return Count(*seen, entry) >= times;
	});
}

// Waits until the window's hooks have heard of its deactivation, and forgets what came before.
bool
HeardInactive(Journal& journal)
{
	std::vector<std::string> seen;
	return Gather(journal, "inactive", &seen);
}

} // namespace

// The kit's activation and the display's focus: one is the other on a real display.
class FocusTest : public DisplayTest {
protected:
	void TearDown() override
	{
		if (fOther != 0)
			XDestroyWindow(fDisplay.Connection(), fOther);
		DisplayTest::TearDown();
	}

	// A window of another program, which takes the focus when asked.
	void FocusAnotherProgram()
	{
		Display* connection = fDisplay.Connection();
		if (fOther == 0) {
			fOther = XCreateSimpleWindow(connection, DefaultRootWindow(connection), 600, 500, 100,
				80, 0, 0, 0xffffff);
			XStoreName(connection, fOther, "Another program");
			XMapWindow(connection, fOther);
			XSync(connection, False);
			ASSERT_TRUE(WaitUntil([&] { return fDisplay.IsShown(fOther); }));
		}
		ASSERT_TRUE(WaitUntil([&] {
			XSetInputFocus(connection, fOther, RevertToParent, CurrentTime);
			XSync(connection, False);
			return fDisplay.Focus() == fOther;
		}));
	}

	template<typename ShownWindow>
	::Window ShowAndWaitForFocus(ShownWindow* window)
	{
		Keep(window);
		window->Show();
		::Window shown = fDisplay.FindWindow(window->Title());
		EXPECT_NE(0u, shown);
		EXPECT_TRUE(WaitUntil([&] { return fDisplay.Focus() == shown && window->IsActive(); }));
		return shown;
	}

	// A click on `first` while `second` has the focus, and another after it.
	void ExpectTheFirstClickOnlyActivates()
	{
		JournalWindow* first = new JournalWindow(BRect(100, 100, 299, 199), "First");
		JournalWindow* second = new JournalWindow(BRect(400, 100, 599, 199), "Second");
		::Window firstShown = ShowAndWaitForFocus(first);
		::Window secondShown = ShowAndWaitForFocus(second);
		ASSERT_TRUE(HeardInactive(first->fJournal));

		ASSERT_TRUE(fDisplay.Click(150, 150));
		EXPECT_TRUE(WaitUntil([&] { return fDisplay.Focus() == firstShown; }));
		EXPECT_TRUE(WaitUntil([&] { return first->IsActive() && !second->IsActive(); }));
		// Whatever arrives late has arrived once the second click has.
		ASSERT_TRUE(fDisplay.Click(160, 160));
		std::vector<std::string> seen;
		EXPECT_TRUE(Gather(first->fJournal, "down 60,60", &seen));
		std::vector<std::string> expected = {"active", "down 60,60"};
		EXPECT_EQ(expected, seen);
		EXPECT_EQ(fDisplay.Focus(), firstShown);
		EXPECT_NE(fDisplay.Focus(), secondShown);
	}

	::Window fOther = 0;
};

TEST_F(FocusTest, WithoutAWindowManagerTheFirstClickAsksForTheFocusAndOnlyActivates)
{
	ExpectTheFirstClickOnlyActivates();
}

TEST_F(FocusTest, WithAWindowManagerItsClickToFocusIsTheFirstClickAndActivatesOnce)
{
	ASSERT_TRUE(fDisplay.StartWindowManager());
	ExpectTheFirstClickOnlyActivates();
}

TEST_F(FocusTest, AWindowThatAcceptsTheFirstClickGetsItFromTheWindowManagersClick)
{
	ASSERT_TRUE(fDisplay.StartWindowManager());
	JournalWindow* window = new JournalWindow(BRect(100, 100, 299, 199), "Accepts",
		B_WILL_ACCEPT_FIRST_CLICK);
	ShowAndWaitForFocus(window);
	ASSERT_NO_FATAL_FAILURE(FocusAnotherProgram());
	ASSERT_TRUE(HeardInactive(window->fJournal));

	ASSERT_TRUE(fDisplay.Click(150, 150));
	// Whatever arrives late has arrived once the second click has.
	ASSERT_TRUE(fDisplay.Click(160, 160));
	std::vector<std::string> seen;
	EXPECT_TRUE(Gather(window->fJournal, "down 60,60", &seen));
	// The activation reaches the hook by message, before or after the first click.
	std::sort(seen.begin(), seen.end());
	std::vector<std::string> expected = {"active", "down 50,50", "down 60,60"};
	EXPECT_EQ(expected, seen);
}

TEST_F(FocusTest, AWindowIsActiveOnlyWhileTheDisplayGivesItTheFocus)
{
	ASSERT_TRUE(fDisplay.StartWindowManager());
	JournalWindow* window = new JournalWindow(BRect(100, 100, 299, 199), "Kit window");
	::Window shown = ShowAndWaitForFocus(window);

	// Another program takes the focus: the window knows it has lost it.
	ASSERT_NO_FATAL_FAILURE(FocusAnotherProgram());
	EXPECT_TRUE(WaitUntil([&] { return !window->IsActive(); }));

	// Asked to activate, the window waits for the display to give it the focus, which it
	// cannot while the server serves only the test.
	Display* connection = fDisplay.Connection();
	XGrabServer(connection);
	XSync(connection, False);
	window->Activate();
	snooze(100000);
	EXPECT_FALSE(window->IsActive());
	XUngrabServer(connection);
	XSync(connection, False);
	EXPECT_TRUE(WaitUntil([&] { return fDisplay.Focus() == shown && window->IsActive(); }));
	std::vector<std::string> seen;
	EXPECT_TRUE(Gather(window->fJournal, "active", &seen, 2));
	// A second activation would follow close behind.
	snooze(200000);
	std::vector<std::string> more = window->fJournal.Take();
	seen.insert(seen.end(), more.begin(), more.end());
	std::vector<std::string> expected = {"active", "inactive", "active"};
	EXPECT_EQ(expected, seen);
}

TEST_F(FocusTest, TheTitleStripsDragWaitsWhileTheWindowIsInactiveAndThenCatchesUp)
{
	ASSERT_TRUE(fDisplay.StartWindowManager());
	SettingsWindow* window = new SettingsWindow(BRect(100, 100, 361, 290));
	::Window shown = ShowAndWaitForFocus(window);

	ASSERT_TRUE(
		fDisplay.Xdotool({"mousemove", "150", "103", "mousedown", "1", "mousemove", "170", "113"}));
	ASSERT_TRUE(WaitUntil([&] { return window->Frame().LeftTop() == BPoint(120, 110); }))
		<< window->Frame().left << "," << window->Frame().top;

	// The focus goes elsewhere while the button is held: the strip's moves wait.
	ASSERT_NO_FATAL_FAILURE(FocusAnotherProgram());
	ASSERT_TRUE(WaitUntil([&] { return !window->IsActive(); }));
	ASSERT_TRUE(fDisplay.Xdotool({"mousemove", "200", "133"}));
	XSetInputFocus(fDisplay.Connection(), shown, RevertToParent, CurrentTime);
	XSync(fDisplay.Connection(), False);
	ASSERT_TRUE(WaitUntil([&] { return window->IsActive(); }));
	// The move made while inactive came before the focus, and was left alone.
	EXPECT_EQ(BPoint(120, 110), window->Frame().LeftTop());

	// Active again, the next move catches up with the pointer.
	ASSERT_TRUE(fDisplay.Xdotool({"mousemove", "210", "143", "mouseup", "1"}));
	EXPECT_TRUE(WaitUntil([&] { return window->Frame().LeftTop() == BPoint(160, 140); }))
		<< window->Frame().left << "," << window->Frame().top;
	EXPECT_TRUE(
		WaitUntil([&] { return fDisplay.ScreenFrame(shown) == BRect(160, 140, 421, 330); }));
}

TEST_F(FocusTest, APressOnTheStripOfAnInactiveSettingsWindowActivatesItWithoutADrag)
{
	ASSERT_TRUE(fDisplay.StartWindowManager());
	SettingsWindow* window = new SettingsWindow(BRect(100, 100, 361, 290));
	::Window shown = ShowAndWaitForFocus(window);
	ASSERT_NO_FATAL_FAILURE(FocusAnotherProgram());
	ASSERT_TRUE(HeardInactive(window->fJournal));

	ASSERT_TRUE(fDisplay.Xdotool(
		{"mousemove", "150", "103", "mousedown", "1", "mousemove", "190", "133", "mouseup", "1"}));
	EXPECT_TRUE(WaitUntil([&] { return fDisplay.Focus() == shown && window->IsActive(); }));
	// Only a second press drags: once it has moved, the first press is known to be over.
	ASSERT_TRUE(fDisplay.Xdotool(
		{"mousemove", "150", "103", "mousedown", "1", "mousemove", "160", "113", "mouseup", "1"}));
	EXPECT_TRUE(WaitUntil([&] { return window->Frame().LeftTop() == BPoint(110, 110); }))
		<< window->Frame().left << "," << window->Frame().top;
	std::vector<std::string> expected = {"active"};
	EXPECT_EQ(expected, window->fJournal.Take());
}

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <Message.h>
#include <OS.h>
#include <View.h>
#include <Window.h>

#include "InterfaceTestSupport.h"

namespace {

// Outlives the window it watches.
struct WindowJournal {
	std::mutex lock;
	std::condition_variable changed;
	std::vector<std::string> events;
	bool destroyed = false;

	void Add(const std::string& event)
	{
		std::lock_guard<std::mutex> guard(lock);
		events.push_back(event);
		changed.notify_all();
	}

	bool WaitUntilDestroyed()
	{
		std::unique_lock<std::mutex> guard(lock);
		return changed.wait_for(guard, std::chrono::seconds(10), [this] { return destroyed; });
	}

	std::vector<std::string> Events()
	{
		std::lock_guard<std::mutex> guard(lock);
		return events;
	}
};

class JournalWindow : public BWindow {
public:
	JournalWindow(WindowJournal& journal, BRect frame = BRect(10, 20, 109, 69), uint32 flags = 0) :
		BWindow(frame, "journal", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, flags),
		fJournal(journal),
		fAllowQuit(true)
	{
	}

	~JournalWindow() override
	{
		std::lock_guard<std::mutex> guard(fJournal.lock);
		fJournal.destroyed = true;
		fJournal.changed.notify_all();
	}

	void Hide() override
	{
		fJournal.Add("hide");
		BWindow::Hide();
	}

	bool QuitRequested() override
	{
		fJournal.Add("quit-requested");
		return fAllowQuit;
	}

	void WindowActivated(bool active) override { fJournal.Add(active ? "active" : "inactive"); }
	void FrameMoved(BPoint where) override
	{
		fJournal.Add("moved " + std::to_string((int)where.x) + "," + std::to_string((int)where.y));
	}
	void FrameResized(float width, float height) override
	{
		fJournal.Add("resized " + std::to_string((int)width) + "x" + std::to_string((int)height));
	}

	void RefuseQuit() { fAllowQuit = false; }

private:
	WindowJournal& fJournal;
	bool fAllowQuit;
};

class PulseView : public BView {
public:
	PulseView(const char* name, uint32 flags, std::atomic<int32>& pulses) :
		BView(BRect(0, 0, 9, 9), name, B_FOLLOW_NONE, flags),
		fPulses(pulses)
	{
	}

	void Pulse() override { fPulses++; }

private:
	std::atomic<int32>& fPulses;
};

void
QuitLocked(BWindow* window)
{
	window->Lock();
	window->Quit();
}

TEST(WindowTest, NewWindowsAreHiddenAndHaveNoThreadYet)
{
	WindowJournal journal;
	JournalWindow* window = new JournalWindow(journal);
	EXPECT_TRUE(window->IsHidden());
	EXPECT_LT(window->Thread(), 0);
	EXPECT_FALSE(window->IsActive());
	EXPECT_EQ(BRect(10, 20, 109, 69), window->Frame());
	EXPECT_EQ(BRect(0, 0, 99, 49), window->Bounds());
	EXPECT_STREQ("journal", window->Title());
	EXPECT_EQ(B_TITLED_WINDOW_LOOK, window->Look());
	EXPECT_EQ(B_NORMAL_WINDOW_FEEL, window->Feel());
	EXPECT_EQ(B_TITLED_WINDOW, window->Type());
	// There is no stacking order to change, and the window says so.
	EXPECT_EQ(B_UNSUPPORTED, window->SendBehind(NULL));

	// Quitting a window that never ran frees it at once, without hiding it.
	QuitLocked(window);
	EXPECT_TRUE(journal.destroyed);
	EXPECT_TRUE(journal.Events().empty());
}

TEST(WindowTest, AHugeFrameKeepsAtMost4096PixelsASide)
{
	BMessage archive;
	archive.AddString("class", "BWindow");
	archive.AddRect("_frame", BRect(0, 0, 19999, 1e30f));
	BWindow* window = dynamic_cast<BWindow*>(BWindow::Instantiate(&archive));
	ASSERT_NE(nullptr, window);
	BPrivate::WindowPort port(window);
	EXPECT_EQ(255, port.PixelAt(4095, 4095).alpha);
	EXPECT_EQ(0, port.PixelAt(4096, 0).alpha);
	EXPECT_EQ(0, port.PixelAt(0, 4096).alpha);
	window->Lock();
	window->Quit();
}

TEST(WindowTest, ShowAndHideCallsNest)
{
	WindowJournal journal;
	JournalWindow* window = new JournalWindow(journal);
	window->Show();
	EXPECT_FALSE(window->IsHidden());
	EXPECT_GE(window->Thread(), 0);
	window->Show();
	window->Hide();
	EXPECT_FALSE(window->IsHidden());
	window->Hide();
	EXPECT_TRUE(window->IsHidden());
	window->Hide();
	window->Show();
	EXPECT_TRUE(window->IsHidden());
	window->Show();
	EXPECT_FALSE(window->IsHidden());
	QuitLocked(window);
	EXPECT_TRUE(journal.destroyed);
}

TEST(WindowTest, QuitFromAnotherThreadWithTheLockHeldDoesNotHide)
{
	WindowJournal journal;
	JournalWindow* window = new JournalWindow(journal);
	window->Show();
	BPrivate::WindowPort(window).Sync();
	std::thread quitter([window] {
		ASSERT_TRUE(window->Lock());
		window->Quit();
	});
	quitter.join();
	EXPECT_TRUE(journal.destroyed);
	for (const std::string& event : journal.Events())
		EXPECT_NE("hide", event);
}

TEST(WindowTest, QuitRequestedDecidesWhetherAPostedQuitEndsTheWindow)
{
	WindowJournal journal;
	JournalWindow* window = new JournalWindow(journal);
	window->Lock();
	window->RefuseQuit();
	window->Unlock();
	window->Show();
	window->PostMessage(B_QUIT_REQUESTED);
	BPrivate::WindowPort(window).Sync();
	EXPECT_FALSE(journal.destroyed);

	WindowJournal second;
	JournalWindow* other = new JournalWindow(second);
	other->Show();
	other->PostMessage(B_QUIT_REQUESTED);
	EXPECT_TRUE(second.WaitUntilDestroyed());
	std::vector<std::string> events = second.Events();
	EXPECT_NE(events.end(), std::find(events.begin(), events.end(), "quit-requested"));
	EXPECT_EQ(events.end(), std::find(events.begin(), events.end(), "hide"));

	QuitLocked(window);
}

TEST(WindowTest, ShownWindowsTakeTheActivationFromEachOther)
{
	WindowJournal firstJournal;
	WindowJournal secondJournal;
	JournalWindow* first = new JournalWindow(firstJournal);
	JournalWindow* second = new JournalWindow(secondJournal);
	JournalWindow* shy = new JournalWindow(secondJournal, BRect(0, 0, 9, 9), B_AVOID_FOCUS);
	first->Show();
	EXPECT_TRUE(first->IsActive());
	second->Show();
	EXPECT_TRUE(second->IsActive());
	EXPECT_FALSE(first->IsActive());
	shy->Show();
	EXPECT_FALSE(shy->IsActive());
	EXPECT_TRUE(second->IsActive());
	second->Hide();
	EXPECT_FALSE(second->IsActive());
	first->Activate();
	EXPECT_TRUE(first->IsActive());
	BPrivate::WindowPort(first).Sync();
	std::vector<std::string> expected = {"active", "inactive", "active"};
	EXPECT_EQ(expected, firstJournal.Events());
	QuitLocked(shy);
	QuitLocked(second);
	QuitLocked(first);
}

TEST(WindowTest, MovingAndResizingUpdateTheFrameAndCallTheHooks)
{
	WindowJournal journal;
	JournalWindow* window = new JournalWindow(journal);
	BView* filler = new BView(BRect(0, 0, 99, 49), "filler", B_FOLLOW_ALL, 0);
	filler->SetViewColor(kRed);
	window->AddChild(filler);
	window->Show();
	BPrivate::WindowPort port(window);
	port.Sync();

	window->Lock();
	window->MoveTo(30, 40);
	EXPECT_EQ(BRect(30, 40, 129, 89), window->Frame());
	window->MoveBy(5, -5);
	window->ResizeTo(149, 79);
	EXPECT_EQ(BRect(35, 35, 184, 114), window->Frame());
	EXPECT_EQ(BRect(0, 0, 149, 79), filler->Frame());
	window->Unlock();
	port.Sync();
	EXPECT_EQ(kRed, port.PixelAt(149, 79));
	EXPECT_EQ(Color(0, 0, 0, 0), port.PixelAt(150, 79));
	std::vector<std::string> expected = {"active", "moved 30,40", "moved 35,35", "resized 149x79"};
	EXPECT_EQ(expected, journal.Events());
	EXPECT_EQ(BPoint(45, 45), window->ConvertToScreen(BPoint(10, 10)));
	QuitLocked(window);
}

TEST(WindowTest, PulsesReachOnlyViewsThatNeedThem)
{
	std::atomic<int32> wanted{0};
	std::atomic<int32> unwanted{0};
	ShownWindow window;
	window->Lock();
	window->AddChild(new PulseView("quiet", B_WILL_DRAW, unwanted));
	BView* holder = new BView(BRect(0, 0, 19, 19), "holder", B_FOLLOW_NONE, 0);
	holder->AddChild(new PulseView("pulsed", B_PULSE_NEEDED, wanted));
	window->AddChild(holder);
	window->SetPulseRate(0);
	window->Unlock();
	window.Show();

	ASSERT_EQ(B_OK, window.Port().Pulse());
	EXPECT_EQ(1, wanted);
	EXPECT_EQ(0, unwanted);

	window->SetPulseRate(5000);
	EXPECT_EQ(5000, window->PulseRate());
	bigtime_t deadline = system_time() + 10000000;
	while (wanted < 4 && system_time() < deadline)
		snooze(2000);
	EXPECT_GE(wanted, 4);
	EXPECT_EQ(0, unwanted);

	// A window kept busy for forty beats skips them: it is owed one pulse, then the beat goes
	// on (four more in the next 20 ms), with no burst to catch up.
	window->Lock();
	int32 before = wanted;
	snooze(200000);
	window->Unlock();
	snooze(20000);
	window->SetPulseRate(0);
	window.Port().Sync();
	EXPECT_LE(wanted, before + 8);

	int32 settled = wanted;
	snooze(30000);
	EXPECT_EQ(settled, wanted);
}

TEST(WindowTest, OtherThreadsReadStateAndShowWithoutTheLock)
{
	WindowJournal journal;
	JournalWindow* window = new JournalWindow(journal);
	window->Show();
	std::atomic<bool> done{false};
	std::thread reader([window, &done] {
		int32 checks = 0;
		while (!done && checks < 100000) {
			BRect frame = window->Frame();
			EXPECT_EQ(99, frame.IntegerWidth());
			window->IsHidden();
			window->IsActive();
			checks++;
		}
	});
	std::thread toggler([window] {
		for (int32 i = 0; i < 50; i++) {
			window->Hide();
			window->Show();
		}
	});
	for (int32 i = 0; i < 50; i++) {
		ASSERT_TRUE(window->Lock());
		window->MoveTo(i, i);
		window->Unlock();
	}
	toggler.join();
	done = true;
	reader.join();
	EXPECT_FALSE(window->IsHidden());
	EXPECT_EQ(BRect(49, 49, 148, 98), window->Frame());
	QuitLocked(window);
}

TEST(WindowTest, FindViewByPointFindsTheTopmostVisibleView)
{
	ShownWindow window(BRect(0, 0, 99, 99));
	BView* below = new BView(BRect(0, 0, 49, 49), "below", B_FOLLOW_NONE, 0);
	BView* above = new BView(BRect(20, 20, 69, 69), "above", B_FOLLOW_NONE, 0);
	BView* nested = new BView(BRect(5, 5, 9, 9), "nested", B_FOLLOW_NONE, 0);
	above->AddChild(nested);
	window.Show(below);
	window->Lock();
	window->AddChild(above);
	EXPECT_EQ(below, window->FindView(BPoint(10, 10)));
	EXPECT_EQ(above, window->FindView(BPoint(30, 30)));
	EXPECT_EQ(nested, window->FindView(BPoint(26, 27)));
	EXPECT_EQ(nullptr, window->FindView(BPoint(90, 90)));
	above->Hide();
	EXPECT_EQ(below, window->FindView(BPoint(30, 30)));
	window->Unlock();
}

} // namespace

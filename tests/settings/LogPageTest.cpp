#include <gtest/gtest.h>

#include <string>
#include <thread>

#include <ScrollBar.h>
#include <ScrollView.h>
#include <TextView.h>
#include <Window.h>

#include "SettingsFixture.h"
#include "Zorve.h"

namespace {

class LogPageTest : public SettingsFixture {
protected:
	BTextView* LogText() { return dynamic_cast<BTextView*>(Find("log-text-view")); }

	std::string Shown()
	{
		BTextView* view = LogText();
		if (view == nullptr)
			return "<no log view>";
		Window()->Lock();
		std::string text = view->Text();
		Window()->Unlock();
		return text;
	}

	void Reopen()
	{
		PressEscape();
		ASSERT_TRUE(Window()->IsHidden());
		Show();
	}
};

TEST_F(LogPageTest, ThePageShowsTheLogAsItWasWhenTheWindowWasLastShown)
{
	Build();
	Engine()->Log("first entry\n");
	Show();
	SelectTab(kLogTab);
	std::string first = Engine()->LogText().String();
	EXPECT_EQ(first, Shown());
	EXPECT_NE(std::string::npos, first.find(" first entry\n"));

	// Entries added while the window is open wait for the next show.
	Engine()->Log("second entry\n");
	Port().Sync();
	EXPECT_EQ(first, Shown());
	Reopen();
	EXPECT_EQ(std::string(Engine()->LogText().String()), Shown());
	EXPECT_NE(std::string::npos, Shown().find(" second entry\n"));

	// A shorter log replaces a longer one whole.
	Engine()->Lock();
	Engine()->fLogText = "";
	Engine()->Unlock();
	Reopen();
	EXPECT_EQ("", Shown());
}

TEST_F(LogPageTest, WhatIsTypedIntoTheLogIsGoneAtTheNextShow)
{
	Build();
	Engine()->Log("entry\n");
	Show();
	SelectTab(kLogTab);
	Window()->Lock();
	LogText()->MakeFocus(true);
	LogText()->Select(0, 0);
	Window()->Unlock();
	Key("x");
	Key("y");
	EXPECT_EQ(0u, Shown().find("xy"));
	Reopen();
	EXPECT_EQ(std::string(Engine()->LogText().String()), Shown());
}

TEST_F(LogPageTest, AnEmptyLogShowsAnEmptyPageWithBothScrollBars)
{
	Open();
	SelectTab(kLogTab);
	EXPECT_EQ("", Shown());
	BScrollView* scroll = dynamic_cast<BScrollView*>(Find("scroll-support"));
	ASSERT_NE(nullptr, scroll);
	BTextView* text = LogText();
	Window()->Lock();
	EXPECT_NE(nullptr, scroll->ScrollBar(B_HORIZONTAL));
	EXPECT_NE(nullptr, scroll->ScrollBar(B_VERTICAL));
	EXPECT_EQ(B_FANCY_BORDER, scroll->Border());
	EXPECT_EQ(text, scroll->Target());
	EXPECT_EQ(BRect(4, 4, 240, 140), text->Frame().OffsetByCopy(scroll->Frame().LeftTop()));
	EXPECT_EQ(BRect(5, 5, 717, 139), text->TextRect());
	EXPECT_FALSE(text->DoesWordWrap());
	EXPECT_TRUE(text->IsEditable());
	EXPECT_TRUE(text->IsSelectable());
	EXPECT_EQ(B_WILL_DRAW | B_PULSE_NEEDED, text->Flags() & (B_WILL_DRAW | B_PULSE_NEEDED));
	Window()->Unlock();
}

TEST_F(LogPageTest, ALongEntryStaysOnOneLineAndIsReachedByScrollingSideways)
{
	Build();
	std::string entry = "a long entry:";
	for (int32 i = 0; i < 40; i++)
		entry += " word" + std::to_string(i);
	Engine()->Log((entry + "\n").c_str());
	Engine()->Log("next\n");
	Show();
	SelectTab(kLogTab);
	BTextView* text = LogText();
	BScrollBar* bar = dynamic_cast<BScrollView*>(Find("scroll-support"))->ScrollBar(B_HORIZONTAL);
	Window()->Lock();
	std::string shown = text->Text();
	EXPECT_EQ(0, text->LineAt((int32)shown.find("word39")));
	EXPECT_EQ(1, text->LineAt((int32)shown.find("next")));
	float minimum;
	float maximum;
	bar->GetRange(&minimum, &maximum);
	EXPECT_GT(maximum, 200);
	bar->SetValue(maximum);
	EXPECT_EQ(maximum, text->Bounds().left);
	Window()->Unlock();
}

TEST_F(LogPageTest, TheCopyIsTakenUnderTheEnginesLogLock)
{
	Build();
	// The engine appends on its own thread while the window is shown again and again.
	std::atomic<bool> stop{false};
	std::thread engine([this, &stop] {
		for (int32 i = 0; i < 2000 && !stop; i++)
			Engine()->Log("tick\n");
	});
	for (int32 i = 0; i < 20; i++) {
		Window()->Show();
		Window()->Hide();
	}
	stop = true;
	engine.join();
	Show();
	SelectTab(kLogTab);
	EXPECT_EQ(std::string(Engine()->LogText().String()), Shown());
}

} // namespace

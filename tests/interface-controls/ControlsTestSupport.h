/*
 * Helpers of the standard controls' tests: the interface tests' window and colours, a
 * window with a panel to hold controls, a looper that catches the messages they send, and
 * the status icon's menu.
 */
#ifndef CONTROLS_TEST_SUPPORT_H
#define CONTROLS_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include <InterfaceDefs.h>
#include <Looper.h>
#include <MenuItem.h>
#include <Message.h>
#include <OS.h>
#include <PopUpMenu.h>
#include <View.h>

#include "InterfaceTestSupport.h"

const rgb_color kPanel = {216, 216, 216, 255};

// The status icon's menu, built the way the replicant builds it.
inline BPopUpMenu*
MakeOptionsMenu()
{
	BPopUpMenu* menu = new BPopUpMenu("Options", true, true, B_ITEMS_IN_COLUMN);
	menu->AddItem(new BMenuItem("Settings", NULL, 0, 0));
	menu->AddItem(new BMenuItem("Force Ip Check", NULL, 0, 0));
	menu->AddItem(new BMenuItem("Force Update", NULL, 0, 0));
	menu->AddSeparatorItem();
	menu->AddItem(new BMenuItem("Exit", NULL, 0, 0));
	return menu;
}

// A running looper that keeps copies of the messages it receives; quit at the test's end.
class MessageCatcher {
public:
	MessageCatcher() :
		fLooper(new Looper)
	{
		fLooper->Run();
	}

	~MessageCatcher()
	{
		fLooper->Lock();
		fLooper->Quit();
	}

	BLooper* Target() const { return fLooper; }

	std::vector<BMessage> Received() { return fLooper->Received(); }

private:
	class Looper : public BLooper {
	public:
		Looper() :
			BLooper("catcher")
		{
		}

		void MessageReceived(BMessage* message) override
		{
			std::lock_guard<std::mutex> guard(fLock);
			fReceived.push_back(*message);
		}

		std::vector<BMessage> Received()
		{
			std::lock_guard<std::mutex> guard(fLock);
			return fReceived;
		}

	private:
		std::mutex fLock;
		std::vector<BMessage> fReceived;
	};

	Looper* fLooper;
};

// A shown window with a panel-coloured background view that holds the controls.
class PanelWindow : public ShownWindow {
public:
	explicit PanelWindow(BRect frame = BRect(100, 100, 399, 299)) :
		ShownWindow(frame),
		fPanel(new BView(frame.OffsetToCopy(B_ORIGIN), "panel", B_FOLLOW_ALL, B_WILL_DRAW))
	{
		fPanel->SetViewColor(kPanel);
		// A steady caret: no pulses unless a test asks for one.
		Window()->SetPulseRate(0);
	}

	// Adds the views to the panel, shows the window and waits for its drawing.
	void ShowWith(std::initializer_list<BView*> views)
	{
		for (BView* view : views)
			fPanel->AddChild(view);
		Show(fPanel);
	}

	BView* Panel() const { return fPanel; }

	// A click (press and release) in window coordinates.
	void Click(BPoint where, int32 clicks = 1)
	{
		Port().MouseMoved(where, 0);
		Port().MouseDown(where, B_PRIMARY_MOUSE_BUTTON, clicks);
		Port().MouseUp(where, 0);
	}

	void Type(const char* bytes, uint32 modifiers = 0)
	{
		Port().KeyDown(bytes, modifiers);
		Port().KeyUp(bytes, modifiers);
	}

private:
	BView* fPanel;
};

// Waits, bounded, until the catcher holds at least `count` messages.
inline std::vector<BMessage>
WaitForMessages(MessageCatcher& catcher, size_t count)
{
	for (int32 attempt = 0; attempt < 5000; attempt++) {
		std::vector<BMessage> received = catcher.Received();
		if (received.size() >= count)
			return received;
		snooze(1000);
	}
	return catcher.Received();
}

#endif // CONTROLS_TEST_SUPPORT_H

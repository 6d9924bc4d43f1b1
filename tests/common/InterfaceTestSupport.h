/*
 * Helpers of the tests that look at windows: colour comparison, a view that draws what the
 * test gives it, a shown window that quits itself at the end of the test, and what a view
 * passes on to its next handler.
 */
#ifndef INTERFACE_TEST_SUPPORT_H
#define INTERFACE_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <ostream>
#include <vector>

#include <GraphicsDefs.h>
#include <Handler.h>
#include <Message.h>
#include <View.h>
#include <Window.h>

#include "WindowPort.h"

inline bool
operator==(const rgb_color& a, const rgb_color& b)
{
	return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

inline bool
operator!=(const rgb_color& a, const rgb_color& b)
{
	return !(a == b);
}

inline std::ostream&
operator<<(std::ostream& stream, const rgb_color& color)
{
	return stream << "(" << (int)color.red << ", " << (int)color.green << ", " << (int)color.blue
				  << ", " << (int)color.alpha << ")";
}

inline rgb_color
Color(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255)
{
	return rgb_color{red, green, blue, alpha};
}

const rgb_color kBlack = {0, 0, 0, 255};
const rgb_color kWhite = {255, 255, 255, 255};
const rgb_color kRed = {255, 0, 0, 255};
const rgb_color kBlue = {0, 0, 255, 255};

// A view whose Draw runs a function given by the test.
class DrawingView : public BView {
public:
	DrawingView(BRect frame, std::function<void(BView*)> draw,
		uint32 resizingMode = B_FOLLOW_NONE) :
		BView(frame, "drawing", resizingMode, B_WILL_DRAW),
		fDraw(draw)
	{
	}

	void Draw(BRect) override
	{
		if (fDraw)
			fDraw(this);
	}

private:
	std::function<void(BView*)> fDraw;
};

// A window of the given frame, shown, quit when the test ends.
class ShownWindow {
public:
	explicit ShownWindow(BRect frame = BRect(100, 100, 139, 129), uint32 flags = 0) :
		fWindow(new BWindow(frame, "test", B_NO_BORDER_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, flags)),
		fPort(fWindow)
	{
	}

	~ShownWindow()
	{
		fWindow->Lock();
		fWindow->Quit();
	}

	// Adds the view (under the window's lock), shows the window and waits for its drawing.
	void Show(BView* view = NULL)
	{
		if (view != NULL) {
			fWindow->Lock();
			fWindow->AddChild(view);
			fWindow->Unlock();
		}
		fWindow->Show();
		EXPECT_EQ(B_OK, fPort.Sync());
	}

	BWindow* operator->() const { return fWindow; }
	BWindow* Window() const { return fWindow; }
	BPrivate::WindowPort& Port() { return fPort; }
	rgb_color Pixel(int32 x, int32 y) const { return fPort.PixelAt(x, y); }

private:
	BWindow* fWindow;
	BPrivate::WindowPort fPort;
};

// Posts messages of these codes to the view and waits until its window has handled them;
// the codes that the view passed on to its next handler.
inline std::vector<uint32>
CodesPassedOn(BView* view, std::initializer_list<uint32> codes)
{
	struct Recorder : public BHandler {
		Recorder() :
			BHandler("recorder")
		{
		}
		void MessageReceived(BMessage* message) override { received.push_back(message->what); }
		std::vector<uint32> received;
	};
	BWindow* window = view->Window();
	Recorder* recorder = new Recorder;
	window->Lock();
	window->AddHandler(recorder);
	view->SetNextHandler(recorder);
	window->Unlock();
	for (uint32 code : codes)
		window->PostMessage(code, view);
	BPrivate::WindowPort(window).Sync();
	window->Lock();
	std::vector<uint32> received = recorder->received;
	view->SetNextHandler(NULL);
	window->RemoveHandler(recorder);
	window->Unlock();
	delete recorder;
	return received;
}

#endif // INTERFACE_TEST_SUPPORT_H

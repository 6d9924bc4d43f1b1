#include <gtest/gtest.h>

#include <math.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include <Message.h>
#include <View.h>
#include <Window.h>

#include "MUrlView.h"
#include "SettingsFixture.h"

namespace {

const rgb_color kPlain = {50, 50, 170, 255};
const rgb_color kHighlighted = {200, 0, 255, 255};

class UrlViewTest : public SettingsFixture {
protected:
	MUrlView* Add(BRect frame, const char* name, const char* url, url_type type)
	{
		MUrlView* link = new MUrlView(frame, name, url, type);
		fLinks.push_back(link);
		return link;
	}

	void Show()
	{
		fWindow->Lock();
		for (MUrlView* link : fLinks)
			fWindow->AddChild(link);
		fWindow->Unlock();
		fWindow.Show();
	}

	void Click(BPoint where)
	{
		fWindow.Port().MouseMoved(where, 0);
		fWindow.Port().MouseDown(where, B_PRIMARY_MOUSE_BUTTON);
		fWindow.Port().MouseUp(where, 0);
	}

	// Pixels of text in `color` over `background`: blends of the two, at least half-way to
	// the colour (glyph edges are smoothed).
	int32 Count(BRect area, rgb_color color, rgb_color background = kWhite)
	{
		int32 count = 0;
		for (int32 y = (int32)area.top; y <= (int32)area.bottom; y++) {
			for (int32 x = (int32)area.left; x <= (int32)area.right; x++)
				count += IsBlend(fWindow.Pixel(x, y), color, background) ? 1 : 0;
		}
		return count;
	}

	static bool IsBlend(rgb_color pixel, rgb_color color, rgb_color background)
	{
		const uint8 p[] = {pixel.red, pixel.green, pixel.blue};
		const uint8 c[] = {color.red, color.green, color.blue};
		const uint8 b[] = {background.red, background.green, background.blue};
		int32 widest = 0;
		for (int32 i = 1; i < 3; i++) {
			if (abs(c[i] - b[i]) > abs(c[widest] - b[widest]))
				widest = i;
		}
		float amount = (float)(p[widest] - b[widest]) / (c[widest] - b[widest]);
		if (amount < 0.5f || amount > 1.0f)
			return false;
		for (int32 i = 0; i < 3; i++) {
			if (fabsf(p[i] - (b[i] + amount * (c[i] - b[i]))) > 3)
				return false;
		}
		return true;
	}

	// The link's hook, called as the window would, with the redraw it asks for.
	void Transit(MUrlView* link, uint32 transit)
	{
		fWindow->Lock();
		link->MouseMoved(BPoint(5, 5), transit, NULL);
		fWindow->Unlock();
		fWindow.Port().Sync();
	}

	ShownWindow fWindow{BRect(100, 100, 299, 169)};
	std::vector<MUrlView*> fLinks;
};

TEST_F(UrlViewTest, ShowsItsNameAtTheBaselineInBlueOnWhite)
{
	const char* address = "zorve@example.org";
	MUrlView* link = Add(BRect(10, 5, 190, 20), address, address, URL_MAIL);
	Show();
	fWindow->Lock();
	EXPECT_EQ(kWhite, link->ViewColor());
	EXPECT_EQ((uint32)B_FOLLOW_LEFT_RIGHT, link->ResizingMode());
	EXPECT_EQ(B_WILL_DRAW | B_FRAME_EVENTS, link->Flags());
	fWindow->Unlock();

	// The bare address, drawn as a plain view would draw it at (0, 10).
	ShownWindow reference(BRect(100, 300, 299, 369));
	reference.Show(new DrawingView(BRect(10, 5, 190, 20), [address](BView* view) {
		view->SetHighColor(kPlain);
		view->DrawString(address, BPoint(0, 10));
	}));
	for (int32 y = 5; y <= 20; y++) {
		for (int32 x = 10; x <= 190; x++)
			ASSERT_EQ(reference.Pixel(x, y), fWindow.Pixel(x, y)) << x << "," << y;
	}
	EXPECT_GT(Count(BRect(10, 5, 190, 20), kPlain), 10);
}

TEST_F(UrlViewTest, ThePointerOverTheLinkTurnsItPurpleAndLeavingTurnsItBack)
{
	MUrlView* link = Add(BRect(10, 5, 190, 20), "http://www.example.org/zorve",
		"http://www.example.org/zorve", URL_WEB);
	Show();
	BRect area(10, 5, 190, 20);
	fWindow.Port().MouseMoved(BPoint(20, 10), 0);
	EXPECT_EQ(0, Count(area, kPlain));
	EXPECT_GT(Count(area, kHighlighted), 10);
	fWindow.Port().MouseMoved(BPoint(25, 11), 0);
	EXPECT_GT(Count(area, kHighlighted), 10);
	fWindow.Port().MouseMoved(BPoint(20, 40), 0);
	EXPECT_GT(Count(area, kPlain), 10);
	EXPECT_EQ(0, Count(area, kHighlighted));

	// Found inside without having entered: lit up. Outside it: no change.
	Transit(link, B_INSIDE_VIEW);
	EXPECT_GT(Count(area, kHighlighted), 10);
	Transit(link, B_OUTSIDE_VIEW);
	EXPECT_GT(Count(area, kHighlighted), 10);
	Transit(link, B_EXITED_VIEW);
	EXPECT_EQ(0, Count(area, kHighlighted));
	Transit(link, B_OUTSIDE_VIEW);
	EXPECT_EQ(0, Count(area, kHighlighted));
}

TEST_F(UrlViewTest, AnOwnerMaySetAnotherBackground)
{
	MUrlView* link = Add(BRect(10, 5, 190, 20), "x", "x", URL_WEB);
	link->SetViewColor(kPanel);
	Show();
	EXPECT_EQ(kPanel, fWindow.Pixel(150, 15));
	EXPECT_EQ(kPanel, fWindow.Pixel(10, 5));
}

TEST_F(UrlViewTest, AMailLinkLaunchesTheMailProgramWithMailtoInFrontOnce)
{
	Add(BRect(10, 5, 190, 20), "zorve@example.org", "zorve@example.org", URL_MAIL);
	Add(BRect(10, 25, 190, 40), "write", "Write to mailto:someone@example.org", URL_MAIL);
	Show();
	Click(BPoint(20, 10));
	std::vector<std::string> launched = Launched(1);
	ASSERT_EQ(1u, launched.size());
	EXPECT_EQ("mailer 1:mailto:zorve@example.org", launched[0]);

	Click(BPoint(20, 30));
	launched = Launched(2);
	ASSERT_EQ(2u, launched.size());
	EXPECT_EQ("mailer 1:Write to mailto:someone@example.org", launched[1]);
}

TEST_F(UrlViewTest, AWebLinkLaunchesTheBrowserWithItsAddressAndOtherKindsNothing)
{
	Add(BRect(10, 5, 190, 20), "odd", "odd://thing", (url_type)2);
	Add(BRect(10, 25, 190, 40), "web", "http://www.example.org/zorve", URL_WEB);
	Show();
	Click(BPoint(20, 10));
	// The odd link lights up like any other, but launches nothing.
	EXPECT_GT(Count(BRect(10, 5, 190, 20), kHighlighted), 0);
	Click(BPoint(20, 30));
	std::vector<std::string> launched = Launched(1);
	snooze(100000);
	launched = Launched(1);
	ASSERT_EQ(1u, launched.size());
	EXPECT_EQ("browser 1:http://www.example.org/zorve", launched[0]);
	// Clicking changes nothing on the link itself.
	Click(BPoint(20, 30));
	EXPECT_EQ(2u, Launched(2).size());
}

TEST_F(UrlViewTest, MessagesArePassedOnToTheNextHandler)
{
	MUrlView* link = Add(BRect(10, 5, 190, 20), "x", "x", URL_WEB);
	Show();
	std::vector<uint32> expected = {'tst1'};
	EXPECT_EQ(expected, CodesPassedOn(link, {'tst1'}));
}

} // namespace

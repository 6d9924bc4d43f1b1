#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include <File.h>
#include <Font.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <Resources.h>
#include <TypeConstants.h>
#include <View.h>
#include <Window.h>

#include "AboutView.h"
#include "SettingsFixture.h"

namespace {

const rgb_color kBand = {231, 231, 231, 255};
const rgb_color kRed = {255, 0, 0, 255};
// System palette: 0 is black, 42 red, 255 transparent.
const uint8 kBlackIndex = 0;
const uint8 kRedIndex = 42;
const uint8 kTransparentIndex = 255;

class AboutViewTest : public SettingsFixture {
protected:
	// An application file whose large icon is a black frame with two red dots, one on each
	// side of the band's edge, transparent everywhere else.
	std::string WriteIconFile()
	{
		uint8 icon[32 * 32];
		memset(icon, kTransparentIndex, sizeof(icon));
		for (int32 i = 0; i < 32; i++) {
			icon[i] = icon[31 * 32 + i] = kBlackIndex;
			icon[i * 32] = icon[i * 32 + 31] = kBlackIndex;
		}
		icon[5 * 32 + 5] = kRedIndex;
		icon[5 * 32 + 25] = kRedIndex;
		std::string path = fHome.Path() + "/IconHolder";
		BFile file(path.c_str(), B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE);
		EXPECT_EQ(B_OK, file.InitCheck());
		BResources resources(&file, true);
		EXPECT_EQ(B_OK,
			resources.AddResource(B_LARGE_ICON_TYPE, 101, icon, sizeof(icon), "BEOS:L:STD_ICON"));
		EXPECT_EQ(B_OK, resources.Sync());
		return path;
	}

	void OpenWithApplicationPath(const std::string& path)
	{
		WritePrefs([&path](CPreferences& prefs) { prefs.fApplicationPath = path.c_str(); });
		Open();
	}

	// A pixel of the About page, in page coordinates.
	rgb_color PagePixel(int32 x, int32 y)
	{
		return Pixel(x + (int32)kPageOrigin.x, y + (int32)kPageOrigin.y);
	}
};

TEST_F(AboutViewTest, TheIconStraddlesTheBandsEdgeLettingBandAndPageShowThrough)
{
	OpenWithApplicationPath(WriteIconFile());
	BView* page = Find("About");
	ASSERT_NE(nullptr, page);
	EXPECT_EQ(BRect(0, 0, 259, 159), page->Frame());

	// Corners of the frame at (38, 13) and (69, 44).
	EXPECT_EQ(kBlack, PagePixel(38, 13));
	EXPECT_EQ(kBlack, PagePixel(69, 13));
	EXPECT_EQ(kBlack, PagePixel(38, 44));
	EXPECT_EQ(kBlack, PagePixel(69, 44));
	EXPECT_EQ(kBlack, PagePixel(50, 13));
	EXPECT_EQ(kBand, PagePixel(37, 20));
	EXPECT_EQ(kBand, PagePixel(40, 12));
	EXPECT_EQ(kPanel, PagePixel(70, 20));
	EXPECT_EQ(kPanel, PagePixel(60, 45));
	// Inside, the transparent pixels show the band left of x = 51 and the page right of it.
	EXPECT_EQ(kRed, PagePixel(43, 18));
	EXPECT_EQ(kRed, PagePixel(63, 18));
	EXPECT_EQ(kBand, PagePixel(44, 18));
	EXPECT_EQ(kBand, PagePixel(50, 30));
	EXPECT_EQ(kPanel, PagePixel(51, 30));
	EXPECT_EQ(kPanel, PagePixel(62, 18));
}

TEST_F(AboutViewTest, TheBandIsTheLightenedPanelDownTheWholeLeftSide)
{
	OpenWithApplicationPath("");
	for (int32 y : {0, 60, 100, 159}) {
		for (int32 x : {0, 25, 50})
			EXPECT_EQ(kBand, PagePixel(x, y)) << x << "," << y;
		EXPECT_EQ(kPanel, PagePixel(51, y)) << y;
	}
	EXPECT_EQ(tint_color(kPanel, B_LIGHTEN_1_TINT), kBand);
}

TEST_F(AboutViewTest, AnIconThatCannotBeReadLeavesBandAndPagePlain)
{
	std::string notAnApplication = fHome.Path() + "/plain-text";
	fHome.WriteFile(notAnApplication, "no resources in here\n");
	for (const std::string& path : {std::string(""), notAnApplication, fHome.Path() + "/missing"}) {
		SCOPED_TRACE(path);
		OpenWithApplicationPath(path);
		for (int32 y = 13; y <= 44; y++) {
			for (int32 x = 38; x <= 69; x++)
				ASSERT_EQ(x <= 50 ? kBand : kPanel, PagePixel(x, y)) << x << "," << y;
		}
		Close();
	}
}

TEST_F(AboutViewTest, TextsStandAtTheirPointsInTheirSizesAndShear)
{
	OpenWithApplicationPath("");
	// The same texts, drawn by a plain view as the page is laid out.
	ShownWindow reference(BRect(400, 80, 659, 239));
	reference.Show(new DrawingView(BRect(0, 0, 259, 159), [](BView* view) {
		view->SetHighColor(0, 0, 0);
		view->SetLowColor(kPanel);
		BFont font;
		view->SetFontSize(20);
		font.SetShear(105);
		view->SetFont(&font, B_FONT_SHEAR);
		view->DrawString("Zorve", BPoint(75, 30));
		view->SetFontSize(10);
		font.SetShear(90);
		view->SetFont(&font, B_FONT_SHEAR);
		view->DrawString("for BeOS", BPoint(110, 45));
		view->DrawString("v0.2a", BPoint(155, 45));
		view->DrawString("My web site", BPoint(115, 69));
		view->DrawString("My E-Mail", BPoint(122, 97));
		view->DrawString("Contact me by mail for bug or idea.", BPoint(65, 127));
	}));
	reference->Lock();
	reference->ChildAt(0)->SetViewColor(kPanel);
	reference->Unlock();
	reference.Port().Redraw();

	// Right of the icon, outside the two links and the two lines whose wording is ours.
	BRect webLink(65, 72, 250, 87);
	BRect mailLink(80, 100, 210, 112);
	int32 ink = 0;
	for (int32 y = 0; y <= 128; y++) {
		for (int32 x = 71; x <= 259; x++) {
			if (webLink.Contains(BPoint(x, y)) || mailLink.Contains(BPoint(x, y)))
				continue;
			rgb_color expected = reference.Pixel(x, y);
			ASSERT_EQ(expected, PagePixel(x, y)) << x << "," << y;
			ink += expected.red < 100 ? 1 : 0;
		}
	}
	EXPECT_GT(ink, 100);
	// The two lines asking to hear from users before changes are there, further down.
	int32 lower = 0;
	for (int32 y = 129; y <= 150; y++) {
		for (int32 x = 65; x <= 259; x++)
			lower += PagePixel(x, y).red < 100 ? 1 : 0;
	}
	EXPECT_GT(lower, 50);
}

TEST_F(AboutViewTest, TheLinksLeadToTheAuthorsSiteAndMailAddress)
{
	OpenWithApplicationPath("");
	BView* web = Find("http://www.example.org/zorve");
	BView* mail = Find("zorve@example.org");
	ASSERT_NE(nullptr, web);
	ASSERT_NE(nullptr, mail);
	EXPECT_EQ(BRect(65, 72, 250, 87), web->Frame());
	EXPECT_EQ(BRect(80, 100, 210, 112), mail->Frame());
	EXPECT_EQ(kPanel, web->ViewColor());
	EXPECT_EQ(kPanel, mail->ViewColor());

	BPoint origin = kPageOrigin;
	Port().MouseMoved(origin + BPoint(90, 105), 0);
	Port().MouseDown(origin + BPoint(90, 105), B_PRIMARY_MOUSE_BUTTON);
	Port().MouseUp(origin + BPoint(90, 105), 0);
	std::vector<std::string> launched = Launched(1);
	ASSERT_EQ(1u, launched.size());
	EXPECT_EQ("mailer 1:mailto:zorve@example.org", launched[0]);
	Port().MouseDown(origin + BPoint(70, 80), B_PRIMARY_MOUSE_BUTTON);
	launched = Launched(2);
	ASSERT_EQ(2u, launched.size());
	EXPECT_EQ("browser 1:http://www.example.org/zorve", launched[1]);
}

TEST_F(AboutViewTest, MessagesSentToThePageAreDropped)
{
	OpenWithApplicationPath("");
	EXPECT_TRUE(CodesPassedOn(Find("About"), {'tst1', B_QUIT_REQUESTED}).empty());
	EXPECT_FALSE(Window()->IsHidden());
}

TEST_F(AboutViewTest, APageOfAnotherHeightOnlyChangesTheBandsLength)
{
	for (float bottom : {99.0f, 299.0f}) {
		SCOPED_TRACE(bottom);
		ShownWindow window(BRect(100, 100, 359, 100 + bottom));
		CPreferences prefs;
		prefs.Load();
		window.Show(new AboutView(BRect(0, 0, 259, bottom), prefs));
		EXPECT_EQ(kBand, window.Pixel(0, (int32)bottom));
		EXPECT_EQ(kBand, window.Pixel(50, (int32)bottom));
		EXPECT_EQ(kPanel, window.Pixel(51, (int32)bottom));
		window->Lock();
		EXPECT_EQ(BRect(65, 72, 250, 87),
			window->FindView("http://www.example.org/zorve")->Frame());
		window->Unlock();
	}
}

} // namespace

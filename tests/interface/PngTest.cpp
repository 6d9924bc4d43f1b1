#include <gtest/gtest.h>

#include <string>

#include <View.h>
#include <Window.h>

#include "InterfaceTestSupport.h"
#include "TemporaryHome.h"

namespace {

uint32
BigEndian32(const std::string& bytes, size_t offset)
{
	return ((uint32)(uint8)bytes[offset] << 24) | ((uint32)(uint8)bytes[offset + 1] << 16)
		| ((uint32)(uint8)bytes[offset + 2] << 8) | (uint8)bytes[offset + 3];
}

// Checks the signature and the header chunk: 8-bit RGB of the given size.
void
ExpectPngOfSize(const std::string& bytes, uint32 width, uint32 height)
{
	ASSERT_GT(bytes.size(), 33u);
	EXPECT_EQ(std::string("\x89PNG\r\n\x1a\n", 8), bytes.substr(0, 8));
	EXPECT_EQ("IHDR", bytes.substr(12, 4));
	EXPECT_EQ(width, BigEndian32(bytes, 16));
	EXPECT_EQ(height, BigEndian32(bytes, 20));
	EXPECT_EQ(8, bytes[24]);
	EXPECT_EQ(2, bytes[25]);
	EXPECT_EQ("IEND", bytes.substr(bytes.size() - 8, 4));
}

TEST(PngTest, WindowsAndPartsOfViewsAreSavedAtTheirSize)
{
	TemporaryHome home;
	ShownWindow window(BRect(0, 0, 261, 190));
	BView* view = new BView(BRect(10, 20, 41, 51), "icon", B_FOLLOW_NONE, 0);
	view->SetViewColor(kRed);
	window.Show(view);

	std::string whole = home.Path() + "/window.png";
	ASSERT_EQ(B_OK, window.Port().SaveAsPNG(whole.c_str()));
	ExpectPngOfSize(home.ReadFile(whole), 262, 191);

	std::string part = home.Path() + "/part.png";
	ASSERT_EQ(B_OK, BPrivate::WindowPort::SaveViewAsPNG(view, part.c_str(), BRect(0, 0, 15, 7)));
	ExpectPngOfSize(home.ReadFile(part), 16, 8);

	std::string icon = home.Path() + "/icon.png";
	ASSERT_EQ(B_OK, BPrivate::WindowPort::SaveViewAsPNG(view, icon.c_str()));
	ExpectPngOfSize(home.ReadFile(icon), 32, 32);

	// Rectangles reaching out of the window are cut to it.
	std::string corner = home.Path() + "/corner.png";
	ASSERT_EQ(B_OK, window.Port().SaveAsPNG(corner.c_str(), BRect(250, 180, 300, 300)));
	ExpectPngOfSize(home.ReadFile(corner), 12, 11);
}

TEST(PngTest, UnwritablePathsAndEmptyRectanglesFail)
{
	ShownWindow window;
	window.Show();
	EXPECT_NE(B_OK, window.Port().SaveAsPNG("/nonexistent-directory/window.png"));
	EXPECT_EQ(B_BAD_VALUE, window.Port().SaveAsPNG("/tmp/unused.png", BRect(500, 500, 600, 600)));
	BView detached(BRect(0, 0, 9, 9), "detached", B_FOLLOW_NONE, 0);
	EXPECT_EQ(B_BAD_VALUE, BPrivate::WindowPort::SaveViewAsPNG(&detached, "/tmp/unused.png"));
}

} // namespace

#include <gtest/gtest.h>

#include <math.h>

#include <string>

#include <TextControl.h>
#include <Window.h>

#include "ControlsTestSupport.h"

namespace {

const uint32 kMsgEdited = 'edit';

// Rows of the window in which x..right has a pixel darker than `limit`.
std::vector<int32>
InkRows(ShownWindow& window, int32 left, int32 right, int32 top, int32 bottom, uint8 limit)
{
	std::vector<int32> rows;
	for (int32 y = top; y <= bottom; y++) {
		for (int32 x = left; x <= right; x++) {
			if (window.Pixel(x, y).red < limit) {
				rows.push_back(y);
				break;
			}
		}
	}
	return rows;
}

class TextControlTest : public testing::Test {
protected:
	void SetUp() override
	{
		fUser = new BTextControl(BRect(10, 20, 250, 30), "user-edit", "User", "",
			new BMessage(kMsgEdited));
		fPassword = new BTextControl(BRect(10, 45, 250, 55), "password-edit", "Password", "initial",
			NULL);
		fUser->SetDivider(55);
		fPassword->SetDivider(55);
		fWindow.ShowWith({fUser, fPassword});
		fWindow->Lock();
		fUser->SetTarget(fCatcher.Target());
		fWindow->Unlock();
	}

	std::string Text(BTextControl* control)
	{
		fWindow->Lock();
		std::string text = control->Text();
		fWindow->Unlock();
		return text;
	}

	void Run(std::function<void()> work)
	{
		fWindow->Lock();
		work();
		fWindow->Unlock();
		fWindow.Port().Sync();
	}

	MessageCatcher fCatcher;
	PanelWindow fWindow;
	BTextControl* fUser;
	BTextControl* fPassword;
};

TEST_F(TextControlTest, SplitsAtTheDividerAndTakesTheHeightItsTextNeeds)
{
	font_height height;
	be_plain_font->GetHeight(&height);
	fWindow->Lock();
	EXPECT_STREQ("User", fUser->Label());
	EXPECT_EQ(55, fUser->Divider());
	EXPECT_EQ(BPoint(10, 20), fUser->Frame().LeftTop());
	EXPECT_EQ(240, fUser->Frame().Width());
	EXPECT_EQ(ceilf(height.ascent + height.descent + height.leading) + 7, fUser->Frame().Height());
	BTextView* field = fUser->TextView();
	ASSERT_NE(nullptr, field);
	EXPECT_EQ(fUser, field->Parent());
	EXPECT_EQ(57, field->Frame().left);
	EXPECT_EQ(238, field->Frame().right);
	EXPECT_FALSE(field->DoesWordWrap());
	fUser->SetDivider(80);
	EXPECT_EQ(82, field->Frame().left);
	EXPECT_EQ(238, field->Frame().right);

	// Without a divider set, the label takes half the width.
	BTextControl other(BRect(0, 0, 99, 9), "other", "Other", NULL, NULL);
	EXPECT_EQ(49, other.Divider());
	fWindow->Unlock();
	EXPECT_EQ("initial", Text(fPassword));
}

TEST_F(TextControlTest, TypingGoesIntoTheFieldButARefusedCharacterDoesNot)
{
	Run([&] { fUser->TextView()->DisallowChar(B_ESCAPE); });
	fWindow.Click(BPoint(100, 28));
	EXPECT_EQ(fUser->TextView(), fWindow->CurrentFocus());
	fWindow.Type("b");
	fWindow.Type("\x1b");
	fWindow.Type("o");
	fWindow.Type("b");
	EXPECT_EQ("bob", Text(fUser));
	Run([&] { fUser->SetText("carol\x1b"); });
	EXPECT_EQ("carol", Text(fUser));
	// Line breaks cannot get into a one-line field.
	Run([&] { fUser->SetText("a\nb"); });
	EXPECT_EQ("a b", Text(fUser));
}

TEST_F(TextControlTest, EnterAndLeavingTheFieldSendTheMessageOnlyAfterAChange)
{
	fWindow.Click(BPoint(100, 28));
	fWindow.Type("\n");
	fWindow.Type("x");
	fWindow.Type("\n");
	fWindow.Type("\t");
	EXPECT_EQ(fPassword->TextView(), fWindow->CurrentFocus());
	std::vector<BMessage> received = WaitForMessages(fCatcher, 1);
	ASSERT_EQ(1u, received.size());
	EXPECT_EQ(kMsgEdited, received[0].what);
	void* source = NULL;
	received[0].FindPointer("source", &source);
	EXPECT_EQ(fUser, source);

	// Arriving by Tab selects the whole text, so typing replaces it.
	fWindow.Type("y");
	EXPECT_EQ("y", Text(fPassword));
	fWindow.Type("\t", B_SHIFT_KEY);
	fWindow.Type("z");
	EXPECT_EQ("z", Text(fUser));
	fWindow.Type("\t");
	received = WaitForMessages(fCatcher, 2);
	EXPECT_EQ(2u, received.size());
}

TEST_F(TextControlTest, ADisabledControlIsGreyedAndTakesNeitherFocusNorInput)
{
	Run([&] {
		fUser->SetText("members.example.org");
		fUser->SetEnabled(false);
	});
	fWindow.Click(BPoint(100, 28));
	fWindow.Click(BPoint(20, 28));
	EXPECT_EQ(nullptr, fWindow->CurrentFocus());
	Run([&] { fUser->MakeFocus(); });
	EXPECT_EQ(nullptr, fWindow->CurrentFocus());
	fWindow.Type("\t");
	EXPECT_EQ(fPassword->TextView(), fWindow->CurrentFocus());
	fWindow.Type("\t");
	EXPECT_EQ(fPassword->TextView(), fWindow->CurrentFocus());
	fWindow.Type("x");
	EXPECT_EQ("members.example.org", Text(fUser));

	fWindow->Lock();
	rgb_color color;
	fUser->TextView()->GetFontAndColor(0, NULL, &color);
	EXPECT_EQ(Color(128, 128, 128), color);
	EXPECT_FALSE(fUser->TextView()->IsEditable());
	fWindow->Unlock();
	// Greyed text on a light field: nothing in it is black.
	std::vector<int32> rows = InkRows(fWindow, 70, 200, 22, 37, 40);
	EXPECT_TRUE(rows.empty());
	EXPECT_FALSE(InkRows(fWindow, 70, 200, 22, 37, 160).empty());
	EXPECT_EQ(Color(239, 239, 239), fWindow.Pixel(230, 25));

	// Enabled again, it works as before.
	Run([&] { fUser->SetEnabled(true); });
	fWindow.Click(BPoint(230, 28));
	fWindow.Type("!");
	EXPECT_EQ("members.example.org!", Text(fUser));
	EXPECT_EQ(kWhite, fWindow.Pixel(230, 25));
}

TEST_F(TextControlTest, DrawsTheLabelOnTheTextsBaselineAndASunkenField)
{
	Run([&] { fUser->SetText("bob"); });
	// Label "User" from x 13, the field's text from x 67 (divider 55 + 2 + 2 + 10 - 2).
	std::vector<int32> label = InkRows(fWindow, 13, 40, 20, 39, 100);
	std::vector<int32> text = InkRows(fWindow, 69, 90, 20, 39, 100);
	ASSERT_FALSE(label.empty());
	ASSERT_FALSE(text.empty());
	EXPECT_EQ(label.back(), text.back());

	// The field's bevel: a light outer edge, a dark inner one, white inside.
	EXPECT_EQ(Color(184, 184, 184), fWindow.Pixel(65, 30));
	EXPECT_EQ(Color(96, 96, 96), fWindow.Pixel(66, 30));
	EXPECT_EQ(kWhite, fWindow.Pixel(67, 30));
	EXPECT_EQ(kWhite, fWindow.Pixel(248, 30));
	EXPECT_EQ(kPanel, fWindow.Pixel(249, 30));
	EXPECT_EQ(kWhite, fWindow.Pixel(250, 30));

	// With the focus the inner edge turns blue.
	fWindow.Click(BPoint(100, 28));
	EXPECT_EQ(Color(0, 0, 229), fWindow.Pixel(66, 30));
	EXPECT_EQ(Color(0, 0, 229), fWindow.Pixel(249, 30));
}

} // namespace

#include <gtest/gtest.h>

#include <math.h>

#include <CheckBox.h>
#include <Control.h>
#include <Window.h>

#include "ControlsTestSupport.h"

namespace {

const uint32 kMsgToggled = 'tggl';
const rgb_color kNavigationBlue = {0, 0, 229, 255};

TEST(ControlTest, KeepsItsLabelValueAndEnabledState)
{
	char label[] = "Wildcard";
	BControl control(BRect(0, 0, 99, 19), "control", label, NULL, B_FOLLOW_NONE,
		B_WILL_DRAW | B_NAVIGABLE);
	label[0] = 'X';
	EXPECT_STREQ("Wildcard", control.Label());
	EXPECT_EQ(B_CONTROL_OFF, control.Value());
	control.SetValue(7);
	EXPECT_EQ(7, control.Value());
	control.SetLabel(NULL);
	EXPECT_EQ(nullptr, control.Label());

	// Disabled controls leave keyboard navigation, and come back to it.
	EXPECT_TRUE(control.IsEnabled());
	control.SetEnabled(false);
	EXPECT_FALSE(control.IsEnabled());
	EXPECT_EQ(0u, control.Flags() & B_NAVIGABLE);
	control.SetEnabled(true);
	EXPECT_EQ((uint32)B_NAVIGABLE, control.Flags() & B_NAVIGABLE);
}

TEST(ControlTest, InvokeSendsACopyWithWhenAndSourceOrNothingWithoutAMessage)
{
	MessageCatcher catcher;
	BControl silent(BRect(0, 0, 9, 9), "silent", "Silent", NULL, B_FOLLOW_NONE, 0);
	ASSERT_EQ(B_OK, silent.SetTarget(catcher.Target()));
	EXPECT_EQ(B_BAD_VALUE, silent.Invoke());

	BMessage* message = new BMessage(kMsgToggled);
	message->AddInt32("extra", 42);
	BControl control(BRect(0, 0, 9, 9), "control", "Control", message, B_FOLLOW_NONE, 0);
	ASSERT_EQ(B_OK, control.SetTarget(catcher.Target()));
	EXPECT_EQ(B_OK, control.Invoke());
	std::vector<BMessage> received = WaitForMessages(catcher, 1);
	ASSERT_EQ(1u, received.size());
	EXPECT_EQ(kMsgToggled, received[0].what);
	int32 extra = 0;
	EXPECT_EQ(B_OK, received[0].FindInt32("extra", &extra));
	EXPECT_EQ(42, extra);
	void* source = NULL;
	EXPECT_EQ(B_OK, received[0].FindPointer("source", &source));
	EXPECT_EQ(&control, source);
	EXPECT_TRUE(received[0].HasInt64("when"));
	// The control's own message is untouched.
	EXPECT_FALSE(control.Message()->HasPointer("source"));
}

class CheckBoxTest : public testing::Test {
protected:
	void SetUp() override
	{
		fBox = new BCheckBox(BRect(10, 20, 200, 30), "wildcard-check", "Wildcard",
			new BMessage(kMsgToggled));
		fOther = new BCheckBox(BRect(10, 60, 200, 70), "offline-check", "Offline", NULL);
		fWindow.ShowWith({fBox, fOther});
		fWindow->Lock();
		fBox->SetTarget(fCatcher.Target());
		fWindow->Unlock();
	}

	int32 Value(BCheckBox* box)
	{
		fWindow->Lock();
		int32 value = box->Value();
		fWindow->Unlock();
		return value;
	}

	MessageCatcher fCatcher;
	PanelWindow fWindow;
	BCheckBox* fBox;
	BCheckBox* fOther;
};

TEST_F(CheckBoxTest, GrowsToTheHeightItsFontNeeds)
{
	font_height height;
	be_plain_font->GetHeight(&height);
	fWindow->Lock();
	EXPECT_EQ(ceilf(6 + height.ascent + height.descent), fBox->Frame().Height());
	EXPECT_EQ(BPoint(10, 20), fBox->Frame().LeftTop());
	EXPECT_EQ(190, fBox->Frame().Width());
	fWindow->Unlock();
}

TEST_F(CheckBoxTest, ClickTogglesBetweenOffAndOnAndSendsItsMessage)
{
	EXPECT_EQ(B_CONTROL_OFF, Value(fBox));
	fWindow.Click(BPoint(15, 28));
	EXPECT_EQ(B_CONTROL_ON, Value(fBox));
	// On the label too.
	fWindow.Click(BPoint(60, 28));
	EXPECT_EQ(B_CONTROL_OFF, Value(fBox));

	std::vector<BMessage> received = WaitForMessages(fCatcher, 2);
	ASSERT_EQ(2u, received.size());
	EXPECT_EQ(kMsgToggled, received[0].what);
	void* source = NULL;
	received[1].FindPointer("source", &source);
	EXPECT_EQ(fBox, source);
}

TEST_F(CheckBoxTest, ReleaseOutsideTheBoxLeavesTheValue)
{
	BPrivate::WindowPort& port = fWindow.Port();
	port.MouseDown(BPoint(15, 28), B_PRIMARY_MOUSE_BUTTON);
	port.MouseMoved(BPoint(250, 150), B_PRIMARY_MOUSE_BUTTON);
	port.MouseUp(BPoint(250, 150), 0);
	EXPECT_EQ(B_CONTROL_OFF, Value(fBox));
	EXPECT_TRUE(fCatcher.Received().empty());
}

TEST_F(CheckBoxTest, SpaceTogglesTheFocusedBoxAndTabMovesOn)
{
	fWindow->Lock();
	fBox->MakeFocus();
	fWindow->Unlock();
	fWindow.Type(" ");
	EXPECT_EQ(B_CONTROL_ON, Value(fBox));
	fWindow.Type("\t");
	EXPECT_EQ(fOther, fWindow->CurrentFocus());
	fWindow.Type(" ");
	EXPECT_EQ(B_CONTROL_ON, Value(fOther));
	EXPECT_EQ(B_CONTROL_ON, Value(fBox));
}

TEST_F(CheckBoxTest, DisabledBoxTakesNoClicksNorKeys)
{
	fWindow->Lock();
	fBox->SetEnabled(false);
	fWindow->Unlock();
	fWindow.Click(BPoint(15, 28));
	fWindow.Type("\t");
	fWindow.Type(" ");
	EXPECT_EQ(B_CONTROL_OFF, Value(fBox));
	EXPECT_EQ(fOther, fWindow->CurrentFocus());
}

TEST_F(CheckBoxTest, ValuesOtherThanOffAreOn)
{
	fWindow->Lock();
	fBox->SetValue(5);
	EXPECT_EQ(B_CONTROL_ON, fBox->Value());
	fWindow->Unlock();
}

TEST_F(CheckBoxTest, DrawsASunkenWhiteBoxAtTheLeftAndABlueCrossWhenOn)
{
	// The box spans (0, 2) to (13, 15) of the control, the control starts at (10, 20).
	EXPECT_EQ(Color(184, 184, 184), fWindow.Pixel(10, 22));
	EXPECT_EQ(Color(96, 96, 96), fWindow.Pixel(11, 23));
	EXPECT_EQ(kWhite, fWindow.Pixel(23, 35));
	EXPECT_EQ(kWhite, fWindow.Pixel(16, 28));
	EXPECT_EQ(kPanel, fWindow.Pixel(25, 28));

	fWindow.Click(BPoint(15, 28));
	EXPECT_EQ(kNavigationBlue, fWindow.Pixel(16, 28));
	EXPECT_EQ(kNavigationBlue, fWindow.Pixel(14, 26));
	EXPECT_EQ(kWhite, fWindow.Pixel(16, 26));

	// The label, black on the panel, right of the box.
	int32 dark = 0;
	for (int32 x = 30; x < 80; x++) {
		for (int32 y = 24; y <= 33; y++) {
			if (fWindow.Pixel(x, y).red < 64)
				dark++;
		}
	}
	EXPECT_GT(dark, 20);
}

} // namespace

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include <View.h>
#include <Window.h>

#include "InterfaceTestSupport.h"

namespace {

struct DrawRecord {
	std::string name;
	BRect update;
};

// Records each Draw and fills its bounds with its current colour.
class RecordingView : public BView {
public:
	RecordingView(BRect frame, const char* name, std::vector<DrawRecord>& journal) :
		BView(frame, name, B_FOLLOW_NONE, B_WILL_DRAW),
		fJournal(journal),
		fColor(kBlack)
	{
		SetViewColor(B_TRANSPARENT_COLOR);
	}

	void SetColor(rgb_color color) { fColor = color; }

	void Draw(BRect update) override
	{
		fJournal.push_back({Name(), update});
		SetHighColor(fColor);
		FillRect(Bounds());
	}

private:
	std::vector<DrawRecord>& fJournal;
	rgb_color fColor;
};

std::vector<std::string>
Names(const std::vector<DrawRecord>& journal)
{
	std::vector<std::string> names;
	for (const DrawRecord& record : journal)
		names.push_back(record.name);
	return names;
}

class UpdateTest : public testing::Test {
protected:
	void SetUp() override
	{
		fParent = new RecordingView(BRect(0, 0, 49, 49), "parent", fJournal);
		fFirst = new RecordingView(BRect(0, 0, 9, 9), "first", fJournal);
		fSecond = new RecordingView(BRect(20, 20, 29, 29), "second", fJournal);
		fSibling = new RecordingView(BRect(60, 0, 99, 49), "sibling", fJournal);
		fParent->AddChild(fFirst);
		fParent->AddChild(fSecond);
		fWindow.Window()->Lock();
		fWindow->AddChild(fSibling);
		fWindow.Window()->Unlock();
		fWindow.Show(fParent);
	}

	void Invalidate(BView* view, BRect rect = BRect())
	{
		fJournal.clear();
		fWindow->Lock();
		if (rect.IsValid())
			view->Invalidate(rect);
		else
			view->Invalidate();
		fWindow->Unlock();
		ASSERT_EQ(B_OK, fWindow.Port().Sync());
	}

	ShownWindow fWindow{BRect(0, 0, 99, 99)};
	std::vector<DrawRecord> fJournal;
	RecordingView* fParent;
	RecordingView* fFirst;
	RecordingView* fSecond;
	RecordingView* fSibling;
};

TEST_F(UpdateTest, ShowingDrawsEveryViewParentsBeforeChildren)
{
	// The sibling was added to the window first.
	std::vector<std::string> expected = {"sibling", "parent", "first", "second"};
	EXPECT_EQ(expected, Names(fJournal));
}

TEST_F(UpdateTest, InvalidateRedrawsOnlyTheViewsTouchingTheRegion)
{
	Invalidate(fFirst);
	std::vector<std::string> expected = {"parent", "first"};
	EXPECT_EQ(expected, Names(fJournal));

	Invalidate(fSibling);
	expected = {"sibling"};
	EXPECT_EQ(expected, Names(fJournal));
}

TEST_F(UpdateTest, DrawIsToldTheInvalidatedRectangleInItsOwnCoordinates)
{
	Invalidate(fParent, BRect(22, 23, 25, 26));
	ASSERT_EQ(2u, fJournal.size());
	EXPECT_EQ("parent", fJournal[0].name);
	EXPECT_EQ(BRect(22, 23, 25, 26), fJournal[0].update);
	EXPECT_EQ("second", fJournal[1].name);
	EXPECT_EQ(BRect(2, 3, 5, 6), fJournal[1].update);
}

TEST_F(UpdateTest, DrawingIsClippedToTheInvalidatedPixels)
{
	fWindow->Lock();
	fSibling->SetColor(kRed);
	fWindow->Unlock();
	Invalidate(fSibling, BRect(10, 10, 14, 14));
	EXPECT_EQ(kRed, fWindow.Pixel(70, 10));
	EXPECT_EQ(kRed, fWindow.Pixel(74, 14));
	EXPECT_EQ(kBlack, fWindow.Pixel(75, 14));
	EXPECT_EQ(kBlack, fWindow.Pixel(69, 10));
	EXPECT_EQ(kBlack, fWindow.Pixel(70, 9));
}

TEST_F(UpdateTest, EachInvalidateLeadsToAnotherRedraw)
{
	uint32 before = fWindow.Port().UpdateCount();
	Invalidate(fFirst);
	Invalidate(fSecond);
	EXPECT_GE(fWindow.Port().UpdateCount(), before + 2);
	// Nothing invalidated, nothing drawn.
	fJournal.clear();
	ASSERT_EQ(B_OK, fWindow.Port().Sync());
	EXPECT_TRUE(fJournal.empty());
}

TEST_F(UpdateTest, HiddenWindowsDrawNothingUntilShownAgain)
{
	fWindow->Hide();
	Invalidate(fFirst);
	EXPECT_TRUE(fJournal.empty());
	fWindow->Show();
	ASSERT_EQ(B_OK, fWindow.Port().Sync());
	std::vector<std::string> expected = {"sibling", "parent", "first", "second"};
	EXPECT_EQ(expected, Names(fJournal));
}

TEST_F(UpdateTest, RemovedViewsLeaveTheirAreaToTheParent)
{
	fJournal.clear();
	fWindow->Lock();
	fParent->SetColor(kBlue);
	fParent->RemoveChild(fSecond);
	fWindow->Unlock();
	ASSERT_EQ(B_OK, fWindow.Port().Sync());
	std::vector<std::string> expected = {"parent"};
	EXPECT_EQ(expected, Names(fJournal));
	EXPECT_EQ(kBlue, fWindow.Pixel(25, 25));
	delete fSecond;
}

} // namespace

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <string>

#include <TextView.h>
#include <Window.h>

#include "ControlsTestSupport.h"
#include "InterfacePrivate.h"

namespace {

const rgb_color kSelection = {179, 179, 179, 255};

class TextViewTest : public testing::Test {
protected:
	void SetUp() override
	{
		// At (10, 10) of the window, 200 x 100, text laid out from (2, 2).
		fView = new BTextView(BRect(10, 10, 209, 109), "text", BRect(2, 2, 197, 97), B_FOLLOW_NONE);
		fWindow.ShowWith({fView});
	}

	void Focus()
	{
		fWindow->Lock();
		fView->MakeFocus();
		fWindow->Unlock();
		fWindow.Port().Sync();
	}

	std::string Text()
	{
		fWindow->Lock();
		std::string text = fView->Text();
		fWindow->Unlock();
		return text;
	}

	std::pair<int32, int32> Selection()
	{
		int32 start;
		int32 end;
		fWindow->Lock();
		fView->GetSelection(&start, &end);
		fWindow->Unlock();
		return {start, end};
	}

	void Run(std::function<void()> work)
	{
		fWindow->Lock();
		work();
		fWindow->Unlock();
		fWindow.Port().Sync();
	}

	PanelWindow fWindow;
	BTextView* fView;
};

TEST_F(TextViewTest, TypingInsertsAtTheCaretWhichTheArrowsMove)
{
	Focus();
	fWindow.Type("a");
	fWindow.Type("b");
	fWindow.Type("c");
	EXPECT_EQ("abc", Text());
	fWindow.Type("\x1c");
	fWindow.Type("\x1c");
	fWindow.Type("X");
	EXPECT_EQ("aXbc", Text());
	fWindow.Type("\x1d");
	fWindow.Type("\x1d");
	fWindow.Type("\x1d");
	fWindow.Type("\n");
	fWindow.Type("\xc3\xa9");
	EXPECT_EQ("aXbc\n\xc3\xa9", Text());
	EXPECT_EQ(std::make_pair(7, 7), Selection());
	fWindow->Lock();
	EXPECT_EQ(7, fView->TextLength());
	EXPECT_EQ(2, fView->CountLines());
	EXPECT_EQ(1, fView->CurrentLine());
	fWindow->Unlock();
}

TEST_F(TextViewTest, BackspaceAndDeleteRemoveWholeCharacters)
{
	Focus();
	Run([&] {
		fView->SetText(
			"a\xc3\xa9"
			"bc");
		fView->Select(3, 3);
	});
	fWindow.Type("\x08");
	EXPECT_EQ("abc", Text());
	EXPECT_EQ(std::make_pair(1, 1), Selection());
	fWindow.Type("\x7f");
	EXPECT_EQ("ac", Text());
	// At the ends there is nothing to remove.
	Run([&] { fView->Select(0, 0); });
	fWindow.Type("\x08");
	Run([&] { fView->Select(2, 2); });
	fWindow.Type("\x7f");
	EXPECT_EQ("ac", Text());
}

TEST_F(TextViewTest, DisallowedCharactersNeverGetIn)
{
	Focus();
	Run([&] {
		fView->DisallowChar(B_ESCAPE);
		fView->DisallowChar(0xe9);
	});
	fWindow.Type("\x1b");
	fWindow.Type("\xc3\xa9");
	fWindow.Type("x");
	EXPECT_EQ("x", Text());

	Run([&] {
		fView->SetText(
			"a\x1b"
			"b\xc3\xa9");
		fView->Insert("\x1b\x1b");
		fView->Insert(1,
			"c\x1b"
			"d",
			3);
	});
	EXPECT_EQ("acdb", Text());

	Run([&] {
		text_run_array runs;
		runs.count = 1;
		runs.runs[0].offset = 0;
		runs.runs[0].color = kRed;
		fView->SetStylable(true);
		fView->Insert(0,
			"\x1b\x1b"
			"e",
			3, &runs);
	});
	EXPECT_EQ("eacdb", Text());

	// Allowed again, it goes in like any other.
	Run([&] { fView->AllowChar(B_ESCAPE); });
	fWindow.Type("\x1b");
	EXPECT_EQ(6u, Text().size());
}

TEST_F(TextViewTest, ShiftArrowsSelectAndTypingReplacesTheSelection)
{
	Focus();
	Run([&] {
		fView->SetText("hello world");
		fView->Select(0, 0);
	});
	for (int32 i = 0; i < 5; i++)
		fWindow.Type("\x1d", B_SHIFT_KEY);
	EXPECT_EQ(std::make_pair(0, 5), Selection());
	fWindow.Type("\x1c", B_SHIFT_KEY);
	EXPECT_EQ(std::make_pair(0, 4), Selection());
	fWindow.Type("J");
	EXPECT_EQ("Jo world", Text());

	// A plain arrow collapses a selection to its side.
	Run([&] { fView->Select(3, 6); });
	fWindow.Type("\x1c");
	EXPECT_EQ(std::make_pair(3, 3), Selection());
	Run([&] { fView->Select(3, 6); });
	fWindow.Type("\x1d");
	EXPECT_EQ(std::make_pair(6, 6), Selection());

	// Backspace takes the whole selection.
	Run([&] { fView->SelectAll(); });
	EXPECT_EQ(std::make_pair(0, 8), Selection());
	fWindow.Type("\x08");
	EXPECT_EQ("", Text());
}

TEST_F(TextViewTest, PointerPressAndDragSelect)
{
	Run([&] { fView->SetText("alpha beta gamma"); });
	float start;
	float end;
	fWindow->Lock();
	start = fView->PointAt(6).x;
	end = fView->PointAt(10).x;
	fWindow->Unlock();
	BPrivate::WindowPort& port = fWindow.Port();
	// A press puts the caret before the character under the pointer, and focuses.
	port.MouseDown(BPoint(10 + start + 1, 15), B_PRIMARY_MOUSE_BUTTON);
	EXPECT_EQ(fView, fWindow->CurrentFocus());
	EXPECT_EQ(std::make_pair(6, 6), Selection());
	port.MouseMoved(BPoint(10 + end, 16), B_PRIMARY_MOUSE_BUTTON);
	port.MouseUp(BPoint(10 + end, 16), 0);
	EXPECT_EQ(std::make_pair(6, 10), Selection());

	// Shift extends from the anchor; a double click takes the word.
	fWindow.Port().MouseDown(BPoint(12, 15), B_PRIMARY_MOUSE_BUTTON);
	fWindow.Port().MouseUp(BPoint(12, 15), 0);
	BPrivate::set_modifiers(B_SHIFT_KEY);
	port.MouseDown(BPoint(10 + end, 15), B_PRIMARY_MOUSE_BUTTON);
	port.MouseUp(BPoint(10 + end, 15), 0);
	BPrivate::set_modifiers(0);
	EXPECT_EQ(std::make_pair(0, 10), Selection());
	fWindow.Click(BPoint(10 + end + 8, 15), 2);
	EXPECT_EQ(std::make_pair(11, 16), Selection());
}

TEST_F(TextViewTest, NotEditableRefusesTypingAndNotSelectableRefusesSelection)
{
	Focus();
	Run([&] {
		fView->SetText("fixed");
		fView->MakeEditable(false);
		fView->Select(5, 5);
	});
	fWindow.Type("x");
	fWindow.Type("\x08");
	EXPECT_EQ("fixed", Text());
	fWindow.Type("\x1c", B_SHIFT_KEY);
	EXPECT_EQ(std::make_pair(4, 5), Selection());

	// Neither editable nor selectable: keys and the pointer leave it alone.
	Run([&] {
		fView->MakeSelectable(false);
		fView->Select(5, 5);
	});
	fWindow.Type("\x1c", B_SHIFT_KEY);
	EXPECT_EQ(std::make_pair(5, 5), Selection());
	fWindow.Port().MouseDown(BPoint(12, 15), B_PRIMARY_MOUSE_BUTTON);
	fWindow.Port().MouseMoved(BPoint(40, 15), B_PRIMARY_MOUSE_BUTTON);
	fWindow.Port().MouseUp(BPoint(40, 15), 0);
	EXPECT_EQ(std::make_pair(5, 5), Selection());

	// Editable but not selectable: the caret moves, nothing is selected.
	Run([&] { fView->MakeEditable(true); });
	fWindow.Type("\x1c", B_SHIFT_KEY);
	EXPECT_EQ(std::make_pair(4, 4), Selection());
	fWindow.Port().MouseDown(BPoint(12, 15), B_PRIMARY_MOUSE_BUTTON);
	fWindow.Port().MouseMoved(BPoint(40, 15), B_PRIMARY_MOUSE_BUTTON);
	fWindow.Port().MouseUp(BPoint(40, 15), 0);
	EXPECT_EQ(std::make_pair(0, 0), Selection());
}

TEST_F(TextViewTest, InsertAndDeleteMoveTheSelectionWithTheText)
{
	Run([&] {
		fView->SetText("abcdef");
		fView->Select(2, 4);
		fView->Insert(0, "XY", 2);
	});
	EXPECT_EQ("XYabcdef", Text());
	EXPECT_EQ(std::make_pair(4, 6), Selection());
	Run([&] { fView->Delete(0, 3); });
	EXPECT_EQ("bcdef", Text());
	EXPECT_EQ(std::make_pair(1, 3), Selection());
	Run([&] { fView->Delete(); });
	EXPECT_EQ("bef", Text());
	// Insert without an offset goes in at the selection and leaves the caret after it.
	Run([&] { fView->Insert("--"); });
	EXPECT_EQ("b--ef", Text());
	EXPECT_EQ(std::make_pair(3, 3), Selection());
	Run([&] { fView->SetText("new"); });
	EXPECT_EQ(std::make_pair(0, 0), Selection());
	char buffer[8];
	fWindow->Lock();
	fView->GetText(1, 10, buffer);
	EXPECT_STREQ("ew", buffer);
	EXPECT_EQ('n', fView->ByteAt(0));
	EXPECT_EQ('\0', fView->ByteAt(3));
	fWindow->Unlock();
}

TEST_F(TextViewTest, MaxBytesCutsInsertionsAtACharacterBoundary)
{
	Focus();
	Run([&] {
		fView->SetMaxBytes(4);
		fView->SetText("ab\xc3\xa9\xc3\xa9");
	});
	EXPECT_EQ("ab\xc3\xa9", Text());
	Run([&] { fView->Select(4, 4); });
	fWindow.Type("z");
	EXPECT_EQ("ab\xc3\xa9", Text());
}

TEST_F(TextViewTest, WrapsAtBlanksWithinTheTextRectOrKeepsParagraphsOnOneLine)
{
	const char* text = "one two three four five six seven\nend";
	Run([&] {
		fView->SetTextRect(BRect(2, 2, 61, 97));
		fView->SetText(text);
	});
	fWindow->Lock();
	int32 lines = fView->CountLines();
	EXPECT_GT(lines, 3);
	for (int32 line = 0; line < lines; line++) {
		int32 offset = fView->OffsetAt(line);
		// Every line starts a word and, but for hanging blanks, fits.
		EXPECT_TRUE(offset == 0 || text[offset - 1] == ' ' || text[offset - 1] == '\n')
			<< "line " << line;
		EXPECT_LE(fView->LineWidth(line), 60 + fView->StringWidth(" ")) << "line " << line;
		EXPECT_FLOAT_EQ(2 + line * fView->LineHeight(0), fView->PointAt(offset).y);
	}
	EXPECT_EQ(lines - 1, fView->LineAt(fView->TextLength()));
	fWindow->Unlock();

	Run([&] { fView->SetWordWrap(false); });
	fWindow->Lock();
	EXPECT_FALSE(fView->DoesWordWrap());
	EXPECT_EQ(2, fView->CountLines());
	EXPECT_EQ(34, fView->OffsetAt(1));
	EXPECT_GT(fView->LineWidth(0), 60);
	fWindow->Unlock();

	// A text ending in a line break has an empty last line, for the caret.
	Run([&] { fView->SetText("x\n"); });
	fWindow->Lock();
	EXPECT_EQ(2, fView->CountLines());
	EXPECT_EQ(1, fView->LineAt(2));
	fWindow->Unlock();
}

TEST_F(TextViewTest, StyleRunsApplyToAStylableViewOnly)
{
	text_run_array* runs = (text_run_array*)malloc(sizeof(text_run_array) + sizeof(text_run));
	new (&runs->runs[0]) text_run;
	new (&runs->runs[1]) text_run;
	runs->count = 2;
	runs->runs[0].offset = 0;
	runs->runs[0].font = *be_bold_font;
	runs->runs[0].color = kRed;
	runs->runs[1].offset = 3;
	runs->runs[1].font = *be_plain_font;
	runs->runs[1].color = kBlue;

	// Not stylable: the runs are ignored, the text keeps the view's one style.
	Run([&] {
		fView->SetText("plain");
		fView->Insert(5, "redblue", 7, runs);
	});
	rgb_color color;
	fWindow->Lock();
	fView->GetFontAndColor(6, NULL, &color);
	EXPECT_EQ(kBlack, color);
	fWindow->Unlock();

	Run([&] {
		fView->SetStylable(true);
		fView->SetText("plain");
		fView->Insert(5, "redblue", 7, runs);
		fView->Insert(12, "!", 1);
	});
	fWindow->Lock();
	BFont font;
	fView->GetFontAndColor(2, &font, &color);
	EXPECT_EQ(kBlack, color);
	fView->GetFontAndColor(6, &font, &color);
	EXPECT_EQ(kRed, color);
	EXPECT_EQ(*be_bold_font, font);
	fView->GetFontAndColor(9, &font, &color);
	EXPECT_EQ(kBlue, color);
	// Typed or inserted text continues the style before it.
	fView->GetFontAndColor(12, &font, &color);
	EXPECT_EQ(kBlue, color);

	int32 size = 0;
	text_run_array* copy = fView->RunArray(4, 13, &size);
	ASSERT_NE(nullptr, copy);
	ASSERT_EQ(3, copy->count);
	EXPECT_EQ(0, copy->runs[0].offset);
	EXPECT_EQ(kBlack, copy->runs[0].color);
	EXPECT_EQ(1, copy->runs[1].offset);
	EXPECT_EQ(kRed, copy->runs[1].color);
	EXPECT_EQ(4, copy->runs[2].offset);
	EXPECT_EQ(kBlue, copy->runs[2].color);
	EXPECT_GT(size, 0);
	free(copy);
	fWindow->Unlock();
	free(runs);

	// Deleting across the runs joins what is left.
	Run([&] { fView->Delete(4, 9); });
	fWindow->Lock();
	fView->GetFontAndColor(4, &font, &color);
	EXPECT_EQ(kBlue, color);
	fView->GetFontAndColor(3, &font, &color);
	EXPECT_EQ(kBlack, color);
	fWindow->Unlock();
}

TEST_F(TextViewTest, DrawsTextTheCaretAndTheSelection)
{
	// The first line's rows are 12 to 23 of the window (text rect top 2, line height 12).
	Focus();
	EXPECT_EQ(kBlack, fWindow.Pixel(12, 15));
	EXPECT_EQ(kBlack, fWindow.Pixel(12, 23));
	EXPECT_EQ(kWhite, fWindow.Pixel(12, 24));

	fWindow.Type("W");
	float width = be_plain_font->StringWidth("W");
	int32 caret = 12 + (int32)width;
	EXPECT_EQ(kBlack, fWindow.Pixel(caret, 18));
	EXPECT_EQ(kWhite, fWindow.Pixel(12, 12));
	int32 dark = 0;
	for (int32 x = 12; x < caret; x++) {
		for (int32 y = 12; y < 24; y++)
			dark += fWindow.Pixel(x, y).red < 100 ? 1 : 0;
	}
	EXPECT_GT(dark, 5);

	// The blink: a pulse hides the caret, the next shows it.
	fWindow.Port().Pulse();
	EXPECT_EQ(kWhite, fWindow.Pixel(caret, 18));
	fWindow.Port().Pulse();
	EXPECT_EQ(kBlack, fWindow.Pixel(caret, 18));

	// A selection is shaded behind the text, without a caret.
	Run([&] { fView->SelectAll(); });
	EXPECT_EQ(kSelection, fWindow.Pixel(12, 12));
	EXPECT_EQ(kWhite, fWindow.Pixel(caret + 2, 12));
	EXPECT_NE(kBlack, fWindow.Pixel(caret, 12));

	// Without the focus neither shows.
	Run([&] { fView->MakeFocus(false); });
	EXPECT_EQ(kWhite, fWindow.Pixel(12, 12));
}

} // namespace

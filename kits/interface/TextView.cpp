/*
 * BTextView keeps its text as UTF-8 bytes and never splits a character with a selection or
 * the caret. Laying out lines and measuring characters belong to LineLayout, style runs to
 * StyleRuns; this file handles the hooks, editing, selection, scrolling and drawing. Every
 * change of text or style lays the whole text out again: the texts it shows are short.
 */
#include <TextView.h>

#include <ctype.h>
#include <math.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <new>

#include <Message.h>
#include <ScrollBar.h>
#include <ScrollView.h>
#include <Window.h>

#include "InterfacePrivate.h"
#include "LineLayout.h"
#include "StyleRuns.h"

using BPrivate::LineLayout;
using BPrivate::StyleRun;
using BPrivate::StyleRuns;
using BPrivate::TextLine;
using BPrivate::utf8_character_length;

namespace {

const float kHorizontalScrollStep = 10.0f;

uint32
CodePoint(const char* bytes, int32 length)
{
	uint8 lead = (uint8)bytes[0];
	if (length == 1)
		return lead;
	uint32 value = lead & (0xff >> (length + 1));
	for (int32 i = 1; i < length; i++)
		value = (value << 6) | ((uint8)bytes[i] & 0x3f);
	return value;
}

bool
IsWordCharacter(char character)
{
	uint8 byte = (uint8)character;
	return byte >= 0x80 || isalnum(byte) || character == '_';
}

} // namespace

BTextView::BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode,
	uint32 flags) :
	BView(frame, name, resizingMode, flags)
{
	_Init(textRect, NULL, NULL);
}

BTextView::BTextView(BRect frame, const char* name, BRect textRect, const BFont* initialFont,
	const rgb_color* initialColor, uint32 resizingMode, uint32 flags) :
	BView(frame, name, resizingMode, flags)
{
	_Init(textRect, initialFont, initialColor);
}

BTextView::~BTextView()
{
	delete fLines;
	delete fRuns;
}

void
BTextView::AttachedToWindow()
{
	BView::AttachedToWindow();
	_UpdateScrollBars();
}

void
BTextView::DetachedFromWindow()
{
	fTrackingMouse = false;
	BView::DetachedFromWindow();
}

void
BTextView::Draw(BRect updateRect)
{
	int32 start = std::min(fAnchor, fCaret);
	int32 end = std::max(fAnchor, fCaret);
	bool showSelection = start != end && _IsActive();
	PushState();
	for (int32 line = 0; line < fLines->CountLines(); line++) {
		const TextLine& info = fLines->Line(line);
		if (info.top + info.height < updateRect.top)
			continue;
		if (info.top > updateRect.bottom)
			break;
		_DrawLine(line, showSelection ? start : 0, showSelection ? end : 0);
	}
	PopState();
	if (start == end && fEditable && fCaretVisible && _IsActive()) {
		BRect caret = _CaretFrame();
		SetHighColor(0, 0, 0);
		StrokeLine(caret.LeftTop(), caret.LeftBottom());
	}
}

void
BTextView::MouseDown(BPoint where)
{
	if (!fSelectable && !fEditable)
		return;
	if (!IsFocus())
		MakeFocus(true);
	int32 clicks = 1;
	int32 heldModifiers = (int32)modifiers();
	BMessage* message = Window() != NULL ? Window()->CurrentMessage() : NULL;
	if (message != NULL) {
		message->FindInt32("clicks", &clicks);
		message->FindInt32("modifiers", &heldModifiers);
	}
	int32 offset = OffsetAt(where);
	if (!fSelectable) {
		_SetCaret(offset, false);
		return;
	}
	if (clicks == 2) {
		int32 from;
		int32 to;
		FindWord(offset, &from, &to);
		Select(from, to);
	} else if (clicks >= 3) {
		int32 line = LineAt(offset);
		Select(OffsetAt(line), fLines->LineEnd(line));
	} else {
		_SetCaret(offset, (heldModifiers & B_SHIFT_KEY) != 0);
	}
	fTrackingMouse = clicks == 1;
	if (fTrackingMouse)
		SetMouseEventMask(B_POINTER_EVENTS);
}

void
BTextView::MouseUp(BPoint /*where*/)
{
	fTrackingMouse = false;
}

void
BTextView::MouseMoved(BPoint where, uint32 /*transit*/, const BMessage* /*dragMessage*/)
{
	if (!fTrackingMouse)
		return;
	uint32 buttons = 0;
	GetMouse(NULL, &buttons);
	if (buttons == 0) {
		fTrackingMouse = false;
		return;
	}
	_SetCaret(OffsetAt(where), true);
	ScrollToOffset(fCaret);
}

void
BTextView::WindowActivated(bool active)
{
	if (IsFocus())
		Invalidate();
	BView::WindowActivated(active);
}

void
BTextView::KeyDown(const char* bytes, int32 numBytes)
{
	if (bytes == NULL || numBytes <= 0)
		return;
	bool shift = (modifiers() & B_SHIFT_KEY) != 0;
	if (numBytes == 1) {
		switch (bytes[0]) {
			case B_LEFT_ARROW:
			case B_RIGHT_ARROW:
			{
				if (!fSelectable && !fEditable)
					break;
				bool left = bytes[0] == B_LEFT_ARROW;
				int32 start = std::min(fAnchor, fCaret);
				int32 end = std::max(fAnchor, fCaret);
				int32 caret;
				if (start != end && !shift)
					caret = left ? start : end;
				else
					caret = left ? _PreviousCharacter(fCaret) : _NextCharacter(fCaret);
				_SetCaret(caret, shift && fSelectable);
				ScrollToOffset(fCaret);
				fGoalX = -1;
				return;
			}
			case B_UP_ARROW:
			case B_DOWN_ARROW:
				if (!fSelectable && !fEditable)
					break;
				_MoveVertically(bytes[0] == B_UP_ARROW ? -1 : 1, shift && fSelectable);
				return;
			case B_PAGE_UP:
			case B_PAGE_DOWN:
			{
				if (!fSelectable && !fEditable)
					break;
				float lineHeight = LineHeight(CurrentLine());
				int32 lines = lineHeight > 0 ? (int32)(Bounds().Height() / lineHeight) : 1;
				_MoveVertically(bytes[0] == B_PAGE_UP ? -std::max(lines, 1) : std::max(lines, 1),
					shift && fSelectable);
				return;
			}
			case B_HOME:
			case B_END:
			{
				if (!fSelectable && !fEditable)
					break;
				int32 line = CurrentLine();
				_SetCaret(bytes[0] == B_HOME ? OffsetAt(line) : fLines->LineEnd(line),
					shift && fSelectable);
				ScrollToOffset(fCaret);
				fGoalX = -1;
				return;
			}
			case B_BACKSPACE:
				if (fEditable)
					_HandleBackspace();
				return;
			case B_DELETE:
				if (fEditable)
					_HandleDelete();
				return;
			case B_TAB:
				if (!fEditable) {
					BView::KeyDown(bytes, numBytes);
					return;
				}
				break;
			case B_ENTER:
				if (fEditable && fAutoindent) {
					int32 line = CurrentLine();
					int32 from = OffsetAt(line);
					int32 to = from;
					while (to < (int32)fText.size() && (fText[to] == ' ' || fText[to] == '\t'))
						to++;
					std::string indented = "\n" + fText.substr(from, to - from);
					_HandleInsert(indented.c_str(), (int32)indented.size());
					return;
				}
				break;
			case B_FUNCTION_KEY:
			case B_INSERT:
				return;
		}
	}
	if (!fEditable) {
		BView::KeyDown(bytes, numBytes);
		return;
	}
	_HandleInsert(bytes, numBytes);
}

void
BTextView::Pulse()
{
	if (!_IsActive() || !fEditable || fAnchor != fCaret)
		return;
	fCaretVisible = !fCaretVisible;
	Invalidate(_CaretFrame());
}

void
BTextView::FrameResized(float width, float height)
{
	_UpdateScrollBars();
	BView::FrameResized(width, height);
}

void
BTextView::MakeFocus(bool focus)
{
	if (focus == IsFocus())
		return;
	BView::MakeFocus(focus);
	_ShowCaret();
	Invalidate();
	BScrollView* scrollView = dynamic_cast<BScrollView*>(Parent());
	if (scrollView != NULL && scrollView->Target() == this)
		scrollView->SetBorderHighlighted(focus);
}

void
BTextView::MessageReceived(BMessage* message)
{
	BView::MessageReceived(message);
}

void
BTextView::SetText(const char* text, const text_run_array* runs)
{
	SetText(text, text != NULL ? (int32)strlen(text) : 0, runs);
}

void
BTextView::SetText(const char* text, int32 length, const text_run_array* runs)
{
	if (!fText.empty())
		DeleteText(0, (int32)fText.size());
	if (text != NULL && length > 0)
		InsertText(text, length, 0, runs);
	fAnchor = fCaret = 0;
	_TextChanged();
}

void
BTextView::Insert(const char* text, const text_run_array* runs)
{
	if (text != NULL)
		Insert(std::min(fAnchor, fCaret), text, (int32)strlen(text), runs);
}

void
BTextView::Insert(const char* text, int32 length, const text_run_array* runs)
{
	if (text != NULL)
		Insert(std::min(fAnchor, fCaret), text, length, runs);
}

void
BTextView::Insert(int32 offset, const char* text, int32 length, const text_run_array* runs)
{
	if (text == NULL || length <= 0)
		return;
	length = (int32)strnlen(text, length);
	offset = std::max((int32)0, std::min(offset, TextLength()));
	InsertText(text, length, offset, runs);
	_TextChanged();
}

void
BTextView::Delete()
{
	Delete(std::min(fAnchor, fCaret), std::max(fAnchor, fCaret));
}

void
BTextView::Delete(int32 startOffset, int32 endOffset)
{
	startOffset = std::max((int32)0, std::min(startOffset, TextLength()));
	endOffset = std::max(startOffset, std::min(endOffset, TextLength()));
	if (startOffset == endOffset)
		return;
	DeleteText(startOffset, endOffset);
	_TextChanged();
}

const char*
BTextView::Text() const
{
	return fText.c_str();
}

int32
BTextView::TextLength() const
{
	return (int32)fText.size();
}

void
BTextView::GetText(int32 offset, int32 length, char* buffer) const
{
	if (buffer == NULL)
		return;
	offset = std::max((int32)0, std::min(offset, TextLength()));
	length = std::max((int32)0, std::min(length, TextLength() - offset));
	memcpy(buffer, fText.data() + offset, length);
	buffer[length] = '\0';
}

uchar
BTextView::ByteAt(int32 offset) const
{
	if (offset < 0 || offset >= TextLength())
		return '\0';
	return (uchar)fText[offset];
}

int32
BTextView::CountLines() const
{
	return fLines->CountLines();
}

int32
BTextView::CurrentLine() const
{
	return LineAt(fCaret);
}

void
BTextView::GoToLine(int32 lineNumber)
{
	lineNumber = std::max((int32)0, std::min(lineNumber, CountLines() - 1));
	_SetCaret(OffsetAt(lineNumber), false);
	ScrollToOffset(fCaret);
}

void
BTextView::Clear()
{
	Delete();
}

void
BTextView::Select(int32 startOffset, int32 endOffset)
{
	int32 length = TextLength();
	startOffset = std::max((int32)0, std::min(startOffset, length));
	endOffset = std::max(startOffset, std::min(endOffset, length));
	// Never inside a character.
	while (startOffset > 0 && ((uint8)fText[startOffset] & 0xc0) == 0x80)
		startOffset--;
	while (endOffset < length && ((uint8)fText[endOffset] & 0xc0) == 0x80)
		endOffset++;
	if (startOffset == std::min(fAnchor, fCaret) && endOffset == std::max(fAnchor, fCaret))
		return;
	fAnchor = startOffset;
	fCaret = endOffset;
	fGoalX = -1;
	_ShowCaret();
	Invalidate();
}

void
BTextView::SelectAll()
{
	Select(0, TextLength());
}

void
BTextView::GetSelection(int32* startOffset, int32* endOffset) const
{
	if (startOffset != NULL)
		*startOffset = std::min(fAnchor, fCaret);
	if (endOffset != NULL)
		*endOffset = std::max(fAnchor, fCaret);
}

void
BTextView::SetFontAndColor(const BFont* font, uint32 mode, const rgb_color* color)
{
	SetFontAndColor(std::min(fAnchor, fCaret), std::max(fAnchor, fCaret), font, mode, color);
}

void
BTextView::SetFontAndColor(int32 startOffset, int32 endOffset, const BFont* font, uint32 mode,
	const rgb_color* color)
{
	_ApplyStyle(startOffset, endOffset, font, mode, color);
	_TextChanged();
}

void
BTextView::GetFontAndColor(int32 offset, BFont* font, rgb_color* color) const
{
	const StyleRun& run = fRuns->StyleAt(std::max((int32)0, std::min(offset, TextLength())));
	if (font != NULL)
		*font = run.font;
	if (color != NULL)
		*color = run.color;
}

void
BTextView::GetFontAndColor(BFont* font, uint32* mode, rgb_color* color, bool* sameColor) const
{
	int32 start = std::min(fAnchor, fCaret);
	int32 end = std::max(fAnchor, fCaret);
	const StyleRun& first = fRuns->StyleAt(start);
	if (font != NULL)
		*font = first.font;
	if (color != NULL)
		*color = first.color;
	uint32 sameMode = B_FONT_ALL;
	bool colorsMatch = true;
	for (int32 i = fRuns->IndexAt(start) + 1;
		 i < fRuns->CountRuns() && fRuns->RunAt(i).offset < end; i++) {
		const BFont& other = fRuns->RunAt(i).font;
		if (other.FamilyAndStyle() != first.font.FamilyAndStyle())
			sameMode &= ~B_FONT_FAMILY_AND_STYLE;
		if (other.Size() != first.font.Size())
			sameMode &= ~B_FONT_SIZE;
		if (other.Shear() != first.font.Shear())
			sameMode &= ~B_FONT_SHEAR;
		if (other.Face() != first.font.Face())
			sameMode &= ~B_FONT_FACE;
		if (!BPrivate::same_color(fRuns->RunAt(i).color, first.color))
			colorsMatch = false;
	}
	if (mode != NULL)
		*mode = sameMode;
	if (sameColor != NULL)
		*sameColor = colorsMatch;
}

void
BTextView::SetRunArray(int32 startOffset, int32 endOffset, const text_run_array* runs)
{
	if (runs == NULL || runs->count <= 0)
		return;
	int32 length = TextLength();
	startOffset = std::max((int32)0, std::min(startOffset, length));
	endOffset = std::max(startOffset, std::min(endOffset, length));
	if (!fStylable) {
		_ApplyStyle(0, length, &runs->runs[0].font, B_FONT_ALL, &runs->runs[0].color);
		_TextChanged();
		return;
	}
	for (int32 i = 0; i < runs->count; i++) {
		int32 from = startOffset + std::max((int32)0, runs->runs[i].offset);
		int32 to = i + 1 < runs->count ? startOffset + runs->runs[i + 1].offset : endOffset;
		from = std::min(from, endOffset);
		to = std::max(from, std::min(to, endOffset));
		if (from < to || (length == 0 && i == 0))
			_ApplyStyle(from, to, &runs->runs[i].font, B_FONT_ALL, &runs->runs[i].color);
	}
	_TextChanged();
}

text_run_array*
BTextView::RunArray(int32 startOffset, int32 endOffset, int32* size) const
{
	int32 length = TextLength();
	startOffset = std::max((int32)0, std::min(startOffset, length));
	endOffset = std::max(startOffset, std::min(endOffset, length));
	int32 first = fRuns->IndexAt(startOffset);
	int32 count = 1;
	while (first + count < fRuns->CountRuns() && fRuns->RunAt(first + count).offset < endOffset)
		count++;
	size_t bytes = sizeof(text_run_array) + (count - 1) * sizeof(text_run);
	text_run_array* array = (text_run_array*)malloc(bytes);
	if (array == NULL)
		return NULL;
	array->count = count;
	for (int32 i = 0; i < count; i++) {
		const StyleRun& run = fRuns->RunAt(first + i);
		text_run* target = new (&array->runs[i]) text_run;
		target->offset = std::max((int32)0, run.offset - startOffset);
		target->font = run.font;
		target->color = run.color;
	}
	if (size != NULL)
		*size = (int32)bytes;
	return array;
}

int32
BTextView::LineAt(int32 offset) const
{
	return fLines->LineAt(offset);
}

int32
BTextView::LineAt(BPoint point) const
{
	return fLines->LineAtY(point.y);
}

BPoint
BTextView::PointAt(int32 offset, float* height) const
{
	offset = std::max((int32)0, std::min(offset, TextLength()));
	int32 line = LineAt(offset);
	if (height != NULL)
		*height = fLines->Line(line).height;
	return BPoint(_XAt(line, offset), fLines->Line(line).top);
}

int32
BTextView::OffsetAt(BPoint point) const
{
	if (point.y < fTextRect.top && fLines->CountLines() > 0 && point.y < fLines->Line(0).top)
		return _OffsetAtX(0, point.x);
	return _OffsetAtX(LineAt(point), point.x);
}

int32
BTextView::OffsetAt(int32 line) const
{
	if (line < 0)
		return 0;
	if (line >= CountLines())
		return TextLength();
	return fLines->Line(line).offset;
}

void
BTextView::FindWord(int32 offset, int32* fromOffset, int32* toOffset)
{
	int32 length = TextLength();
	offset = std::max((int32)0, std::min(offset, length));
	int32 from = offset;
	int32 to = offset;
	if (offset < length && IsWordCharacter(fText[offset])) {
		while (from > 0 && IsWordCharacter(fText[from - 1]))
			from--;
		while (to < length && IsWordCharacter(fText[to]))
			to++;
	} else if (offset < length) {
		to = _NextCharacter(offset);
	}
	if (fromOffset != NULL)
		*fromOffset = from;
	if (toOffset != NULL)
		*toOffset = to;
}

bool
BTextView::CanEndLine(int32 offset)
{
	if (offset < 0 || offset >= TextLength())
		return true;
	char character = fText[offset];
	return character == ' ' || character == '\t' || character == '\n';
}

float
BTextView::LineWidth(int32 lineNumber) const
{
	if (lineNumber < 0 || lineNumber >= CountLines())
		return 0;
	return fLines->Line(lineNumber).width;
}

float
BTextView::LineHeight(int32 lineNumber) const
{
	if (lineNumber < 0 || lineNumber >= CountLines())
		return 0;
	return fLines->Line(lineNumber).height;
}

float
BTextView::TextHeight(int32 startLine, int32 endLine) const
{
	startLine = std::max((int32)0, startLine);
	endLine = std::min(endLine, CountLines() - 1);
	float height = 0;
	for (int32 line = startLine; line <= endLine; line++)
		height += fLines->Line(line).height;
	return height;
}

void
BTextView::GetTextRegion(int32 startOffset, int32 endOffset, BRegion* region) const
{
	if (region == NULL)
		return;
	region->MakeEmpty();
	int32 length = TextLength();
	startOffset = std::max((int32)0, std::min(startOffset, length));
	endOffset = std::max(startOffset, std::min(endOffset, length));
	if (startOffset == endOffset)
		return;
	int32 firstLine = LineAt(startOffset);
	int32 lastLine = LineAt(endOffset);
	for (int32 line = firstLine; line <= lastLine; line++) {
		const TextLine& info = fLines->Line(line);
		int32 from = std::max(startOffset, info.offset);
		int32 to = std::min(endOffset, fLines->LineEnd(line));
		float left = _XAt(line, from);
		float right = _XAt(line, to);
		// A selection that goes on past the line's end covers the rest of the row.
		if (endOffset > fLines->LineEnd(line) && line < lastLine)
			right = std::max(right, fTextRect.right);
		if (right <= left && line == lastLine)
			continue;
		region->Include(
			BRect(left, info.top, std::max(left, right - 1), info.top + info.height - 1));
	}
}

void
BTextView::ScrollToOffset(int32 offset)
{
	BRect bounds = Bounds();
	float height;
	BPoint point = PointAt(offset, &height);
	float x = bounds.left;
	float y = bounds.top;
	float leftMargin = std::max(0.0f, fTextRect.left);
	if (point.x < bounds.left + leftMargin && bounds.left > 0)
		x = std::max(0.0f, point.x - leftMargin);
	else if (point.x > bounds.right - leftMargin)
		x = point.x - bounds.Width() + leftMargin;
	if (point.y < bounds.top)
		y = std::max(0.0f, point.y - std::max(0.0f, fTextRect.top));
	else if (point.y + height - 1 > bounds.bottom)
		y = point.y + height - 1 - bounds.Height();
	if (x != bounds.left || y != bounds.top)
		ScrollTo(BPoint(roundf(x), roundf(y)));
}

void
BTextView::ScrollToSelection()
{
	ScrollToOffset(fCaret);
}

void
BTextView::Highlight(int32 startOffset, int32 endOffset)
{
	BRegion region;
	GetTextRegion(startOffset, endOffset, &region);
	for (int32 i = 0; i < region.CountRects(); i++)
		Invalidate(region.RectAt(i));
}

void
BTextView::SetTextRect(BRect rect)
{
	if (rect == fTextRect)
		return;
	fTextRect = rect;
	_TextChanged();
}

BRect
BTextView::TextRect() const
{
	return fTextRect;
}

void
BTextView::SetStylable(bool stylable)
{
	fStylable = stylable;
}

bool
BTextView::IsStylable() const
{
	return fStylable;
}

void
BTextView::SetTabWidth(float width)
{
	if (width <= 0 || width == fLines->TabWidth())
		return;
	fLines->SetTabWidth(width);
	_TextChanged();
}

float
BTextView::TabWidth() const
{
	return fLines->TabWidth();
}

void
BTextView::MakeSelectable(bool selectable)
{
	if (selectable == fSelectable)
		return;
	fSelectable = selectable;
	Invalidate();
}

bool
BTextView::IsSelectable() const
{
	return fSelectable;
}

void
BTextView::MakeEditable(bool editable)
{
	if (editable == fEditable)
		return;
	fEditable = editable;
	Invalidate();
}

bool
BTextView::IsEditable() const
{
	return fEditable;
}

void
BTextView::SetWordWrap(bool wrap)
{
	if (wrap == fWordWrap)
		return;
	fWordWrap = wrap;
	_TextChanged();
}

bool
BTextView::DoesWordWrap() const
{
	return fWordWrap;
}

void
BTextView::SetMaxBytes(int32 max)
{
	fMaxBytes = std::max((int32)0, max);
	if (TextLength() > fMaxBytes) {
		int32 cut = fMaxBytes;
		while (cut > 0 && ((uint8)fText[cut] & 0xc0) == 0x80)
			cut--;
		Delete(cut, TextLength());
	}
}

int32
BTextView::MaxBytes() const
{
	return fMaxBytes;
}

void
BTextView::DisallowChar(uint32 character)
{
	fDisallowed.insert(character);
}

void
BTextView::AllowChar(uint32 character)
{
	fDisallowed.erase(character);
}

void
BTextView::SetAlignment(alignment flag)
{
	if (flag == fAlignment)
		return;
	fAlignment = flag;
	Invalidate();
}

alignment
BTextView::Alignment() const
{
	return fAlignment;
}

void
BTextView::SetAutoindent(bool state)
{
	fAutoindent = state;
}

bool
BTextView::DoesAutoindent() const
{
	return fAutoindent;
}

void
BTextView::HideTyping(bool enabled)
{
	if (enabled == fLines->IsHidden())
		return;
	fLines->SetHidden(enabled);
	_TextChanged();
}

bool
BTextView::IsTypingHidden() const
{
	return fLines->IsHidden();
}

void
BTextView::ResizeToPreferred()
{
	BView::ResizeToPreferred();
}

void
BTextView::GetPreferredSize(float* width, float* height)
{
	BView::GetPreferredSize(width, height);
}

void
BTextView::AllAttached()
{
	BView::AllAttached();
}

void
BTextView::AllDetached()
{
	BView::AllDetached();
}

void
BTextView::InsertText(const char* text, int32 length, int32 offset, const text_run_array* runs)
{
	if (text == NULL || length <= 0)
		return;
	offset = std::max((int32)0, std::min(offset, TextLength()));
	_Replace(offset, offset, text, length, runs);
}

void
BTextView::DeleteText(int32 fromOffset, int32 toOffset)
{
	int32 length = TextLength();
	fromOffset = std::max((int32)0, std::min(fromOffset, length));
	toOffset = std::max(fromOffset, std::min(toOffset, length));
	if (fromOffset == toOffset)
		return;
	_Replace(fromOffset, toOffset, NULL, 0, NULL);
}

void
BTextView::_Init(BRect textRect, const BFont* font, const rgb_color* color)
{
	fTextRect = textRect;
	fAnchor = 0;
	fCaret = 0;
	fEditable = true;
	fSelectable = true;
	fWordWrap = true;
	fStylable = false;
	fAutoindent = false;
	fAlignment = B_ALIGN_LEFT;
	fMaxBytes = INT32_MAX;
	fCaretVisible = true;
	fTrackingMouse = false;
	fGoalX = -1;

	BFont initialFont;
	if (font != NULL)
		initialFont = *font;
	else
		GetFont(&initialFont);
	fRuns = new StyleRuns(initialFont, color != NULL ? *color : rgb_color{0, 0, 0, 255});
	fLines = new LineLayout(fText, *fRuns);
	_Layout();
}

std::string
BTextView::_Filter(const char* text, int32 length) const
{
	std::string kept;
	kept.reserve(length);
	std::string source(text, length);
	for (int32 offset = 0; offset < length;) {
		int32 characterLength = utf8_character_length(source, offset);
		if (fDisallowed.empty()
			|| fDisallowed.count(CodePoint(text + offset, characterLength)) == 0) {
			kept.append(text + offset, characterLength);
		}
		offset += characterLength;
	}
	return kept;
}

void
BTextView::_Replace(int32 from, int32 to, const char* text, int32 length,
	const text_run_array* runs)
{
	// Deletion first: runs inside the range go, runs after it move back.
	if (to > from) {
		int32 removed = to - from;
		fText.erase(from, removed);
		fRuns->Remove(from, to);
		for (int32* offset : {&fAnchor, &fCaret}) {
			if (*offset >= to)
				*offset -= removed;
			else if (*offset > from)
				*offset = from;
		}
	}
	if (text == NULL || length <= 0)
		return;

	// Then insertion, within the byte limit and without what is disallowed.
	std::string kept = _Filter(text, length);
	int32 room = fMaxBytes - TextLength();
	if ((int32)kept.size() > room) {
		int32 cut = std::max((int32)0, room);
		while (cut > 0 && ((uint8)kept[cut] & 0xc0) == 0x80)
			cut--;
		kept.resize(cut);
	}
	int32 inserted = (int32)kept.size();
	if (inserted == 0)
		return;
	fText.insert(from, kept);

	if (fStylable && runs != NULL && runs->count > 0) {
		// The inserted text takes the given runs; the text after it keeps its own style.
		std::vector<StyleRun> given;
		for (int32 i = 0; i < runs->count; i++) {
			// Offsets into the given text shrink by what the filter dropped before them.
			int32 original = std::max((int32)0, std::min(runs->runs[i].offset, length));
			int32 offset = i == 0 ? 0 : (int32)_Filter(text, original).size();
			if (offset >= inserted)
				break;
			given.push_back(StyleRun{offset, runs->runs[i].font, runs->runs[i].color});
		}
		fRuns->Insert(from, inserted, TextLength() - inserted, given);
	} else
		fRuns->Insert(from, inserted);

	for (int32* offset : {&fAnchor, &fCaret}) {
		if (*offset >= from)
			*offset += inserted;
	}
}

void
BTextView::_TextChanged()
{
	_Layout();
	_UpdateScrollBars();
	_ShowCaret();
	Invalidate();
}

void
BTextView::_Layout()
{
	fLines->Update(fTextRect.top, fWordWrap, fTextRect.Width(),
		[this](int32 offset) { return CanEndLine(offset); });
}

void
BTextView::_ApplyStyle(int32 from, int32 to, const BFont* font, uint32 mode, const rgb_color* color)
{
	if (!fStylable) {
		from = 0;
		to = TextLength();
	}
	fRuns->Apply(from, to, TextLength(), font, mode, color);
}

float
BTextView::_LineLeft(int32 line) const
{
	float free = fTextRect.Width() - fLines->Line(line).width;
	switch (fAlignment) {
		case B_ALIGN_CENTER:
			return fTextRect.left + floorf(std::max(0.0f, free) / 2);
		case B_ALIGN_RIGHT:
			return fTextRect.left + std::max(0.0f, free);
		default:
			return fTextRect.left;
	}
}

float
BTextView::_XAt(int32 line, int32 offset) const
{
	return fLines->XAt(line, offset, _LineLeft(line));
}

int32
BTextView::_OffsetAtX(int32 line, float x) const
{
	return fLines->OffsetAtX(line, x, _LineLeft(line));
}

int32
BTextView::_PreviousCharacter(int32 offset) const
{
	if (offset <= 0)
		return 0;
	offset--;
	while (offset > 0 && ((uint8)fText[offset] & 0xc0) == 0x80)
		offset--;
	return offset;
}

int32
BTextView::_NextCharacter(int32 offset) const
{
	if (offset >= TextLength())
		return TextLength();
	return offset + utf8_character_length(fText, offset);
}

void
BTextView::_SetCaret(int32 caret, bool extend)
{
	caret = std::max((int32)0, std::min(caret, TextLength()));
	int32 anchor = extend ? fAnchor : caret;
	if (anchor == fAnchor && caret == fCaret) {
		_ShowCaret();
		return;
	}
	if (fAnchor == fCaret && anchor == caret) {
		// Only the caret moves.
		Invalidate(_CaretFrame());
		fAnchor = anchor;
		fCaret = caret;
		_ShowCaret();
		Invalidate(_CaretFrame());
		return;
	}
	fAnchor = anchor;
	fCaret = caret;
	_ShowCaret();
	Invalidate();
}

void
BTextView::_MoveVertically(int32 lines, bool extend)
{
	int32 line = CurrentLine();
	if (fGoalX < 0)
		fGoalX = _XAt(line, fCaret);
	int32 target = line + lines;
	int32 caret;
	if (target < 0)
		caret = 0;
	else if (target >= CountLines())
		caret = TextLength();
	else
		caret = _OffsetAtX(target, fGoalX);
	float goal = fGoalX;
	_SetCaret(caret, extend);
	ScrollToOffset(fCaret);
	fGoalX = goal;
}

void
BTextView::_HandleBackspace()
{
	int32 start = std::min(fAnchor, fCaret);
	int32 end = std::max(fAnchor, fCaret);
	if (start == end)
		start = _PreviousCharacter(end);
	if (start == end)
		return;
	DeleteText(start, end);
	fAnchor = fCaret = start;
	fGoalX = -1;
	_TextChanged();
	ScrollToOffset(fCaret);
}

void
BTextView::_HandleDelete()
{
	int32 start = std::min(fAnchor, fCaret);
	int32 end = std::max(fAnchor, fCaret);
	if (start == end)
		end = _NextCharacter(start);
	if (start == end)
		return;
	DeleteText(start, end);
	fAnchor = fCaret = start;
	fGoalX = -1;
	_TextChanged();
	ScrollToOffset(fCaret);
}

void
BTextView::_HandleInsert(const char* bytes, int32 numBytes)
{
	std::string kept = _Filter(bytes, numBytes);
	if (kept.empty())
		return;
	int32 start = std::min(fAnchor, fCaret);
	int32 end = std::max(fAnchor, fCaret);
	if (start != end)
		DeleteText(start, end);
	int32 before = TextLength();
	InsertText(kept.c_str(), (int32)kept.size(), start, NULL);
	fAnchor = fCaret = start + (TextLength() - before);
	fGoalX = -1;
	_TextChanged();
	ScrollToOffset(fCaret);
}

void
BTextView::_UpdateScrollBars()
{
	BScrollBar* horizontal = ScrollBar(B_HORIZONTAL);
	BScrollBar* vertical = ScrollBar(B_VERTICAL);
	if (horizontal == NULL && vertical == NULL)
		return;
	BRect bounds = Bounds();
	if (horizontal != NULL) {
		float dataWidth = std::max(fTextRect.right, fTextRect.left + fLines->WidestLine())
			+ std::max(0.0f, fTextRect.left);
		float viewWidth = bounds.Width();
		horizontal->SetRange(0, std::max(0.0f, ceilf(dataWidth - viewWidth)));
		horizontal->SetProportion(dataWidth > 0 ? std::min(1.0f, viewWidth / dataWidth) : 1);
		horizontal->SetSteps(kHorizontalScrollStep, std::max(1.0f, viewWidth - 10));
	}
	if (vertical != NULL) {
		float dataHeight = fLines->Bottom() + std::max(0.0f, fTextRect.top);
		float viewHeight = bounds.Height();
		vertical->SetRange(0, std::max(0.0f, ceilf(dataHeight - viewHeight)));
		vertical->SetProportion(dataHeight > 0 ? std::min(1.0f, viewHeight / dataHeight) : 1);
		float lineHeight = fLines->CountLines() == 0 ? 12 : fLines->Line(0).height;
		vertical->SetSteps(lineHeight, std::max(lineHeight, viewHeight - lineHeight));
	}
}

bool
BTextView::_IsActive() const
{
	return IsFocus() && Window() != NULL && Window()->IsActive();
}

void
BTextView::_ShowCaret()
{
	if (fCaretVisible)
		return;
	fCaretVisible = true;
	if (Window() != NULL)
		Invalidate(_CaretFrame());
}

BRect
BTextView::_CaretFrame() const
{
	float height;
	BPoint point = PointAt(fCaret, &height);
	point.x = std::max(point.x, fTextRect.left);
	return BRect(point.x, point.y, point.x, point.y + height - 1);
}

void
BTextView::_DrawLine(int32 line, int32 selectionStart, int32 selectionEnd)
{
	const TextLine& info = fLines->Line(line);
	int32 end = fLines->LineEnd(line);
	float left = _LineLeft(line);

	if (selectionStart < selectionEnd) {
		BRegion selected;
		GetTextRegion(selectionStart, selectionEnd, &selected);
		BRect row(-1e6f, info.top, 1e6f, info.top + info.height - 1);
		SetHighColor(tint_color(LowColor(), B_HIGHLIGHT_BACKGROUND_TINT));
		for (int32 i = 0; i < selected.CountRects(); i++) {
			BRect rect = selected.RectAt(i) & row;
			if (rect.IsValid())
				FillRect(rect);
		}
	}

	float baseline = info.top + info.ascent;
	float x = 0;
	int32 at = info.offset;
	while (at < end) {
		if (fText[at] == '\t') {
			x += fLines->CharacterWidth(at, 1, x);
			at++;
			continue;
		}
		const StyleRun& run = fRuns->StyleAt(at);
		int32 runEnd = fRuns->RunEnd(fRuns->IndexAt(at), TextLength());
		int32 segmentEnd = at;
		float segmentWidth = 0;
		while (segmentEnd < end && segmentEnd < runEnd && fText[segmentEnd] != '\t') {
			int32 length = utf8_character_length(fText, segmentEnd);
			segmentWidth += fLines->CharacterWidth(segmentEnd, length, x + segmentWidth);
			segmentEnd += length;
		}
		SetFont(&run.font);
		SetHighColor(run.color);
		if (fLines->IsHidden()) {
			float bulletX = left + x;
			for (int32 character = at; character < segmentEnd;
				 character += utf8_character_length(fText, character)) {
				DrawString(BPrivate::kHiddenTypingBullet, BPoint(bulletX, baseline));
				bulletX += run.font.StringWidth(BPrivate::kHiddenTypingBullet);
			}
		} else {
			DrawString(fText.data() + at, segmentEnd - at, BPoint(left + x, baseline));
		}
		x += segmentWidth;
		at = segmentEnd;
	}
}

/*
 * BTextView: editable, selectable text laid out in a text rectangle, wrapped at its width or
 * one line per paragraph, with style runs (font and colour) when it is stylable. Clipboard
 * operations, undo, drag and drop, input methods, colour spaces, resizing to fit, flattened
 * run arrays, archiving and scripting are not provided.
 */
#ifndef _TEXT_VIEW_H
#define _TEXT_VIEW_H

#include <set>
#include <string>

#include <Font.h>
#include <View.h>

namespace BPrivate {
class LineLayout;
class StyleRuns;
} // namespace BPrivate

struct text_run {
	int32 offset;
	BFont font;
	rgb_color color;
};

struct text_run_array {
	int32 count;
	text_run runs[1];
};

enum undo_state {
	B_UNDO_UNAVAILABLE,
	B_UNDO_TYPING,
	B_UNDO_CUT,
	B_UNDO_PASTE,
	B_UNDO_CLEAR,
	B_UNDO_DROP
};

class BTextView : public BView {
public:
	BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode,
		uint32 flags = B_WILL_DRAW | B_PULSE_NEEDED);
	BTextView(BRect frame, const char* name, BRect textRect, const BFont* initialFont,
		const rgb_color* initialColor, uint32 resizingMode, uint32 flags);
	virtual ~BTextView();

	virtual void AttachedToWindow() override;
	virtual void DetachedFromWindow() override;
	virtual void Draw(BRect updateRect) override;
	virtual void MouseDown(BPoint where) override;
	virtual void MouseUp(BPoint where) override;
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
	virtual void WindowActivated(bool active) override;
	virtual void KeyDown(const char* bytes, int32 numBytes) override;
	// Blinks the caret.
	virtual void Pulse() override;
	virtual void FrameResized(float width, float height) override;
	virtual void MakeFocus(bool focus = true) override;
	virtual void MessageReceived(BMessage* message) override;

	// Every way in drops the characters that DisallowChar refused and respects MaxBytes.
	void SetText(const char* text, const text_run_array* runs = NULL);
	void SetText(const char* text, int32 length, const text_run_array* runs = NULL);
	// At the selection, replacing nothing; the selection moves with the text after it.
	void Insert(const char* text, const text_run_array* runs = NULL);
	void Insert(const char* text, int32 length, const text_run_array* runs = NULL);
	void Insert(int32 offset, const char* text, int32 length, const text_run_array* runs = NULL);
	// The selection, or the bytes from start to end.
	void Delete();
	void Delete(int32 startOffset, int32 endOffset);

	const char* Text() const;
	int32 TextLength() const;
	void GetText(int32 offset, int32 length, char* buffer) const;
	uchar ByteAt(int32 offset) const;

	int32 CountLines() const;
	int32 CurrentLine() const;
	void GoToLine(int32 lineNumber);

	// Deletes the selection.
	void Clear();

	virtual void Select(int32 startOffset, int32 endOffset);
	void SelectAll();
	void GetSelection(int32* startOffset, int32* endOffset) const;

	void SetFontAndColor(const BFont* font, uint32 mode = B_FONT_ALL,
		const rgb_color* color = NULL);
	void SetFontAndColor(int32 startOffset, int32 endOffset, const BFont* font,
		uint32 mode = B_FONT_ALL, const rgb_color* color = NULL);
	void GetFontAndColor(int32 offset, BFont* font, rgb_color* color = NULL) const;
	void GetFontAndColor(BFont* font, uint32* mode, rgb_color* color = NULL,
		bool* sameColor = NULL) const;
	void SetRunArray(int32 startOffset, int32 endOffset, const text_run_array* runs);
	// Allocated with malloc; the caller frees it.
	text_run_array* RunArray(int32 startOffset, int32 endOffset, int32* size = NULL) const;

	int32 LineAt(int32 offset) const;
	int32 LineAt(BPoint point) const;
	// The top left of the character at the offset, and the height of its line.
	BPoint PointAt(int32 offset, float* height = NULL) const;
	int32 OffsetAt(BPoint point) const;
	int32 OffsetAt(int32 line) const;
	virtual void FindWord(int32 offset, int32* fromOffset, int32* toOffset);
	virtual bool CanEndLine(int32 offset);
	float LineWidth(int32 lineNumber = 0) const;
	float LineHeight(int32 lineNumber = 0) const;
	float TextHeight(int32 startLine, int32 endLine) const;
	void GetTextRegion(int32 startOffset, int32 endOffset, BRegion* region) const;

	virtual void ScrollToOffset(int32 offset);
	void ScrollToSelection();
	void Highlight(int32 startOffset, int32 endOffset);

	void SetTextRect(BRect rect);
	BRect TextRect() const;
	void SetStylable(bool stylable);
	bool IsStylable() const;
	void SetTabWidth(float width);
	float TabWidth() const;
	void MakeSelectable(bool selectable = true);
	bool IsSelectable() const;
	void MakeEditable(bool editable = true);
	bool IsEditable() const;
	void SetWordWrap(bool wrap);
	bool DoesWordWrap() const;
	void SetMaxBytes(int32 max);
	int32 MaxBytes() const;
	void DisallowChar(uint32 character);
	void AllowChar(uint32 character);
	void SetAlignment(alignment flag);
	alignment Alignment() const;
	void SetAutoindent(bool state);
	bool DoesAutoindent() const;
	// Shows every character as a bullet.
	void HideTyping(bool enabled);
	bool IsTypingHidden() const;

	virtual void ResizeToPreferred() override;
	virtual void GetPreferredSize(float* width, float* height) override;
	virtual void AllAttached() override;
	virtual void AllDetached() override;

protected:
	// The text as given; what is disallowed is dropped here too.
	virtual void InsertText(const char* text, int32 length, int32 offset,
		const text_run_array* runs);
	virtual void DeleteText(int32 fromOffset, int32 toOffset);

private:
	void _Init(BRect textRect, const BFont* font, const rgb_color* color);
	std::string _Filter(const char* text, int32 length) const;
	void _Replace(int32 from, int32 to, const char* text, int32 length, const text_run_array* runs);
	void _TextChanged();
	void _Layout();
	void _ApplyStyle(int32 from, int32 to, const BFont* font, uint32 mode, const rgb_color* color);
	float _LineLeft(int32 line) const;
	float _XAt(int32 line, int32 offset) const;
	int32 _OffsetAtX(int32 line, float x) const;
	int32 _PreviousCharacter(int32 offset) const;
	int32 _NextCharacter(int32 offset) const;
	void _SetCaret(int32 caret, bool extend);
	void _MoveVertically(int32 lines, bool extend);
	void _HandleBackspace();
	void _HandleDelete();
	void _HandleInsert(const char* bytes, int32 numBytes);
	void _UpdateScrollBars();
	bool _IsActive() const;
	void _ShowCaret();
	BRect _CaretFrame() const;
	void _DrawLine(int32 line, int32 selectionStart, int32 selectionEnd);

	std::string fText;
	BPrivate::StyleRuns* fRuns;
	BPrivate::LineLayout* fLines;
	BRect fTextRect;
	int32 fAnchor;
	int32 fCaret;
	bool fEditable;
	bool fSelectable;
	bool fWordWrap;
	bool fStylable;
	bool fAutoindent;
	alignment fAlignment;
	int32 fMaxBytes;
	std::set<uint32> fDisallowed;
	bool fCaretVisible;
	bool fTrackingMouse;
	float fGoalX;
};

#endif // _TEXT_VIEW_H

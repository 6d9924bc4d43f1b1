#include "TextInput.h"

#include <Message.h>
#include <TextControl.h>
#include <Window.h>

namespace BPrivate {

TextInput::TextInput(BRect frame, BRect textRect, uint32 resizingMode, uint32 flags) :
	BTextView(frame, "_input_", textRect, resizingMode, flags)
{
	SetWordWrap(false);
}

TextInput::~TextInput()
{
}

void
TextInput::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes == 1 && bytes[0] == B_TAB) {
		BView::KeyDown(bytes, numBytes);
		return;
	}
	if (numBytes == 1 && bytes[0] == B_ENTER) {
		BTextControl* control = _Control();
		if (control != NULL && control->IsEnabled() && fInitialText != Text()) {
			control->Invoke();
			SetInitialText();
		}
		SelectAll();
		return;
	}
	BTextView::KeyDown(bytes, numBytes);
}

void
TextInput::MouseDown(BPoint where)
{
	BTextControl* control = _Control();
	if (control != NULL && !control->IsEnabled())
		return;
	BTextView::MouseDown(where);
}

void
TextInput::MakeFocus(bool focus)
{
	if (focus == IsFocus())
		return;
	BTextControl* control = _Control();
	if (focus && control != NULL && !control->IsEnabled())
		return;
	BTextView::MakeFocus(focus);
	if (focus) {
		SetInitialText();
		// Arriving by keyboard selects the whole text, as a click does not.
		BMessage* message = Window() != NULL ? Window()->CurrentMessage() : NULL;
		if (message != NULL && message->what == B_KEY_DOWN)
			SelectAll();
	} else {
		if (control != NULL && control->IsEnabled() && fInitialText != Text()) {
			control->Invoke();
			SetInitialText();
		}
		Select(0, 0);
		ScrollTo(B_ORIGIN);
	}
	if (control != NULL)
		control->Invalidate();
}

void
TextInput::FrameResized(float width, float height)
{
	BTextView::FrameResized(width, height);
}

void
TextInput::SetInitialText()
{
	fInitialText = Text();
}

void
TextInput::InsertText(const char* text, int32 length, int32 offset, const text_run_array* runs)
{
	// One line only.
	std::string flat(text, length);
	for (char& character : flat) {
		if (character == '\n' || character == '\r')
			character = ' ';
	}
	BTextView::InsertText(flat.c_str(), (int32)flat.size(), offset, runs);
	_Modified();
}

void
TextInput::DeleteText(int32 fromOffset, int32 toOffset)
{
	BTextView::DeleteText(fromOffset, toOffset);
	_Modified();
}

BTextControl*
TextInput::_Control() const
{
	return dynamic_cast<BTextControl*>(Parent());
}

void
TextInput::_Modified()
{
	BTextControl* control = _Control();
	if (control != NULL && control->ModificationMessage() != NULL)
		control->Invoke(control->ModificationMessage());
}

} // namespace BPrivate

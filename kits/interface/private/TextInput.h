/*
 * Private to the interface kit: the one-line text view inside a BTextControl. Tab moves the
 * focus on, Enter invokes the control when the text changed, line breaks become blanks, and
 * a disabled control's field takes neither the focus nor input.
 */
#ifndef _TEXT_INPUT_H
#define _TEXT_INPUT_H

#include <string>

#include <TextView.h>

class BTextControl;

namespace BPrivate {

class TextInput : public BTextView {
public:
	TextInput(BRect frame, BRect textRect, uint32 resizingMode, uint32 flags);
	virtual ~TextInput();

	virtual void KeyDown(const char* bytes, int32 numBytes) override;
	virtual void MouseDown(BPoint where) override;
	virtual void MakeFocus(bool focus = true) override;
	virtual void FrameResized(float width, float height) override;

	// The text as it stood when the control last took the focus or was invoked.
	void SetInitialText();

protected:
	virtual void InsertText(const char* text, int32 length, int32 offset,
		const text_run_array* runs) override;
	virtual void DeleteText(int32 fromOffset, int32 toOffset) override;

private:
	BTextControl* _Control() const;
	void _Modified();

	std::string fInitialText;
};

} // namespace BPrivate

#endif // _TEXT_INPUT_H

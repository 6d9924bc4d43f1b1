/*
 * BTextControl: a label and a one-line text field, split at the divider. The control takes
 * the height its font needs, as on the platform; the width is kept. Archiving and scripting
 * are not provided.
 */
#ifndef _TEXT_CONTROL_H
#define _TEXT_CONTROL_H

#include <Control.h>
#include <TextView.h>

namespace BPrivate {
class TextInput;
}

class BTextControl : public BControl {
public:
	BTextControl(BRect frame, const char* name, const char* label, const char* initialText,
		BMessage* message, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	virtual ~BTextControl();

	virtual void SetText(const char* text);
	const char* Text() const;

	virtual void SetValue(int32 value) override;
	virtual status_t Invoke(BMessage* message = NULL) override;

	BTextView* TextView() const;

	// Sent, when set, each time the text changes.
	virtual void SetModificationMessage(BMessage* message);
	BMessage* ModificationMessage() const;

	virtual void SetAlignment(alignment label, alignment text);
	void GetAlignment(alignment* label, alignment* text) const;
	// Where the label ends and the field begins, in the control's coordinates.
	virtual void SetDivider(float dividingLine);
	float Divider() const;

	virtual void Draw(BRect updateRect) override;
	virtual void MouseDown(BPoint where) override;
	virtual void AttachedToWindow() override;
	virtual void MakeFocus(bool focus = true) override;
	// Disabled: greyed, without focus, and the field takes no input.
	virtual void SetEnabled(bool enabled) override;
	virtual void FrameMoved(BPoint newPosition) override;
	virtual void FrameResized(float newWidth, float newHeight) override;
	virtual void WindowActivated(bool active) override;
	virtual void GetPreferredSize(float* width, float* height) override;
	virtual void ResizeToPreferred() override;
	// B_NAVIGABLE goes to the field, which is what takes the focus.
	virtual void SetFlags(uint32 flags) override;
	virtual void MessageReceived(BMessage* message) override;
	virtual void MouseUp(BPoint where) override;
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
	virtual void DetachedFromWindow() override;
	virtual void AllAttached() override;
	virtual void AllDetached() override;

private:
	float _PreferredHeight() const;
	BRect _TextFrame() const;
	void _UpdateTextColors();

	BPrivate::TextInput* fText;
	BMessage* fModificationMessage;
	alignment fLabelAlignment;
	float fDivider;
	bool fTextWantsNavigation;
};

#endif // _TEXT_CONTROL_H

/*
 * BCheckBox: a labelled box that a click, or the space bar while it has the focus, turns on
 * and off. Archiving is not provided.
 */
#ifndef _CHECK_BOX_H
#define _CHECK_BOX_H

#include <Control.h>

class BCheckBox : public BControl {
public:
	// Grows to the height its font needs, as on the platform; the width is kept.
	BCheckBox(BRect frame, const char* name, const char* label, BMessage* message,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	virtual ~BCheckBox();

	virtual void Draw(BRect updateRect) override;
	virtual void AttachedToWindow() override;
	virtual void MouseDown(BPoint where) override;
	virtual void MessageReceived(BMessage* message) override;
	virtual void WindowActivated(bool active) override;
	virtual void KeyDown(const char* bytes, int32 numBytes) override;
	virtual void MouseUp(BPoint where) override;
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
	virtual void DetachedFromWindow() override;
	virtual void SetValue(int32 value) override;
	virtual void GetPreferredSize(float* width, float* height) override;
	virtual void ResizeToPreferred() override;
	virtual status_t Invoke(BMessage* message = NULL) override;
	virtual void FrameMoved(BPoint newPosition) override;
	virtual void FrameResized(float newWidth, float newHeight) override;
	virtual void MakeFocus(bool focus = true) override;
	virtual void AllAttached() override;
	virtual void AllDetached() override;

private:
	BRect _BoxFrame() const;

	bool fOutlined;
};

#endif // _CHECK_BOX_H

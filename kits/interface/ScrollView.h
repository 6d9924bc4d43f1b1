/*
 * BScrollView: a frame around a target view, with a horizontal and/or vertical scroll bar
 * that scroll it. Archiving and scripting are not provided.
 */
#ifndef _SCROLL_VIEW_H
#define _SCROLL_VIEW_H

#include <ScrollBar.h>

class BScrollView : public BView {
public:
	// Takes the target as a child, at the border's inner corner; the scroll view's frame is
	// the target's grown by the bars and the border.
	BScrollView(const char* name, BView* target, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = 0, bool horizontal = false, bool vertical = false,
		border_style border = B_FANCY_BORDER);
	virtual ~BScrollView();

	virtual void Draw(BRect updateRect) override;
	virtual void AttachedToWindow() override;

	BScrollBar* ScrollBar(orientation posture) const;

	virtual void SetBorder(border_style border);
	border_style Border() const;
	// The focus mark of a fancy border, shown while the window is active.
	virtual status_t SetBorderHighlighted(bool highlighted);
	bool IsBorderHighlighted() const;

	void SetTarget(BView* target);
	BView* Target() const;

	virtual void MessageReceived(BMessage* message) override;
	virtual void MouseDown(BPoint where) override;
	virtual void WindowActivated(bool active) override;
	virtual void MouseUp(BPoint where) override;
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
	virtual void DetachedFromWindow() override;
	virtual void AllAttached() override;
	virtual void AllDetached() override;
	virtual void FrameMoved(BPoint newPosition) override;
	virtual void FrameResized(float newWidth, float newHeight) override;
	virtual void ResizeToPreferred() override;
	virtual void GetPreferredSize(float* width, float* height) override;
	virtual void MakeFocus(bool focus = true) override;

private:
	static float _BorderSize(border_style border);
	static BRect _ComputeFrame(BRect targetFrame, bool horizontal, bool vertical,
		border_style border);

	BView* fTarget;
	BScrollBar* fHorizontalScrollBar;
	BScrollBar* fVerticalScrollBar;
	border_style fBorder;
	bool fHighlighted;
};

#endif // _SCROLL_VIEW_H

/*
 * BScrollBar: a horizontal or vertical bar with an arrow at each end and a thumb that stands
 * for the visible part of its target view; moving either scrolls the target, and the target's
 * scrolling moves the thumb. Double arrows, auto-repeat while an arrow is held, archiving and
 * scripting are not provided.
 */
#ifndef _SCROLL_BAR_H
#define _SCROLL_BAR_H

#include <View.h>

#define B_V_SCROLL_BAR_WIDTH 14.0f
#define B_H_SCROLL_BAR_HEIGHT 14.0f

class BScrollBar : public BView {
public:
	BScrollBar(BRect frame, const char* name, BView* target, float min, float max,
		orientation direction);
	virtual ~BScrollBar();

	virtual void AttachedToWindow() override;

	// Kept within the range and on whole pixels; a change scrolls the target.
	void SetValue(float value);
	float Value() const;
	// The visible share of the target's content, 0 to 1; sizes the thumb.
	void SetProportion(float proportion);
	float Proportion() const;
	virtual void ValueChanged(float newValue);

	void SetRange(float min, float max);
	void GetRange(float* min, float* max) const;
	void SetSteps(float smallStep, float largeStep);
	void GetSteps(float* smallStep, float* largeStep) const;
	void SetTarget(BView* target);
	void SetTarget(const char* targetName);
	BView* Target() const;
	orientation Orientation() const;

	virtual void MessageReceived(BMessage* message) override;
	virtual void MouseDown(BPoint where) override;
	virtual void MouseUp(BPoint where) override;
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
	virtual void DetachedFromWindow() override;
	virtual void Draw(BRect updateRect) override;
	virtual void FrameMoved(BPoint newPosition) override;
	virtual void FrameResized(float newWidth, float newHeight) override;
	virtual void ResizeToPreferred() override;
	virtual void GetPreferredSize(float* width, float* height) override;
	virtual void MakeFocus(bool focus = true) override;
	virtual void AllAttached() override;
	virtual void AllDetached() override;

private:
	enum part {
		kNoPart,
		kDecrementArrow,
		kIncrementArrow,
		kDecrementPage,
		kIncrementPage,
		kThumb
	};

	BScrollBar*& _TargetSlot() const;
	BRect _ArrowFrame(bool decrement) const;
	BRect _TrackFrame() const;
	BRect _ThumbFrame() const;
	part _PartAt(BPoint where) const;
	float _Along(BPoint point) const;
	bool _IsEnabled() const;
	void _DrawArrow(BRect frame, bool decrement, bool pressed);

	BView* fTarget;
	orientation fOrientation;
	float fMin;
	float fMax;
	float fValue;
	float fProportion;
	float fSmallStep;
	float fLargeStep;
	part fPressed;
	float fGrabOffset;
};

#endif // _SCROLL_BAR_H

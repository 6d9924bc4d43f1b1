#include <ScrollBar.h>

#include <math.h>

#include <Window.h>

#include "ViewPrivate.h"

namespace {

const float kMinThumbLength = 14.0f;

} // namespace

BScrollBar::BScrollBar(BRect frame, const char* name, BView* target, float min, float max,
	orientation direction) :
	BView(frame, name, B_FOLLOW_NONE, B_WILL_DRAW | B_FULL_UPDATE_ON_RESIZE | B_FRAME_EVENTS),
	fTarget(NULL),
	fOrientation(direction),
	fMin(min),
	fMax(max > min ? max : min),
	fValue(min),
	fProportion(0),
	fSmallStep(1),
	fLargeStep(10),
	fPressed(kNoPart),
	fGrabOffset(0)
{
	SetViewColor(B_TRANSPARENT_COLOR);
	SetTarget(target);
}

BScrollBar::~BScrollBar()
{
	SetTarget((BView*)NULL);
}

void
BScrollBar::AttachedToWindow()
{
	BView::AttachedToWindow();
}

void
BScrollBar::SetValue(float value)
{
	if (isnan(value))
		return;
	value = roundf(fmaxf(fMin, fminf(fMax, value)));
	if (value == fValue)
		return;
	fValue = value;
	Invalidate();
	ValueChanged(fValue);
}

float
BScrollBar::Value() const
{
	return fValue;
}

void
BScrollBar::SetProportion(float proportion)
{
	proportion = fmaxf(0, fminf(1, proportion));
	if (proportion == fProportion)
		return;
	fProportion = proportion;
	Invalidate();
}

float
BScrollBar::Proportion() const
{
	return fProportion;
}

void
BScrollBar::ValueChanged(float newValue)
{
	if (fTarget == NULL)
		return;
	BRect bounds = fTarget->Bounds();
	if (fOrientation == B_VERTICAL && bounds.top != newValue)
		fTarget->ScrollTo(bounds.left, newValue);
	else if (fOrientation == B_HORIZONTAL && bounds.left != newValue)
		fTarget->ScrollTo(newValue, bounds.top);
}

void
BScrollBar::SetRange(float min, float max)
{
	if (max < min)
		max = min;
	if (min == fMin && max == fMax)
		return;
	fMin = min;
	fMax = max;
	Invalidate();
	// The value follows the range; a target beyond it is scrolled back.
	float value = roundf(fmaxf(fMin, fminf(fMax, fValue)));
	if (value != fValue) {
		fValue = value;
		ValueChanged(fValue);
	}
}

void
BScrollBar::GetRange(float* min, float* max) const
{
	if (min != NULL)
		*min = fMin;
	if (max != NULL)
		*max = fMax;
}

void
BScrollBar::SetSteps(float smallStep, float largeStep)
{
	fSmallStep = roundf(smallStep);
	fLargeStep = roundf(largeStep);
}

void
BScrollBar::GetSteps(float* smallStep, float* largeStep) const
{
	if (smallStep != NULL)
		*smallStep = fSmallStep;
	if (largeStep != NULL)
		*largeStep = fLargeStep;
}

void
BScrollBar::SetTarget(BView* target)
{
	if (fTarget != NULL) {
		BScrollBar*& slot = _TargetSlot();
		if (slot == this)
			slot = NULL;
	}
	fTarget = target;
	if (fTarget != NULL) {
		BScrollBar*& slot = _TargetSlot();
		if (slot != NULL && slot != this)
			slot->fTarget = NULL;
		slot = this;
	}
}

void
BScrollBar::SetTarget(const char* targetName)
{
	if (targetName == NULL || Window() == NULL)
		return;
	SetTarget(Window()->FindView(targetName));
}

BView*
BScrollBar::Target() const
{
	return fTarget;
}

orientation
BScrollBar::Orientation() const
{
	return fOrientation;
}

void
BScrollBar::MessageReceived(BMessage* message)
{
	BView::MessageReceived(message);
}

void
BScrollBar::MouseDown(BPoint where)
{
	if (!_IsEnabled())
		return;
	fPressed = _PartAt(where);
	switch (fPressed) {
		case kDecrementArrow:
			SetValue(fValue - fSmallStep);
			break;
		case kIncrementArrow:
			SetValue(fValue + fSmallStep);
			break;
		case kDecrementPage:
			SetValue(fValue - fLargeStep);
			break;
		case kIncrementPage:
			SetValue(fValue + fLargeStep);
			break;
		case kThumb:
		{
			BRect thumb = _ThumbFrame();
			fGrabOffset = _Along(where) - (fOrientation == B_VERTICAL ? thumb.top : thumb.left);
			break;
		}
		case kNoPart:
			return;
	}
	SetMouseEventMask(B_POINTER_EVENTS);
	Invalidate();
}

void
BScrollBar::MouseUp(BPoint /*where*/)
{
	if (fPressed == kNoPart)
		return;
	fPressed = kNoPart;
	Invalidate();
}

void
BScrollBar::MouseMoved(BPoint where, uint32 /*transit*/, const BMessage* /*dragMessage*/)
{
	if (fPressed != kThumb)
		return;
	BRect track = _TrackFrame();
	BRect thumb = _ThumbFrame();
	float trackLength = fOrientation == B_VERTICAL ? track.Height() : track.Width();
	float thumbLength = fOrientation == B_VERTICAL ? thumb.Height() : thumb.Width();
	float travel = trackLength - thumbLength;
	if (travel <= 0)
		return;
	float trackStart = fOrientation == B_VERTICAL ? track.top : track.left;
	float offset = _Along(where) - fGrabOffset - trackStart;
	SetValue(fMin + offset / travel * (fMax - fMin));
}

void
BScrollBar::DetachedFromWindow()
{
	fPressed = kNoPart;
	BView::DetachedFromWindow();
}

void
BScrollBar::Draw(BRect /*updateRect*/)
{
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	rgb_color white = tint_color(panel, B_LIGHTEN_MAX_TINT);
	rgb_color darken1 = tint_color(panel, B_DARKEN_1_TINT);
	rgb_color darken2 = tint_color(panel, B_DARKEN_2_TINT);
	rgb_color darken4 = tint_color(panel, B_DARKEN_4_TINT);
	bool enabled = _IsEnabled();

	// The outline is shared with a surrounding scroll view's inner border.
	BRect bounds = Bounds();
	SetHighColor(darken2);
	StrokeRect(bounds);

	BRect track = _TrackFrame();
	SetHighColor(enabled ? darken1 : tint_color(panel, B_LIGHTEN_1_TINT));
	FillRect(track);
	if (enabled) {
		// A shadow along the track's leading edges makes it read as a groove.
		SetHighColor(darken2);
		if (fOrientation == B_VERTICAL)
			StrokeLine(track.LeftTop(), track.LeftBottom());
		else
			StrokeLine(track.LeftTop(), track.RightTop());
	}

	_DrawArrow(_ArrowFrame(true), true, fPressed == kDecrementArrow);
	_DrawArrow(_ArrowFrame(false), false, fPressed == kIncrementArrow);

	if (!enabled)
		return;
	BRect thumb = _ThumbFrame();
	SetHighColor(darken2);
	StrokeRect(thumb);
	thumb.InsetBy(1, 1);
	SetHighColor(panel);
	FillRect(thumb);
	BeginLineArray(4);
	AddLine(thumb.LeftBottom(), thumb.LeftTop(), white);
	AddLine(thumb.LeftTop(), thumb.RightTop(), white);
	AddLine(thumb.LeftBottom() + BPoint(1, 0), thumb.RightBottom(), darken1);
	AddLine(thumb.RightBottom(), thumb.RightTop() + BPoint(0, 1), darken1);
	EndLineArray();

	// Three grip ridges across the middle of a thumb long enough to hold them.
	BPoint middle((thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2);
	middle.x = floorf(middle.x);
	middle.y = floorf(middle.y);
	float length = fOrientation == B_VERTICAL ? thumb.Height() : thumb.Width();
	if (length < 12)
		return;
	BeginLineArray(6);
	for (int32 i = -1; i <= 1; i++) {
		float at = 3.0f * i;
		if (fOrientation == B_VERTICAL) {
			float y = middle.y + at;
			AddLine(BPoint(thumb.left + 3, y), BPoint(thumb.right - 3, y), darken4);
			AddLine(BPoint(thumb.left + 3, y + 1), BPoint(thumb.right - 3, y + 1), white);
		} else {
			float x = middle.x + at;
			AddLine(BPoint(x, thumb.top + 3), BPoint(x, thumb.bottom - 3), darken4);
			AddLine(BPoint(x + 1, thumb.top + 3), BPoint(x + 1, thumb.bottom - 3), white);
		}
	}
	EndLineArray();
}

void
BScrollBar::FrameMoved(BPoint newPosition)
{
	BView::FrameMoved(newPosition);
}

void
BScrollBar::FrameResized(float newWidth, float newHeight)
{
	Invalidate();
	BView::FrameResized(newWidth, newHeight);
}

void
BScrollBar::ResizeToPreferred()
{
	BView::ResizeToPreferred();
}

void
BScrollBar::GetPreferredSize(float* width, float* height)
{
	BRect bounds = Bounds();
	if (width != NULL)
		*width = fOrientation == B_VERTICAL ? B_V_SCROLL_BAR_WIDTH : bounds.Width();
	if (height != NULL)
		*height = fOrientation == B_HORIZONTAL ? B_H_SCROLL_BAR_HEIGHT : bounds.Height();
}

void
BScrollBar::MakeFocus(bool focus)
{
	BView::MakeFocus(focus);
}

void
BScrollBar::AllAttached()
{
	BView::AllAttached();
}

void
BScrollBar::AllDetached()
{
	BView::AllDetached();
}

// The target's record of its scroll bar in this orientation.
BScrollBar*&
BScrollBar::_TargetSlot() const
{
	if (fOrientation == B_VERTICAL)
		return fTarget->fData->verticalScrollBar;
	return fTarget->fData->horizontalScrollBar;
}

BRect
BScrollBar::_ArrowFrame(bool decrement) const
{
	BRect bounds = Bounds();
	if (fOrientation == B_VERTICAL) {
		float side = bounds.Width();
		if (decrement)
			return BRect(bounds.left, bounds.top, bounds.right, bounds.top + side);
		return BRect(bounds.left, bounds.bottom - side, bounds.right, bounds.bottom);
	}
	float side = bounds.Height();
	if (decrement)
		return BRect(bounds.left, bounds.top, bounds.left + side, bounds.bottom);
	return BRect(bounds.right - side, bounds.top, bounds.right, bounds.bottom);
}

BRect
BScrollBar::_TrackFrame() const
{
	BRect bounds = Bounds().InsetByCopy(1, 1);
	BRect before = _ArrowFrame(true);
	BRect after = _ArrowFrame(false);
	if (fOrientation == B_VERTICAL) {
		bounds.top = before.bottom + 1;
		bounds.bottom = after.top - 1;
	} else {
		bounds.left = before.right + 1;
		bounds.right = after.left - 1;
	}
	return bounds;
}

BRect
BScrollBar::_ThumbFrame() const
{
	BRect track = _TrackFrame();
	float trackLength = fOrientation == B_VERTICAL ? track.Height() : track.Width();
	float thumbLength = kMinThumbLength;
	if (fProportion > 0)
		thumbLength = fmaxf(kMinThumbLength, roundf(trackLength * fProportion));
	thumbLength = fminf(thumbLength, trackLength);
	float position = 0;
	if (fMax > fMin)
		position = roundf((fValue - fMin) / (fMax - fMin) * (trackLength - thumbLength));
	BRect thumb = track;
	if (fOrientation == B_VERTICAL) {
		thumb.top = track.top + position;
		thumb.bottom = thumb.top + thumbLength;
	} else {
		thumb.left = track.left + position;
		thumb.right = thumb.left + thumbLength;
	}
	// The thumb covers the bar's outline across its width, as the arrows do.
	if (fOrientation == B_VERTICAL)
		thumb.InsetBy(-1, 0);
	else
		thumb.InsetBy(0, -1);
	return thumb;
}

BScrollBar::part
BScrollBar::_PartAt(BPoint where) const
{
	if (!Bounds().Contains(where))
		return kNoPart;
	if (_ArrowFrame(true).Contains(where))
		return kDecrementArrow;
	if (_ArrowFrame(false).Contains(where))
		return kIncrementArrow;
	BRect thumb = _ThumbFrame();
	if (thumb.Contains(where))
		return kThumb;
	if (fOrientation == B_VERTICAL)
		return where.y < thumb.top ? kDecrementPage : kIncrementPage;
	return where.x < thumb.left ? kDecrementPage : kIncrementPage;
}

float
BScrollBar::_Along(BPoint point) const
{
	return fOrientation == B_VERTICAL ? point.y : point.x;
}

bool
BScrollBar::_IsEnabled() const
{
	return fMax > fMin;
}

void
BScrollBar::_DrawArrow(BRect frame, bool decrement, bool pressed)
{
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	rgb_color white = tint_color(panel, B_LIGHTEN_MAX_TINT);
	rgb_color darken1 = tint_color(panel, B_DARKEN_1_TINT);
	rgb_color darken2 = tint_color(panel, B_DARKEN_2_TINT);
	bool enabled = _IsEnabled();

	SetHighColor(darken2);
	StrokeRect(frame);
	frame.InsetBy(1, 1);
	SetHighColor(pressed ? darken1 : panel);
	FillRect(frame);
	BeginLineArray(4);
	rgb_color light = pressed ? darken2 : white;
	rgb_color dark = pressed ? panel : darken1;
	AddLine(frame.LeftBottom(), frame.LeftTop(), light);
	AddLine(frame.LeftTop(), frame.RightTop(), light);
	AddLine(frame.LeftBottom() + BPoint(1, 0), frame.RightBottom(), dark);
	AddLine(frame.RightBottom(), frame.RightTop() + BPoint(0, 1), dark);
	EndLineArray();

	// A solid triangle pointing away from the track.
	float centerX = floorf((frame.left + frame.right) / 2);
	float centerY = floorf((frame.top + frame.bottom) / 2);
	const float size = 3;
	BPoint a, b, c;
	if (fOrientation == B_VERTICAL) {
		float tip = decrement ? centerY - size + 1 : centerY + size - 1;
		float base = decrement ? centerY + 1 : centerY - 1;
		a.Set(centerX, tip);
		b.Set(centerX - size, base);
		c.Set(centerX + size, base);
	} else {
		float tip = decrement ? centerX - size + 1 : centerX + size - 1;
		float base = decrement ? centerX + 1 : centerX - 1;
		a.Set(tip, centerY);
		b.Set(base, centerY - size);
		c.Set(base, centerY + size);
	}
	SetHighColor(tint_color(panel, enabled ? B_DARKEN_MAX_TINT : B_DISABLED_LABEL_TINT));
	FillTriangle(a, b, c);
}

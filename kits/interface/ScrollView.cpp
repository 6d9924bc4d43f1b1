#include <ScrollView.h>

#include <Window.h>

namespace {

// The frame a scroll view is laid out around; without a target, a small stand-in.
BRect
TargetFrame(const BView* target)
{
	if (target == NULL)
		return BRect(0, 0, 16, 16);
	return target->Frame();
}

} // namespace

BScrollView::BScrollView(const char* name, BView* target, uint32 resizingMode, uint32 flags,
	bool horizontal, bool vertical, border_style border) :
	BView(_ComputeFrame(TargetFrame(target), horizontal, vertical, border), name, resizingMode,
		flags | B_WILL_DRAW | B_FRAME_EVENTS),
	fTarget(target),
	fHorizontalScrollBar(NULL),
	fVerticalScrollBar(NULL),
	fBorder(border),
	fHighlighted(false)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	BRect frame(0, 0, 16, 16);
	float borderSize = _BorderSize(border);
	if (fTarget != NULL) {
		fTarget->TargetedByScrollView(this);
		fTarget->MoveTo(borderSize, borderSize);
		AddChild(fTarget);
		frame = fTarget->Frame();
	} else {
		frame.OffsetTo(borderSize, borderSize);
	}

	// The bars overlap the border's inner line, which their own outline continues.
	if (horizontal) {
		BRect rect = frame;
		rect.top = rect.bottom + 1;
		rect.bottom += B_H_SCROLL_BAR_HEIGHT + 1;
		if (border != B_NO_BORDER || vertical)
			rect.right++;
		if (border != B_NO_BORDER)
			rect.left--;
		fHorizontalScrollBar = new BScrollBar(rect, "_HSB_", fTarget, 0, 0, B_HORIZONTAL);
		fHorizontalScrollBar->SetResizingMode(B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM);
		AddChild(fHorizontalScrollBar);
	}
	if (vertical) {
		BRect rect = frame;
		rect.left = rect.right + 1;
		rect.right += B_V_SCROLL_BAR_WIDTH + 1;
		if (border != B_NO_BORDER || horizontal)
			rect.bottom++;
		if (border != B_NO_BORDER)
			rect.top--;
		fVerticalScrollBar = new BScrollBar(rect, "_VSB_", fTarget, 0, 0, B_VERTICAL);
		fVerticalScrollBar->SetResizingMode(B_FOLLOW_TOP_BOTTOM | B_FOLLOW_RIGHT);
		AddChild(fVerticalScrollBar);
	}
}

BScrollView::~BScrollView()
{
}

void
BScrollView::Draw(BRect /*updateRect*/)
{
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	BRect bounds = Bounds();
	if (fBorder == B_PLAIN_BORDER) {
		SetHighColor(tint_color(panel, B_DARKEN_2_TINT));
		StrokeRect(bounds);
		return;
	}
	if (fBorder != B_FANCY_BORDER)
		return;

	SetHighColor(tint_color(panel, B_DARKEN_2_TINT));
	StrokeRect(bounds.InsetByCopy(1, 1));
	if (fHighlighted && Window() != NULL && Window()->IsActive()) {
		SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
		StrokeRect(bounds);
		return;
	}
	BeginLineArray(4);
	rgb_color shadow = tint_color(panel, B_DARKEN_1_TINT);
	rgb_color light = tint_color(panel, B_LIGHTEN_2_TINT);
	AddLine(bounds.LeftBottom(), bounds.LeftTop(), shadow);
	AddLine(bounds.LeftTop(), bounds.RightTop(), shadow);
	AddLine(bounds.RightTop() + BPoint(0, 1), bounds.RightBottom(), light);
	AddLine(bounds.RightBottom(), bounds.LeftBottom() + BPoint(1, 0), light);
	EndLineArray();
}

void
BScrollView::AttachedToWindow()
{
	BView::AttachedToWindow();
}

BScrollBar*
BScrollView::ScrollBar(orientation posture) const
{
	return posture == B_VERTICAL ? fVerticalScrollBar : fHorizontalScrollBar;
}

void
BScrollView::SetBorder(border_style border)
{
	fBorder = border;
	Invalidate();
}

border_style
BScrollView::Border() const
{
	return fBorder;
}

status_t
BScrollView::SetBorderHighlighted(bool highlighted)
{
	if (fHighlighted == highlighted)
		return B_OK;
	if (fBorder != B_FANCY_BORDER)
		return B_ERROR;
	fHighlighted = highlighted;
	Invalidate(Bounds());
	return B_OK;
}

bool
BScrollView::IsBorderHighlighted() const
{
	return fHighlighted;
}

void
BScrollView::SetTarget(BView* target)
{
	if (target == fTarget)
		return;
	if (fTarget != NULL)
		RemoveChild(fTarget);
	fTarget = target;
	if (fHorizontalScrollBar != NULL)
		fHorizontalScrollBar->SetTarget(target);
	if (fVerticalScrollBar != NULL)
		fVerticalScrollBar->SetTarget(target);
	if (target != NULL) {
		float borderSize = _BorderSize(fBorder);
		target->MoveTo(borderSize, borderSize);
		target->TargetedByScrollView(this);
		AddChild(target, ChildAt(0));
	}
}

BView*
BScrollView::Target() const
{
	return fTarget;
}

void
BScrollView::MessageReceived(BMessage* message)
{
	BView::MessageReceived(message);
}

void
BScrollView::MouseDown(BPoint where)
{
	BView::MouseDown(where);
}

void
BScrollView::WindowActivated(bool active)
{
	if (fHighlighted)
		Invalidate();
	BView::WindowActivated(active);
}

void
BScrollView::MouseUp(BPoint where)
{
	BView::MouseUp(where);
}

void
BScrollView::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	BView::MouseMoved(where, transit, dragMessage);
}

void
BScrollView::DetachedFromWindow()
{
	BView::DetachedFromWindow();
}

void
BScrollView::AllAttached()
{
	BView::AllAttached();
}

void
BScrollView::AllDetached()
{
	BView::AllDetached();
}

void
BScrollView::FrameMoved(BPoint newPosition)
{
	BView::FrameMoved(newPosition);
}

void
BScrollView::FrameResized(float newWidth, float newHeight)
{
	// The border's far edges move with the frame.
	Invalidate();
	BView::FrameResized(newWidth, newHeight);
}

void
BScrollView::ResizeToPreferred()
{
	BView::ResizeToPreferred();
}

void
BScrollView::GetPreferredSize(float* width, float* height)
{
	BRect frame = _ComputeFrame(TargetFrame(fTarget), fHorizontalScrollBar != NULL,
		fVerticalScrollBar != NULL, fBorder);
	if (width != NULL)
		*width = frame.Width();
	if (height != NULL)
		*height = frame.Height();
}

void
BScrollView::MakeFocus(bool focus)
{
	// The target is what takes the keyboard.
	if (fTarget != NULL)
		fTarget->MakeFocus(focus);
	else
		BView::MakeFocus(focus);
}

float
BScrollView::_BorderSize(border_style border)
{
	switch (border) {
		case B_FANCY_BORDER:
			return 2;
		case B_PLAIN_BORDER:
			return 1;
		default:
			return 0;
	}
}

BRect
BScrollView::_ComputeFrame(BRect frame, bool horizontal, bool vertical, border_style border)
{
	if (vertical)
		frame.right += B_V_SCROLL_BAR_WIDTH;
	if (horizontal)
		frame.bottom += B_H_SCROLL_BAR_HEIGHT;
	float borderSize = _BorderSize(border);
	frame.InsetBy(-borderSize, -borderSize);
	if (borderSize == 0) {
		if (vertical)
			frame.right++;
		if (horizontal)
			frame.bottom++;
	}
	return frame;
}

#include <CheckBox.h>

#include <math.h>

#include <Window.h>

BCheckBox::BCheckBox(BRect frame, const char* name, const char* label, BMessage* message,
	uint32 resizingMode, uint32 flags) :
	BControl(frame, name, label, message, resizingMode, flags),
	fOutlined(false)
{
	font_height height;
	GetFontHeight(&height);
	float minHeight = ceilf(6.0f + height.ascent + height.descent);
	if (Bounds().Height() < minHeight)
		ResizeTo(Bounds().Width(), minHeight);
}

BCheckBox::~BCheckBox()
{
}

void
BCheckBox::Draw(BRect /*updateRect*/)
{
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	rgb_color white = tint_color(panel, B_LIGHTEN_MAX_TINT);
	rgb_color darken1 = tint_color(panel, B_DARKEN_1_TINT);
	rgb_color darken2 = tint_color(panel, B_DARKEN_2_TINT);
	rgb_color darken3 = tint_color(panel, B_DARKEN_3_TINT);
	rgb_color darken4 = tint_color(panel, B_DARKEN_4_TINT);
	bool enabled = IsEnabled();

	BRect box = _BoxFrame();
	SetHighColor(enabled ? white : tint_color(panel, B_LIGHTEN_1_TINT));
	FillRect(box);

	// Sunken twice: a light outer bevel, a dark inner one; a press darkens the whole box.
	BeginLineArray(8);
	if (fOutlined && enabled) {
		AddLine(box.LeftBottom(), box.LeftTop(), darken3);
		AddLine(box.LeftTop(), box.RightTop(), darken3);
		AddLine(box.LeftBottom() + BPoint(1, 0), box.RightBottom(), darken3);
		AddLine(box.RightBottom(), box.RightTop() + BPoint(0, 1), darken3);
		box.InsetBy(1, 1);
		AddLine(box.LeftBottom(), box.LeftTop(), darken2);
		AddLine(box.LeftTop(), box.RightTop(), darken2);
		AddLine(box.LeftBottom() + BPoint(1, 0), box.RightBottom(), darken4);
		AddLine(box.RightBottom(), box.RightTop() + BPoint(0, 1), darken4);
	} else {
		AddLine(box.LeftBottom(), box.LeftTop(), darken1);
		AddLine(box.LeftTop(), box.RightTop(), darken1);
		AddLine(box.LeftBottom() + BPoint(1, 0), box.RightBottom(), white);
		AddLine(box.RightBottom(), box.RightTop() + BPoint(0, 1), white);
		box.InsetBy(1, 1);
		rgb_color inner = enabled ? darken4 : darken2;
		AddLine(box.LeftBottom(), box.LeftTop(), inner);
		AddLine(box.LeftTop(), box.RightTop(), inner);
		AddLine(box.LeftBottom() + BPoint(1, 0), box.RightBottom(), panel);
		AddLine(box.RightBottom(), box.RightTop() + BPoint(0, 1), panel);
	}
	EndLineArray();

	if (Value() != B_CONTROL_OFF) {
		// A cross two pixels thick, in the keyboard navigation colour.
		box.InsetBy(2, 2);
		SetHighColor(enabled ? ui_color(B_KEYBOARD_NAVIGATION_COLOR) : darken2);
		StrokeLine(box.LeftTop(), box.RightBottom());
		StrokeLine(box.LeftTop() + BPoint(1, 0), box.RightBottom() - BPoint(0, 1));
		StrokeLine(box.LeftBottom(), box.RightTop());
		StrokeLine(box.LeftBottom() + BPoint(1, 0), box.RightTop() + BPoint(0, 1));
	}

	if (Label() != NULL) {
		font_height height;
		GetFontHeight(&height);
		BPoint where(ceilf(10.0f + height.ascent), 3.0f + ceilf(height.ascent));
		SetHighColor(tint_color(panel, enabled ? B_DARKEN_MAX_TINT : B_DISABLED_LABEL_TINT));
		SetLowColor(ViewColor());
		DrawString(Label(), where);
		if (IsFocus() && Window() != NULL && Window()->IsActive()) {
			SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
			float y = where.y + 2;
			StrokeLine(BPoint(where.x, y), BPoint(where.x + StringWidth(Label()), y));
		}
	}
}

void
BCheckBox::AttachedToWindow()
{
	BControl::AttachedToWindow();
}

void
BCheckBox::MouseDown(BPoint where)
{
	if (!IsEnabled())
		return;
	fOutlined = true;
	SetTracking(true);
	SetMouseEventMask(B_POINTER_EVENTS);
	Invalidate();
	BControl::MouseDown(where);
}

void
BCheckBox::MessageReceived(BMessage* message)
{
	BControl::MessageReceived(message);
}

void
BCheckBox::WindowActivated(bool active)
{
	BControl::WindowActivated(active);
}

void
BCheckBox::KeyDown(const char* bytes, int32 numBytes)
{
	BControl::KeyDown(bytes, numBytes);
}

void
BCheckBox::MouseUp(BPoint where)
{
	if (!IsTracking())
		return;
	SetTracking(false);
	fOutlined = false;
	if (Bounds().Contains(where)) {
		SetValue(Value() != B_CONTROL_OFF ? B_CONTROL_OFF : B_CONTROL_ON);
		Invoke();
	}
	Invalidate();
}

void
BCheckBox::MouseMoved(BPoint where, uint32 /*transit*/, const BMessage* /*dragMessage*/)
{
	if (!IsTracking())
		return;
	bool inside = Bounds().Contains(where);
	if (inside != fOutlined) {
		fOutlined = inside;
		Invalidate();
	}
}

void
BCheckBox::DetachedFromWindow()
{
	BControl::DetachedFromWindow();
}

void
BCheckBox::SetValue(int32 value)
{
	BControl::SetValue(value != B_CONTROL_OFF ? B_CONTROL_ON : B_CONTROL_OFF);
}

void
BCheckBox::GetPreferredSize(float* width, float* height)
{
	font_height fontHeight;
	GetFontHeight(&fontHeight);
	if (width != NULL) {
		float labelWidth = Label() != NULL ? StringWidth(Label()) : 0;
		*width = ceilf(12.0f + fontHeight.ascent + labelWidth);
	}
	if (height != NULL)
		*height = ceilf(6.0f + fontHeight.ascent + fontHeight.descent);
}

void
BCheckBox::ResizeToPreferred()
{
	BControl::ResizeToPreferred();
}

status_t
BCheckBox::Invoke(BMessage* message)
{
	return BControl::Invoke(message);
}

void
BCheckBox::FrameMoved(BPoint newPosition)
{
	BControl::FrameMoved(newPosition);
}

void
BCheckBox::FrameResized(float newWidth, float newHeight)
{
	BControl::FrameResized(newWidth, newHeight);
}

void
BCheckBox::MakeFocus(bool focus)
{
	BControl::MakeFocus(focus);
}

void
BCheckBox::AllAttached()
{
	BControl::AllAttached();
}

void
BCheckBox::AllDetached()
{
	BControl::AllDetached();
}

BRect
BCheckBox::_BoxFrame() const
{
	font_height height;
	GetFontHeight(&height);
	return BRect(0.0f, 2.0f, ceilf(3.0f + height.ascent), ceilf(5.0f + height.ascent));
}

#include <TextControl.h>

#include <math.h>

#include <algorithm>

#include <Window.h>

#include "TextInput.h"

namespace {

// The field's bevel takes two pixels on every side, the text two more inside it.
const float kFrameMargin = 2.0f;
const float kTextMargin = 2.0f;

} // namespace

BTextControl::BTextControl(BRect frame, const char* name, const char* label,
	const char* initialText, BMessage* message, uint32 resizingMode, uint32 flags) :
	BControl(frame, name, label, message, resizingMode, flags | B_FRAME_EVENTS),
	fText(NULL),
	fModificationMessage(NULL),
	fLabelAlignment(B_ALIGN_LEFT),
	fDivider(label != NULL ? floorf(frame.Width() / 2) : 0),
	fTextWantsNavigation((flags & B_NAVIGABLE) != 0)
{
	ResizeTo(Bounds().Width(), _PreferredHeight());

	BRect textFrame = _TextFrame();
	BRect textRect = textFrame.OffsetToCopy(B_ORIGIN).InsetByCopy(kTextMargin, kTextMargin);
	uint32 textFlags = B_WILL_DRAW | B_PULSE_NEEDED | B_FRAME_EVENTS;
	if (fTextWantsNavigation)
		textFlags |= B_NAVIGABLE;
	fText = new BPrivate::TextInput(textFrame, textRect, B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP,
		textFlags);
	// The control itself is passed over by keyboard navigation; its field is not.
	BView::SetFlags(Flags() & ~B_NAVIGABLE);
	AddChild(fText);
	fText->SetText(initialText);
	fText->SetInitialText();
}

BTextControl::~BTextControl()
{
	delete fModificationMessage;
}

void
BTextControl::SetText(const char* text)
{
	fText->SetText(text);
	if (!fText->IsFocus())
		fText->SetInitialText();
}

const char*
BTextControl::Text() const
{
	return fText->Text();
}

void
BTextControl::SetValue(int32 value)
{
	BControl::SetValue(value);
}

status_t
BTextControl::Invoke(BMessage* message)
{
	return BControl::Invoke(message);
}

BTextView*
BTextControl::TextView() const
{
	return fText;
}

void
BTextControl::SetModificationMessage(BMessage* message)
{
	if (message == fModificationMessage)
		return;
	delete fModificationMessage;
	fModificationMessage = message;
}

BMessage*
BTextControl::ModificationMessage() const
{
	return fModificationMessage;
}

void
BTextControl::SetAlignment(alignment label, alignment text)
{
	fLabelAlignment = label;
	fText->SetAlignment(text);
	Invalidate();
}

void
BTextControl::GetAlignment(alignment* label, alignment* text) const
{
	if (label != NULL)
		*label = fLabelAlignment;
	if (text != NULL)
		*text = fText->Alignment();
}

void
BTextControl::SetDivider(float dividingLine)
{
	fDivider = floorf(dividingLine + 0.5f);
	BRect frame = _TextFrame();
	fText->MoveTo(frame.LeftTop());
	fText->ResizeTo(frame.Width(), frame.Height());
	BRect textRect = frame.OffsetToCopy(B_ORIGIN).InsetByCopy(kTextMargin, kTextMargin);
	fText->SetTextRect(textRect);
	Invalidate();
}

float
BTextControl::Divider() const
{
	return fDivider;
}

void
BTextControl::Draw(BRect /*updateRect*/)
{
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	rgb_color white = tint_color(panel, B_LIGHTEN_MAX_TINT);
	rgb_color darken1 = tint_color(panel, B_DARKEN_1_TINT);
	rgb_color darken2 = tint_color(panel, B_DARKEN_2_TINT);
	rgb_color darken4 = tint_color(panel, B_DARKEN_4_TINT);
	bool enabled = IsEnabled();
	bool active = fText->IsFocus() && Window() != NULL && Window()->IsActive();

	// Sunken twice around the field; the inner line turns blue while it has the focus.
	BRect rect = fText->Frame().InsetByCopy(-1, -1);
	BeginLineArray(8);
	if (active) {
		rgb_color blue = ui_color(B_KEYBOARD_NAVIGATION_COLOR);
		AddLine(rect.LeftBottom(), rect.LeftTop(), blue);
		AddLine(rect.LeftTop(), rect.RightTop(), blue);
		AddLine(rect.LeftBottom() + BPoint(1, 0), rect.RightBottom(), blue);
		AddLine(rect.RightBottom(), rect.RightTop() + BPoint(0, 1), blue);
	} else {
		rgb_color inner = enabled ? darken4 : darken2;
		AddLine(rect.LeftBottom(), rect.LeftTop(), inner);
		AddLine(rect.LeftTop(), rect.RightTop(), inner);
		AddLine(rect.LeftBottom() + BPoint(1, 0), rect.RightBottom(), panel);
		AddLine(rect.RightBottom(), rect.RightTop() + BPoint(0, 1), panel);
	}
	rect.InsetBy(-1, -1);
	AddLine(rect.LeftBottom(), rect.LeftTop(), darken1);
	AddLine(rect.LeftTop(), rect.RightTop(), darken1);
	AddLine(rect.LeftBottom() + BPoint(1, 0), rect.RightBottom(), enabled ? white : panel);
	AddLine(rect.RightBottom(), rect.RightTop() + BPoint(0, 1), enabled ? white : panel);
	EndLineArray();

	if (Label() == NULL)
		return;
	// The label stands on the same baseline as the field's text.
	font_height height;
	BFont font;
	fText->GetFontAndColor(0, &font);
	font.GetHeight(&height);
	float baseline = fText->Frame().top + fText->TextRect().top + height.ascent;
	float width = StringWidth(Label());
	float x;
	switch (fLabelAlignment) {
		case B_ALIGN_RIGHT:
			x = fDivider - width - 3.0f;
			break;
		case B_ALIGN_CENTER:
			x = floorf((fDivider - width) / 2);
			break;
		default:
			x = 3.0f;
			break;
	}
	SetHighColor(tint_color(panel, enabled ? B_DARKEN_MAX_TINT : B_DISABLED_LABEL_TINT));
	SetLowColor(ViewColor());
	DrawString(Label(), BPoint(x, baseline));
}

void
BTextControl::MouseDown(BPoint where)
{
	// A click on the label or the bevel puts the caret in the field.
	if (IsEnabled() && !fText->IsFocus())
		fText->MakeFocus(true);
	BControl::MouseDown(where);
}

void
BTextControl::AttachedToWindow()
{
	BControl::AttachedToWindow();
	_UpdateTextColors();
}

void
BTextControl::MakeFocus(bool focus)
{
	fText->MakeFocus(focus);
}

void
BTextControl::SetEnabled(bool enabled)
{
	if (enabled == IsEnabled())
		return;
	if (!enabled && fText->IsFocus())
		fText->MakeFocus(false);
	BControl::SetEnabled(enabled);
	fText->MakeEditable(enabled);
	fText->MakeSelectable(enabled);
	if (enabled && fTextWantsNavigation)
		fText->SetFlags(fText->Flags() | B_NAVIGABLE);
	else
		fText->SetFlags(fText->Flags() & ~B_NAVIGABLE);
	_UpdateTextColors();
	Invalidate();
}

void
BTextControl::FrameMoved(BPoint newPosition)
{
	BControl::FrameMoved(newPosition);
}

void
BTextControl::FrameResized(float newWidth, float newHeight)
{
	Invalidate();
	BControl::FrameResized(newWidth, newHeight);
}

void
BTextControl::WindowActivated(bool active)
{
	if (fText->IsFocus())
		Invalidate();
	BControl::WindowActivated(active);
}

void
BTextControl::GetPreferredSize(float* width, float* height)
{
	if (width != NULL) {
		float labelWidth = Label() != NULL ? StringWidth(Label()) + 6 : 0;
		*width = ceilf(std::max(Bounds().Width(), labelWidth + 40));
	}
	if (height != NULL)
		*height = _PreferredHeight();
}

void
BTextControl::ResizeToPreferred()
{
	BControl::ResizeToPreferred();
}

void
BTextControl::SetFlags(uint32 flags)
{
	fTextWantsNavigation = (flags & B_NAVIGABLE) != 0;
	if (fText != NULL) {
		if (fTextWantsNavigation && IsEnabled())
			fText->SetFlags(fText->Flags() | B_NAVIGABLE);
		else
			fText->SetFlags(fText->Flags() & ~B_NAVIGABLE);
	}
	BControl::SetFlags(flags & ~B_NAVIGABLE);
}

void
BTextControl::MessageReceived(BMessage* message)
{
	BControl::MessageReceived(message);
}

void
BTextControl::MouseUp(BPoint where)
{
	BControl::MouseUp(where);
}

void
BTextControl::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	BControl::MouseMoved(where, transit, dragMessage);
}

void
BTextControl::DetachedFromWindow()
{
	BControl::DetachedFromWindow();
}

void
BTextControl::AllAttached()
{
	BControl::AllAttached();
}

void
BTextControl::AllDetached()
{
	BControl::AllDetached();
}

float
BTextControl::_PreferredHeight() const
{
	font_height height;
	GetFontHeight(&height);
	float lineHeight = ceilf(height.ascent + height.descent + height.leading);
	return lineHeight + 2 * (kFrameMargin + kTextMargin) - 1;
}

BRect
BTextControl::_TextFrame() const
{
	BRect bounds = Bounds();
	return BRect(fDivider + kFrameMargin, kFrameMargin, bounds.right - kFrameMargin,
		bounds.bottom - kFrameMargin);
}

void
BTextControl::_UpdateTextColors()
{
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	rgb_color background = {255, 255, 255, 255};
	rgb_color text = {0, 0, 0, 255};
	if (!IsEnabled()) {
		background = tint_color(panel, B_LIGHTEN_2_TINT);
		text = tint_color(panel, B_DISABLED_LABEL_TINT);
	}
	fText->SetViewColor(background);
	fText->SetLowColor(background);
	fText->SetFontAndColor(NULL, 0, &text);
	fText->Invalidate();
}

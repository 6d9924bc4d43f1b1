#include <Control.h>

#include <stdlib.h>
#include <string.h>

#include <OS.h>
#include <Window.h>

#include "InterfacePrivate.h"

namespace {

char*
CopyLabel(const char* label)
{
	return label != NULL ? strdup(label) : NULL;
}

} // namespace

BControl::BControl(BRect frame, const char* name, const char* label, BMessage* message,
	uint32 resizingMode, uint32 flags) :
	BView(frame, name, resizingMode, flags),
	BInvoker(message, NULL, NULL),
	fLabel(CopyLabel(label)),
	fValue(B_CONTROL_OFF),
	fEnabled(true),
	fFocusChanging(false),
	fTracking(false),
	fWantsNavigation((flags & B_NAVIGABLE) != 0)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	SetLowColor(ViewColor());
}

BControl::~BControl()
{
	free(fLabel);
}

void
BControl::WindowActivated(bool active)
{
	// The focus mark shows only in the active window.
	if (IsFocus())
		Invalidate();
	BView::WindowActivated(active);
}

void
BControl::AttachedToWindow()
{
	rgb_color color = ui_color(B_PANEL_BACKGROUND_COLOR);
	if (Parent() != NULL && !BPrivate::is_transparent_color(Parent()->ViewColor()))
		color = Parent()->ViewColor();
	SetViewColor(color);
	SetLowColor(color);
	if (!IsTargetLocal())
		SetTarget(Window());
	BView::AttachedToWindow();
}

void
BControl::MessageReceived(BMessage* message)
{
	BView::MessageReceived(message);
}

void
BControl::MakeFocus(bool focus)
{
	if (focus == IsFocus())
		return;
	fFocusChanging = true;
	BView::MakeFocus(focus);
	Invalidate();
	fFocusChanging = false;
}

void
BControl::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes == 1 && (bytes[0] == B_SPACE || bytes[0] == B_ENTER) && IsEnabled()) {
		SetValue(Value() != B_CONTROL_OFF ? B_CONTROL_OFF : B_CONTROL_ON);
		Invoke();
		return;
	}
	BView::KeyDown(bytes, numBytes);
}

void
BControl::MouseDown(BPoint where)
{
	BView::MouseDown(where);
}

void
BControl::MouseUp(BPoint where)
{
	BView::MouseUp(where);
}

void
BControl::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	BView::MouseMoved(where, transit, dragMessage);
}

void
BControl::DetachedFromWindow()
{
	BView::DetachedFromWindow();
}

void
BControl::SetLabel(const char* label)
{
	if (label == fLabel || (label != NULL && fLabel != NULL && strcmp(label, fLabel) == 0))
		return;
	free(fLabel);
	fLabel = CopyLabel(label);
	Invalidate();
}

const char*
BControl::Label() const
{
	return fLabel;
}

void
BControl::SetValue(int32 value)
{
	if (value == fValue)
		return;
	fValue = value;
	Invalidate();
}

int32
BControl::Value() const
{
	return fValue;
}

void
BControl::SetEnabled(bool enabled)
{
	if (enabled == fEnabled)
		return;
	fEnabled = enabled;
	// Not through the SetFlags hook: a control that passes navigation on to a child
	// (BTextControl) manages that child itself.
	if (enabled) {
		if (fWantsNavigation)
			BView::SetFlags(Flags() | B_NAVIGABLE);
	} else {
		fWantsNavigation = (Flags() & B_NAVIGABLE) != 0;
		BView::SetFlags(Flags() & ~B_NAVIGABLE);
		if (IsFocus())
			MakeFocus(false);
	}
	Invalidate();
}

bool
BControl::IsEnabled() const
{
	return fEnabled;
}

void
BControl::GetPreferredSize(float* width, float* height)
{
	BView::GetPreferredSize(width, height);
}

void
BControl::ResizeToPreferred()
{
	BView::ResizeToPreferred();
}

status_t
BControl::Invoke(BMessage* message)
{
	if (message == NULL)
		message = Message();
	if (message == NULL)
		return B_BAD_VALUE;
	BMessage copy(*message);
	copy.AddInt64("when", system_time());
	copy.AddPointer("source", this);
	return BInvoker::Invoke(&copy);
}

void
BControl::AllAttached()
{
	BView::AllAttached();
}

void
BControl::AllDetached()
{
	BView::AllDetached();
}

bool
BControl::IsFocusChanging() const
{
	return fFocusChanging;
}

bool
BControl::IsTracking() const
{
	return fTracking;
}

void
BControl::SetTracking(bool tracking)
{
	fTracking = tracking;
}

void
BControl::SetValueNoUpdate(int32 value)
{
	fValue = value;
}

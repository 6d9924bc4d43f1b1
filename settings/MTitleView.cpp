#include "MTitleView.h"

#include <InterfaceDefs.h>
#include <Window.h>

#include "ScreenFit.h"

namespace {

const rgb_color kLightEdge = {255, 255, 80, 255};
const rgb_color kFill = {255, 203, 0, 255};
const rgb_color kDarkEdge = {175, 123, 0, 255};

} // namespace

MTitleView::MTitleView(BRect frame) :
	BView(frame, "title-view", B_FOLLOW_ALL, B_WILL_DRAW),
	fDragging(false)
{
	// Pointer events outside the strip keep a drag going; keyboard events without the
	// focus let Escape work from every field of the window.
	SetEventMask(B_POINTER_EVENTS | B_KEYBOARD_EVENTS, B_NO_POINTER_HISTORY);
}

MTitleView::~MTitleView()
{
}

void
MTitleView::Draw(BRect /*updateRect*/)
{
	BRect bounds = Bounds();
	SetHighColor(kLightEdge);
	StrokeLine(BPoint(0, 0), BPoint(bounds.right, 0));
	StrokeLine(BPoint(0, 1), BPoint(0, bounds.bottom));
	SetHighColor(kFill);
	FillRect(BRect(1, 1, bounds.right - 1, bounds.bottom), B_SOLID_HIGH);
	SetHighColor(kDarkEdge);
	StrokeLine(BPoint(bounds.right, 1), BPoint(bounds.right, bounds.bottom));
}

void
MTitleView::MouseDown(BPoint where)
{
	fDragging = false;
	if (!Bounds().Contains(where))
		return;
	fLastScreenPoint = ConvertToScreen(where);
	fWindowFrame = Window()->Frame();
	fDragging = true;
}

void
MTitleView::MouseUp(BPoint /*where*/)
{
	fDragging = false;
}

void
MTitleView::MouseMoved(BPoint where, uint32 /*transit*/, const BMessage* /*dragMessage*/)
{
	BPoint pointer;
	uint32 buttons;
	GetMouse(&pointer, &buttons, true);
	// While the window is inactive the grab point stays behind; the first move after it is
	// active again catches up with the pointer.
	if (buttons == 0 || !fDragging || !Window()->IsActive())
		return;

	ConvertToScreen(&where);
	fWindowFrame.OffsetBy(where.x - fLastScreenPoint.x, where.y - fLastScreenPoint.y);
	fWindowFrame = FitOnScreen(fWindowFrame);
	Window()->MoveTo(fWindowFrame.left, fWindowFrame.top);
	fWindowFrame = Window()->Frame();
	fLastScreenPoint = where;
}

void
MTitleView::KeyDown(const char* bytes, int32 numBytes)
{
	// The window's own Hide saves the pages before it hides.
	if (numBytes > 0 && bytes[0] == B_ESCAPE && !Window()->IsHidden())
		Window()->Hide();
}

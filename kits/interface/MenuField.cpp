#include <MenuField.h>

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include <MenuItem.h>
#include <Message.h>
#include <String.h>
#include <Window.h>

#include "InterfacePrivate.h"
#include "MenuFieldItem.h"
#include "MenuPrivate.h"

namespace {

const float kMarkerSpace = 14.0f;
const float kTextInset = 5.0f;

} // namespace

BMenuField::BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
	uint32 resizingMode, uint32 flags) :
	BView(frame, name, resizingMode, flags)
{
	_Init(label, menu, false);
}

BMenuField::BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
	bool fixedSize, uint32 resizingMode, uint32 flags) :
	BView(frame, name, resizingMode, flags)
{
	_Init(label, menu, fixedSize);
}

BMenuField::~BMenuField()
{
	// The item owns the menu.
	delete fMenuItem;
	free(fLabel);
}

void
BMenuField::Draw(BRect /*updateRect*/)
{
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	rgb_color white = tint_color(panel, B_LIGHTEN_MAX_TINT);
	rgb_color darken1 = tint_color(panel, B_DARKEN_1_TINT);
	rgb_color darken2 = tint_color(panel, B_DARKEN_2_TINT);
	rgb_color darken4 = tint_color(panel, B_DARKEN_4_TINT);
	bool enabled = IsEnabled();
	bool active = IsFocus() && Window() != NULL && Window()->IsActive();
	rgb_color text = tint_color(panel, enabled ? B_DARKEN_MAX_TINT : B_DISABLED_LABEL_TINT);
	float baseline = _Baseline();

	if (fLabel != NULL) {
		float width = StringWidth(fLabel);
		float x = 3;
		if (fAlignment == B_ALIGN_RIGHT)
			x = fDivider - width - 3;
		else if (fAlignment == B_ALIGN_CENTER)
			x = floorf((fDivider - width) / 2);
		SetHighColor(text);
		SetLowColor(ViewColor());
		DrawString(fLabel, BPoint(x, baseline));
	}

	// A raised box with a shadow below and to the right.
	BRect box = _MenuFrame();
	SetHighColor(panel);
	FillRect(box);
	BeginLineArray(8);
	AddLine(BPoint(box.left + 1, box.bottom + 1), BPoint(box.right + 1, box.bottom + 1),
		enabled ? darken4 : darken1);
	AddLine(BPoint(box.right + 1, box.top + 1), BPoint(box.right + 1, box.bottom),
		enabled ? darken4 : darken1);
	rgb_color outline = active ? ui_color(B_KEYBOARD_NAVIGATION_COLOR) : darken2;
	AddLine(box.LeftTop(), box.RightTop(), outline);
	AddLine(box.LeftTop(), box.LeftBottom(), outline);
	AddLine(box.LeftBottom(), box.RightBottom(), outline);
	AddLine(box.RightTop(), box.RightBottom(), outline);
	BRect inner = box.InsetByCopy(1, 1);
	AddLine(inner.LeftBottom(), inner.LeftTop(), white);
	AddLine(inner.LeftTop(), inner.RightTop(), white);
	EndLineArray();
	SetHighColor(darken1);
	StrokeLine(inner.RightTop() + BPoint(0, 1), inner.RightBottom());
	StrokeLine(inner.LeftBottom() + BPoint(1, 0), inner.RightBottom());

	const char* shown = fMenuItem != NULL ? fMenuItem->Label() : NULL;
	if (shown != NULL) {
		BString truncated(shown);
		float room = box.Width() - 2 * kTextInset - (fShowMarker ? kMarkerSpace : 0);
		TruncateString(&truncated, B_TRUNCATE_END, std::max(0.0f, room));
		SetHighColor(text);
		SetLowColor(panel);
		DrawString(truncated.String(), BPoint(box.left + kTextInset, baseline));
	}
	if (fShowMarker) {
		// The pop-up marker: a small triangle pointing down.
		float x = box.right - 9;
		float y = floorf((box.top + box.bottom) / 2) - 1;
		SetHighColor(text);
		FillTriangle(BPoint(x, y), BPoint(x + 6, y), BPoint(x + 3, y + 3));
	}
}

void
BMenuField::AttachedToWindow()
{
	if (Parent() != NULL) {
		rgb_color color = Parent()->ViewColor();
		if (!BPrivate::is_transparent_color(color)) {
			SetViewColor(color);
			SetLowColor(color);
		}
	}
	BView::AttachedToWindow();
}

void
BMenuField::AllAttached()
{
	BView::AllAttached();
}

void
BMenuField::MouseDown(BPoint where)
{
	if (!IsEnabled() || !_MenuFrame().Contains(where))
		return;
	_OpenMenu();
}

void
BMenuField::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes == 1 && IsEnabled()
		&& (bytes[0] == B_SPACE || bytes[0] == B_ENTER || bytes[0] == B_DOWN_ARROW)) {
		_OpenMenu();
		return;
	}
	BView::KeyDown(bytes, numBytes);
}

void
BMenuField::MakeFocus(bool focus)
{
	if (focus == IsFocus())
		return;
	BView::MakeFocus(focus);
	Invalidate();
}

void
BMenuField::MessageReceived(BMessage* message)
{
	if (message->what != BPrivate::kMsgMenuClosed) {
		BView::MessageReceived(message);
		return;
	}
	// Chosen in the menu's window; marking it relabels the field here, in its own thread.
	int32 index = -1;
	message->FindInt32("index", &index);
	BMenuItem* item = fMenu != NULL ? fMenu->ItemAt(index) : NULL;
	if (item != NULL)
		item->Invoke();
	Invalidate();
}

void
BMenuField::WindowActivated(bool active)
{
	if (IsFocus())
		Invalidate();
	BView::WindowActivated(active);
}

void
BMenuField::MouseUp(BPoint where)
{
	BView::MouseUp(where);
}

void
BMenuField::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	BView::MouseMoved(where, transit, dragMessage);
}

void
BMenuField::DetachedFromWindow()
{
	BView::DetachedFromWindow();
}

void
BMenuField::AllDetached()
{
	BView::AllDetached();
}

void
BMenuField::FrameMoved(BPoint newPosition)
{
	BView::FrameMoved(newPosition);
}

void
BMenuField::FrameResized(float newWidth, float newHeight)
{
	Invalidate();
	BView::FrameResized(newWidth, newHeight);
}

BMenu*
BMenuField::Menu() const
{
	return fMenu;
}

BMenuItem*
BMenuField::MenuItem() const
{
	return fMenuItem;
}

void
BMenuField::SetLabel(const char* label)
{
	free(fLabel);
	fLabel = label != NULL ? strdup(label) : NULL;
	Invalidate();
}

const char*
BMenuField::Label() const
{
	return fLabel;
}

void
BMenuField::SetEnabled(bool enabled)
{
	if (enabled == fEnabled)
		return;
	fEnabled = enabled;
	if (fMenu != NULL)
		fMenu->SetEnabled(enabled);
	if (enabled) {
		if (fWantsNavigation)
			SetFlags(Flags() | B_NAVIGABLE);
	} else {
		fWantsNavigation = (Flags() & B_NAVIGABLE) != 0;
		SetFlags(Flags() & ~B_NAVIGABLE);
		if (IsFocus())
			MakeFocus(false);
	}
	Invalidate();
}

bool
BMenuField::IsEnabled() const
{
	return fEnabled;
}

void
BMenuField::SetAlignment(alignment label)
{
	fAlignment = label;
	Invalidate();
}

alignment
BMenuField::Alignment() const
{
	return fAlignment;
}

void
BMenuField::SetDivider(float dividingLine)
{
	fDivider = floorf(dividingLine + 0.5f);
	Invalidate();
}

float
BMenuField::Divider() const
{
	return fDivider;
}

void
BMenuField::ShowPopUpMarker()
{
	fShowMarker = true;
	Invalidate();
}

void
BMenuField::HidePopUpMarker()
{
	fShowMarker = false;
	Invalidate();
}

void
BMenuField::ResizeToPreferred()
{
	BView::ResizeToPreferred();
}

void
BMenuField::GetPreferredSize(float* width, float* height)
{
	font_height fontHeight;
	GetFontHeight(&fontHeight);
	if (width != NULL) {
		const char* shown = fMenuItem != NULL ? fMenuItem->Label() : "";
		*width = ceilf(fDivider + StringWidth(shown) + 2 * kTextInset + kMarkerSpace + 4);
	}
	if (height != NULL)
		*height = ceilf(fontHeight.ascent + fontHeight.descent + fontHeight.leading) + 8;
}

void
BMenuField::_Init(const char* label, BMenu* menu, bool fixedSize)
{
	fLabel = label != NULL ? strdup(label) : NULL;
	fMenu = menu;
	fMenuItem = menu != NULL ? new BPrivate::MenuFieldItem(this, menu) : NULL;
	fAlignment = B_ALIGN_LEFT;
	fDivider = label != NULL ? floorf(Bounds().Width() / 2) : 0;
	fEnabled = true;
	fFixedSize = fixedSize;
	fShowMarker = true;
	fWantsNavigation = (Flags() & B_NAVIGABLE) != 0;
	if (fMenu != NULL)
		fMenu->fOwner = this;
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	SetLowColor(ViewColor());
}

BRect
BMenuField::_MenuFrame() const
{
	BRect bounds = Bounds();
	font_height fontHeight;
	GetFontHeight(&fontHeight);
	float height = ceilf(fontHeight.ascent + fontHeight.descent + fontHeight.leading) + 4;
	// Centred in the field's height, with room for the shadow.
	float top = std::max(0.0f, floorf((bounds.Height() - height - 1) / 2));
	BRect frame(fDivider + 1, top, bounds.right - 2, std::min(top + height, bounds.bottom - 1));
	if (!fFixedSize) {
		const char* shown = fMenuItem != NULL ? fMenuItem->Label() : "";
		float width = ceilf(StringWidth(shown)) + 2 * kTextInset + (fShowMarker ? kMarkerSpace : 0);
		frame.right = std::min(frame.right, frame.left + width);
	}
	return frame;
}

float
BMenuField::_Baseline() const
{
	font_height fontHeight;
	GetFontHeight(&fontHeight);
	return _MenuFrame().top + 2 + ceilf(fontHeight.ascent);
}

void
BMenuField::_OpenMenu()
{
	if (fMenu == NULL || Window() == NULL)
		return;
	BRect box = _MenuFrame();
	BPoint where = ConvertToScreen(BPoint(box.left, box.bottom + 1));
	fMenu->_Open(where, this, true, false);
}

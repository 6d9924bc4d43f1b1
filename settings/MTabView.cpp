#include "MTabView.h"

#include <InterfaceDefs.h>

namespace {

const rgb_color kUnselectedFill = {192, 192, 192, 255};
const rgb_color kGripLight = {255, 255, 255, 255};
const rgb_color kGripDark = {100, 100, 100, 255};
// Room at a tab's left that holds the grip; the label is centred in the rest.
const float kGripMargin = 6.0f;

} // namespace

MTabView::MTabView(BRect frame, const char* name) :
	BTabView(frame, name, B_WIDTH_FROM_LABEL, B_FOLLOW_ALL,
		B_FULL_UPDATE_ON_RESIZE | B_WILL_DRAW | B_NAVIGABLE_JUMP | B_FRAME_EVENTS | B_NAVIGABLE)
{
}

MTabView::~MTabView()
{
}

BRect
MTabView::DrawTabs()
{
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	for (int32 i = 0; i < CountTabs(); i++) {
		BRect frame = TabFrame(i);
		if (i == Selection()) {
			SetHighColor(tint_color(panel, B_LIGHTEN_MAX_TINT));
			StrokeLine(BPoint(frame.left, 1), BPoint(frame.left, frame.bottom));
			StrokeLine(BPoint(frame.left + 1, 0), BPoint(frame.right - 1, 0));
		}
		SetHighColor(tint_color(panel, B_DARKEN_4_TINT));
		StrokeLine(BPoint(frame.right, 1), BPoint(frame.right, frame.bottom));

		frame.InsetBy(1, 1);
		SetHighColor(i == Selection() ? panel : kUnselectedFill);
		FillRect(frame, B_SOLID_HIGH);

		_DrawLabel(i);
		_DrawRectOfPoint(BRect(frame.left, frame.top + 1, frame.left + 4, frame.bottom - 1));
	}
	return TabFrame(Selection());
}

void
MTabView::DrawBox(BRect selectedTabFrame)
{
	// Without tabs there is nothing to frame.
	if (CountTabs() == 0)
		return;
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	BRect bounds = Bounds();
	float top = selectedTabFrame.bottom + 1;
	BRect selected = TabFrame(Selection());

	SetHighColor(tint_color(panel, B_LIGHTEN_MAX_TINT));
	StrokeLine(BPoint(0, top), BPoint(0, bounds.bottom - 1));
	StrokeLine(BPoint(1, top), BPoint(bounds.right - 1, top));
	SetHighColor(tint_color(panel, B_DARKEN_4_TINT));
	StrokeLine(BPoint(bounds.right, top), BPoint(bounds.right, bounds.bottom));
	StrokeLine(BPoint(1, bounds.bottom), BPoint(bounds.right, bounds.bottom));
	// The selected tab opens into the box.
	SetHighColor(panel);
	StrokeLine(BPoint(selected.left + 1, top), BPoint(selected.right - 1, top));
}

BRect
MTabView::TabFrame(int32 index) const
{
	int32 count = CountTabs();
	if (index < 0 || index >= count)
		return BRect();
	float width = Bounds().right / count;
	return BRect(width * index, 0, width * index + width, TabHeight());
}

void
MTabView::_DrawLabel(int32 index)
{
	BTab* tab = TabAt(index);
	if (tab == NULL)
		return;
	BFont font;
	GetFont(&font);
	float size = font.Size();
	float baseline = size + (TabHeight() - size) * 0.5f - 1;

	const char* label = tab->Label() != NULL ? tab->Label() : "";
	BRect frame = TabFrame(index);
	float width = frame.right - frame.left;
	float x = frame.left + kGripMargin + (width - kGripMargin - StringWidth(label)) * 0.5f;

	SetHighColor(tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_DARKEN_MAX_TINT));
	DrawString(label, BPoint(x, baseline));
}

void
MTabView::_DrawRectOfPoint(BRect rect)
{
	// Dotted: every other pixel of each line is the low colour.
	SetHighColor(kGripLight);
	StrokeLine(BPoint(rect.left + 1, rect.top), BPoint(rect.left + 1, rect.bottom - 2),
		B_MIXED_COLORS);
	SetHighColor(kGripDark);
	StrokeLine(BPoint(rect.left + 2, rect.top + 1), BPoint(rect.left + 2, rect.bottom - 1),
		B_MIXED_COLORS);
	SetHighColor(kGripLight);
	StrokeLine(BPoint(rect.left + 3, rect.top), BPoint(rect.left + 3, rect.bottom - 2),
		B_MIXED_COLORS);
	SetHighColor(kGripDark);
	StrokeLine(BPoint(rect.left + 4, rect.top + 1), BPoint(rect.left + 4, rect.bottom - 1),
		B_MIXED_COLORS);
}

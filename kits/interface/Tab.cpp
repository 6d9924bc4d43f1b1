#include <TabView.h>

#include <math.h>

#include <Window.h>

namespace {

// How far a tab's sides lean in from its bottom corners.
const float kSlant = 6.0f;

} // namespace

BTab::BTab(BView* contents) :
	fView(contents),
	fSelected(false),
	fEnabled(true),
	fFocus(false)
{
}

BTab::~BTab()
{
	// A selected view leaves its container as it goes.
	delete fView;
}

const char*
BTab::Label() const
{
	return fView != NULL ? fView->Name() : NULL;
}

void
BTab::SetLabel(const char* label)
{
	if (label == NULL || fView == NULL)
		return;
	fView->SetName(label);
	BView* container = fView->Parent();
	BView* tabView = container != NULL ? container->Parent() : NULL;
	if (tabView != NULL)
		tabView->Invalidate();
}

bool
BTab::IsSelected() const
{
	return fSelected;
}

void
BTab::Select(BView* owner)
{
	fSelected = true;
	if (owner != NULL && fView != NULL && fView->Parent() == NULL && fView->Window() == NULL)
		owner->AddChild(fView);
}

void
BTab::Deselect()
{
	fSelected = false;
	if (fView != NULL)
		fView->RemoveSelf();
}

void
BTab::SetEnabled(bool enabled)
{
	fEnabled = enabled;
}

bool
BTab::IsEnabled() const
{
	return fEnabled;
}

void
BTab::MakeFocus(bool focus)
{
	fFocus = focus;
}

bool
BTab::IsFocus() const
{
	return fFocus;
}

void
BTab::SetView(BView* contents)
{
	if (contents == fView)
		return;
	BView* container = fView != NULL ? fView->Parent() : NULL;
	delete fView;
	fView = contents;
	if (fSelected && container != NULL && fView != NULL)
		container->AddChild(fView);
}

BView*
BTab::View() const
{
	return fView;
}

void
BTab::DrawFocusMark(BView* owner, BRect frame)
{
	const char* label = Label();
	if (owner == NULL || label == NULL)
		return;
	BFont font;
	owner->GetFont(&font);
	float width = owner->StringWidth(label);
	float x = floorf(frame.left + (frame.Width() - width) / 2);
	float y = floorf(frame.top + font.Size() + (frame.Height() - font.Size()) / 2 - 1) + 2;
	owner->SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
	owner->StrokeLine(BPoint(x, y), BPoint(x + width, y));
}

void
BTab::DrawLabel(BView* owner, BRect frame)
{
	const char* label = Label();
	if (owner == NULL || label == NULL)
		return;
	BFont font;
	owner->GetFont(&font);
	float width = owner->StringWidth(label);
	float x = floorf(frame.left + (frame.Width() - width) / 2);
	float y = floorf(frame.top + font.Size() + (frame.Height() - font.Size()) / 2 - 1);
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	owner->SetHighColor(tint_color(panel, IsEnabled() ? B_DARKEN_MAX_TINT : B_DISABLED_LABEL_TINT));
	owner->SetLowColor(panel);
	owner->DrawString(label, BPoint(x, y));
}

void
BTab::DrawTab(BView* owner, BRect frame, tab_position position, bool full)
{
	if (owner == NULL)
		return;
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	rgb_color white = tint_color(panel, B_LIGHTEN_MAX_TINT);
	rgb_color shadow = tint_color(panel, B_DARKEN_2_TINT);
	rgb_color dark = tint_color(panel, B_DARKEN_4_TINT);
	bool front = position == B_TAB_FRONT;

	// A trapezoid standing on the box; tabs behind the front one are a shade darker
	// and a pixel lower.
	float top = frame.top + (front ? 0 : 2);
	float bottom = frame.bottom + (front ? 1 : 0);
	BPoint leftFoot(frame.left, bottom);
	BPoint leftShoulder(frame.left + kSlant, top);
	BPoint rightShoulder(frame.right - kSlant, top);
	BPoint rightFoot(frame.right, bottom);
	owner->SetHighColor(front ? panel : rgb_color{200, 200, 200, 255});
	owner->FillTriangle(leftFoot, leftShoulder, BPoint(leftShoulder.x, bottom));
	owner->FillRect(BRect(leftShoulder.x, top, rightShoulder.x, bottom));
	owner->FillTriangle(rightFoot, rightShoulder, BPoint(rightShoulder.x, bottom));

	owner->BeginLineArray(4);
	owner->AddLine(leftFoot, leftShoulder, white);
	owner->AddLine(leftShoulder + BPoint(1, 0), rightShoulder - BPoint(1, 0), white);
	if (full || front) {
		owner->AddLine(rightShoulder, rightFoot, dark);
		owner->AddLine(rightShoulder + BPoint(0, 1), rightFoot - BPoint(1, 0), shadow);
	}
	owner->EndLineArray();

	DrawLabel(owner, frame.OffsetByCopy(0, front ? 0 : 1));
}

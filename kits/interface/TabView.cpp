#include <TabView.h>

#include <math.h>

#include <algorithm>

#include <Window.h>

namespace {

const float kDefaultTabHeight = 20.0f;
const float kUsualTabWidth = 100.0f;
const float kLabelPadding = 20.0f;
const float kFirstTabOffset = 6.0f;

// The width of a tab that is as wide as its label.
float
LabelTabWidth(const BView* view, const BTab* tab)
{
	const char* label = tab->Label();
	return ceilf(view->StringWidth(label != NULL ? label : "")) + kLabelPadding;
}

} // namespace

BTabView::BTabView(BRect frame, const char* name, button_width width, uint32 resizingMode,
	uint32 flags) :
	BView(frame, name, resizingMode, flags),
	fContainer(NULL),
	fTabWidth(width),
	fTabHeight(kDefaultTabHeight),
	fSelection(-1),
	fFocus(-1)
{
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	SetViewColor(panel);
	SetLowColor(panel);
	fContainer = new BView(_ContainerFrame(), "view container", B_FOLLOW_ALL, B_FRAME_EVENTS);
	fContainer->SetViewColor(B_TRANSPARENT_COLOR);
	AddChild(fContainer);
}

BTabView::~BTabView()
{
	for (BTab* tab : fTabs)
		delete tab;
}

void
BTabView::WindowActivated(bool active)
{
	if (IsFocus())
		Invalidate();
	BView::WindowActivated(active);
}

void
BTabView::AttachedToWindow()
{
	BView::AttachedToWindow();
}

void
BTabView::AllAttached()
{
	BView::AllAttached();
}

void
BTabView::AllDetached()
{
	BView::AllDetached();
}

void
BTabView::DetachedFromWindow()
{
	BView::DetachedFromWindow();
}

void
BTabView::MessageReceived(BMessage* message)
{
	BView::MessageReceived(message);
}

void
BTabView::FrameMoved(BPoint newPosition)
{
	BView::FrameMoved(newPosition);
}

void
BTabView::FrameResized(float width, float height)
{
	Invalidate();
	BView::FrameResized(width, height);
}

void
BTabView::KeyDown(const char* bytes, int32 numBytes)
{
	int32 count = CountTabs();
	if (numBytes == 1 && count > 0 && (bytes[0] == B_LEFT_ARROW || bytes[0] == B_RIGHT_ARROW)) {
		int32 step = bytes[0] == B_LEFT_ARROW ? count - 1 : 1;
		Select((std::max(fSelection, (int32)0) + step) % count);
		return;
	}
	BView::KeyDown(bytes, numBytes);
}

void
BTabView::MouseDown(BPoint where)
{
	for (int32 i = 0; i < CountTabs(); i++) {
		if (TabFrame(i).Contains(where)) {
			Select(i);
			return;
		}
	}
	BView::MouseDown(where);
}

void
BTabView::MouseUp(BPoint where)
{
	BView::MouseUp(where);
}

void
BTabView::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	BView::MouseMoved(where, transit, dragMessage);
}

void
BTabView::Pulse()
{
	BView::Pulse();
}

void
BTabView::Select(int32 index)
{
	if (index < 0 || index >= CountTabs() || index == fSelection)
		return;
	BTab* tab = TabAt(index);
	if (tab == NULL || !tab->IsEnabled())
		return;
	BTab* old = TabAt(fSelection);
	if (old != NULL)
		old->Deselect();
	fSelection = index;
	SetFocusTab(index, true);
	tab->Select(fContainer);
	Invalidate();
}

int32
BTabView::Selection() const
{
	return fSelection;
}

void
BTabView::MakeFocus(bool focus)
{
	BView::MakeFocus(focus);
	Invalidate();
}

void
BTabView::SetFocusTab(int32 index, bool focus)
{
	if (index < 0 || index >= CountTabs())
		return;
	BTab* old = TabAt(fFocus);
	if (old != NULL)
		old->MakeFocus(false);
	fFocus = focus ? index : -1;
	if (focus)
		TabAt(index)->MakeFocus(true);
	Invalidate();
}

int32
BTabView::FocusTab() const
{
	return fFocus;
}

void
BTabView::Draw(BRect /*updateRect*/)
{
	DrawBox(DrawTabs());
	if (IsFocus() && Window() != NULL && Window()->IsActive() && TabAt(fFocus) != NULL)
		TabAt(fFocus)->DrawFocusMark(this, TabFrame(fFocus));
}

BRect
BTabView::DrawTabs()
{
	// Tabs behind first, the front one over its neighbours.
	for (int32 i = 0; i < CountTabs(); i++) {
		if (i == fSelection)
			continue;
		tab_position position = i == 0 ? B_TAB_FIRST : B_TAB_ANY;
		TabAt(i)->DrawTab(this, TabFrame(i), position, i + 1 != fSelection);
	}
	if (TabAt(fSelection) != NULL)
		TabAt(fSelection)->DrawTab(this, TabFrame(fSelection), B_TAB_FRONT, true);
	return TabFrame(fSelection);
}

void
BTabView::DrawBox(BRect selectedTabFrame)
{
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	BRect bounds = Bounds();
	float top = fTabHeight + 1;
	BeginLineArray(6);
	rgb_color white = tint_color(panel, B_LIGHTEN_MAX_TINT);
	rgb_color dark = tint_color(panel, B_DARKEN_4_TINT);
	AddLine(BPoint(0, top), BPoint(0, bounds.bottom - 1), white);
	if (selectedTabFrame.IsValid()) {
		// The box opens under the front tab, whose sides reach down to it.
		AddLine(BPoint(1, top), BPoint(selectedTabFrame.left, top), white);
		AddLine(BPoint(selectedTabFrame.right, top), BPoint(bounds.right - 1, top), white);
	} else {
		AddLine(BPoint(1, top), BPoint(bounds.right - 1, top), white);
	}
	AddLine(BPoint(bounds.right, top), BPoint(bounds.right, bounds.bottom), dark);
	AddLine(BPoint(1, bounds.bottom), BPoint(bounds.right, bounds.bottom), dark);
	EndLineArray();
}

BRect
BTabView::TabFrame(int32 index) const
{
	if (index < 0 || index >= CountTabs())
		return BRect();
	float x = kFirstTabOffset;
	float width = kUsualTabWidth;
	switch (fTabWidth) {
		case B_WIDTH_FROM_LABEL:
			for (int32 i = 0; i < index; i++)
				x += LabelTabWidth(this, fTabs[i]);
			width = LabelTabWidth(this, fTabs[index]);
			break;
		case B_WIDTH_FROM_WIDEST:
			width = 0;
			for (BTab* tab : fTabs)
				width = std::max(width, LabelTabWidth(this, tab));
			x += index * width;
			break;
		default:
			x += index * width;
			break;
	}
	return BRect(x, 0, x + width, fTabHeight);
}

void
BTabView::SetFlags(uint32 flags)
{
	BView::SetFlags(flags);
}

void
BTabView::SetResizingMode(uint32 mode)
{
	BView::SetResizingMode(mode);
}

void
BTabView::GetPreferredSize(float* width, float* height)
{
	BView::GetPreferredSize(width, height);
}

void
BTabView::ResizeToPreferred()
{
	BView::ResizeToPreferred();
}

void
BTabView::AddTab(BView* contents, BTab* tab)
{
	if (tab == NULL)
		tab = new BTab(contents);
	else
		tab->SetView(contents);
	fTabs.push_back(tab);
	if (CountTabs() == 1)
		Select(0);
	Invalidate();
}

BTab*
BTabView::RemoveTab(int32 index)
{
	BTab* tab = TabAt(index);
	if (tab == NULL)
		return NULL;
	if (index == fSelection)
		tab->Deselect();
	fTabs.erase(fTabs.begin() + index);
	if (index == fSelection) {
		fSelection = -1;
		Select(std::max((int32)0, std::min(index, CountTabs() - 1)));
	} else if (index < fSelection) {
		fSelection--;
	}
	if (fFocus >= CountTabs() || index < fFocus)
		fFocus = fSelection;
	Invalidate();
	return tab;
}

BTab*
BTabView::TabAt(int32 index) const
{
	if (index < 0 || index >= CountTabs())
		return NULL;
	return fTabs[index];
}

void
BTabView::SetTabWidth(button_width width)
{
	fTabWidth = width;
	Invalidate();
}

button_width
BTabView::TabWidth() const
{
	return fTabWidth;
}

void
BTabView::SetTabHeight(float height)
{
	if (height == fTabHeight)
		return;
	fTabHeight = height;
	BRect frame = _ContainerFrame();
	fContainer->MoveTo(frame.LeftTop());
	fContainer->ResizeTo(frame.Width(), frame.Height());
	Invalidate();
}

float
BTabView::TabHeight() const
{
	return fTabHeight;
}

BView*
BTabView::ContainerView() const
{
	return fContainer;
}

int32
BTabView::CountTabs() const
{
	return (int32)fTabs.size();
}

BView*
BTabView::ViewForTab(int32 index) const
{
	BTab* tab = TabAt(index);
	return tab != NULL ? tab->View() : NULL;
}

BRect
BTabView::_ContainerFrame() const
{
	// Inside the one-pixel box whose top edge lies just below the tabs.
	BRect bounds = Bounds();
	return BRect(1, fTabHeight + 2, bounds.right - 1, bounds.bottom - 1);
}

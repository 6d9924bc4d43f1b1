#include "LogView.h"

#include <InterfaceDefs.h>
#include <ScrollView.h>
#include <TextView.h>

LogView::LogView(BRect frame) :
	BView(frame, "Log", B_FOLLOW_ALL_SIDES, B_WILL_DRAW)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));

	BRect rect = Bounds();
	rect.right -= 15;
	rect.bottom -= 15;
	rect.InsetBy(4, 4);
	// Lines are laid out about three times as wide as the view: long entries stay on one
	// line and are reached with the horizontal scroll bar.
	BRect textRect = rect.InsetByCopy(1, 1);
	textRect.right *= 3;

	fTextView = new BTextView(rect, "log-text-view", textRect, B_FOLLOW_ALL_SIDES,
		B_WILL_DRAW | B_PULSE_NEEDED);
	BScrollView* scrollView = new BScrollView("scroll-support", fTextView,
		B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, true, true, B_FANCY_BORDER);
	fTextView->SetWordWrap(false);
	AddChild(scrollView);
}

LogView::~LogView()
{
}

void
LogView::SetLog(const char* text)
{
	fTextView->SetText("");
	fTextView->Insert(text, (const text_run_array*)NULL);
}

#include "MUrlView.h"

#include <Roster.h>

namespace {

const rgb_color kPlainText = {50, 50, 170, 255};
const rgb_color kHighlightedText = {200, 0, 255, 255};
const char* const kMailScheme = "mailto:";

} // namespace

MUrlView::MUrlView(BRect frame, const char* name, const char* url, url_type type) :
	BView(frame, name, B_FOLLOW_LEFT_RIGHT, B_WILL_DRAW | B_FRAME_EVENTS),
	fHighlighted(false),
	fLabel(name),
	fUrl(url),
	fType(type)
{
	if (fType == URL_MAIL && fUrl.FindFirst(kMailScheme) < 0)
		fUrl.Prepend(kMailScheme);
	SetViewColor(255, 255, 255);
}

MUrlView::~MUrlView()
{
}

void
MUrlView::Draw(BRect /*updateRect*/)
{
	SetHighColor(ViewColor());
	FillRect(Bounds(), B_SOLID_HIGH);
	SetLowColor(ViewColor());
	SetHighColor(fHighlighted ? kHighlightedText : kPlainText);
	DrawString(fLabel.String(), BPoint(0, 10));
}

void
MUrlView::MouseDown(BPoint /*where*/)
{
	const char* type = NULL;
	if (fType == URL_WEB)
		type = "text/html";
	else if (fType == URL_MAIL)
		type = "text/x-email";

	char* address = fUrl.LockBuffer(0);
	// What the launch returns is not shown: a link without an application stays silent.
	if (type != NULL)
		be_roster->Launch(type, 1, &address);
	fUrl.UnlockBuffer();
}

void
MUrlView::MouseMoved(BPoint /*where*/, uint32 transit, const BMessage* /*dragMessage*/)
{
	switch (transit) {
		case B_ENTERED_VIEW:
			fHighlighted = true;
			Invalidate();
			break;
		case B_INSIDE_VIEW:
			// The pointer can be found inside without having entered, under a link shown
			// beneath a still pointer.
			if (!fHighlighted) {
				fHighlighted = true;
				Invalidate();
			}
			break;
		case B_EXITED_VIEW:
			fHighlighted = false;
			Invalidate();
			break;
		default:
			break;
	}
}

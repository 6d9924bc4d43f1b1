#include "AboutView.h"

#include <string.h>

#include <AppFileInfo.h>
#include <Bitmap.h>
#include <File.h>
#include <Font.h>
#include <InterfaceDefs.h>

#include "CPreferences.h"
#include "MUrlView.h"

namespace {

const char* const kWebAddress = "http://www.example.org/zorve";
const char* const kMailAddress = "zorve@example.org";

} // namespace

AboutView::AboutView(BRect frame, const CPreferences& prefs) :
	BView(frame, "About", B_FOLLOW_ALL, B_WILL_DRAW),
	fIcon(NULL),
	fWebLink(NULL),
	fMailLink(NULL)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));

	// Fully transparent until an icon is read: band and page show through an icon missing.
	fIcon = new BBitmap(BRect(0, 0, 31, 31), B_CMAP8, false, false);
	if (fIcon->InitCheck() == B_OK)
		memset(fIcon->Bits(), B_TRANSPARENT_MAGIC_CMAP8, fIcon->BitsLength());
	BFile file;
	if (file.SetTo(prefs.fApplicationPath.String(), B_READ_ONLY) == B_OK) {
		BAppFileInfo info;
		info.SetTo(&file);
		info.GetIcon(fIcon, B_LARGE_ICON);
	}

	fWebLink = new MUrlView(BRect(65, 72, 250, 87), kWebAddress, kWebAddress, URL_WEB);
	fWebLink->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	fMailLink = new MUrlView(BRect(80, 100, 210, 112), kMailAddress, kMailAddress, URL_MAIL);
	fMailLink->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	AddChild(fWebLink);
	AddChild(fMailLink);
}

AboutView::~AboutView()
{
	delete fIcon;
}

void
AboutView::MessageReceived(BMessage* /*message*/)
{
}

void
AboutView::Draw(BRect updateRect)
{
	SetHighColor(tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_LIGHTEN_1_TINT));
	FillRect(BRect(0, 0, 50, Bounds().bottom), B_SOLID_HIGH);

	// The icon straddles the band's edge; its transparent pixels let both show through.
	SetDrawingMode(B_OP_OVER);
	DrawBitmap(fIcon, BPoint(38, 13));
	SetDrawingMode(B_OP_COPY);

	SetHighColor(0, 0, 0);
	SetLowColor(ViewColor());

	// Only the shear is taken from the fresh font: family and style stay the view's.
	BFont font;
	SetFontSize(20);
	font.SetShear(105);
	SetFont(&font, B_FONT_SHEAR);
	DrawString("Zorve", BPoint(75, 30));

	SetFontSize(10);
	font.SetShear(90);
	SetFont(&font, B_FONT_SHEAR);
	DrawString("for BeOS", BPoint(110, 45));
	DrawString("v0.2a", BPoint(155, 45));
	DrawString("My web site", BPoint(115, 69));
	DrawString("My E-Mail", BPoint(122, 97));
	DrawString("Contact me by mail for bug or idea.", BPoint(65, 127));
	DrawString("Please write to me before you", BPoint(65, 137));
	DrawString("change this program.", BPoint(95, 147));

	BView::Draw(updateRect);
}

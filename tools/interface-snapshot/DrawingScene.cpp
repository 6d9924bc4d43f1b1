/*
 * The drawing scene: a title strip, a tab row and a page with a bitmap, sheared and upright
 * text, links and patterns, all drawn by hand with the view's drawing calls.
 */
#include <math.h>

#include <Bitmap.h>
#include <InterfaceDefs.h>
#include <View.h>
#include <Window.h>

#include "Scenes.h"
#include "WindowPort.h"

namespace {

const float kTabHeight = 20;
const char* const kTabLabels[] = {"About", "User", "Server", "Other", "Log"};
const int32 kTabCount = 5;

rgb_color
Panel(float tint = B_NO_TINT)
{
	return tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), tint);
}

class TitleStrip : public BView {
public:
	TitleStrip(BRect frame) :
		BView(frame, "title-view", B_FOLLOW_ALL, B_WILL_DRAW)
	{
	}

	void Draw(BRect) override
	{
		BRect bounds = Bounds();
		SetHighColor(255, 255, 80);
		StrokeLine(BPoint(0, 0), BPoint(bounds.right, 0));
		StrokeLine(BPoint(0, 1), BPoint(0, bounds.bottom));
		SetHighColor(255, 203, 0);
		FillRect(BRect(1, 1, bounds.right - 1, bounds.bottom));
		SetHighColor(175, 123, 0);
		StrokeLine(BPoint(bounds.right, 1), BPoint(bounds.right, bounds.bottom));
	}
};

class TabStrip : public BView {
public:
	TabStrip(BRect frame) :
		BView(frame, "settings-tab", B_FOLLOW_ALL, B_WILL_DRAW)
	{
		SetViewColor(Panel());
	}

	BRect TabFrame(int32 index) const
	{
		float width = Bounds().right / kTabCount;
		return BRect(width * index, 0, width * index + width, kTabHeight);
	}

	void Draw(BRect) override
	{
		for (int32 i = 0; i < kTabCount; i++) {
			BRect frame = TabFrame(i);
			if (i == 0) {
				SetHighColor(Panel(B_LIGHTEN_MAX_TINT));
				StrokeLine(BPoint(frame.left, 1), BPoint(frame.left, frame.bottom));
				StrokeLine(BPoint(frame.left + 1, 0), BPoint(frame.right - 1, 0));
			}
			SetHighColor(Panel(B_DARKEN_4_TINT));
			StrokeLine(BPoint(frame.right, 1), BPoint(frame.right, frame.bottom));
			frame.InsetBy(1, 1);
			SetHighColor(i == 0 ? Panel() : rgb_color{192, 192, 192, 255});
			FillRect(frame);

			BRect whole = TabFrame(i);
			float width = StringWidth(kTabLabels[i]);
			float x = whole.left + 6 + (whole.Width() - 6 - width) * 0.5f;
			float y = 10 + (kTabHeight - 10) * 0.5f - 1;
			SetHighColor(Panel(B_DARKEN_MAX_TINT));
			DrawString(kTabLabels[i], BPoint(x, y));

			BRect grip(frame.left, frame.top + 1, frame.left + 4, frame.bottom - 1);
			for (int32 column = 1; column <= 4; column++) {
				bool light = column % 2 == 1;
				SetHighColor(light ? rgb_color{255, 255, 255, 255} : rgb_color{100, 100, 100, 255});
				StrokeLine(BPoint(grip.left + column, grip.top + (light ? 0 : 1)),
					BPoint(grip.left + column, grip.bottom - (light ? 2 : 1)), B_MIXED_COLORS);
			}
		}
		BRect bounds = Bounds();
		float top = kTabHeight + 1;
		BRect selected = TabFrame(0);
		SetHighColor(Panel(B_LIGHTEN_MAX_TINT));
		StrokeLine(BPoint(0, top), BPoint(0, bounds.bottom - 1));
		StrokeLine(BPoint(1, top), BPoint(bounds.right - 1, top));
		SetHighColor(Panel(B_DARKEN_4_TINT));
		StrokeLine(BPoint(bounds.right, top), BPoint(bounds.right, bounds.bottom));
		StrokeLine(BPoint(1, bounds.bottom), BPoint(bounds.right, bounds.bottom));
		SetHighColor(Panel());
		StrokeLine(BPoint(selected.left + 1, top), BPoint(selected.right - 1, top));
	}
};

class Link : public BView {
public:
	Link(BRect frame, const char* label) :
		BView(frame, label, B_FOLLOW_LEFT_RIGHT, B_WILL_DRAW | B_FRAME_EVENTS),
		fHighlighted(false)
	{
	}

	void Draw(BRect) override
	{
		SetHighColor(ViewColor());
		FillRect(Bounds());
		SetLowColor(ViewColor());
		SetHighColor(fHighlighted ? rgb_color{200, 0, 255, 255} : rgb_color{50, 50, 170, 255});
		DrawString(Name(), BPoint(0, 10));
	}

	void MouseMoved(BPoint, uint32 transit, const BMessage*) override
	{
		if (transit == B_ENTERED_VIEW || transit == B_EXITED_VIEW) {
			fHighlighted = transit == B_ENTERED_VIEW;
			Invalidate();
		}
	}

private:
	bool fHighlighted;
};

class Page : public BView {
public:
	Page(BRect frame, BBitmap* icon) :
		BView(frame, "About", B_FOLLOW_ALL, B_WILL_DRAW),
		fIcon(icon)
	{
		SetViewColor(Panel());
		Link* web = new Link(BRect(65, 72, 250, 87), "http://zorve.example.org/");
		web->SetViewColor(Panel());
		AddChild(web);
		Link* mail = new Link(BRect(80, 100, 210, 112), "author@example.org");
		mail->SetViewColor(Panel());
		AddChild(mail);
	}

	~Page() override { delete fIcon; }

	void Draw(BRect) override
	{
		SetHighColor(Panel(B_LIGHTEN_1_TINT));
		FillRect(BRect(0, 0, 50, Bounds().bottom));
		SetDrawingMode(B_OP_OVER);
		DrawBitmap(fIcon, BPoint(38, 13));
		SetDrawingMode(B_OP_COPY);

		SetHighColor(0, 0, 0);
		SetLowColor(ViewColor());
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
		DrawString("Please ask me before changing", BPoint(65, 137));
		DrawString("the program.", BPoint(95, 147));

		// Pattern and bitmap-mode samples along the band.
		SetHighColor(0, 0, 0);
		SetLowColor(255, 255, 255);
		FillRect(BRect(6, 60, 21, 75), B_MIXED_COLORS);
		SetDrawingMode(B_OP_OVER);
		SetHighColor(200, 0, 0);
		FillRect(BRect(26, 60, 41, 75), B_MIXED_COLORS);
		SetDrawingMode(B_OP_COPY);
		SetHighColor(0, 0, 160);
		StrokeRect(BRect(6, 82, 41, 97));
		StrokeLine(BPoint(6, 104), BPoint(41, 139));
		SetHighColor(0, 120, 0);
		FillEllipse(BRect(10, 110, 30, 130));
		SetFont(be_fixed_font);
		SetHighColor(0, 0, 0);
		DrawString("mono", BPoint(8, 150));
		SetFont(be_bold_font);
		DrawString("bold", BPoint(8, 52));
		SetFont(be_plain_font);
	}

private:
	BBitmap* fIcon;
};

// A 32 x 32 palette icon: a dark-outlined disc with rings, transparent around it.
BBitmap*
MakeIcon()
{
	BBitmap* icon = new BBitmap(BRect(0, 0, 31, 31), B_CMAP8);
	uint8* bits = (uint8*)icon->Bits();
	for (int32 y = 0; y < 32; y++) {
		for (int32 x = 0; x < 32; x++) {
			float distance = hypotf(x - 15.5f, y - 15.5f);
			uint8 index = B_TRANSPARENT_MAGIC_CMAP8;
			if (distance < 7)
				index = 42;
			else if (distance < 8.5f)
				index = 0;
			else if (distance >= 10 && distance < 11.5f)
				index = 52;
			else if (distance >= 13 && distance < 14.5f)
				index = 54;
			bits[y * icon->BytesPerRow() + x] = index;
		}
	}
	return icon;
}

} // namespace

status_t
SaveDrawingScene(const char* path, int32 scale)
{
	BWindow* window = new BWindow(BRect(50, 50, 311, 240), "Settings", B_NO_BORDER_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, B_NOT_RESIZABLE | B_NOT_ZOOMABLE);
	BRect bounds = window->Bounds();
	window->AddChild(new TitleStrip(BRect(0, 0, bounds.right, 7)));
	TabStrip* tabs = new TabStrip(BRect(0, 8, bounds.right, bounds.bottom));
	tabs->AddChild(
		new Page(BRect(1, kTabHeight + 2, bounds.right - 1, bounds.Height() - 9), MakeIcon()));
	window->AddChild(tabs);
	window->Show();

	BPrivate::WindowPort port(window);
	// Hover over the web link so that both link colours show.
	port.MouseMoved(BPoint(100, 110), 0);
	status_t status = port.Sync();
	if (status == B_OK)
		status = port.SaveAsPNG(path, scale);

	window->Lock();
	window->Quit();
	return status;
}

/*
 * bench_interface_redraw: the median time of a full redraw of a 262 x 191 window (the
 * settings window's size) holding twenty views with text, drawn by the interface kit into
 * its pixels. Prints the redraw on the window's own lock (the drawing alone) and through
 * the window's thread (drawing plus the hand-over). Target: under 1 ms median.
 */
#include <stdio.h>

#include <algorithm>
#include <vector>

#include <InterfaceDefs.h>
#include <OS.h>
#include <View.h>
#include <Window.h>

#include "WindowPort.h"

namespace {

const int32 kColumns = 4;
const int32 kRows = 5;
const int32 kRounds = 2000;
const char* const kLabels[] = {"User", "Password", "Host", "Ip Address", "Server DynDns",
	"Server Ip Check", "Delay (minutes)", "Wildcard", "Back mx", "Offline", "Mail Exchanger",
	"System", "About", "Log", "Other", "Settings", "for BeOS", "v0.2a", "My web site", "My E-Mail"};

class LabelView : public BView {
public:
	LabelView(BRect frame, const char* label) :
		BView(frame, label, B_FOLLOW_NONE, B_WILL_DRAW)
	{
		SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	}

	void Draw(BRect) override
	{
		BRect bounds = Bounds();
		SetHighColor(tint_color(ViewColor(), B_DARKEN_2_TINT));
		StrokeRect(bounds);
		SetHighColor(0, 0, 0);
		SetLowColor(ViewColor());
		DrawString(Name(), BPoint(3, 14));
		SetHighColor(50, 50, 170);
		DrawString("value", BPoint(3, 28));
	}
};

struct Figures {
	double median;
	double p90;
	double best;
};

Figures
Summarise(std::vector<bigtime_t>& times)
{
	std::sort(times.begin(), times.end());
	return {times[times.size() / 2] / 1000.0, times[times.size() * 9 / 10] / 1000.0,
		times.front() / 1000.0};
}

void
Print(const char* what, const Figures& figures)
{
	printf("%-36s median %.3f ms  p90 %.3f ms  best %.3f ms\n", what, figures.median, figures.p90,
		figures.best);
}

} // namespace

int
main()
{
	BWindow* window = new BWindow(BRect(50, 50, 311, 240), "bench", B_NO_BORDER_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, B_NOT_RESIZABLE | B_NOT_ZOOMABLE);
	BRect bounds = window->Bounds();
	float width = (bounds.Width() + 1) / kColumns;
	float height = (bounds.Height() + 1) / kRows;
	for (int32 i = 0; i < kColumns * kRows; i++) {
		float left = (i % kColumns) * width;
		float top = (i / kColumns) * height;
		window->AddChild(
			new LabelView(BRect(left, top, left + width - 2, top + height - 2), kLabels[i]));
	}
	window->Show();
	BPrivate::WindowPort port(window);
	port.Sync();

	// Warm the glyph cache and the allocator.
	for (int32 i = 0; i < 50; i++)
		port.Redraw();

	uint32 updatesBefore = port.UpdateCount();
	std::vector<bigtime_t> locked;
	window->Lock();
	for (int32 i = 0; i < kRounds; i++) {
		bigtime_t start = system_time();
		port.Redraw();
		locked.push_back(system_time() - start);
	}
	window->Unlock();

	std::vector<bigtime_t> threaded;
	for (int32 i = 0; i < kRounds; i++) {
		bigtime_t start = system_time();
		port.Redraw();
		threaded.push_back(system_time() - start);
	}

	// Every round must have drawn, or the figures measure nothing.
	if (port.UpdateCount() - updatesBefore < 2 * (uint32)kRounds) {
		fprintf(stderr, "bench_interface_redraw: some rounds did not redraw\n");
		return 1;
	}

	printf("full redraw of a 262 x 191 window with 20 text views, %d rounds\n", (int)kRounds);
	Print("drawing (on the window's lock)", Summarise(locked));
	Print("drawing through the window's thread", Summarise(threaded));

	window->Lock();
	window->Quit();
	return 0;
}

/*
 * Private to the interface kit: the state of a view, shared by BView, BWindow and
 * WindowPort.
 */
#ifndef _VIEW_PRIVATE_H
#define _VIEW_PRIVATE_H

#include <vector>

#include <Font.h>
#include <GraphicsDefs.h>
#include <Region.h>
#include <View.h>

struct BView::Data {
	struct State {
		rgb_color high;
		rgb_color low;
		drawing_mode mode;
		source_alpha sourceAlpha;
		alpha_function alphaFunction;
		float penSize;
		BPoint pen;
		BFont font;
		BPoint origin;
	};

	struct Line {
		BPoint from;
		BPoint to;
		rgb_color color;
	};

	BWindow* owner = NULL;
	BView* parent = NULL;
	std::vector<BView*> children;
	bool isTopView = false;

	BRect frame;
	// The view coordinates of the frame's left-top corner (the scrolling position).
	BPoint boundsOrigin;
	uint32 resizingMode = 0;
	uint32 flags = 0;
	int32 showLevel = 0;

	State state;
	std::vector<State> savedStates;
	rgb_color viewColor = {255, 255, 255, 255};

	uint32 eventMask = 0;
	uint32 eventOptions = 0;
	uint32 mouseEventMask = 0;
	uint32 mouseEventOptions = 0;

	// While the window redraws this view: the pixels to redraw, in window coordinates.
	const BRegion* updateClip = NULL;
	bool hasConstraint = false;
	BRegion constraint;

	bool inLineArray = false;
	std::vector<Line> lines;

	// Scroll bars that target this view; they follow its scrolling.
	BScrollBar* horizontalScrollBar = NULL;
	BScrollBar* verticalScrollBar = NULL;

	Data()
	{
		state.high = {0, 0, 0, 255};
		state.low = {255, 255, 255, 255};
		state.mode = B_OP_COPY;
		state.sourceAlpha = B_PIXEL_ALPHA;
		state.alphaFunction = B_ALPHA_OVERLAY;
		state.penSize = 1.0f;
		state.font = *be_plain_font;
	}
};

#endif // _VIEW_PRIVATE_H

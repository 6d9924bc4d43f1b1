/*
 * MTitleView: the coloured strip across the top of a borderless window. Dragging it moves
 * the window, kept on the main screen as it is at each move; Escape hides the window.
 */
#ifndef M_TITLE_VIEW_H
#define M_TITLE_VIEW_H

#include <View.h>

class MTitleView : public BView {
public:
	MTitleView(BRect frame);
	virtual ~MTitleView();

	virtual void Draw(BRect updateRect) override;
	virtual void MouseDown(BPoint where) override;
	virtual void MouseUp(BPoint where) override;
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
	virtual void KeyDown(const char* bytes, int32 numBytes) override;

private:
	BPoint fLastScreenPoint;
	bool fDragging;
	BRect fWindowFrame;
};

#endif // M_TITLE_VIEW_H

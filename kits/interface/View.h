/*
 * BView: a rectangle of a window with its own coordinate system, drawing state and hooks.
 * Pictures, polygons, arcs, Bezier curves, shapes, round rectangles, line caps and joins,
 * scaling, drag and drop, rect tracking, view bitmaps, cursors and scripting are not
 * provided; the pen is always one pixel wide.
 */
#ifndef _VIEW_H
#define _VIEW_H

#include <Font.h>
#include <GraphicsDefs.h>
#include <Handler.h>
#include <InterfaceDefs.h>
#include <Rect.h>
#include <Region.h>

class BBitmap;
class BMessage;
class BScrollBar;
class BScrollView;
class BString;
class BWindow;

namespace BPrivate {
class WindowPort;
}

enum {
	B_PRIMARY_MOUSE_BUTTON = 0x01,
	B_SECONDARY_MOUSE_BUTTON = 0x02,
	B_TERTIARY_MOUSE_BUTTON = 0x04
};

// Transit codes of MouseMoved.
enum {
	B_ENTERED_VIEW = 0,
	B_INSIDE_VIEW,
	B_EXITED_VIEW,
	B_OUTSIDE_VIEW
};

// Event masks: pointer events outside the view, keyboard events without the focus.
enum {
	B_POINTER_EVENTS = 0x00000001,
	B_KEYBOARD_EVENTS = 0x00000002
};

enum {
	B_LOCK_WINDOW_FOCUS = 0x00000001,
	B_SUSPEND_VIEW_FOCUS = 0x00000002,
	B_NO_POINTER_HISTORY = 0x00000004
};

enum {
	B_TRACK_WHOLE_RECT,
	B_TRACK_RECT_CORNER
};

const uint32 B_FULL_UPDATE_ON_RESIZE = 0x80000000UL;
const uint32 _B_RESERVED1_ = 0x40000000UL;
const uint32 B_WILL_DRAW = 0x20000000UL;
const uint32 B_PULSE_NEEDED = 0x10000000UL;
const uint32 B_NAVIGABLE_JUMP = 0x08000000UL;
const uint32 B_FRAME_EVENTS = 0x04000000UL;
const uint32 B_NAVIGABLE = 0x02000000UL;
const uint32 B_SUBPIXEL_PRECISE = 0x01000000UL;
const uint32 B_DRAW_ON_CHILDREN = 0x00800000UL;
const uint32 B_INPUT_METHOD_AWARE = 0x00400000UL;
const uint32 _B_RESERVED7_ = 0x00200000UL;

#define _RESIZE_MASK_ (0xffff)

const uint32 _VIEW_TOP_ = 1UL;
const uint32 _VIEW_LEFT_ = 2UL;
const uint32 _VIEW_BOTTOM_ = 3UL;
const uint32 _VIEW_RIGHT_ = 4UL;
const uint32 _VIEW_CENTER_ = 5UL;

inline uint32
_rule_(uint32 r1, uint32 r2, uint32 r3, uint32 r4)
{
	return ((r1 << 12) | (r2 << 8) | (r3 << 4) | r4);
}

#define B_FOLLOW_NONE 0
#define B_FOLLOW_ALL_SIDES _rule_(_VIEW_TOP_, _VIEW_LEFT_, _VIEW_BOTTOM_, _VIEW_RIGHT_)
#define B_FOLLOW_ALL B_FOLLOW_ALL_SIDES

#define B_FOLLOW_LEFT _rule_(0, _VIEW_LEFT_, 0, _VIEW_LEFT_)
#define B_FOLLOW_RIGHT _rule_(0, _VIEW_RIGHT_, 0, _VIEW_RIGHT_)
#define B_FOLLOW_LEFT_RIGHT _rule_(0, _VIEW_LEFT_, 0, _VIEW_RIGHT_)
#define B_FOLLOW_H_CENTER _rule_(0, _VIEW_CENTER_, 0, _VIEW_CENTER_)

#define B_FOLLOW_TOP _rule_(_VIEW_TOP_, 0, _VIEW_TOP_, 0)
#define B_FOLLOW_BOTTOM _rule_(_VIEW_BOTTOM_, 0, _VIEW_BOTTOM_, 0)
#define B_FOLLOW_TOP_BOTTOM _rule_(_VIEW_TOP_, 0, _VIEW_BOTTOM_, 0)
#define B_FOLLOW_V_CENTER _rule_(_VIEW_CENTER_, 0, _VIEW_CENTER_, 0)

class BView : public BHandler {
public:
	BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags);
	BView(BMessage* data);
	virtual ~BView();

	static BArchivable* Instantiate(BMessage* data);
	virtual status_t Archive(BMessage* data, bool deep = true) const;

	virtual void AttachedToWindow();
	virtual void AllAttached();
	virtual void DetachedFromWindow();
	virtual void AllDetached();

	virtual void MessageReceived(BMessage* message);

	void AddChild(BView* child, BView* before = NULL);
	bool RemoveChild(BView* child);
	int32 CountChildren() const;
	BView* ChildAt(int32 index) const;
	BView* NextSibling() const;
	BView* PreviousSibling() const;
	bool RemoveSelf();

	BWindow* Window() const;

	virtual void Draw(BRect updateRect);
	virtual void DrawAfterChildren(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void WindowActivated(bool active);
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void KeyUp(const char* bytes, int32 numBytes);
	virtual void Pulse();
	virtual void FrameMoved(BPoint newPosition);
	virtual void FrameResized(float newWidth, float newHeight);
	virtual void TargetedByScrollView(BScrollView* scrollView);

	// The pointer as of the event being handled, in this view's coordinates.
	void GetMouse(BPoint* location, uint32* buttons, bool checkMessageQueue = true);

	BView* FindView(const char* name) const;
	BView* Parent() const;
	BRect Bounds() const;
	BRect Frame() const;

	void ConvertToScreen(BPoint* point) const;
	BPoint ConvertToScreen(BPoint point) const;
	void ConvertFromScreen(BPoint* point) const;
	BPoint ConvertFromScreen(BPoint point) const;
	void ConvertToScreen(BRect* rect) const;
	BRect ConvertToScreen(BRect rect) const;
	void ConvertFromScreen(BRect* rect) const;
	BRect ConvertFromScreen(BRect rect) const;
	void ConvertToParent(BPoint* point) const;
	BPoint ConvertToParent(BPoint point) const;
	void ConvertFromParent(BPoint* point) const;
	BPoint ConvertFromParent(BPoint point) const;
	void ConvertToParent(BRect* rect) const;
	BRect ConvertToParent(BRect rect) const;
	void ConvertFromParent(BRect* rect) const;
	BRect ConvertFromParent(BRect rect) const;
	BPoint LeftTop() const;

	void GetClippingRegion(BRegion* region) const;
	virtual void ConstrainClippingRegion(BRegion* region);

	virtual void SetDrawingMode(drawing_mode mode);
	drawing_mode DrawingMode() const;
	void SetBlendingMode(source_alpha sourceAlpha, alpha_function alphaFunction);
	void GetBlendingMode(source_alpha* sourceAlpha, alpha_function* alphaFunction) const;
	virtual void SetPenSize(float size);
	float PenSize() const;

	virtual void SetViewColor(rgb_color color);
	void SetViewColor(uchar red, uchar green, uchar blue, uchar alpha = 255);
	rgb_color ViewColor() const;

	virtual void SetHighColor(rgb_color color);
	void SetHighColor(uchar red, uchar green, uchar blue, uchar alpha = 255);
	rgb_color HighColor() const;

	virtual void SetLowColor(rgb_color color);
	void SetLowColor(uchar red, uchar green, uchar blue, uchar alpha = 255);
	rgb_color LowColor() const;

	void SetOrigin(BPoint origin);
	void SetOrigin(float x, float y);
	BPoint Origin() const;

	void PushState();
	void PopState();

	void MovePenTo(BPoint point);
	void MovePenTo(float x, float y);
	void MovePenBy(float x, float y);
	BPoint PenLocation() const;

	void StrokeLine(BPoint toPoint, pattern stroke = B_SOLID_HIGH);
	void StrokeLine(BPoint fromPoint, BPoint toPoint, pattern stroke = B_SOLID_HIGH);
	void BeginLineArray(int32 count);
	void AddLine(BPoint fromPoint, BPoint toPoint, rgb_color color);
	void EndLineArray();

	void StrokeTriangle(BPoint point1, BPoint point2, BPoint point3, BRect bounds,
		pattern stroke = B_SOLID_HIGH);
	void StrokeTriangle(BPoint point1, BPoint point2, BPoint point3, pattern stroke = B_SOLID_HIGH);
	void FillTriangle(BPoint point1, BPoint point2, BPoint point3, pattern fill = B_SOLID_HIGH);
	void FillTriangle(BPoint point1, BPoint point2, BPoint point3, BRect bounds,
		pattern fill = B_SOLID_HIGH);

	void StrokeRect(BRect rect, pattern stroke = B_SOLID_HIGH);
	void FillRect(BRect rect, pattern fill = B_SOLID_HIGH);
	void FillRegion(BRegion* region, pattern fill = B_SOLID_HIGH);
	void InvertRect(BRect rect);

	void StrokeEllipse(BPoint center, float xRadius, float yRadius, pattern stroke = B_SOLID_HIGH);
	void StrokeEllipse(BRect rect, pattern stroke = B_SOLID_HIGH);
	void FillEllipse(BPoint center, float xRadius, float yRadius, pattern fill = B_SOLID_HIGH);
	void FillEllipse(BRect rect, pattern fill = B_SOLID_HIGH);

	void DrawBitmapAsync(const BBitmap* bitmap, BRect sourceRect, BRect destinationRect);
	void DrawBitmapAsync(const BBitmap* bitmap);
	void DrawBitmapAsync(const BBitmap* bitmap, BPoint where);
	void DrawBitmapAsync(const BBitmap* bitmap, BRect destinationRect);
	void DrawBitmap(const BBitmap* bitmap, BRect sourceRect, BRect destinationRect);
	void DrawBitmap(const BBitmap* bitmap);
	void DrawBitmap(const BBitmap* bitmap, BPoint where);
	void DrawBitmap(const BBitmap* bitmap, BRect destinationRect);

	void DrawChar(char character);
	void DrawChar(char character, BPoint location);
	// The text stands on the pen's (or the location's) pixel row; the pen moves to its end.
	void DrawString(const char* string, escapement_delta* delta = NULL);
	void DrawString(const char* string, BPoint location, escapement_delta* delta = NULL);
	void DrawString(const char* string, int32 length, escapement_delta* delta = NULL);
	void DrawString(const char* string, int32 length, BPoint location,
		escapement_delta* delta = NULL);

	virtual void SetFont(const BFont* font, uint32 mask = B_FONT_ALL);
	void GetFont(BFont* font) const;
	void TruncateString(BString* inOut, uint32 mode, float width) const;
	float StringWidth(const char* string) const;
	float StringWidth(const char* string, int32 length) const;
	void GetStringWidths(char* stringArray[], int32 lengthArray[], int32 numStrings,
		float widthArray[]) const;
	void SetFontSize(float size);
	void ForceFontAliasing(bool enable);
	void GetFontHeight(font_height* height) const;

	void Invalidate(BRect invalidRect);
	void Invalidate();

	status_t SetEventMask(uint32 mask, uint32 options = 0);
	uint32 EventMask() const;
	// Like SetEventMask, but only until the mouse buttons are released.
	status_t SetMouseEventMask(uint32 mask, uint32 options = 0);

	virtual void SetFlags(uint32 flags);
	uint32 Flags() const;
	virtual void SetResizingMode(uint32 mode);
	uint32 ResizingMode() const;

	void MoveBy(float dh, float dv);
	void MoveTo(BPoint where);
	void MoveTo(float x, float y);
	void ResizeBy(float dh, float dv);
	void ResizeTo(float width, float height);
	void ScrollBy(float dh, float dv);
	void ScrollTo(float x, float y);
	virtual void ScrollTo(BPoint where);

	virtual void MakeFocus(bool focus = true);
	bool IsFocus() const;

	// Calls nest: a view hidden twice is shown again by the second Show.
	virtual void Show();
	virtual void Hide();
	bool IsHidden() const;
	bool IsHidden(const BView* lookingFrom) const;

	void Flush() const;
	void Sync() const;

	virtual void GetPreferredSize(float* width, float* height);
	virtual void ResizeToPreferred();

	BScrollBar* ScrollBar(orientation posture) const;
	bool IsPrinting() const;

private:
	friend class BScrollBar;
	friend class BWindow;
	friend class BPrivate::WindowPort;

	struct Data;

	BView(const BView&);
	BView& operator=(const BView&);

	void _Init(BRect frame, uint32 resizingMode, uint32 flags);
	void _Attach(BWindow* window);
	void _CallAllAttached();
	void _Detach();
	void _CallAllDetached();
	void _ParentResized(float deltaWidth, float deltaHeight);
	void _SetFrame(BRect frame);
	BPoint _WindowOrigin() const;
	BPoint _ScreenOrigin() const;
	bool _IsVisible() const;
	bool _VisibleRect(clipping_rect* rect) const;
	void _InvalidateInParent(BRect frame);
	template<typename Operation>
	void _Paint(Operation operation);

	Data* fData;
};

#endif // _VIEW_H

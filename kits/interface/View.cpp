/*
 * Drawing calls paint at once into the owning window's pixels, clipped to the view's visible
 * part, to the update being drawn while inside Draw and to the view's own constraint; there is
 * no server to batch them. The drawing state (colours, font, mode, origin) lives in the view,
 * with PushState and PopState keeping a stack of it. Archives use the platform's field names.
 */
#include <View.h>

#include <string.h>

#include <algorithm>
#include <vector>

#include <Bitmap.h>
#include <Message.h>
#include <ScrollBar.h>
#include <String.h>
#include <Window.h>

#include "DisplayLink.h"
#include "FontEngine.h"
#include "InterfacePrivate.h"
#include "Painter.h"
#include "ViewPrivate.h"
#include "WindowPrivate.h"

using BPrivate::FontEngine;
using BPrivate::Painter;
using BPrivate::pixel_for;
using BPrivate::PlacedGlyph;

namespace {

int32
PackColor(const rgb_color& color)
{
	return (int32)(((uint32)color.red << 24) | ((uint32)color.green << 16)
		| ((uint32)color.blue << 8) | color.alpha);
}

rgb_color
UnpackColor(int32 packed)
{
	uint32 value = (uint32)packed;
	return {(uint8)(value >> 24), (uint8)(value >> 16), (uint8)(value >> 8), (uint8)value};
}

// New position of one edge when the parent grows by `delta`, by the edge's resizing rule.
float
FollowEdge(float edge, uint32 rule, uint32 farRule, float delta)
{
	if (rule == farRule)
		return edge + delta;
	if (rule == _VIEW_CENTER_)
		return edge + delta / 2;
	return edge;
}

BRect
EllipseFrame(BPoint center, float xRadius, float yRadius)
{
	return BRect(center.x - xRadius, center.y - yRadius, center.x + xRadius, center.y + yRadius);
}

} // namespace

template<typename Operation>
void
BView::_Paint(Operation operation)
{
	BWindow* window = fData->owner;
	clipping_rect visible;
	if (window == NULL || !_VisibleRect(&visible))
		return;
	BRegion clip(BRect(visible.left, visible.top, visible.right, visible.bottom));
	if (fData->updateClip != NULL)
		clip.IntersectWith(fData->updateClip);
	BPoint origin = _WindowOrigin();
	int32 originX = pixel_for(origin.x);
	int32 originY = pixel_for(origin.y);
	if (fData->hasConstraint) {
		BRegion constraint(fData->constraint);
		constraint.OffsetBy(originX, originY);
		clip.IntersectWith(&constraint);
	}
	if (clip.CountRects() == 0)
		return;
	const Data::State& state = fData->state;
	Painter painter(window->fData->Buffer(), clip, originX + pixel_for(state.origin.x),
		originY + pixel_for(state.origin.y));
	painter.SetHighColor(state.high);
	painter.SetLowColor(state.low);
	painter.SetDrawingMode(state.mode);
	painter.SetBlendingMode(state.sourceAlpha, state.alphaFunction);
	operation(painter);
}

BView::BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags) :
	BHandler(name),
	fData(new Data)
{
	_Init(frame, resizingMode, flags);
}

BView::BView(BMessage* data) :
	BHandler(data),
	fData(new Data)
{
	BRect frame(0, 0, 0, 0);
	int32 resizingMode = B_FOLLOW_NONE;
	int32 flags = 0;
	if (data == NULL) {
		_Init(frame, resizingMode, flags);
		return;
	}
	data->FindRect("_frame", &frame);
	data->FindInt32("_resize_mode", &resizingMode);
	data->FindInt32("_flags", &flags);
	_Init(frame, (uint32)resizingMode, (uint32)flags);

	const char* family;
	const char* style;
	if (data->FindString("_fname", 0, &family) == B_OK
		&& data->FindString("_fname", 1, &style) == B_OK) {
		fData->state.font.SetFamilyAndStyle(family, style);
	}
	float value;
	if (data->FindFloat("_fflt", 0, &value) == B_OK)
		fData->state.font.SetSize(value);
	if (data->FindFloat("_fflt", 1, &value) == B_OK)
		fData->state.font.SetShear(value);
	if (data->FindFloat("_fflt", 2, &value) == B_OK)
		fData->state.font.SetRotation(value);

	int32 color;
	if (data->FindInt32("_colors", 0, &color) == B_OK)
		fData->state.high = UnpackColor(color);
	if (data->FindInt32("_colors", 1, &color) == B_OK)
		fData->state.low = UnpackColor(color);
	if (data->FindInt32("_colors", 2, &color) == B_OK)
		fData->viewColor = UnpackColor(color);

	int32 mode;
	if (data->FindInt32("_dmod", &mode) == B_OK)
		fData->state.mode = (drawing_mode)mode;
	int32 mask;
	if (data->FindInt32("_evmask", 0, &mask) == B_OK)
		fData->eventMask = (uint32)mask;
	if (data->FindInt32("_evmask", 1, &mask) == B_OK)
		fData->eventOptions = (uint32)mask;
	data->FindFloat("_psize", &fData->state.penSize);
	data->FindPoint("_ppos", &fData->state.pen);
	data->FindPoint("_origin", &fData->boundsOrigin);
	bool hidden;
	if (data->FindBool("_hidden", &hidden) == B_OK && hidden)
		fData->showLevel = 1;

	BMessage childArchive;
	for (int32 i = 0; data->FindMessage("_views", i, &childArchive) == B_OK; i++) {
		BArchivable* object = instantiate_object(&childArchive);
		BView* child = dynamic_cast<BView*>(object);
		if (child != NULL)
			AddChild(child);
		else
			delete object;
	}
}

BView::~BView()
{
	if (fData->parent != NULL)
		RemoveSelf();
	if (fData->horizontalScrollBar != NULL)
		fData->horizontalScrollBar->SetTarget((BView*)NULL);
	if (fData->verticalScrollBar != NULL)
		fData->verticalScrollBar->SetTarget((BView*)NULL);
	std::vector<BView*> children;
	children.swap(fData->children);
	for (BView* child : children) {
		child->fData->parent = NULL;
		delete child;
	}
	delete fData;
}

BArchivable*
BView::Instantiate(BMessage* data)
{
	if (!validate_instantiation(data, "BView"))
		return NULL;
	return new BView(data);
}

status_t
BView::Archive(BMessage* data, bool deep) const
{
	status_t status = BHandler::Archive(data, deep);
	if (status != B_OK)
		return status;
	data->AddRect("_frame", fData->frame);
	data->AddInt32("_resize_mode", (int32)fData->resizingMode);
	data->AddInt32("_flags", (int32)fData->flags);

	font_family family;
	font_style style;
	fData->state.font.GetFamilyAndStyle(&family, &style);
	data->AddString("_fname", family);
	data->AddString("_fname", style);
	data->AddFloat("_fflt", fData->state.font.Size());
	data->AddFloat("_fflt", fData->state.font.Shear());
	data->AddFloat("_fflt", fData->state.font.Rotation());

	data->AddInt32("_colors", PackColor(fData->state.high));
	data->AddInt32("_colors", PackColor(fData->state.low));
	data->AddInt32("_colors", PackColor(fData->viewColor));
	data->AddInt32("_dmod", (int32)fData->state.mode);
	data->AddInt32("_evmask", (int32)fData->eventMask);
	data->AddInt32("_evmask", (int32)fData->eventOptions);
	data->AddFloat("_psize", fData->state.penSize);
	data->AddPoint("_ppos", fData->state.pen);
	data->AddPoint("_origin", fData->boundsOrigin);
	if (fData->showLevel > 0)
		data->AddBool("_hidden", true);

	if (deep) {
		for (BView* child : fData->children) {
			BMessage childArchive;
			if (child->Archive(&childArchive, true) == B_OK)
				data->AddMessage("_views", &childArchive);
		}
	}
	return B_OK;
}

void
BView::AttachedToWindow()
{
}

void
BView::AllAttached()
{
}

void
BView::DetachedFromWindow()
{
}

void
BView::AllDetached()
{
}

void
BView::MessageReceived(BMessage* message)
{
	BHandler::MessageReceived(message);
}

void
BView::AddChild(BView* child, BView* before)
{
	if (child == NULL || child == this || child->fData->parent != NULL
		|| child->fData->owner != NULL) {
		return;
	}
	std::vector<BView*>& children = fData->children;
	children.insert(std::find(children.begin(), children.end(), before), child);
	child->fData->parent = this;
	if (fData->owner != NULL) {
		child->_Attach(fData->owner);
		child->_CallAllAttached();
		child->Invalidate();
	}
}

bool
BView::RemoveChild(BView* child)
{
	if (child == NULL || child->fData->parent != this)
		return false;
	BWindow* window = fData->owner;
	if (window != NULL) {
		_InvalidateInParent(child->fData->frame);
		child->_Detach();
		child->_CallAllDetached();
		// Unregister the whole subtree only once every hook has run.
		std::vector<BView*> pending(1, child);
		while (!pending.empty()) {
			BView* view = pending.back();
			pending.pop_back();
			window->_ViewRemoved(view);
			window->RemoveHandler(view);
			view->fData->owner = NULL;
			pending.insert(pending.end(), view->fData->children.begin(),
				view->fData->children.end());
		}
	}
	std::vector<BView*>& children = fData->children;
	children.erase(std::remove(children.begin(), children.end(), child), children.end());
	child->fData->parent = NULL;
	return true;
}

int32
BView::CountChildren() const
{
	return (int32)fData->children.size();
}

BView*
BView::ChildAt(int32 index) const
{
	if (index < 0 || index >= CountChildren())
		return NULL;
	return fData->children[index];
}

BView*
BView::NextSibling() const
{
	BView* parent = fData->parent;
	if (parent == NULL)
		return NULL;
	std::vector<BView*>& siblings = parent->fData->children;
	auto found = std::find(siblings.begin(), siblings.end(), this);
	if (found == siblings.end() || found + 1 == siblings.end())
		return NULL;
	return *(found + 1);
}

BView*
BView::PreviousSibling() const
{
	BView* parent = fData->parent;
	if (parent == NULL)
		return NULL;
	std::vector<BView*>& siblings = parent->fData->children;
	auto found = std::find(siblings.begin(), siblings.end(), this);
	if (found == siblings.end() || found == siblings.begin())
		return NULL;
	return *(found - 1);
}

bool
BView::RemoveSelf()
{
	if (fData->parent == NULL)
		return false;
	return fData->parent->RemoveChild(this);
}

BWindow*
BView::Window() const
{
	return fData->owner;
}

void
BView::Draw(BRect /*updateRect*/)
{
}

void
BView::DrawAfterChildren(BRect /*updateRect*/)
{
}

void
BView::MouseDown(BPoint /*where*/)
{
}

void
BView::MouseUp(BPoint /*where*/)
{
}

void
BView::MouseMoved(BPoint /*where*/, uint32 /*transit*/, const BMessage* /*dragMessage*/)
{
}

void
BView::WindowActivated(bool /*active*/)
{
}

void
BView::KeyDown(const char* bytes, int32 numBytes)
{
	// Tab moves the focus on to the next navigable view, shift-tab back.
	if (bytes != NULL && numBytes == 1 && bytes[0] == B_TAB && IsFocus())
		fData->owner->_Navigate((modifiers() & B_SHIFT_KEY) != 0);
}

void
BView::KeyUp(const char* /*bytes*/, int32 /*numBytes*/)
{
}

void
BView::Pulse()
{
}

void
BView::FrameMoved(BPoint /*newPosition*/)
{
}

void
BView::FrameResized(float /*newWidth*/, float /*newHeight*/)
{
}

void
BView::TargetedByScrollView(BScrollView* /*scrollView*/)
{
}

void
BView::GetMouse(BPoint* location, uint32* buttons, bool /*checkMessageQueue*/)
{
	BWindow* window = fData->owner;
	if (location != NULL) {
		*location = window != NULL ? window->fData->pointer - _WindowOrigin() : B_ORIGIN;
	}
	if (buttons != NULL)
		*buttons = window != NULL ? window->fData->buttons : 0;
}

BView*
BView::FindView(const char* name) const
{
	if (name == NULL)
		return NULL;
	if (!fData->isTopView && Name() != NULL && strcmp(Name(), name) == 0)
		return const_cast<BView*>(this);
	for (BView* child : fData->children) {
		BView* found = child->FindView(name);
		if (found != NULL)
			return found;
	}
	return NULL;
}

BView*
BView::Parent() const
{
	if (fData->parent != NULL && fData->parent->fData->isTopView)
		return NULL;
	return fData->parent;
}

BRect
BView::Bounds() const
{
	const BPoint& origin = fData->boundsOrigin;
	return BRect(origin.x, origin.y, origin.x + fData->frame.Width(),
		origin.y + fData->frame.Height());
}

BRect
BView::Frame() const
{
	return fData->frame;
}

void
BView::ConvertToScreen(BPoint* point) const
{
	*point += _ScreenOrigin();
}

BPoint
BView::ConvertToScreen(BPoint point) const
{
	ConvertToScreen(&point);
	return point;
}

void
BView::ConvertFromScreen(BPoint* point) const
{
	*point -= _ScreenOrigin();
}

BPoint
BView::ConvertFromScreen(BPoint point) const
{
	ConvertFromScreen(&point);
	return point;
}

void
BView::ConvertToScreen(BRect* rect) const
{
	BPoint offset = ConvertToScreen(B_ORIGIN);
	rect->OffsetBy(offset);
}

BRect
BView::ConvertToScreen(BRect rect) const
{
	ConvertToScreen(&rect);
	return rect;
}

void
BView::ConvertFromScreen(BRect* rect) const
{
	BPoint offset = ConvertFromScreen(B_ORIGIN);
	rect->OffsetBy(offset);
}

BRect
BView::ConvertFromScreen(BRect rect) const
{
	ConvertFromScreen(&rect);
	return rect;
}

void
BView::ConvertToParent(BPoint* point) const
{
	point->x += fData->frame.left - fData->boundsOrigin.x;
	point->y += fData->frame.top - fData->boundsOrigin.y;
}

BPoint
BView::ConvertToParent(BPoint point) const
{
	ConvertToParent(&point);
	return point;
}

void
BView::ConvertFromParent(BPoint* point) const
{
	point->x -= fData->frame.left - fData->boundsOrigin.x;
	point->y -= fData->frame.top - fData->boundsOrigin.y;
}

BPoint
BView::ConvertFromParent(BPoint point) const
{
	ConvertFromParent(&point);
	return point;
}

void
BView::ConvertToParent(BRect* rect) const
{
	rect->OffsetBy(fData->frame.left - fData->boundsOrigin.x,
		fData->frame.top - fData->boundsOrigin.y);
}

BRect
BView::ConvertToParent(BRect rect) const
{
	ConvertToParent(&rect);
	return rect;
}

void
BView::ConvertFromParent(BRect* rect) const
{
	rect->OffsetBy(fData->boundsOrigin.x - fData->frame.left,
		fData->boundsOrigin.y - fData->frame.top);
}

BRect
BView::ConvertFromParent(BRect rect) const
{
	ConvertFromParent(&rect);
	return rect;
}

BPoint
BView::LeftTop() const
{
	return fData->boundsOrigin;
}

void
BView::GetClippingRegion(BRegion* region) const
{
	if (region == NULL)
		return;
	region->MakeEmpty();
	clipping_rect visible;
	if (!_VisibleRect(&visible))
		return;
	region->Set(visible);
	if (fData->updateClip != NULL)
		region->IntersectWith(fData->updateClip);
	BPoint origin = _WindowOrigin();
	region->OffsetBy(-pixel_for(origin.x), -pixel_for(origin.y));
	if (fData->hasConstraint)
		region->IntersectWith(&fData->constraint);
}

void
BView::ConstrainClippingRegion(BRegion* region)
{
	fData->hasConstraint = region != NULL;
	if (region != NULL)
		fData->constraint = *region;
	else
		fData->constraint.MakeEmpty();
}

void
BView::SetDrawingMode(drawing_mode mode)
{
	fData->state.mode = mode;
}

drawing_mode
BView::DrawingMode() const
{
	return fData->state.mode;
}

void
BView::SetBlendingMode(source_alpha sourceAlpha, alpha_function alphaFunction)
{
	fData->state.sourceAlpha = sourceAlpha;
	fData->state.alphaFunction = alphaFunction;
}

void
BView::GetBlendingMode(source_alpha* sourceAlpha, alpha_function* alphaFunction) const
{
	if (sourceAlpha != NULL)
		*sourceAlpha = fData->state.sourceAlpha;
	if (alphaFunction != NULL)
		*alphaFunction = fData->state.alphaFunction;
}

void
BView::SetPenSize(float size)
{
	fData->state.penSize = size;
}

float
BView::PenSize() const
{
	return fData->state.penSize;
}

void
BView::SetViewColor(rgb_color color)
{
	fData->viewColor = color;
}

void
BView::SetViewColor(uchar red, uchar green, uchar blue, uchar alpha)
{
	SetViewColor(rgb_color{red, green, blue, alpha});
}

rgb_color
BView::ViewColor() const
{
	return fData->viewColor;
}

void
BView::SetHighColor(rgb_color color)
{
	fData->state.high = color;
}

void
BView::SetHighColor(uchar red, uchar green, uchar blue, uchar alpha)
{
	SetHighColor(rgb_color{red, green, blue, alpha});
}

rgb_color
BView::HighColor() const
{
	return fData->state.high;
}

void
BView::SetLowColor(rgb_color color)
{
	fData->state.low = color;
}

void
BView::SetLowColor(uchar red, uchar green, uchar blue, uchar alpha)
{
	SetLowColor(rgb_color{red, green, blue, alpha});
}

rgb_color
BView::LowColor() const
{
	return fData->state.low;
}

void
BView::SetOrigin(BPoint origin)
{
	fData->state.origin = origin;
}

void
BView::SetOrigin(float x, float y)
{
	SetOrigin(BPoint(x, y));
}

BPoint
BView::Origin() const
{
	return fData->state.origin;
}

void
BView::PushState()
{
	fData->savedStates.push_back(fData->state);
	// The new state draws in the coordinates the old one established.
	fData->state.origin = B_ORIGIN;
}

void
BView::PopState()
{
	if (fData->savedStates.empty())
		return;
	fData->state = fData->savedStates.back();
	fData->savedStates.pop_back();
}

void
BView::MovePenTo(BPoint point)
{
	fData->state.pen = point;
}

void
BView::MovePenTo(float x, float y)
{
	MovePenTo(BPoint(x, y));
}

void
BView::MovePenBy(float x, float y)
{
	fData->state.pen.x += x;
	fData->state.pen.y += y;
}

BPoint
BView::PenLocation() const
{
	return fData->state.pen;
}

void
BView::StrokeLine(BPoint toPoint, pattern stroke)
{
	StrokeLine(fData->state.pen, toPoint, stroke);
}

void
BView::StrokeLine(BPoint fromPoint, BPoint toPoint, pattern stroke)
{
	_Paint([&](Painter& painter) { painter.StrokeLine(fromPoint, toPoint, stroke); });
	fData->state.pen = toPoint;
}

void
BView::BeginLineArray(int32 count)
{
	fData->inLineArray = true;
	fData->lines.clear();
	if (count > 0)
		fData->lines.reserve(count);
}

void
BView::AddLine(BPoint fromPoint, BPoint toPoint, rgb_color color)
{
	if (fData->inLineArray)
		fData->lines.push_back({fromPoint, toPoint, color});
}

void
BView::EndLineArray()
{
	if (!fData->inLineArray)
		return;
	fData->inLineArray = false;
	std::vector<Data::Line> lines;
	lines.swap(fData->lines);
	_Paint([&](Painter& painter) {
		for (const Data::Line& line : lines) {
			painter.SetHighColor(line.color);
			painter.StrokeLine(line.from, line.to, B_SOLID_HIGH);
		}
	});
}

void
BView::StrokeTriangle(BPoint point1, BPoint point2, BPoint point3, BRect /*bounds*/, pattern stroke)
{
	StrokeTriangle(point1, point2, point3, stroke);
}

void
BView::StrokeTriangle(BPoint point1, BPoint point2, BPoint point3, pattern stroke)
{
	_Paint([&](Painter& painter) {
		painter.StrokeLine(point1, point2, stroke);
		painter.StrokeLine(point2, point3, stroke);
		painter.StrokeLine(point3, point1, stroke);
	});
}

void
BView::FillTriangle(BPoint point1, BPoint point2, BPoint point3, pattern fill)
{
	_Paint([&](Painter& painter) { painter.FillTriangle(point1, point2, point3, fill); });
}

void
BView::FillTriangle(BPoint point1, BPoint point2, BPoint point3, BRect /*bounds*/, pattern fill)
{
	FillTriangle(point1, point2, point3, fill);
}

void
BView::StrokeRect(BRect rect, pattern stroke)
{
	_Paint([&](Painter& painter) { painter.StrokeRect(rect, stroke); });
}

void
BView::FillRect(BRect rect, pattern fill)
{
	_Paint([&](Painter& painter) { painter.FillRect(rect, fill); });
}

void
BView::FillRegion(BRegion* region, pattern fill)
{
	if (region == NULL)
		return;
	_Paint([&](Painter& painter) {
		for (int32 i = 0; i < region->CountRects(); i++)
			painter.FillRect(region->RectAt(i), fill);
	});
}

void
BView::InvertRect(BRect rect)
{
	_Paint([&](Painter& painter) { painter.InvertRect(rect); });
}

void
BView::StrokeEllipse(BPoint center, float xRadius, float yRadius, pattern stroke)
{
	StrokeEllipse(EllipseFrame(center, xRadius, yRadius), stroke);
}

void
BView::StrokeEllipse(BRect rect, pattern stroke)
{
	_Paint([&](Painter& painter) { painter.StrokeEllipse(rect, stroke); });
}

void
BView::FillEllipse(BPoint center, float xRadius, float yRadius, pattern fill)
{
	FillEllipse(EllipseFrame(center, xRadius, yRadius), fill);
}

void
BView::FillEllipse(BRect rect, pattern fill)
{
	_Paint([&](Painter& painter) { painter.FillEllipse(rect, fill); });
}

void
BView::DrawBitmapAsync(const BBitmap* bitmap, BRect sourceRect, BRect destinationRect)
{
	DrawBitmap(bitmap, sourceRect, destinationRect);
}

void
BView::DrawBitmapAsync(const BBitmap* bitmap)
{
	DrawBitmap(bitmap);
}

void
BView::DrawBitmapAsync(const BBitmap* bitmap, BPoint where)
{
	DrawBitmap(bitmap, where);
}

void
BView::DrawBitmapAsync(const BBitmap* bitmap, BRect destinationRect)
{
	DrawBitmap(bitmap, destinationRect);
}

void
BView::DrawBitmap(const BBitmap* bitmap, BRect sourceRect, BRect destinationRect)
{
	if (bitmap == NULL || bitmap->InitCheck() != B_OK)
		return;
	_Paint([&](Painter& painter) { painter.DrawBitmap(bitmap, sourceRect, destinationRect); });
}

void
BView::DrawBitmap(const BBitmap* bitmap)
{
	DrawBitmap(bitmap, fData->state.pen);
}

void
BView::DrawBitmap(const BBitmap* bitmap, BPoint where)
{
	if (bitmap == NULL)
		return;
	BRect bounds = bitmap->Bounds();
	DrawBitmap(bitmap, bounds, bounds.OffsetToCopy(where));
}

void
BView::DrawBitmap(const BBitmap* bitmap, BRect destinationRect)
{
	if (bitmap == NULL)
		return;
	DrawBitmap(bitmap, bitmap->Bounds(), destinationRect);
}

void
BView::DrawChar(char character)
{
	DrawString(&character, 1);
}

void
BView::DrawChar(char character, BPoint location)
{
	DrawString(&character, 1, location);
}

void
BView::DrawString(const char* string, escapement_delta* delta)
{
	if (string != NULL)
		DrawString(string, (int32)strlen(string), fData->state.pen, delta);
}

void
BView::DrawString(const char* string, BPoint location, escapement_delta* delta)
{
	if (string != NULL)
		DrawString(string, (int32)strlen(string), location, delta);
}

void
BView::DrawString(const char* string, int32 length, escapement_delta* delta)
{
	DrawString(string, length, fData->state.pen, delta);
}

void
BView::DrawString(const char* string, int32 length, BPoint location, escapement_delta* /*delta*/)
{
	if (string == NULL || length <= 0)
		return;
	std::vector<PlacedGlyph> glyphs;
	int32 advance = FontEngine::Default().Layout(fData->state.font, string, length, &glyphs);
	_Paint([&](Painter& painter) { painter.DrawGlyphs(glyphs, location); });
	fData->state.pen.Set(location.x + advance, location.y);
}

void
BView::SetFont(const BFont* font, uint32 mask)
{
	if (font == NULL)
		return;
	BFont& current = fData->state.font;
	if (mask == B_FONT_ALL) {
		current = *font;
		return;
	}
	if ((mask & B_FONT_FAMILY_AND_STYLE) != 0)
		current.SetFamilyAndStyle(font->FamilyAndStyle());
	if ((mask & B_FONT_SIZE) != 0)
		current.SetSize(font->Size());
	if ((mask & B_FONT_SHEAR) != 0)
		current.SetShear(font->Shear());
	if ((mask & B_FONT_ROTATION) != 0)
		current.SetRotation(font->Rotation());
	if ((mask & B_FONT_SPACING) != 0)
		current.SetSpacing(font->Spacing());
	if ((mask & B_FONT_ENCODING) != 0)
		current.SetEncoding(font->Encoding());
	if ((mask & B_FONT_FACE) != 0)
		current.SetFace(font->Face());
	if ((mask & B_FONT_FLAGS) != 0)
		current.SetFlags(font->Flags());
}

void
BView::GetFont(BFont* font) const
{
	if (font != NULL)
		*font = fData->state.font;
}

void
BView::TruncateString(BString* inOut, uint32 mode, float width) const
{
	fData->state.font.TruncateString(inOut, mode, width);
}

float
BView::StringWidth(const char* string) const
{
	return fData->state.font.StringWidth(string);
}

float
BView::StringWidth(const char* string, int32 length) const
{
	return fData->state.font.StringWidth(string, length);
}

void
BView::GetStringWidths(char* stringArray[], int32 lengthArray[], int32 numStrings,
	float widthArray[]) const
{
	fData->state.font.GetStringWidths((const char**)stringArray, lengthArray, numStrings,
		widthArray);
}

void
BView::SetFontSize(float size)
{
	fData->state.font.SetSize(size);
}

void
BView::ForceFontAliasing(bool enable)
{
	uint32 flags = fData->state.font.Flags();
	if (enable)
		flags |= B_DISABLE_ANTIALIASING;
	else
		flags &= ~B_DISABLE_ANTIALIASING;
	fData->state.font.SetFlags(flags);
}

void
BView::GetFontHeight(font_height* height) const
{
	fData->state.font.GetHeight(height);
}

void
BView::Invalidate(BRect invalidRect)
{
	BWindow* window = fData->owner;
	clipping_rect visible;
	if (window == NULL || !invalidRect.IsValid() || !_VisibleRect(&visible))
		return;
	BPoint origin = _WindowOrigin();
	int32 originX = pixel_for(origin.x);
	int32 originY = pixel_for(origin.y);
	clipping_rect rect = {pixel_for(invalidRect.left) + originX,
		pixel_for(invalidRect.top) + originY, pixel_for(invalidRect.right) + originX,
		pixel_for(invalidRect.bottom) + originY};
	BRegion region;
	region.Set(visible);
	BRegion wanted;
	wanted.Set(rect);
	region.IntersectWith(&wanted);
	if (region.CountRects() > 0)
		window->_Invalidate(region);
}

void
BView::Invalidate()
{
	Invalidate(Bounds());
}

status_t
BView::SetEventMask(uint32 mask, uint32 options)
{
	fData->eventMask = mask;
	fData->eventOptions = options;
	return B_OK;
}

uint32
BView::EventMask() const
{
	return fData->eventMask;
}

status_t
BView::SetMouseEventMask(uint32 mask, uint32 options)
{
	fData->mouseEventMask = mask;
	fData->mouseEventOptions = options;
	return B_OK;
}

void
BView::SetFlags(uint32 flags)
{
	fData->flags = flags;
}

uint32
BView::Flags() const
{
	return fData->flags;
}

void
BView::SetResizingMode(uint32 mode)
{
	fData->resizingMode = mode;
}

uint32
BView::ResizingMode() const
{
	return fData->resizingMode;
}

void
BView::MoveBy(float dh, float dv)
{
	MoveTo(fData->frame.left + dh, fData->frame.top + dv);
}

void
BView::MoveTo(BPoint where)
{
	MoveTo(where.x, where.y);
}

void
BView::MoveTo(float x, float y)
{
	if (x == fData->frame.left && y == fData->frame.top)
		return;
	_SetFrame(fData->frame.OffsetToCopy(x, y));
}

void
BView::ResizeBy(float dh, float dv)
{
	ResizeTo(fData->frame.Width() + dh, fData->frame.Height() + dv);
}

void
BView::ResizeTo(float width, float height)
{
	BRect frame = fData->frame;
	frame.right = frame.left + width;
	frame.bottom = frame.top + height;
	if (frame == fData->frame)
		return;
	_SetFrame(frame);
}

void
BView::ScrollBy(float dh, float dv)
{
	ScrollTo(BPoint(fData->boundsOrigin.x + dh, fData->boundsOrigin.y + dv));
}

void
BView::ScrollTo(float x, float y)
{
	ScrollTo(BPoint(x, y));
}

void
BView::ScrollTo(BPoint where)
{
	if (where == fData->boundsOrigin)
		return;
	fData->boundsOrigin = where;
	Invalidate();
	// The bars scroll this view only when their value differs, which it no longer does.
	if (fData->horizontalScrollBar != NULL)
		fData->horizontalScrollBar->SetValue(where.x);
	if (fData->verticalScrollBar != NULL)
		fData->verticalScrollBar->SetValue(where.y);
}

void
BView::MakeFocus(bool focus)
{
	BWindow* window = fData->owner;
	if (window == NULL)
		return;
	BView* current = window->fData->focus;
	if (focus) {
		if (current == this)
			return;
		if (current != NULL)
			current->MakeFocus(false);
		window->fData->focus = this;
	} else if (current == this) {
		window->fData->focus = NULL;
	}
}

bool
BView::IsFocus() const
{
	return fData->owner != NULL && fData->owner->fData->focus == this;
}

void
BView::Show()
{
	if (--fData->showLevel == 0 && fData->owner != NULL)
		Invalidate();
}

void
BView::Hide()
{
	if (++fData->showLevel == 1)
		_InvalidateInParent(fData->frame);
}

bool
BView::IsHidden() const
{
	return IsHidden(NULL);
}

bool
BView::IsHidden(const BView* lookingFrom) const
{
	if (fData->showLevel > 0)
		return true;
	if (lookingFrom == this)
		return false;
	if (fData->parent != NULL)
		return fData->parent->IsHidden(lookingFrom);
	if (fData->owner != NULL && lookingFrom == NULL)
		return fData->owner->IsHidden();
	return false;
}

void
BView::Flush() const
{
}

void
BView::Sync() const
{
}

void
BView::GetPreferredSize(float* width, float* height)
{
	if (width != NULL)
		*width = fData->frame.Width();
	if (height != NULL)
		*height = fData->frame.Height();
}

void
BView::ResizeToPreferred()
{
	float width;
	float height;
	GetPreferredSize(&width, &height);
	ResizeTo(width, height);
}

BScrollBar*
BView::ScrollBar(orientation posture) const
{
	return posture == B_VERTICAL ? fData->verticalScrollBar : fData->horizontalScrollBar;
}

bool
BView::IsPrinting() const
{
	return false;
}

void
BView::_Init(BRect frame, uint32 resizingMode, uint32 flags)
{
	// Views live on whole pixels unless they ask for more.
	if ((flags & B_SUBPIXEL_PRECISE) == 0) {
		frame.left = roundf(frame.left);
		frame.top = roundf(frame.top);
		frame.right = roundf(frame.right);
		frame.bottom = roundf(frame.bottom);
	}
	fData->frame = frame;
	fData->resizingMode = resizingMode;
	fData->flags = flags;
}

void
BView::_Attach(BWindow* window)
{
	fData->owner = window;
	window->AddHandler(this);
	AttachedToWindow();
	// Children added by the hook above are attached already.
	std::vector<BView*> children = fData->children;
	for (BView* child : children) {
		if (child->fData->parent == this && child->fData->owner == NULL)
			child->_Attach(window);
	}
}

void
BView::_CallAllAttached()
{
	std::vector<BView*> children = fData->children;
	for (BView* child : children) {
		if (child->fData->parent == this)
			child->_CallAllAttached();
	}
	AllAttached();
}

void
BView::_Detach()
{
	DetachedFromWindow();
	std::vector<BView*> children = fData->children;
	for (BView* child : children) {
		if (child->fData->parent == this)
			child->_Detach();
	}
}

void
BView::_CallAllDetached()
{
	std::vector<BView*> children = fData->children;
	for (BView* child : children) {
		if (child->fData->parent == this)
			child->_CallAllDetached();
	}
	AllDetached();
}

void
BView::_ParentResized(float deltaWidth, float deltaHeight)
{
	uint32 mode = fData->resizingMode;
	BRect frame = fData->frame;
	frame.left = FollowEdge(frame.left, (mode >> 8) & 0xf, _VIEW_RIGHT_, deltaWidth);
	frame.right = FollowEdge(frame.right, mode & 0xf, _VIEW_RIGHT_, deltaWidth);
	frame.top = FollowEdge(frame.top, (mode >> 12) & 0xf, _VIEW_BOTTOM_, deltaHeight);
	frame.bottom = FollowEdge(frame.bottom, (mode >> 4) & 0xf, _VIEW_BOTTOM_, deltaHeight);
	if (frame != fData->frame)
		_SetFrame(frame);
}

void
BView::_SetFrame(BRect frame)
{
	BRect old = fData->frame;
	if (fData->owner != NULL)
		_InvalidateInParent(old);
	fData->frame = frame;
	float deltaWidth = frame.Width() - old.Width();
	float deltaHeight = frame.Height() - old.Height();
	if (deltaWidth != 0 || deltaHeight != 0) {
		std::vector<BView*> children = fData->children;
		for (BView* child : children)
			child->_ParentResized(deltaWidth, deltaHeight);
	}
	if (fData->owner != NULL) {
		_InvalidateInParent(frame);
		// The top view has no parent to invalidate it.
		if (fData->isTopView)
			Invalidate();
	}
	if ((fData->flags & B_FRAME_EVENTS) == 0)
		return;
	if (frame.LeftTop() != old.LeftTop())
		FrameMoved(frame.LeftTop());
	if (deltaWidth != 0 || deltaHeight != 0)
		FrameResized(frame.Width(), frame.Height());
}

BPoint
BView::_WindowOrigin() const
{
	BPoint origin = fData->frame.LeftTop() - fData->boundsOrigin;
	for (const BView* view = fData->parent; view != NULL; view = view->fData->parent)
		origin += view->fData->frame.LeftTop() - view->fData->boundsOrigin;
	return origin;
}

BPoint
BView::_ScreenOrigin() const
{
	BPoint origin = _WindowOrigin();
	if (fData->owner == NULL)
		return origin;
	// A status picture that shows as an icon in a tray is on the screen where the icon is,
	// not where its window would be.
	BPoint docked;
	if (BPrivate::DisplayLink::DockedOffset(this, &docked))
		return origin + docked;
	return origin + fData->owner->Frame().LeftTop();
}

bool
BView::_IsVisible() const
{
	if (fData->owner == NULL)
		return false;
	for (const BView* view = this; view != NULL; view = view->fData->parent) {
		if (view->fData->showLevel > 0)
			return false;
	}
	return true;
}

bool
BView::_VisibleRect(clipping_rect* rect) const
{
	if (!_IsVisible())
		return false;
	// The view's own pixels, cut down by every ancestor's.
	*rect = {0, 0, -1, -1};
	bool first = true;
	for (const BView* view = this; view != NULL; view = view->fData->parent) {
		BPoint origin = view->_WindowOrigin();
		BRect bounds = view->Bounds();
		int32 originX = pixel_for(origin.x);
		int32 originY = pixel_for(origin.y);
		clipping_rect own = {pixel_for(bounds.left) + originX, pixel_for(bounds.top) + originY,
			pixel_for(bounds.right) + originX, pixel_for(bounds.bottom) + originY};
		if (first) {
			*rect = own;
			first = false;
			continue;
		}
		rect->left = std::max(rect->left, own.left);
		rect->top = std::max(rect->top, own.top);
		rect->right = std::min(rect->right, own.right);
		rect->bottom = std::min(rect->bottom, own.bottom);
	}
	return rect->left <= rect->right && rect->top <= rect->bottom;
}

void
BView::_InvalidateInParent(BRect frame)
{
	BView* parent = fData->parent;
	if (parent != NULL && fData->owner != NULL)
		parent->Invalidate(frame);
}

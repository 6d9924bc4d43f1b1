/*
 * A window draws into its own pixels. Invalidated areas gather in one update region that a
 * single posted message repaints on the window's thread: each view is filled with its view
 * colour and drawn, clipped to itself and its parents. Mouse and key messages are dispatched
 * here to the view under the pointer, the focus and the views that asked for events; a pulse
 * thread keeps at most one B_PULSE waiting.
 */
#include <Window.h>

#include <string.h>

#include <algorithm>
#include <vector>

#include <Message.h>
#include <View.h>

#include "DisplayLink.h"
#include "InterfacePrivate.h"
#include "LooperPrivate.h"
#include "ViewPrivate.h"
#include "WindowList.h"
#include "WindowPrivate.h"

using BPrivate::kMsgWindowSync;
using BPrivate::kMsgWindowUpdate;
using BPrivate::pixel_for;
using BPrivate::SyncPoint;

namespace {

// The most pixels a window keeps a side.
const int32 kMaxBufferSide = 4096;

// The window that has the keyboard; windows deactivate each other through it.
std::mutex sActiveLock;
BWindow* sActiveWindow = NULL;

void
LookAndFeelFor(window_type type, window_look* look, window_feel* feel)
{
	*feel = B_NORMAL_WINDOW_FEEL;
	switch (type) {
		case B_MODAL_WINDOW:
			*look = B_MODAL_WINDOW_LOOK;
			*feel = B_MODAL_APP_WINDOW_FEEL;
			break;
		case B_DOCUMENT_WINDOW:
			*look = B_DOCUMENT_WINDOW_LOOK;
			break;
		case B_BORDERED_WINDOW:
			*look = B_BORDERED_WINDOW_LOOK;
			break;
		case B_FLOATING_WINDOW:
			*look = B_FLOATING_WINDOW_LOOK;
			*feel = B_FLOATING_APP_WINDOW_FEEL;
			break;
		default:
			*look = B_TITLED_WINDOW_LOOK;
			break;
	}
}

} // namespace

BWindow::BWindow(BRect frame, const char* title, window_type type, uint32 flags, uint32 workspace) :
	BLooper(title),
	fData(new Data)
{
	window_look look;
	window_feel feel;
	LookAndFeelFor(type, &look, &feel);
	_Init(frame, title, look, feel, flags, workspace);
}

BWindow::BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
	uint32 workspace) :
	BLooper(title),
	fData(new Data)
{
	_Init(frame, title, look, feel, flags, workspace);
}

BWindow::BWindow(BMessage* data) :
	BLooper(data),
	fData(new Data)
{
	BRect frame(0, 0, 99, 99);
	const char* title = NULL;
	int32 look = B_TITLED_WINDOW_LOOK;
	int32 feel = B_NORMAL_WINDOW_FEEL;
	int32 flags = 0;
	int32 workspaces = B_CURRENT_WORKSPACE;
	if (data != NULL) {
		data->FindRect("_frame", &frame);
		data->FindString("_title", &title);
		data->FindInt32("_wlook", &look);
		data->FindInt32("_wfeel", &feel);
		data->FindInt32("_flags", &flags);
		data->FindInt32("_wspace", &workspaces);
	}
	_Init(frame, title, (window_look)look, (window_feel)feel, (uint32)flags, (uint32)workspaces);
	if (data == NULL)
		return;
	bigtime_t pulseRate;
	if (data->FindInt64("_pulse", &pulseRate) == B_OK)
		fData->pulseRate = pulseRate;
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

BWindow::~BWindow()
{
	_StopPulse();
	BPrivate::WindowList::Remove(this);
	BPrivate::DisplayLink::WindowDeleted(this);
	fData->destroying = true;
	{
		std::lock_guard<std::mutex> guard(sActiveLock);
		if (sActiveWindow == this)
			sActiveWindow = NULL;
	}
	// The views' detach hooks run with the window locked, as every hook does; the thread
	// that ran the window has ended by now, so nobody else can hold the lock.
	Lock();
	BView* top = fData->topView;
	std::vector<BView*> children = top->fData->children;
	for (BView* child : children) {
		top->RemoveChild(child);
		delete child;
	}
	RemoveHandler(top);
	top->fData->owner = NULL;
	delete top;
	delete fData;
}

BArchivable*
BWindow::Instantiate(BMessage* data)
{
	if (!validate_instantiation(data, "BWindow"))
		return NULL;
	return new BWindow(data);
}

status_t
BWindow::Archive(BMessage* data, bool deep) const
{
	status_t status = BLooper::Archive(data, deep);
	if (status != B_OK)
		return status;
	data->AddRect("_frame", Frame());
	data->AddString("_title", fData->title.c_str());
	data->AddInt32("_wlook", (int32)fData->look);
	data->AddInt32("_wfeel", (int32)fData->feel);
	data->AddInt32("_flags", (int32)fData->flags);
	data->AddInt32("_wspace", (int32)fData->workspaces);
	data->AddInt64("_pulse", PulseRate());
	if (deep) {
		for (BView* child : fData->topView->fData->children) {
			BMessage childArchive;
			if (child->Archive(&childArchive, true) == B_OK)
				data->AddMessage("_views", &childArchive);
		}
	}
	return B_OK;
}

void
BWindow::Quit()
{
	BLooper::Quit();
}

void
BWindow::Close()
{
	Quit();
}

void
BWindow::AddChild(BView* child, BView* before)
{
	fData->topView->AddChild(child, before);
}

bool
BWindow::RemoveChild(BView* child)
{
	return fData->topView->RemoveChild(child);
}

int32
BWindow::CountChildren() const
{
	return fData->topView->CountChildren();
}

BView*
BWindow::ChildAt(int32 index) const
{
	return fData->topView->ChildAt(index);
}

void
BWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	switch (message->what) {
		case B_MOUSE_DOWN:
		{
			// A click activates an inactive window; the click itself reaches its views only
			// when the window accepts the first click. A window manager may have activated
			// the window for this click before it arrived: it is the first click all the same.
			bool activating = !IsActive();
			if (message->HasBool(BPrivate::kActivatingClickField))
				activating = true;
			if (!IsHidden() && activating && (fData->flags & B_AVOID_FOCUS) == 0) {
				Activate(true);
				if ((fData->flags & B_WILL_ACCEPT_FIRST_CLICK) == 0) {
					_TakePointer(message);
					break;
				}
			}
			_HandleMouse(message);
			break;
		}
		case B_MOUSE_UP:
		case B_MOUSE_MOVED:
			_HandleMouse(message);
			break;
		case B_KEY_DOWN:
		case B_KEY_UP:
			// A hidden window takes no input.
			if (!IsHidden())
				_HandleKey(message);
			break;
		case B_PULSE:
			_SendPulse();
			break;
		case B_WINDOW_ACTIVATED:
		{
			bool active;
			if (message->FindBool("active", &active) == B_OK)
				_SendActivated(active);
			break;
		}
		case B_WINDOW_MOVED:
		{
			BPoint where;
			if (message->FindPoint("where", &where) == B_OK)
				FrameMoved(where);
			break;
		}
		case B_WINDOW_RESIZED:
		{
			float width;
			float height;
			if (message->FindFloat("width", &width) == B_OK
				&& message->FindFloat("height", &height) == B_OK) {
				FrameResized(width, height);
			}
			break;
		}
		case kMsgWindowUpdate:
			fData->updatePosted = false;
			break;
		case kMsgWindowSync:
			break;
		case BPrivate::kMsgWindowFocusChanged:
		{
			bool focused;
			int64 number;
			if (message->FindBool("focused", &focused) == B_OK
				&& message->FindInt64("number", &number) == B_OK) {
				BPrivate::DisplayLink::ApplyFocusChange(this, focused, number);
			}
			break;
		}
		default:
			BLooper::DispatchMessage(message, handler);
			break;
	}

	_DrawUpdates();

	if (message->what == kMsgWindowSync) {
		void* pointer;
		if (message->FindPointer("sync", &pointer) == B_OK) {
			SyncPoint* sync = static_cast<SyncPoint*>(pointer);
			sync->Signal();
			sync->Release();
		}
	}
}

void
BWindow::MessageReceived(BMessage* message)
{
	BLooper::MessageReceived(message);
}

void
BWindow::FrameMoved(BPoint /*newPosition*/)
{
}

void
BWindow::WorkspacesChanged(uint32 /*oldWorkspaces*/, uint32 /*newWorkspaces*/)
{
}

void
BWindow::WorkspaceActivated(int32 /*workspace*/, bool /*active*/)
{
}

void
BWindow::FrameResized(float /*newWidth*/, float /*newHeight*/)
{
}

void
BWindow::Minimize(bool /*minimize*/)
{
}

void
BWindow::Zoom(BPoint origin, float width, float height)
{
	MoveTo(origin);
	ResizeTo(width, height);
}

void
BWindow::Zoom()
{
}

void
BWindow::SetZoomLimits(float /*maxWidth*/, float /*maxHeight*/)
{
}

void
BWindow::ScreenChanged(BRect /*screenFrame*/, color_space /*depth*/)
{
}

void
BWindow::SetPulseRate(bigtime_t rate)
{
	if (rate < 0)
		return;
	fData->pulseRate = rate;
	_StartPulse();
}

bigtime_t
BWindow::PulseRate() const
{
	return fData->pulseRate;
}

void
BWindow::MenusBeginning()
{
}

void
BWindow::MenusEnded()
{
}

bool
BWindow::NeedsUpdate() const
{
	return fData->updateRegion.CountRects() > 0;
}

void
BWindow::UpdateIfNeeded()
{
	if (LockingThread() == find_thread(NULL))
		_DrawUpdates();
}

BView*
BWindow::FindView(const char* viewName) const
{
	return fData->topView->FindView(viewName);
}

BView*
BWindow::FindView(BPoint point) const
{
	BView* view = fData->topView;
	while (true) {
		BView* found = NULL;
		const std::vector<BView*>& children = view->fData->children;
		// Later children are drawn over earlier ones.
		for (auto child = children.rbegin(); child != children.rend(); child++) {
			if ((*child)->fData->showLevel > 0)
				continue;
			BPoint origin = (*child)->_WindowOrigin();
			BRect bounds = (*child)->Bounds();
			int32 x = pixel_for(point.x) - pixel_for(origin.x);
			int32 y = pixel_for(point.y) - pixel_for(origin.y);
			if (x >= pixel_for(bounds.left) && x <= pixel_for(bounds.right)
				&& y >= pixel_for(bounds.top) && y <= pixel_for(bounds.bottom)) {
				found = *child;
				break;
			}
		}
		if (found == NULL)
			break;
		view = found;
	}
	return view == fData->topView ? NULL : view;
}

BView*
BWindow::CurrentFocus() const
{
	return fData->focus;
}

void
BWindow::Activate(bool active)
{
	if (active && IsHidden())
		return;
	// A window on a display becomes active when the display gives it the focus.
	if (active && !IsActive() && BPrivate::DisplayLink::RequestActivation(this))
		return;
	std::lock_guard<std::mutex> guard(sActiveLock);
	if (active) {
		if (sActiveWindow == this)
			return;
		if (sActiveWindow != NULL)
			sActiveWindow->_SetActive(false);
		sActiveWindow = this;
		_SetActive(true);
	} else if (sActiveWindow == this) {
		sActiveWindow = NULL;
		_SetActive(false);
	}
}

void
BWindow::WindowActivated(bool /*active*/)
{
}

void
BWindow::ConvertToScreen(BPoint* point) const
{
	*point += Frame().LeftTop();
}

BPoint
BWindow::ConvertToScreen(BPoint point) const
{
	ConvertToScreen(&point);
	return point;
}

void
BWindow::ConvertFromScreen(BPoint* point) const
{
	*point -= Frame().LeftTop();
}

BPoint
BWindow::ConvertFromScreen(BPoint point) const
{
	ConvertFromScreen(&point);
	return point;
}

void
BWindow::ConvertToScreen(BRect* rect) const
{
	rect->OffsetBy(Frame().LeftTop());
}

BRect
BWindow::ConvertToScreen(BRect rect) const
{
	ConvertToScreen(&rect);
	return rect;
}

void
BWindow::ConvertFromScreen(BRect* rect) const
{
	BPoint leftTop = Frame().LeftTop();
	rect->OffsetBy(-leftTop.x, -leftTop.y);
}

BRect
BWindow::ConvertFromScreen(BRect rect) const
{
	ConvertFromScreen(&rect);
	return rect;
}

void
BWindow::MoveBy(float dx, float dy)
{
	BRect frame = Frame();
	MoveTo(frame.left + dx, frame.top + dy);
}

void
BWindow::MoveTo(BPoint where)
{
	MoveTo(where.x, where.y);
}

void
BWindow::MoveTo(float x, float y)
{
	x = roundf(x);
	y = roundf(y);
	{
		std::lock_guard<std::mutex> guard(fData->frameLock);
		if (fData->frame.left == x && fData->frame.top == y)
			return;
		fData->frame.OffsetTo(x, y);
	}
	BPrivate::DisplayLink::WindowFrameChanged(this);
	BMessage moved(B_WINDOW_MOVED);
	moved.AddInt64("when", system_time());
	moved.AddPoint("where", BPoint(x, y));
	PostMessage(&moved);
}

void
BWindow::ResizeBy(float dx, float dy)
{
	BRect frame = Frame();
	ResizeTo(frame.Width() + dx, frame.Height() + dy);
}

void
BWindow::ResizeTo(float width, float height)
{
	width = roundf(std::max(fData->minWidth, std::min(width, fData->maxWidth)));
	height = roundf(std::max(fData->minHeight, std::min(height, fData->maxHeight)));
	{
		std::lock_guard<std::mutex> guard(fData->frameLock);
		if (fData->frame.Width() == width && fData->frame.Height() == height)
			return;
		fData->frame.right = fData->frame.left + width;
		fData->frame.bottom = fData->frame.top + height;
	}
	_ResizeBuffer();
	BPrivate::DisplayLink::WindowFrameChanged(this);
	fData->topView->ResizeTo(width, height);

	BMessage resized(B_WINDOW_RESIZED);
	resized.AddInt64("when", system_time());
	resized.AddFloat("width", width);
	resized.AddFloat("height", height);
	PostMessage(&resized);
}

void
BWindow::Show()
{
	if (!Lock())
		return;
	if (--fData->showLevel == 0) {
		BPrivate::DisplayLink::WindowShown(this);
		BRegion all(Bounds());
		_Invalidate(all);
		if ((fData->flags & B_AVOID_FOCUS) == 0)
			Activate(true);
	}
	if (!fData->running)
		Run();
	Unlock();
}

void
BWindow::Hide()
{
	if (!Lock())
		return;
	if (++fData->showLevel == 1) {
		Activate(false);
		BPrivate::DisplayLink::WindowHidden(this);
	}
	Unlock();
}

bool
BWindow::IsHidden() const
{
	return fData->showLevel > 0;
}

bool
BWindow::IsMinimized() const
{
	return false;
}

void
BWindow::Flush() const
{
}

void
BWindow::Sync() const
{
}

status_t
BWindow::SendBehind(const BWindow* /*window*/)
{
	// Windows have no stacking order here.
	return B_UNSUPPORTED;
}

void
BWindow::DisableUpdates()
{
	fData->updatesDisabled++;
}

void
BWindow::EnableUpdates()
{
	if (fData->updatesDisabled > 0 && --fData->updatesDisabled == 0
		&& fData->updateRegion.CountRects() > 0 && !fData->updatePosted.exchange(true)) {
		if (PostMessage(kMsgWindowUpdate) != B_OK)
			fData->updatePosted = false;
	}
}

void
BWindow::BeginViewTransaction()
{
}

void
BWindow::EndViewTransaction()
{
}

BRect
BWindow::Bounds() const
{
	return Frame().OffsetToCopy(B_ORIGIN);
}

BRect
BWindow::Frame() const
{
	std::lock_guard<std::mutex> guard(fData->frameLock);
	return fData->frame;
}

const char*
BWindow::Title() const
{
	return fData->title.c_str();
}

void
BWindow::SetTitle(const char* title)
{
	fData->title = title != NULL ? title : "";
	SetName(fData->title.c_str());
	BPrivate::DisplayLink::WindowTitleChanged(this);
}

bool
BWindow::IsFront() const
{
	return IsActive();
}

bool
BWindow::IsActive() const
{
	return fData->active;
}

void
BWindow::SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight)
{
	fData->minWidth = minWidth;
	fData->maxWidth = maxWidth;
	fData->minHeight = minHeight;
	fData->maxHeight = maxHeight;
}

void
BWindow::GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight, float* maxHeight)
{
	if (minWidth != NULL)
		*minWidth = fData->minWidth;
	if (maxWidth != NULL)
		*maxWidth = fData->maxWidth;
	if (minHeight != NULL)
		*minHeight = fData->minHeight;
	if (maxHeight != NULL)
		*maxHeight = fData->maxHeight;
}

uint32
BWindow::Workspaces() const
{
	return fData->workspaces;
}

void
BWindow::SetWorkspaces(uint32 workspaces)
{
	uint32 old = fData->workspaces;
	fData->workspaces = workspaces;
	if (old != workspaces)
		WorkspacesChanged(old, workspaces);
}

BView*
BWindow::LastMouseMovedView() const
{
	return fData->lastMouseMovedView;
}

status_t
BWindow::SetType(window_type type)
{
	LookAndFeelFor(type, &fData->look, &fData->feel);
	return B_OK;
}

window_type
BWindow::Type() const
{
	switch (fData->look) {
		case B_MODAL_WINDOW_LOOK:
			return fData->feel == B_MODAL_APP_WINDOW_FEEL ? B_MODAL_WINDOW : B_UNTYPED_WINDOW;
		case B_DOCUMENT_WINDOW_LOOK:
			return fData->feel == B_NORMAL_WINDOW_FEEL ? B_DOCUMENT_WINDOW : B_UNTYPED_WINDOW;
		case B_BORDERED_WINDOW_LOOK:
			return fData->feel == B_NORMAL_WINDOW_FEEL ? B_BORDERED_WINDOW : B_UNTYPED_WINDOW;
		case B_FLOATING_WINDOW_LOOK:
			return fData->feel == B_FLOATING_APP_WINDOW_FEEL ? B_FLOATING_WINDOW : B_UNTYPED_WINDOW;
		case B_TITLED_WINDOW_LOOK:
			return fData->feel == B_NORMAL_WINDOW_FEEL ? B_TITLED_WINDOW : B_UNTYPED_WINDOW;
		default:
			return B_UNTYPED_WINDOW;
	}
}

status_t
BWindow::SetLook(window_look look)
{
	fData->look = look;
	return B_OK;
}

window_look
BWindow::Look() const
{
	return fData->look;
}

status_t
BWindow::SetFeel(window_feel feel)
{
	fData->feel = feel;
	return B_OK;
}

window_feel
BWindow::Feel() const
{
	return fData->feel;
}

status_t
BWindow::SetFlags(uint32 flags)
{
	fData->flags = flags;
	return B_OK;
}

uint32
BWindow::Flags() const
{
	return fData->flags;
}

bool
BWindow::IsModal() const
{
	return fData->feel == B_MODAL_SUBSET_WINDOW_FEEL || fData->feel == B_MODAL_APP_WINDOW_FEEL
		|| fData->feel == B_MODAL_ALL_WINDOW_FEEL;
}

bool
BWindow::IsFloating() const
{
	return fData->feel == B_FLOATING_SUBSET_WINDOW_FEEL || fData->feel == B_FLOATING_APP_WINDOW_FEEL
		|| fData->feel == B_FLOATING_ALL_WINDOW_FEEL;
}

bool
BWindow::QuitRequested()
{
	return BLooper::QuitRequested();
}

thread_id
BWindow::Run()
{
	thread_id thread = BLooper::Run();
	if (thread >= 0) {
		fData->running = true;
		_StartPulse();
	}
	return thread;
}

void
BWindow::_Init(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
	uint32 workspaces)
{
	fData->title = title != NULL ? title : "";
	fData->look = look;
	fData->feel = feel;
	fData->flags = flags;
	fData->workspaces = workspaces;
	frame.left = roundf(frame.left);
	frame.top = roundf(frame.top);
	frame.right = roundf(frame.right);
	frame.bottom = roundf(frame.bottom);
	fData->frame = frame;

	BView* top = new BView(frame.OffsetToCopy(B_ORIGIN), "top view", B_FOLLOW_ALL, 0);
	top->fData->isTopView = true;
	top->fData->owner = this;
	AddHandler(top);
	fData->topView = top;
	_ResizeBuffer();
	BPrivate::WindowList::Add(this);
}

void
BWindow::_SetActive(bool active)
{
	if (fData->active.exchange(active) == active)
		return;
	BMessage activated(B_WINDOW_ACTIVATED);
	activated.AddInt64("when", system_time());
	activated.AddBool("active", active);
	PostMessage(&activated);
}

void
BWindow::_Invalidate(const BRegion& region)
{
	if (fData->destroying)
		return;
	fData->updateRegion.Include(&region);
	if (fData->updatesDisabled == 0 && !fData->updatePosted.exchange(true)) {
		if (PostMessage(kMsgWindowUpdate) != B_OK)
			fData->updatePosted = false;
	}
}

void
BWindow::_DrawUpdates()
{
	if (fData->updatesDisabled > 0 || fData->updateRegion.CountRects() == 0)
		return;
	if (IsHidden()) {
		// A hidden window is redrawn whole when it shows again.
		fData->updateRegion.MakeEmpty();
		return;
	}
	BRegion region(fData->updateRegion);
	fData->updateRegion.MakeEmpty();
	clipping_rect bounds = {0, 0, fData->width - 1, fData->height - 1};
	_DrawView(fData->topView, region, bounds);
	BPrivate::DisplayLink::WindowDrawn(this, fData->pixels.data(), fData->width, fData->height,
		region);
	fData->updateCount++;
}

void
BWindow::_DrawView(BView* view, const BRegion& region, const clipping_rect& parentClip)
{
	BView::Data* data = view->fData;
	if (data->showLevel > 0)
		return;
	BPoint origin = view->_WindowOrigin();
	int32 originX = pixel_for(origin.x);
	int32 originY = pixel_for(origin.y);
	BRect bounds = view->Bounds();
	clipping_rect own = {std::max(pixel_for(bounds.left) + originX, parentClip.left),
		std::max(pixel_for(bounds.top) + originY, parentClip.top),
		std::min(pixel_for(bounds.right) + originX, parentClip.right),
		std::min(pixel_for(bounds.bottom) + originY, parentClip.bottom)};
	if (own.left > own.right || own.top > own.bottom)
		return;
	BRegion clip;
	clip.Set(own);
	clip.IntersectWith(&region);
	if (clip.CountRects() == 0)
		return;

	if (!BPrivate::is_transparent_color(data->viewColor)) {
		BPrivate::Painter painter(fData->Buffer(), clip, originX, originY);
		painter.SetHighColor(data->viewColor);
		BRect frame = clip.Frame();
		painter.FillRect(frame.OffsetByCopy(-originX, -originY), B_SOLID_HIGH);
	}

	BRect update = clip.Frame().OffsetByCopy(-originX, -originY);
	data->updateClip = &clip;
	if ((data->flags & B_WILL_DRAW) != 0)
		view->Draw(update);
	std::vector<BView*> children = data->children;
	for (BView* child : children) {
		if (child->fData->parent == view)
			_DrawView(child, region, own);
	}
	if ((data->flags & B_DRAW_ON_CHILDREN) != 0)
		view->DrawAfterChildren(update);
	data->updateClip = NULL;
}

bool
BWindow::_TakePointer(BMessage* message)
{
	BPoint where;
	if (message->FindPoint("where", &where) != B_OK) {
		BPoint screenWhere;
		if (message->FindPoint("screen_where", &screenWhere) != B_OK)
			return false;
		where = ConvertFromScreen(screenWhere);
	}
	int32 buttons = 0;
	message->FindInt32("buttons", &buttons);
	fData->pointer = where;
	fData->buttons = (uint32)buttons;
	return true;
}

void
BWindow::_HandleMouse(BMessage* message)
{
	if (!_TakePointer(message))
		return;
	BPoint where = fData->pointer;
	uint32 buttons = fData->buttons;
	bool released = message->what == B_MOUSE_UP && buttons == 0;
	// A hidden window takes no input, but a release still ends what its press asked for.
	if (IsHidden()) {
		if (released)
			_EndMouseEventMasks();
		return;
	}

	BView* hit = FindView(where);
	std::vector<std::pair<BView*, uint32>> targets;
	if (message->what == B_MOUSE_MOVED) {
		BView* previous = fData->lastMouseMovedView;
		fData->lastMouseMovedView = hit;
		if (previous != NULL && previous != hit)
			targets.push_back({previous, B_EXITED_VIEW});
		if (hit != NULL)
			targets.push_back({hit, previous == hit ? B_INSIDE_VIEW : B_ENTERED_VIEW});
	} else if (hit != NULL) {
		targets.push_back({hit, B_INSIDE_VIEW});
	}

	// Views that asked for pointer events get them wherever the pointer is.
	std::vector<BView*> pending(fData->topView->fData->children.rbegin(),
		fData->topView->fData->children.rend());
	while (!pending.empty()) {
		BView* view = pending.back();
		pending.pop_back();
		pending.insert(pending.end(), view->fData->children.rbegin(), view->fData->children.rend());
		uint32 mask = view->fData->eventMask | view->fData->mouseEventMask;
		if ((mask & B_POINTER_EVENTS) == 0 || !view->_IsVisible())
			continue;
		bool listed = std::any_of(targets.begin(), targets.end(),
			[view](const std::pair<BView*, uint32>& target) { return target.first == view; });
		if (!listed)
			targets.push_back({view, B_OUTSIDE_VIEW});
	}

	for (const auto& target : targets) {
		BView* view = target.first;
		// An earlier hook may have removed it.
		if (view->fData->owner != this)
			continue;
		BPoint point = where - view->_WindowOrigin();
		switch (message->what) {
			case B_MOUSE_MOVED:
				view->MouseMoved(point, target.second, NULL);
				break;
			case B_MOUSE_DOWN:
				view->MouseDown(point);
				break;
			case B_MOUSE_UP:
				view->MouseUp(point);
				break;
		}
	}

	if (released)
		_EndMouseEventMasks();
}

void
BWindow::_EndMouseEventMasks()
{
	std::vector<BView*> pending(1, fData->topView);
	while (!pending.empty()) {
		BView* view = pending.back();
		pending.pop_back();
		view->fData->mouseEventMask = 0;
		view->fData->mouseEventOptions = 0;
		pending.insert(pending.end(), view->fData->children.begin(), view->fData->children.end());
	}
}

void
BWindow::_HandleKey(BMessage* message)
{
	std::string bytes;
	const char* string;
	if (message->FindString("bytes", &string) == B_OK) {
		bytes = string;
	} else {
		int8 byte;
		for (int32 i = 0; message->FindInt8("byte", i, &byte) == B_OK; i++)
			bytes += (char)byte;
	}
	if (bytes.empty())
		return;

	BView* focus = fData->focus;
	std::vector<BView*> targets;
	if (focus != NULL)
		targets.push_back(focus);
	std::vector<BView*> pending(fData->topView->fData->children.rbegin(),
		fData->topView->fData->children.rend());
	while (!pending.empty()) {
		BView* view = pending.back();
		pending.pop_back();
		pending.insert(pending.end(), view->fData->children.rbegin(), view->fData->children.rend());
		uint32 mask = view->fData->eventMask | view->fData->mouseEventMask;
		if ((mask & B_KEYBOARD_EVENTS) != 0 && view != fData->focus && view->_IsVisible())
			targets.push_back(view);
	}

	for (BView* view : targets) {
		if (view->fData->owner != this)
			continue;
		if (message->what == B_KEY_DOWN)
			view->KeyDown(bytes.c_str(), (int32)bytes.size());
		else
			view->KeyUp(bytes.c_str(), (int32)bytes.size());
	}
	// Without a focus, Tab is the window's: views that only watch the keyboard through their
	// event mask do not take it away.
	if (focus == NULL && message->what == B_KEY_DOWN && bytes == "\t")
		_Navigate((modifiers() & B_SHIFT_KEY) != 0);
}

void
BWindow::_SendPulse()
{
	std::vector<BView*> views;
	std::vector<BView*> pending(1, fData->topView);
	while (!pending.empty()) {
		BView* view = pending.back();
		pending.pop_back();
		if ((view->fData->flags & B_PULSE_NEEDED) != 0)
			views.push_back(view);
		pending.insert(pending.end(), view->fData->children.rbegin(), view->fData->children.rend());
	}
	for (BView* view : views) {
		if (view->fData->owner == this)
			view->Pulse();
	}
}

void
BWindow::_SendActivated(bool active)
{
	WindowActivated(active);
	std::vector<BView*> views;
	std::vector<BView*> pending(fData->topView->fData->children.rbegin(),
		fData->topView->fData->children.rend());
	while (!pending.empty()) {
		BView* view = pending.back();
		pending.pop_back();
		views.push_back(view);
		pending.insert(pending.end(), view->fData->children.rbegin(), view->fData->children.rend());
	}
	for (BView* view : views) {
		if (view->fData->owner == this)
			view->WindowActivated(active);
	}
}

void
BWindow::_Navigate(bool backwards)
{
	std::vector<BView*> navigable;
	std::vector<BView*> pending(fData->topView->fData->children.rbegin(),
		fData->topView->fData->children.rend());
	while (!pending.empty()) {
		BView* view = pending.back();
		pending.pop_back();
		if (view->fData->showLevel > 0)
			continue;
		if ((view->fData->flags & B_NAVIGABLE) != 0)
			navigable.push_back(view);
		pending.insert(pending.end(), view->fData->children.rbegin(), view->fData->children.rend());
	}
	if (navigable.empty())
		return;
	int32 count = (int32)navigable.size();
	auto found = std::find(navigable.begin(), navigable.end(), fData->focus);
	int32 next;
	if (found == navigable.end())
		next = backwards ? count - 1 : 0;
	else
		next = ((int32)(found - navigable.begin()) + (backwards ? count - 1 : 1)) % count;
	navigable[next]->MakeFocus(true);
}

void
BWindow::_ViewRemoved(BView* view)
{
	if (fData->focus == view)
		fData->focus = NULL;
	if (fData->lastMouseMovedView == view)
		fData->lastMouseMovedView = NULL;
}

void
BWindow::_StartPulse()
{
	// The window's own thread queues the pulse between messages: nothing else wakes for it.
	fPrivate->SetPeriodic(B_PULSE, fData->pulseRate);
}

void
BWindow::_StopPulse()
{
	fPrivate->SetPeriodic(B_PULSE, 0);
}

void
BWindow::_ResizeBuffer()
{
	// At most kMaxBufferSide pixels a side whatever the frame (an archive's may be anything);
	// what lies beyond is not drawn.
	BRect frame = Frame();
	fData->width = std::clamp(frame.IntegerWidth(), (int32)0, kMaxBufferSide - 1) + 1;
	fData->height = std::clamp(frame.IntegerHeight(), (int32)0, kMaxBufferSide - 1) + 1;
	fData->pixels.assign((size_t)fData->width * fData->height * 4, 0xff);
	BRegion all(frame.OffsetToCopy(B_ORIGIN));
	_Invalidate(all);
}

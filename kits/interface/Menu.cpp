#include <Menu.h>

#include <math.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include <Message.h>
#include <MenuItem.h>
#include <Window.h>

#include "DisplayLink.h"
#include "InterfacePrivate.h"
#include "MenuPrivate.h"
#include "MenuWindow.h"
#include "WindowPort.h"

namespace {

// Column items leave room for the mark at the left and a shortcut at the right.
const BRect kColumnPad(14, 2, 20, 2);
const BRect kRowPad(8, 2, 8, 2);
const float kBorder = 1;

// One side of a menu's place, from `low` to `high` on the screen: from `start` where it fits;
// else ending just before `clear`, so that what the menu was opened on stays clear; else as
// far as the screen lets it.
float
PlaceOnAxis(float start, float clear, float size, float low, float high)
{
	if (start >= low && start + size <= high)
		return start;
	if (clear - 1 - size >= low && clear - 1 <= high)
		return clear - 1 - size;
	return std::max(low, std::min(start, high - size));
}

// Where a menu of this size opened at `where` goes: with its corner at the point, or where
// there is no room, on the point's other side; opened on an icon in a tray, below or above
// the whole icon. On the screen in any case.
BRect
MenuFrame(BPoint where, float width, float height)
{
	BRect screen = BPrivate::main_screen_frame();
	BRect icon = BPrivate::DisplayLink::DockedFrameAt(where);
	float top = icon.IsValid() ? icon.bottom + 1 : where.y;
	float clearTop = icon.IsValid() ? icon.top : where.y;
	BRect frame(0, 0, width, height);
	frame.OffsetTo(PlaceOnAxis(where.x, where.x, width, screen.left, screen.right),
		PlaceOnAxis(top, clearTop, height, screen.top, screen.bottom));
	return frame;
}

} // namespace

// How an open menu ends: shared by the thread that opened it and the menu's window.
struct BMenu::Tracking {
	std::mutex lock;
	std::condition_variable closed;
	bool open = false;
	BMenuItem* chosen = NULL;
	BHandler* notify = NULL;
	BLooper* notifyLooper = NULL;
	bool asynchronous = false;
	bool deliver = false;
};

status_t
get_menu_info(menu_info* info)
{
	if (info == NULL)
		return B_BAD_VALUE;
	font_family family;
	font_style style;
	be_plain_font->GetFamilyAndStyle(&family, &style);
	info->font_size = be_plain_font->Size();
	snprintf(info->f_family, sizeof(info->f_family), "%s", family);
	snprintf(info->f_style, sizeof(info->f_style), "%s", style);
	info->background_color = ui_color(B_MENU_BACKGROUND_COLOR);
	info->separator = 0;
	info->click_to_open = true;
	info->triggers_always_shown = false;
	return B_OK;
}

BMenu::BMenu(const char* title, menu_layout layout) :
	BView(BRect(0, 0, 0, 0), title, 0, B_WILL_DRAW)
{
	_Init(layout);
}

BMenu::BMenu(const char* title, float width, float height) :
	BView(BRect(0, 0, width, height), title, 0, B_WILL_DRAW)
{
	_Init(B_ITEMS_IN_MATRIX);
	fResizeToFit = false;
	fWidth = width;
	fHeight = height;
}

BMenu::BMenu(BRect frame, const char* name, uint32 resizingMode, uint32 flags, menu_layout layout,
	bool resizeToFit) :
	BView(frame, name, resizingMode, flags)
{
	_Init(layout);
	fResizeToFit = resizeToFit;
	fWidth = frame.Width();
	fHeight = frame.Height();
}

BMenu::~BMenu()
{
	if (fMenuWindow != NULL) {
		BPrivate::unregister_open_menu(this);
		BPrivate::retire_menu_window(fMenuWindow);
		fMenuWindow->Lock();
		if (Window() == fMenuWindow)
			fMenuWindow->RemoveChild(this);
		fMenuWindow->Quit();
	}
	for (BMenuItem* item : fItems) {
		item->fMenu = NULL;
		delete item;
	}
	if (fSuperitem != NULL && fSuperitem->fSubmenu == this)
		fSuperitem->fSubmenu = NULL;
	delete fTracking;
}

void
BMenu::AttachedToWindow()
{
	BView::AttachedToWindow();
}

void
BMenu::DetachedFromWindow()
{
	BView::DetachedFromWindow();
}

bool
BMenu::AddItem(BMenuItem* item)
{
	return _AddItem(item, CountItems());
}

bool
BMenu::AddItem(BMenuItem* item, int32 index)
{
	if (fLayout == B_ITEMS_IN_MATRIX)
		return false;
	return _AddItem(item, index);
}

bool
BMenu::AddItem(BMenuItem* item, BRect frame)
{
	if (fLayout != B_ITEMS_IN_MATRIX || item == NULL)
		return false;
	if (!_AddItem(item, CountItems()))
		return false;
	item->fBounds = frame;
	return true;
}

bool
BMenu::AddItem(BMenu* menu)
{
	return AddItem(menu, CountItems());
}

bool
BMenu::AddItem(BMenu* menu, int32 index)
{
	if (menu == NULL || menu->fSuperitem != NULL)
		return false;
	BMenuItem* item = new BMenuItem(menu);
	if (!AddItem(item, index)) {
		item->fSubmenu = NULL;
		menu->fSuperitem = NULL;
		delete item;
		return false;
	}
	return true;
}

bool
BMenu::AddItem(BMenu* menu, BRect frame)
{
	if (menu == NULL || menu->fSuperitem != NULL)
		return false;
	BMenuItem* item = new BMenuItem(menu);
	if (!AddItem(item, frame)) {
		item->fSubmenu = NULL;
		menu->fSuperitem = NULL;
		delete item;
		return false;
	}
	return true;
}

bool
BMenu::AddSeparatorItem()
{
	if (fLayout == B_ITEMS_IN_MATRIX)
		return false;
	return AddItem(new BSeparatorItem);
}

bool
BMenu::RemoveItem(BMenuItem* item)
{
	int32 index = IndexOf(item);
	if (index < 0)
		return false;
	return RemoveItem(index) != NULL;
}

BMenuItem*
BMenu::RemoveItem(int32 index)
{
	if (index < 0 || index >= CountItems())
		return NULL;
	BMenuItem* item = fItems[index];
	fItems.erase(fItems.begin() + index);
	item->fMenu = NULL;
	item->fSelected = false;
	if (fHighlighted == index)
		fHighlighted = -1;
	else if (fHighlighted > index)
		fHighlighted--;
	InvalidateLayout();
	return item;
}

bool
BMenu::RemoveItems(int32 index, int32 count, bool deleteItems)
{
	if (index < 0 || count < 0 || index + count > CountItems())
		return false;
	for (int32 i = 0; i < count; i++) {
		BMenuItem* item = RemoveItem(index);
		if (deleteItems)
			delete item;
	}
	return true;
}

bool
BMenu::RemoveItem(BMenu* menu)
{
	int32 index = IndexOf(menu);
	if (index < 0)
		return false;
	BMenuItem* item = RemoveItem(index);
	// The submenu goes back to the caller; its item does not survive it.
	item->fSubmenu = NULL;
	menu->fSuperitem = NULL;
	delete item;
	return true;
}

BMenuItem*
BMenu::ItemAt(int32 index) const
{
	if (index < 0 || index >= CountItems())
		return NULL;
	return fItems[index];
}

BMenu*
BMenu::SubmenuAt(int32 index) const
{
	BMenuItem* item = ItemAt(index);
	return item != NULL ? item->Submenu() : NULL;
}

int32
BMenu::CountItems() const
{
	return (int32)fItems.size();
}

int32
BMenu::IndexOf(BMenuItem* item) const
{
	if (item == NULL)
		return -1;
	auto found = std::find(fItems.begin(), fItems.end(), item);
	return found != fItems.end() ? (int32)(found - fItems.begin()) : -1;
}

int32
BMenu::IndexOf(BMenu* menu) const
{
	if (menu == NULL)
		return -1;
	for (int32 i = 0; i < CountItems(); i++) {
		if (fItems[i]->Submenu() == menu)
			return i;
	}
	return -1;
}

BMenuItem*
BMenu::FindItem(uint32 command) const
{
	for (BMenuItem* item : fItems) {
		if (item->Message() != NULL && item->Message()->what == command)
			return item;
	}
	return NULL;
}

BMenuItem*
BMenu::FindItem(const char* label) const
{
	if (label == NULL)
		return NULL;
	for (BMenuItem* item : fItems) {
		if (item->Label() != NULL && strcmp(item->Label(), label) == 0)
			return item;
	}
	return NULL;
}

status_t
BMenu::SetTargetForItems(BHandler* target)
{
	status_t status = B_OK;
	for (BMenuItem* item : fItems) {
		status_t itemStatus = item->SetTarget(target);
		if (itemStatus != B_OK)
			status = itemStatus;
	}
	return status;
}

void
BMenu::SetEnabled(bool enabled)
{
	if (enabled == fEnabled)
		return;
	fEnabled = enabled;
	Invalidate();
	if (fSuperitem != NULL)
		fSuperitem->SetEnabled(enabled);
}

void
BMenu::SetRadioMode(bool on)
{
	fRadioMode = on;
	if (!on)
		fLabelFromMarked = false;
}

void
BMenu::SetTriggersEnabled(bool on)
{
	fTriggersEnabled = on;
}

void
BMenu::SetMaxContentWidth(float maxWidth)
{
	fMaxContentWidth = maxWidth;
	InvalidateLayout();
}

void
BMenu::SetLabelFromMarked(bool on)
{
	fLabelFromMarked = on;
	if (on)
		SetRadioMode(true);
}

bool
BMenu::IsLabelFromMarked()
{
	return fLabelFromMarked;
}

bool
BMenu::IsEnabled() const
{
	return fEnabled;
}

bool
BMenu::IsRadioMode() const
{
	return fRadioMode;
}

bool
BMenu::AreTriggersEnabled() const
{
	return fTriggersEnabled;
}

bool
BMenu::IsRedrawAfterSticky() const
{
	return false;
}

float
BMenu::MaxContentWidth() const
{
	return fMaxContentWidth;
}

BMenuItem*
BMenu::FindMarked()
{
	for (BMenuItem* item : fItems) {
		if (item->IsMarked())
			return item;
	}
	return NULL;
}

BMenu*
BMenu::Supermenu() const
{
	return fSuperitem != NULL ? fSuperitem->Menu() : NULL;
}

BMenuItem*
BMenu::Superitem() const
{
	return fSuperitem;
}

void
BMenu::MessageReceived(BMessage* message)
{
	BView::MessageReceived(message);
}

void
BMenu::KeyDown(const char* bytes, int32 numBytes)
{
	if (!_IsOpen() || numBytes != 1) {
		BView::KeyDown(bytes, numBytes);
		return;
	}
	switch (bytes[0]) {
		case B_ESCAPE:
			_Close(NULL);
			break;
		case B_UP_ARROW:
		case B_DOWN_ARROW:
		case B_LEFT_ARROW:
		case B_RIGHT_ARROW:
		{
			bool back = bytes[0] == B_UP_ARROW || bytes[0] == B_LEFT_ARROW;
			int32 count = CountItems();
			int32 index = fHighlighted;
			for (int32 step = 0; step < count; step++) {
				if (index < 0)
					index = back ? count - 1 : 0;
				else
					index = (index + (back ? count - 1 : 1)) % count;
				if (_IsChoosable(index)) {
					_Highlight(index);
					break;
				}
			}
			break;
		}
		case B_ENTER:
		case B_SPACE:
			if (_IsChoosable(fHighlighted))
				_Close(ItemAt(fHighlighted));
			break;
		default:
			BView::KeyDown(bytes, numBytes);
			break;
	}
}

void
BMenu::MouseDown(BPoint where)
{
	if (!_IsOpen())
		return;
	if (!Bounds().Contains(where)) {
		_Close(NULL);
		return;
	}
	int32 index = _ItemIndexAt(where);
	_Highlight(_IsChoosable(index) ? index : -1);
}

void
BMenu::MouseUp(BPoint where)
{
	if (!_IsOpen() || !Bounds().Contains(where))
		return;
	// A release anywhere else keeps the menu open, as after the click that opened it.
	int32 index = _ItemIndexAt(where);
	if (_IsChoosable(index))
		_Close(ItemAt(index));
}

void
BMenu::MouseMoved(BPoint where, uint32 /*transit*/, const BMessage* /*dragMessage*/)
{
	if (!_IsOpen())
		return;
	int32 index = _ItemIndexAt(where);
	if (_IsChoosable(index))
		_Highlight(index);
	else if (!Bounds().Contains(where) || index >= 0)
		_Highlight(-1);
}

void
BMenu::Draw(BRect updateRect)
{
	_Layout();
	DrawBackground(updateRect);
	for (BMenuItem* item : fItems) {
		if (item->fBounds.Intersects(updateRect))
			item->Draw();
	}
}

void
BMenu::GetPreferredSize(float* width, float* height)
{
	_Layout();
	if (width != NULL)
		*width = fWidth;
	if (height != NULL)
		*height = fHeight;
}

void
BMenu::ResizeToPreferred()
{
	BView::ResizeToPreferred();
}

void
BMenu::FrameMoved(BPoint newPosition)
{
	BView::FrameMoved(newPosition);
}

void
BMenu::FrameResized(float newWidth, float newHeight)
{
	BView::FrameResized(newWidth, newHeight);
}

void
BMenu::InvalidateLayout()
{
	fLayoutValid = false;
	Invalidate();
}

void
BMenu::MakeFocus(bool focus)
{
	BView::MakeFocus(focus);
}

void
BMenu::AllAttached()
{
	BView::AllAttached();
}

void
BMenu::AllDetached()
{
	BView::AllDetached();
}

void
BMenu::DrawBackground(BRect updateRect)
{
	rgb_color background = ui_color(B_MENU_BACKGROUND_COLOR);
	SetHighColor(background);
	FillRect(Bounds() & updateRect);
	if (fLayout == B_ITEMS_IN_MATRIX && !fResizeToFit)
		return;
	// Raised: light above and left, a shadow below and right.
	BRect bounds = Bounds();
	BeginLineArray(4);
	rgb_color light = tint_color(background, B_LIGHTEN_MAX_TINT);
	rgb_color shadow = tint_color(background, B_DARKEN_4_TINT);
	AddLine(bounds.LeftBottom(), bounds.LeftTop(), light);
	AddLine(bounds.LeftTop(), bounds.RightTop(), light);
	AddLine(bounds.RightTop(), bounds.RightBottom(), shadow);
	AddLine(bounds.RightBottom(), bounds.LeftBottom(), shadow);
	EndLineArray();
}

BPoint
BMenu::ScreenLocation()
{
	return Window() != NULL ? Window()->Frame().LeftTop() : B_ORIGIN;
}

void
BMenu::SetItemMargins(float left, float top, float right, float bottom)
{
	fPad.Set(left, top, right, bottom);
	InvalidateLayout();
}

void
BMenu::GetItemMargins(float* left, float* top, float* right, float* bottom) const
{
	if (left != NULL)
		*left = fPad.left;
	if (top != NULL)
		*top = fPad.top;
	if (right != NULL)
		*right = fPad.right;
	if (bottom != NULL)
		*bottom = fPad.bottom;
}

menu_layout
BMenu::Layout() const
{
	return fLayout;
}

void
BMenu::_Init(menu_layout layout)
{
	fSuperitem = NULL;
	fOwner = NULL;
	fMenuWindow = NULL;
	fTracking = new Tracking;
	fPad = layout == B_ITEMS_IN_ROW ? kRowPad : kColumnPad;
	fLayout = layout;
	fMaxContentWidth = 0;
	fWidth = 0;
	fHeight = 0;
	fHighlighted = -1;
	fLayoutValid = false;
	fResizeToFit = true;
	fEnabled = true;
	fRadioMode = false;
	fLabelFromMarked = false;
	fTriggersEnabled = true;
	SetViewColor(B_TRANSPARENT_COLOR);
	SetFont(be_plain_font);
}

bool
BMenu::_AddItem(BMenuItem* item, int32 index)
{
	if (item == NULL || item->fMenu != NULL || index < 0 || index > CountItems())
		return false;
	fItems.insert(fItems.begin() + index, item);
	item->fMenu = this;
	if (fHighlighted >= index)
		fHighlighted++;
	InvalidateLayout();
	return true;
}

void
BMenu::_Layout()
{
	if (fLayoutValid)
		return;
	fLayoutValid = true;
	if (fLayout == B_ITEMS_IN_MATRIX) {
		if (!fResizeToFit)
			return;
		float right = 0;
		float bottom = 0;
		for (BMenuItem* item : fItems) {
			right = std::max(right, item->fBounds.right);
			bottom = std::max(bottom, item->fBounds.bottom);
		}
		fWidth = right;
		fHeight = bottom;
		return;
	}

	float widest = 0;
	float x = kBorder;
	float y = kBorder;
	float rowHeight = 0;
	for (BMenuItem* item : fItems) {
		float width;
		float height;
		item->GetContentSize(&width, &height);
		if (fMaxContentWidth > 0)
			width = std::min(width, fMaxContentWidth);
		width = ceilf(width + fPad.left + fPad.right);
		height = ceilf(height + fPad.top + fPad.bottom);
		if (fLayout == B_ITEMS_IN_COLUMN) {
			item->fBounds.Set(kBorder, y, kBorder + width - 1, y + height - 1);
			y += height;
			widest = std::max(widest, width);
		} else {
			item->fBounds.Set(x, kBorder, x + width - 1, kBorder + height - 1);
			x += width;
			rowHeight = std::max(rowHeight, height);
		}
	}
	if (fLayout == B_ITEMS_IN_COLUMN) {
		// Every item of a column is as wide as the widest.
		for (BMenuItem* item : fItems)
			item->fBounds.right = kBorder + widest - 1;
		fWidth = widest + 2 * kBorder - 1;
		fHeight = y + kBorder - 1;
	} else {
		for (BMenuItem* item : fItems)
			item->fBounds.bottom = kBorder + rowHeight - 1;
		fWidth = x + kBorder - 1;
		fHeight = rowHeight + 2 * kBorder - 1;
	}
	if (fItems.empty()) {
		fWidth = std::max(fWidth, 2 * kBorder + 20);
		fHeight = std::max(fHeight, 2 * kBorder + 4);
	}
}

int32
BMenu::_ItemIndexAt(BPoint where) const
{
	for (int32 i = 0; i < CountItems(); i++) {
		if (fItems[i]->fBounds.Contains(where))
			return i;
	}
	return -1;
}

bool
BMenu::_IsChoosable(int32 index) const
{
	BMenuItem* item = ItemAt(index);
	return item != NULL && fEnabled && item->IsEnabled()
		&& dynamic_cast<BSeparatorItem*>(item) == NULL;
}

void
BMenu::_Highlight(int32 index)
{
	if (index == fHighlighted)
		return;
	BMenuItem* old = ItemAt(fHighlighted);
	if (old != NULL)
		old->Highlight(false);
	fHighlighted = index;
	BMenuItem* item = ItemAt(index);
	if (item != NULL)
		item->Highlight(true);
}

void
BMenu::_InvalidateItem(BMenuItem* item)
{
	if (Window() != NULL && fLayoutValid)
		Invalidate(item->fBounds);
}

status_t
BMenu::_Open(BPoint where, BHandler* notify, bool asynchronous, bool deliver)
{
	{
		std::lock_guard<std::mutex> guard(fTracking->lock);
		if (fTracking->open)
			return B_BUSY;
		if (Window() != NULL)
			return B_NOT_ALLOWED;
		fTracking->open = true;
		fTracking->chosen = NULL;
		fTracking->notify = notify;
		fTracking->notifyLooper = notify != NULL ? notify->Looper() : NULL;
		fTracking->asynchronous = asynchronous;
		fTracking->deliver = deliver;
	}

	InvalidateLayout();
	float width;
	float height;
	GetPreferredSize(&width, &height);
	BRect frame = MenuFrame(where, width, height);

	if (fMenuWindow == NULL) {
		const char* title = Name() != NULL && Name()[0] != '\0' ? Name() : "menu";
		fMenuWindow = new BPrivate::MenuWindow(frame, title);
	}
	fMenuWindow->Lock();
	fMenuWindow->MoveTo(frame.LeftTop());
	fMenuWindow->ResizeTo(width, height);
	MoveTo(B_ORIGIN);
	ResizeTo(width, height);
	for (BMenuItem* item : fItems)
		item->fSelected = false;
	fHighlighted = -1;
	fMenuWindow->AddChild(this);
	MakeFocus(true);
	SetEventMask(B_POINTER_EVENTS);
	fMenuWindow->Unlock();
	fMenuWindow->Show();

	// Drawn and taking input before anyone can find it.
	BPrivate::WindowPort(fMenuWindow).Sync();
	BPrivate::register_open_menu(this, fMenuWindow);
	return B_OK;
}

BMenuItem*
BMenu::_WaitForClose()
{
	std::unique_lock<std::mutex> guard(fTracking->lock);
	fTracking->closed.wait(guard, [this] { return !fTracking->open; });
	return fTracking->chosen;
}

void
BMenu::_Close(BMenuItem* chosen)
{
	// Runs in the menu window's thread, with the window locked.
	BPrivate::unregister_open_menu(this);
	SetEventMask(0);
	BWindow* window = Window();
	if (window != NULL) {
		window->RemoveChild(this);
		window->Hide();
	}
	_Highlight(-1);

	BHandler* notify;
	BLooper* notifyLooper;
	bool asynchronous;
	bool deliver;
	{
		std::lock_guard<std::mutex> guard(fTracking->lock);
		notify = fTracking->notify;
		notifyLooper = fTracking->notifyLooper;
		asynchronous = fTracking->asynchronous;
		deliver = fTracking->deliver;
	}
	if (asynchronous && deliver && chosen != NULL)
		chosen->Invoke();
	if (notify != NULL && notifyLooper != NULL) {
		BMessage closed(BPrivate::kMsgMenuClosed);
		closed.AddInt32("index", IndexOf(chosen));
		notifyLooper->PostMessage(&closed, notify);
	}
	// Last: a waiting opener may delete the menu as soon as it wakes.
	{
		std::lock_guard<std::mutex> guard(fTracking->lock);
		fTracking->open = false;
		fTracking->chosen = chosen;
		fTracking->closed.notify_all();
	}
}

bool
BMenu::_IsOpen() const
{
	std::lock_guard<std::mutex> guard(fTracking->lock);
	return fTracking->open && Window() != NULL;
}

BWindow*
BMenu::_DefaultTargetWindow() const
{
	for (const BMenu* menu = this; menu != NULL; menu = menu->Supermenu()) {
		if (menu->fOwner != NULL)
			return menu->fOwner->Window();
	}
	return NULL;
}

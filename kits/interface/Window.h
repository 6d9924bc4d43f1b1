/*
 * BWindow: a looper with its own thread that owns a tree of views and draws them into its
 * own pixels. Without a display every window is headless; BPrivate::WindowPort reads its
 * pixels and feeds it input. Menus, shortcuts, default buttons, subsets, size and zoom
 * limits beyond storing them, minimising and scripting are not provided.
 */
#ifndef _WINDOW_H
#define _WINDOW_H

#include <InterfaceDefs.h>
#include <Looper.h>
#include <Rect.h>
#include <Region.h>

class BMessage;
class BView;

namespace BPrivate {
class WindowPort;
}

enum window_type {
	B_UNTYPED_WINDOW = 0,
	B_TITLED_WINDOW = 1,
	B_MODAL_WINDOW = 3,
	B_DOCUMENT_WINDOW = 11,
	B_BORDERED_WINDOW = 20,
	B_FLOATING_WINDOW = 21
};

enum window_look {
	B_BORDERED_WINDOW_LOOK = 20,
	B_NO_BORDER_WINDOW_LOOK = 19,
	B_TITLED_WINDOW_LOOK = 1,
	B_DOCUMENT_WINDOW_LOOK = 11,
	B_MODAL_WINDOW_LOOK = 3,
	B_FLOATING_WINDOW_LOOK = 7
};

enum window_feel {
	B_NORMAL_WINDOW_FEEL = 0,
	B_MODAL_SUBSET_WINDOW_FEEL = 2,
	B_MODAL_APP_WINDOW_FEEL = 1,
	B_MODAL_ALL_WINDOW_FEEL = 3,
	B_FLOATING_SUBSET_WINDOW_FEEL = 5,
	B_FLOATING_APP_WINDOW_FEEL = 4,
	B_FLOATING_ALL_WINDOW_FEEL = 6
};

enum window_alignment {
	B_BYTE_ALIGNMENT = 0,
	B_PIXEL_ALIGNMENT = 1
};

enum {
	B_NOT_MOVABLE = 0x00000001,
	B_NOT_CLOSABLE = 0x00000020,
	B_NOT_ZOOMABLE = 0x00000040,
	B_NOT_MINIMIZABLE = 0x00004000,
	B_NOT_RESIZABLE = 0x00000002,
	B_NOT_H_RESIZABLE = 0x00000004,
	B_NOT_V_RESIZABLE = 0x00000008,
	B_AVOID_FRONT = 0x00000080,
	B_AVOID_FOCUS = 0x00002000,
	B_WILL_ACCEPT_FIRST_CLICK = 0x00000010,
	B_OUTLINE_RESIZE = 0x00001000,
	B_NO_WORKSPACE_ACTIVATION = 0x00000100,
	B_NOT_ANCHORED_ON_ACTIVATE = 0x00020000,
	B_ASYNCHRONOUS_CONTROLS = 0x00080000,
	B_QUIT_ON_WINDOW_CLOSE = 0x00100000
};

#define B_CURRENT_WORKSPACE 0
#define B_ALL_WORKSPACES 0xffffffff

class BWindow : public BLooper {
public:
	BWindow(BRect frame, const char* title, window_type type, uint32 flags,
		uint32 workspace = B_CURRENT_WORKSPACE);
	BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
		uint32 workspace = B_CURRENT_WORKSPACE);
	BWindow(BMessage* data);
	virtual ~BWindow();

	static BArchivable* Instantiate(BMessage* data);
	virtual status_t Archive(BMessage* data, bool deep = true) const;

	// Does not hide the window first; a window never shown is deleted at once.
	virtual void Quit();
	void Close();

	void AddChild(BView* child, BView* before = NULL);
	bool RemoveChild(BView* child);
	int32 CountChildren() const;
	BView* ChildAt(int32 index) const;

	virtual void DispatchMessage(BMessage* message, BHandler* handler);
	virtual void MessageReceived(BMessage* message);
	virtual void FrameMoved(BPoint newPosition);
	virtual void WorkspacesChanged(uint32 oldWorkspaces, uint32 newWorkspaces);
	virtual void WorkspaceActivated(int32 workspace, bool active);
	virtual void FrameResized(float newWidth, float newHeight);
	virtual void Minimize(bool minimize);
	virtual void Zoom(BPoint origin, float width, float height);
	void Zoom();
	void SetZoomLimits(float maxWidth, float maxHeight);
	virtual void ScreenChanged(BRect screenFrame, color_space depth);

	// Every view with B_PULSE_NEEDED gets Pulse() this often while the window runs; 0 stops.
	void SetPulseRate(bigtime_t rate);
	bigtime_t PulseRate() const;

	virtual void MenusBeginning();
	virtual void MenusEnded();

	bool NeedsUpdate() const;
	void UpdateIfNeeded();

	BView* FindView(const char* viewName) const;
	BView* FindView(BPoint point) const;
	BView* CurrentFocus() const;

	void Activate(bool active = true);
	virtual void WindowActivated(bool active);

	void ConvertToScreen(BPoint* point) const;
	BPoint ConvertToScreen(BPoint point) const;
	void ConvertFromScreen(BPoint* point) const;
	BPoint ConvertFromScreen(BPoint point) const;
	void ConvertToScreen(BRect* rect) const;
	BRect ConvertToScreen(BRect rect) const;
	void ConvertFromScreen(BRect* rect) const;
	BRect ConvertFromScreen(BRect rect) const;

	void MoveBy(float dx, float dy);
	void MoveTo(BPoint where);
	void MoveTo(float x, float y);
	void ResizeBy(float dx, float dy);
	void ResizeTo(float width, float height);

	// Calls nest: the window shows while Show has been called at least as often as Hide.
	// Show, Hide, IsHidden, IsActive and Frame may be called from any thread.
	virtual void Show();
	virtual void Hide();
	bool IsHidden() const;
	bool IsMinimized() const;

	void Flush() const;
	void Sync() const;

	status_t SendBehind(const BWindow* window);

	void DisableUpdates();
	void EnableUpdates();
	void BeginViewTransaction();
	void EndViewTransaction();

	BRect Bounds() const;
	BRect Frame() const;
	const char* Title() const;
	void SetTitle(const char* title);
	bool IsFront() const;
	bool IsActive() const;

	void SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight);
	void GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight, float* maxHeight);

	uint32 Workspaces() const;
	void SetWorkspaces(uint32 workspaces);

	BView* LastMouseMovedView() const;

	status_t SetType(window_type type);
	window_type Type() const;
	status_t SetLook(window_look look);
	window_look Look() const;
	status_t SetFeel(window_feel feel);
	window_feel Feel() const;
	status_t SetFlags(uint32 flags);
	uint32 Flags() const;
	bool IsModal() const;
	bool IsFloating() const;

	virtual bool QuitRequested();
	virtual thread_id Run();

private:
	friend class BView;
	friend class BPrivate::WindowPort;

	struct Data;

	BWindow(const BWindow&);
	BWindow& operator=(const BWindow&);

	void _Init(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
		uint32 workspaces);
	void _SetActive(bool active);
	void _Invalidate(const BRegion& region);
	void _DrawUpdates();
	void _DrawView(BView* view, const BRegion& region, const clipping_rect& parentClip);
	bool _TakePointer(BMessage* message);
	void _HandleMouse(BMessage* message);
	void _EndMouseEventMasks();
	void _HandleKey(BMessage* message);
	void _SendPulse();
	void _SendActivated(bool active);
	void _Navigate(bool backwards);
	void _ViewRemoved(BView* view);
	void _StartPulse();
	void _StopPulse();
	void _ResizeBuffer();

	Data* fData;
};

#endif // _WINDOW_H

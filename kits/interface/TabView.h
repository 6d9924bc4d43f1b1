/*
 * BTabView and BTab: a row of tabs above a box whose page is the view of the selected tab.
 * Only the selected tab's view is attached to the window: selecting another tab detaches
 * the old view and attaches the new one. The geometry and the look are virtual hooks
 * (TabFrame, DrawTabs, DrawBox, Draw) that a subclass may replace. Archiving and scripting
 * are not provided.
 */
#ifndef _TAB_VIEW_H
#define _TAB_VIEW_H

#include <vector>

#include <Archivable.h>
#include <View.h>

enum tab_position {
	B_TAB_FIRST = 999,
	B_TAB_FRONT,
	B_TAB_ANY
};

class BTab : public BArchivable {
public:
	BTab(BView* contents = NULL);
	// Deletes its view.
	virtual ~BTab();

	// The label is the view's name; setting it renames the view.
	const char* Label() const;
	virtual void SetLabel(const char* label);

	bool IsSelected() const;
	// Attaches the view to owner (the tab view's container), or detaches it.
	virtual void Select(BView* owner);
	virtual void Deselect();

	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const;

	void MakeFocus(bool focus = true);
	bool IsFocus() const;

	// Takes ownership; the old view is deleted.
	virtual void SetView(BView* contents);
	BView* View() const;

	virtual void DrawFocusMark(BView* owner, BRect frame);
	virtual void DrawLabel(BView* owner, BRect frame);
	virtual void DrawTab(BView* owner, BRect frame, tab_position position, bool full = true);

private:
	BTab(const BTab&);
	BTab& operator=(const BTab&);

	BView* fView;
	bool fSelected;
	bool fEnabled;
	bool fFocus;
};

class BTabView : public BView {
public:
	BTabView(BRect frame, const char* name, button_width width = B_WIDTH_AS_USUAL,
		uint32 resizingMode = B_FOLLOW_ALL,
		uint32 flags = B_FULL_UPDATE_ON_RESIZE | B_WILL_DRAW | B_NAVIGABLE_JUMP | B_FRAME_EVENTS
			| B_NAVIGABLE);
	virtual ~BTabView();

	virtual void WindowActivated(bool active) override;
	virtual void AttachedToWindow() override;
	virtual void AllAttached() override;
	virtual void AllDetached() override;
	virtual void DetachedFromWindow() override;
	virtual void MessageReceived(BMessage* message) override;
	virtual void FrameMoved(BPoint newPosition) override;
	virtual void FrameResized(float width, float height) override;
	// Left and right arrows select the tab before or after, wrapping around.
	virtual void KeyDown(const char* bytes, int32 numBytes) override;
	// A click on a tab selects it.
	virtual void MouseDown(BPoint where) override;
	virtual void MouseUp(BPoint where) override;
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
	virtual void Pulse() override;

	virtual void Select(int32 index);
	int32 Selection() const;

	virtual void MakeFocus(bool focus = true) override;
	virtual void SetFocusTab(int32 index, bool focus);
	int32 FocusTab() const;

	// DrawBox(DrawTabs()), then the focus mark.
	virtual void Draw(BRect updateRect) override;
	// Draws every tab; returns the selected tab's frame.
	virtual BRect DrawTabs();
	virtual void DrawBox(BRect selectedTabFrame);
	virtual BRect TabFrame(int32 index) const;

	virtual void SetFlags(uint32 flags) override;
	virtual void SetResizingMode(uint32 mode) override;
	virtual void GetPreferredSize(float* width, float* height) override;
	virtual void ResizeToPreferred() override;

	// The label is the view's name; the first tab added is selected.
	virtual void AddTab(BView* contents, BTab* tab = NULL);
	virtual BTab* RemoveTab(int32 index);
	virtual BTab* TabAt(int32 index) const;

	virtual void SetTabWidth(button_width width);
	button_width TabWidth() const;
	virtual void SetTabHeight(float height);
	float TabHeight() const;

	// Holds the selected tab's view, inside the box below the tabs.
	BView* ContainerView() const;
	int32 CountTabs() const;
	BView* ViewForTab(int32 index) const;

private:
	BRect _ContainerFrame() const;

	std::vector<BTab*> fTabs;
	BView* fContainer;
	button_width fTabWidth;
	float fTabHeight;
	int32 fSelection;
	int32 fFocus;
};

#endif // _TAB_VIEW_H

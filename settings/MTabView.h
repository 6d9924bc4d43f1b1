/*
 * MTabView: a tab view whose tabs share its whole width equally, each with a dotted grip at
 * its left; unselected tabs are flat grey, the selected one is raised in the panel colour and
 * opens into the box below. Selection, page switching and navigation are the base class's.
 */
#ifndef M_TAB_VIEW_H
#define M_TAB_VIEW_H

#include <TabView.h>

class MTabView : public BTabView {
public:
	MTabView(BRect frame, const char* name);
	virtual ~MTabView();

	virtual BRect DrawTabs() override;
	virtual void DrawBox(BRect selectedTabFrame) override;
	// An empty rectangle for an index that names no tab.
	virtual BRect TabFrame(int32 index) const override;

private:
	void _DrawLabel(int32 index);
	// Uses the rectangle's left, top and bottom only.
	void _DrawRectOfPoint(BRect rect);
};

#endif // M_TAB_VIEW_H

/*
 * OtherView: the options page. The update system, the wildcard, backup mail exchanger and
 * offline flags, and the mail exchanger host, read from the preferences when built and
 * written back by SaveSettings().
 */
#ifndef OTHER_VIEW_H
#define OTHER_VIEW_H

#include <View.h>

class BCheckBox;
class BMenuField;
class BPopUpMenu;
class BTextControl;
class CPreferences;

class OtherView : public BView {
public:
	// Shows what `prefs` holds.
	OtherView(BRect frame, const CPreferences& prefs);
	virtual ~OtherView();

	virtual void SaveSettings();

private:
	BPopUpMenu* fSystemMenu;
	BMenuField* fSystemField;
	BCheckBox* fWildcardCheck;
	BCheckBox* fBackMxCheck;
	BCheckBox* fOfflineCheck;
	BTextControl* fMxEdit;
};

#endif // OTHER_VIEW_H

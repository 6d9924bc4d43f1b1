/*
 * AboutView: the first page of the settings window. The application's icon on a light band,
 * the program's name, platform and version, links to the author's web site and mail
 * address, and a few words asking to hear from users.
 */
#ifndef ABOUT_VIEW_H
#define ABOUT_VIEW_H

#include <View.h>

class BBitmap;
class CPreferences;
class MUrlView;

class AboutView : public BView {
public:
	// The icon is read from the application `prefs` names.
	AboutView(BRect frame, const CPreferences& prefs);
	virtual ~AboutView();

	// Drops every message.
	virtual void MessageReceived(BMessage* message) override;
	virtual void Draw(BRect updateRect) override;

private:
	BBitmap* fIcon;
	MUrlView* fWebLink;
	MUrlView* fMailLink;
};

#endif // ABOUT_VIEW_H

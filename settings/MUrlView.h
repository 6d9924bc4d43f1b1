/*
 * MUrlView: a one-line text link that lights up under the pointer and, on a click, hands
 * its address to the application the system prefers for web pages or for mail.
 */
#ifndef M_URL_VIEW_H
#define M_URL_VIEW_H

#include <String.h>
#include <View.h>

// Sized, so that a kind other than these two is a value a link can hold; it launches nothing.
enum url_type : int32 {
	URL_WEB = 0,
	URL_MAIL = 1
};

class MUrlView : public BView {
public:
	// The name is the text shown. A mail address gets "mailto:" in front unless it already
	// holds it somewhere.
	MUrlView(BRect frame, const char* name, const char* url, url_type type);
	virtual ~MUrlView();

	virtual void Draw(BRect updateRect) override;
	virtual void MouseDown(BPoint where) override;
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;

private:
	bool fHighlighted;
	BString fLabel;
	BString fUrl;
	url_type fType;
};

#endif // M_URL_VIEW_H

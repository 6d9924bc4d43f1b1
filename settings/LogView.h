/*
 * LogView: the log page. A scrollable text view, one line per paragraph, that the window
 * fills with a copy of the engine's log each time it is shown.
 */
#ifndef LOG_VIEW_H
#define LOG_VIEW_H

#include <View.h>

class BTextView;

class LogView : public BView {
public:
	LogView(BRect frame);
	virtual ~LogView();

	// Replaces the whole text; what the user typed into it lasts until then.
	void SetLog(const char* text);

private:
	BTextView* fTextView;
};

#endif // LOG_VIEW_H

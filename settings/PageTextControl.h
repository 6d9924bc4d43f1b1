/*
 * The text fields of the settings pages: a labelled field at the page's top left that leaves
 * Escape to the window, which hides on it.
 */
#ifndef PAGE_TEXT_CONTROL_H
#define PAGE_TEXT_CONTROL_H

#include <Rect.h>

class BTextControl;

BTextControl* MakePageTextControl(BRect frame, const char* name, const char* label, float divider,
	const char* text);

#endif // PAGE_TEXT_CONTROL_H

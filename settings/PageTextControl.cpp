#include "PageTextControl.h"

#include <InterfaceDefs.h>
#include <TextControl.h>

BTextControl*
MakePageTextControl(BRect frame, const char* name, const char* label, float divider,
	const char* text)
{
	BTextControl* control = new BTextControl(frame, name, label, text, NULL,
		B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
	control->SetDivider(divider);
	control->TextView()->DisallowChar(B_ESCAPE);
	return control;
}

#include "ScreenFit.h"

#include <Screen.h>

BRect
FitOnScreen(BRect frame)
{
	BRect screen = BScreen(B_MAIN_SCREEN_ID).Frame();
	if (frame.right > screen.right)
		frame.OffsetBy(screen.right - frame.right, 0);
	if (frame.left < screen.left)
		frame.OffsetBy(screen.left - frame.left, 0);
	if (frame.bottom > screen.bottom)
		frame.OffsetBy(0, screen.bottom - frame.bottom);
	if (frame.top < screen.top)
		frame.OffsetBy(0, screen.top - frame.top);
	return frame;
}

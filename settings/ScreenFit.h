/*
 * Keeping a window on the screen: the one rule for a stored frame and for a dragged one.
 */
#ifndef SCREEN_FIT_H
#define SCREEN_FIT_H

#include <Rect.h>

// `frame` moved as little as it takes to lie wholly on the main screen as it is now. A frame
// larger than the screen keeps its left and top edges on it, where the strip that drags it is.
BRect FitOnScreen(BRect frame);

#endif // SCREEN_FIT_H

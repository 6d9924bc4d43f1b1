#include <Point.h>

#include <stdio.h>

#include <Rect.h>

const BPoint B_ORIGIN(0, 0);

void
BPoint::ConstrainTo(BRect rect)
{
	x = x < rect.left ? rect.left : (x > rect.right ? rect.right : x);
	y = y < rect.top ? rect.top : (y > rect.bottom ? rect.bottom : y);
}

void
BPoint::PrintToStream() const
{
	printf("BPoint(x:%.0f, y:%.0f)\n", x, y);
}

/*
 * BPoint: a point in float coordinates; integral values lie on pixel centres.
 */
#ifndef _POINT_H
#define _POINT_H

#include <SupportDefs.h>

class BRect;

class BPoint {
public:
	float x;
	float y;

	BPoint() :
		x(0),
		y(0)
	{
	}
	BPoint(float X, float Y) :
		x(X),
		y(Y)
	{
	}
	BPoint(const BPoint& point) :
		x(point.x),
		y(point.y)
	{
	}

	BPoint& operator=(const BPoint& point)
	{
		x = point.x;
		y = point.y;
		return *this;
	}
	void Set(float X, float Y)
	{
		x = X;
		y = Y;
	}

	void ConstrainTo(BRect rect);
	void PrintToStream() const;

	BPoint operator+(const BPoint& point) const { return BPoint(x + point.x, y + point.y); }
	BPoint operator-(const BPoint& point) const { return BPoint(x - point.x, y - point.y); }
	BPoint& operator+=(const BPoint& point)
	{
		x += point.x;
		y += point.y;
		return *this;
	}
	BPoint& operator-=(const BPoint& point)
	{
		x -= point.x;
		y -= point.y;
		return *this;
	}
	bool operator!=(const BPoint& point) const { return x != point.x || y != point.y; }
	bool operator==(const BPoint& point) const { return x == point.x && y == point.y; }
};

extern const BPoint B_ORIGIN;

#endif // _POINT_H

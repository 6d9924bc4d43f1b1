/*
 * BRect: a rectangle in float coordinates that includes its right and bottom edges, so
 * Width() is right - left. The default rectangle (0, 0, -1, -1) is invalid.
 */
#ifndef _RECT_H
#define _RECT_H

#include <math.h>

#include <Point.h>

class BRect {
public:
	float left;
	float top;
	float right;
	float bottom;

	BRect() :
		left(0),
		top(0),
		right(-1),
		bottom(-1)
	{
	}
	BRect(const BRect& r) :
		left(r.left),
		top(r.top),
		right(r.right),
		bottom(r.bottom)
	{
	}
	BRect(float l, float t, float r, float b) :
		left(l),
		top(t),
		right(r),
		bottom(b)
	{
	}
	BRect(BPoint leftTop, BPoint rightBottom) :
		left(leftTop.x),
		top(leftTop.y),
		right(rightBottom.x),
		bottom(rightBottom.y)
	{
	}

	BRect& operator=(const BRect& r)
	{
		left = r.left;
		top = r.top;
		right = r.right;
		bottom = r.bottom;
		return *this;
	}
	void Set(float l, float t, float r, float b)
	{
		left = l;
		top = t;
		right = r;
		bottom = b;
	}

	void PrintToStream() const;

	BPoint LeftTop() const { return BPoint(left, top); }
	BPoint RightBottom() const { return BPoint(right, bottom); }
	BPoint LeftBottom() const { return BPoint(left, bottom); }
	BPoint RightTop() const { return BPoint(right, top); }

	void SetLeftTop(const BPoint p)
	{
		left = p.x;
		top = p.y;
	}
	void SetRightBottom(const BPoint p)
	{
		right = p.x;
		bottom = p.y;
	}
	void SetLeftBottom(const BPoint p)
	{
		left = p.x;
		bottom = p.y;
	}
	void SetRightTop(const BPoint p)
	{
		right = p.x;
		top = p.y;
	}

	void InsetBy(BPoint p) { InsetBy(p.x, p.y); }
	void InsetBy(float dx, float dy)
	{
		left += dx;
		right -= dx;
		top += dy;
		bottom -= dy;
	}
	void OffsetBy(BPoint p) { OffsetBy(p.x, p.y); }
	void OffsetBy(float dx, float dy)
	{
		left += dx;
		right += dx;
		top += dy;
		bottom += dy;
	}
	void OffsetTo(BPoint p) { OffsetTo(p.x, p.y); }
	void OffsetTo(float x, float y)
	{
		right += x - left;
		bottom += y - top;
		left = x;
		top = y;
	}

	BRect& InsetBySelf(BPoint p)
	{
		InsetBy(p);
		return *this;
	}
	BRect& InsetBySelf(float dx, float dy)
	{
		InsetBy(dx, dy);
		return *this;
	}
	BRect InsetByCopy(BPoint p) const
	{
		BRect r(*this);
		r.InsetBy(p);
		return r;
	}
	BRect InsetByCopy(float dx, float dy) const
	{
		BRect r(*this);
		r.InsetBy(dx, dy);
		return r;
	}
	BRect& OffsetBySelf(BPoint p)
	{
		OffsetBy(p);
		return *this;
	}
	BRect& OffsetBySelf(float dx, float dy)
	{
		OffsetBy(dx, dy);
		return *this;
	}
	BRect OffsetByCopy(BPoint p) const
	{
		BRect r(*this);
		r.OffsetBy(p);
		return r;
	}
	BRect OffsetByCopy(float dx, float dy) const
	{
		BRect r(*this);
		r.OffsetBy(dx, dy);
		return r;
	}
	BRect& OffsetToSelf(BPoint p)
	{
		OffsetTo(p);
		return *this;
	}
	BRect& OffsetToSelf(float x, float y)
	{
		OffsetTo(x, y);
		return *this;
	}
	BRect OffsetToCopy(BPoint p) const
	{
		BRect r(*this);
		r.OffsetTo(p);
		return r;
	}
	BRect OffsetToCopy(float x, float y) const
	{
		BRect r(*this);
		r.OffsetTo(x, y);
		return r;
	}

	bool operator==(BRect r) const
	{
		return left == r.left && right == r.right && top == r.top && bottom == r.bottom;
	}
	bool operator!=(BRect r) const { return !(*this == r); }

	// Intersection and union.
	BRect operator&(BRect r) const
	{
		return BRect(fmaxf(left, r.left), fmaxf(top, r.top), fminf(right, r.right),
			fminf(bottom, r.bottom));
	}
	BRect operator|(BRect r) const
	{
		return BRect(fminf(left, r.left), fminf(top, r.top), fmaxf(right, r.right),
			fmaxf(bottom, r.bottom));
	}

	bool IsValid() const { return left <= right && top <= bottom; }
	float Width() const { return right - left; }
	// Saturated at 2^30 either way (the lower end for NaN): far beyond any screen, and far
	// enough inside the integer limits that a sum of two stays defined.
	int32 IntegerWidth() const
	{
		float width = ceilf(right - left);
		if (width >= -1073741824.0f && width <= 1073741824.0f)
			return (int32)width;
		return width > 0 ? 1073741824 : -1073741824;
	}
	float Height() const { return bottom - top; }
	int32 IntegerHeight() const { return BRect(top, left, bottom, right).IntegerWidth(); }

	bool Intersects(BRect r) const
	{
		if (!IsValid() || !r.IsValid())
			return false;
		return !(r.left > right || r.right < left || r.top > bottom || r.bottom < top);
	}
	bool Contains(BPoint p) const
	{
		return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
	}
	bool Contains(BRect r) const
	{
		return r.left >= left && r.right <= right && r.top >= top && r.bottom <= bottom;
	}
};

#endif // _RECT_H

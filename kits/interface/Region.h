/*
 * BRegion: a set of pixels made of non-overlapping integer rectangles. A BRect converts to
 * the pixels whose centres it covers.
 */
#ifndef _REGION_H
#define _REGION_H

#include <Rect.h>

typedef struct {
	int32 left;
	int32 top;
	int32 right;
	int32 bottom;
} clipping_rect;

class BRegion {
public:
	BRegion();
	BRegion(const BRegion& region);
	BRegion(const BRect rect);
	virtual ~BRegion();

	BRegion& operator=(const BRegion& from);

	BRect Frame() const;
	clipping_rect FrameInt() const;
	BRect RectAt(int32 index) const;
	clipping_rect RectAtInt(int32 index) const;
	int32 CountRects() const;

	void Set(BRect newBounds);
	void Set(clipping_rect newBounds);

	bool Intersects(BRect rect) const;
	bool Intersects(clipping_rect rect) const;
	bool Contains(BPoint point) const;
	bool Contains(int32 x, int32 y) const;

	void PrintToStream() const;

	void OffsetBy(int32 dh, int32 dv);
	void MakeEmpty();

	void Include(BRect rect);
	void Include(clipping_rect rect);
	void Include(const BRegion* region);
	void Exclude(BRect rect);
	void Exclude(clipping_rect rect);
	void Exclude(const BRegion* region);
	void IntersectWith(const BRegion* region);

private:
	void _Grow(int32 count);
	void _Append(const clipping_rect& rect);
	void _UpdateBounds();

	clipping_rect* fRects;
	int32 fCount;
	int32 fCapacity;
	clipping_rect fBounds;
};

#endif // _REGION_H

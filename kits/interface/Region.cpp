#include <Region.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "InterfacePrivate.h"

namespace {

const clipping_rect kEmptyRect = {0, 0, -1, -1};

bool
IsValid(const clipping_rect& rect)
{
	return rect.left <= rect.right && rect.top <= rect.bottom;
}

bool
Overlap(const clipping_rect& a, const clipping_rect& b)
{
	return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

clipping_rect
Intersection(const clipping_rect& a, const clipping_rect& b)
{
	clipping_rect result;
	result.left = a.left > b.left ? a.left : b.left;
	result.top = a.top > b.top ? a.top : b.top;
	result.right = a.right < b.right ? a.right : b.right;
	result.bottom = a.bottom < b.bottom ? a.bottom : b.bottom;
	return result;
}

clipping_rect
ToClipping(const BRect& rect)
{
	return {BPrivate::pixel_for(rect.left), BPrivate::pixel_for(rect.top),
		BPrivate::pixel_for(rect.right), BPrivate::pixel_for(rect.bottom)};
}

// Up to four pieces of `a` that lie outside `b`, written to `pieces`; returns their count.
int32
Subtract(const clipping_rect& a, const clipping_rect& b, clipping_rect* pieces)
{
	if (!Overlap(a, b)) {
		pieces[0] = a;
		return 1;
	}
	int32 count = 0;
	if (a.top < b.top)
		pieces[count++] = {a.left, a.top, a.right, b.top - 1};
	if (a.bottom > b.bottom)
		pieces[count++] = {a.left, b.bottom + 1, a.right, a.bottom};
	int32 top = a.top > b.top ? a.top : b.top;
	int32 bottom = a.bottom < b.bottom ? a.bottom : b.bottom;
	if (a.left < b.left)
		pieces[count++] = {a.left, top, b.left - 1, bottom};
	if (a.right > b.right)
		pieces[count++] = {b.right + 1, top, a.right, bottom};
	return count;
}

} // namespace

BRegion::BRegion() :
	fRects(NULL),
	fCount(0),
	fCapacity(0),
	fBounds(kEmptyRect)
{
}

BRegion::BRegion(const BRegion& region) :
	fRects(NULL),
	fCount(0),
	fCapacity(0),
	fBounds(kEmptyRect)
{
	*this = region;
}

BRegion::BRegion(const BRect rect) :
	fRects(NULL),
	fCount(0),
	fCapacity(0),
	fBounds(kEmptyRect)
{
	Set(rect);
}

BRegion::~BRegion()
{
	free(fRects);
}

BRegion&
BRegion::operator=(const BRegion& from)
{
	if (&from == this)
		return *this;
	fCount = 0;
	_Grow(from.fCount);
	if (from.fCount > 0)
		memcpy(fRects, from.fRects, from.fCount * sizeof(clipping_rect));
	fCount = from.fCount;
	fBounds = from.fBounds;
	return *this;
}

BRect
BRegion::Frame() const
{
	if (fCount == 0)
		return BRect();
	return BRect(fBounds.left, fBounds.top, fBounds.right, fBounds.bottom);
}

clipping_rect
BRegion::FrameInt() const
{
	return fBounds;
}

BRect
BRegion::RectAt(int32 index) const
{
	if (index < 0 || index >= fCount)
		return BRect();
	const clipping_rect& rect = fRects[index];
	return BRect(rect.left, rect.top, rect.right, rect.bottom);
}

clipping_rect
BRegion::RectAtInt(int32 index) const
{
	if (index < 0 || index >= fCount)
		return kEmptyRect;
	return fRects[index];
}

int32
BRegion::CountRects() const
{
	return fCount;
}

void
BRegion::Set(BRect newBounds)
{
	Set(ToClipping(newBounds));
}

void
BRegion::Set(clipping_rect newBounds)
{
	fCount = 0;
	if (IsValid(newBounds))
		_Append(newBounds);
	_UpdateBounds();
}

bool
BRegion::Intersects(BRect rect) const
{
	return Intersects(ToClipping(rect));
}

bool
BRegion::Intersects(clipping_rect rect) const
{
	if (!IsValid(rect) || fCount == 0 || !Overlap(rect, fBounds))
		return false;
	for (int32 i = 0; i < fCount; i++) {
		if (Overlap(fRects[i], rect))
			return true;
	}
	return false;
}

bool
BRegion::Contains(BPoint point) const
{
	return Contains(BPrivate::pixel_for(point.x), BPrivate::pixel_for(point.y));
}

bool
BRegion::Contains(int32 x, int32 y) const
{
	for (int32 i = 0; i < fCount; i++) {
		const clipping_rect& rect = fRects[i];
		if (x >= rect.left && x <= rect.right && y >= rect.top && y <= rect.bottom)
			return true;
	}
	return false;
}

void
BRegion::PrintToStream() const
{
	printf("BRegion(%d rects, frame l:%d t:%d r:%d b:%d)\n", (int)fCount, (int)fBounds.left,
		(int)fBounds.top, (int)fBounds.right, (int)fBounds.bottom);
	for (int32 i = 0; i < fCount; i++) {
		printf("  l:%d t:%d r:%d b:%d\n", (int)fRects[i].left, (int)fRects[i].top,
			(int)fRects[i].right, (int)fRects[i].bottom);
	}
}

void
BRegion::OffsetBy(int32 dh, int32 dv)
{
	for (int32 i = 0; i < fCount; i++) {
		fRects[i].left += dh;
		fRects[i].right += dh;
		fRects[i].top += dv;
		fRects[i].bottom += dv;
	}
	_UpdateBounds();
}

void
BRegion::MakeEmpty()
{
	fCount = 0;
	_UpdateBounds();
}

void
BRegion::Include(BRect rect)
{
	Include(ToClipping(rect));
}

void
BRegion::Include(clipping_rect rect)
{
	if (!IsValid(rect))
		return;
	// Keep the rectangles disjoint: add only the parts of `rect` not covered yet.
	std::vector<clipping_rect> pieces(1, rect);
	std::vector<clipping_rect> next;
	clipping_rect split[4];
	for (int32 i = 0; i < fCount && !pieces.empty(); i++) {
		if (!Overlap(fRects[i], rect))
			continue;
		next.clear();
		for (const clipping_rect& piece : pieces) {
			int32 count = Subtract(piece, fRects[i], split);
			next.insert(next.end(), split, split + count);
		}
		pieces.swap(next);
	}
	for (const clipping_rect& piece : pieces)
		_Append(piece);
	_UpdateBounds();
}

void
BRegion::Include(const BRegion* region)
{
	if (region == NULL)
		return;
	BRegion copy(*region);
	for (int32 i = 0; i < copy.fCount; i++)
		Include(copy.fRects[i]);
}

void
BRegion::Exclude(BRect rect)
{
	Exclude(ToClipping(rect));
}

void
BRegion::Exclude(clipping_rect rect)
{
	if (!IsValid(rect) || fCount == 0)
		return;
	clipping_rect* old = fRects;
	int32 oldCount = fCount;
	fRects = NULL;
	fCount = 0;
	fCapacity = 0;
	clipping_rect pieces[4];
	for (int32 i = 0; i < oldCount; i++) {
		int32 count = Subtract(old[i], rect, pieces);
		for (int32 j = 0; j < count; j++)
			_Append(pieces[j]);
	}
	free(old);
	_UpdateBounds();
}

void
BRegion::Exclude(const BRegion* region)
{
	if (region == NULL)
		return;
	BRegion copy(*region);
	for (int32 i = 0; i < copy.fCount; i++)
		Exclude(copy.fRects[i]);
}

void
BRegion::IntersectWith(const BRegion* region)
{
	if (region == NULL)
		return;
	BRegion copy(*region);
	clipping_rect* old = fRects;
	int32 oldCount = fCount;
	fRects = NULL;
	fCount = 0;
	fCapacity = 0;
	for (int32 i = 0; i < oldCount; i++) {
		for (int32 j = 0; j < copy.fCount; j++) {
			clipping_rect common = Intersection(old[i], copy.fRects[j]);
			if (IsValid(common))
				_Append(common);
		}
	}
	free(old);
	_UpdateBounds();
}

void
BRegion::_Grow(int32 count)
{
	if (count <= fCapacity)
		return;
	int32 capacity = fCapacity > 0 ? fCapacity : 4;
	while (capacity < count)
		capacity *= 2;
	fRects = (clipping_rect*)realloc(fRects, capacity * sizeof(clipping_rect));
	fCapacity = capacity;
}

void
BRegion::_Append(const clipping_rect& rect)
{
	_Grow(fCount + 1);
	fRects[fCount++] = rect;
}

void
BRegion::_UpdateBounds()
{
	if (fCount == 0) {
		fBounds = kEmptyRect;
		return;
	}
	fBounds = fRects[0];
	for (int32 i = 1; i < fCount; i++) {
		const clipping_rect& rect = fRects[i];
		if (rect.left < fBounds.left)
			fBounds.left = rect.left;
		if (rect.top < fBounds.top)
			fBounds.top = rect.top;
		if (rect.right > fBounds.right)
			fBounds.right = rect.right;
		if (rect.bottom > fBounds.bottom)
			fBounds.bottom = rect.bottom;
	}
}

/*
 * The rasteriser. Conventions: a coordinate names the pixel whose centre it is nearest to;
 * rectangles include their right and bottom edges; lines light both end pixels; patterns are
 * anchored at the view's pixel (0, 0). In B_OP_COPY the low-colour bits of a pattern are
 * drawn too, in every other mode only the high-colour bits (B_OP_ALPHA blends both).
 * Anti-aliased text is blended over the destination in the high colour.
 */
#include "Painter.h"

#include <math.h>
#include <string.h>

#include <algorithm>

#include <Bitmap.h>

#include "InterfacePrivate.h"

namespace BPrivate {

namespace {

inline bool
PatternBit(const pattern& fill, int32 x, int32 y)
{
	return (fill.data[y & 7] & (0x80 >> (x & 7))) != 0;
}

inline bool
IsSolid(const pattern& fill, uint8 value)
{
	for (int32 i = 0; i < 8; i++) {
		if (fill.data[i] != value)
			return false;
	}
	return true;
}

inline void
Store(uint8* pixel, const rgb_color& color)
{
	pixel[0] = color.blue;
	pixel[1] = color.green;
	pixel[2] = color.red;
	pixel[3] = 255;
}

inline uint8
Mix(uint8 from, uint8 to, uint32 alpha)
{
	// Exact for alpha 0 and 255.
	return (uint8)((from * (255 - alpha) + to * alpha + 127) / 255);
}

inline void
Blend(uint8* pixel, const rgb_color& color, uint32 alpha)
{
	if (alpha == 0)
		return;
	if (alpha >= 255) {
		Store(pixel, color);
		return;
	}
	pixel[0] = Mix(pixel[0], color.blue, alpha);
	pixel[1] = Mix(pixel[1], color.green, alpha);
	pixel[2] = Mix(pixel[2], color.red, alpha);
	pixel[3] = 255;
}

// Pixels are opaque: only red, green and blue count.
inline bool
PixelHasColor(const uint8* pixel, const rgb_color& color)
{
	return pixel[0] == color.blue && pixel[1] == color.green && pixel[2] == color.red;
}

// One pixel of a drawing mode other than the pattern-level ones, with source `color`.
inline void
Combine(uint8* pixel, drawing_mode mode, const rgb_color& color, const rgb_color& high,
	const rgb_color& low)
{
	const uint8 source[3] = {color.blue, color.green, color.red};
	switch (mode) {
		case B_OP_COPY:
		case B_OP_OVER:
			Store(pixel, color);
			break;
		case B_OP_ERASE:
			Store(pixel, low);
			break;
		case B_OP_INVERT:
			for (int32 i = 0; i < 3; i++)
				pixel[i] = 255 - pixel[i];
			break;
		case B_OP_ADD:
			for (int32 i = 0; i < 3; i++)
				pixel[i] = (uint8)std::min(255, pixel[i] + source[i]);
			break;
		case B_OP_SUBTRACT:
			for (int32 i = 0; i < 3; i++)
				pixel[i] = (uint8)std::max(0, pixel[i] - source[i]);
			break;
		case B_OP_BLEND:
			for (int32 i = 0; i < 3; i++)
				pixel[i] = (uint8)((pixel[i] + source[i]) / 2);
			break;
		case B_OP_MIN:
			for (int32 i = 0; i < 3; i++)
				pixel[i] = std::min(pixel[i], source[i]);
			break;
		case B_OP_MAX:
			for (int32 i = 0; i < 3; i++)
				pixel[i] = std::max(pixel[i], source[i]);
			break;
		case B_OP_SELECT:
			if (PixelHasColor(pixel, high))
				Store(pixel, low);
			else if (PixelHasColor(pixel, low))
				Store(pixel, high);
			break;
		case B_OP_ALPHA:
			Blend(pixel, color, color.alpha);
			break;
	}
}

struct SourcePixel {
	rgb_color color;
	bool transparent;
};

// The alpha a bitmap's pixel is blended with in B_OP_ALPHA.
inline uint32
BlendAlpha(const SourcePixel& in, source_alpha mode, const rgb_color& high)
{
	if (mode == B_CONSTANT_ALPHA)
		return in.transparent ? 0 : high.alpha;
	return in.color.alpha;
}

inline SourcePixel
ReadPixel(const BBitmap* bitmap, const uint8* row, int32 x, const color_map* map)
{
	SourcePixel result;
	if (bitmap->ColorSpace() == B_CMAP8) {
		uint8 index = row[x];
		result.color = map->color_list[index];
		result.transparent = index == B_TRANSPARENT_MAGIC_CMAP8;
		result.color.alpha = result.transparent ? 0 : 255;
		return result;
	}
	const uint8* pixel = row + x * 4;
	result.color = {pixel[2], pixel[1], pixel[0], pixel[3]};
	result.transparent = pixel[0] == 0x77 && pixel[1] == 0x74 && pixel[2] == 0x77;
	if (bitmap->ColorSpace() == B_RGB32)
		result.color.alpha = result.transparent ? 0 : 255;
	else if (pixel[3] == 0)
		result.transparent = true;
	return result;
}

} // namespace

Painter::Painter(const PixelBuffer& target, const BRegion& clip, int32 originX, int32 originY) :
	fTarget(target),
	fOriginX(originX),
	fOriginY(originY),
	fHigh({0, 0, 0, 255}),
	fLow({255, 255, 255, 255}),
	fMode(B_OP_COPY),
	fSourceAlpha(B_PIXEL_ALPHA)
{
	clipping_rect bounds = {0, 0, target.width - 1, target.height - 1};
	int32 count = clip.CountRects();
	fClip.reserve(count);
	for (int32 i = 0; i < count; i++) {
		clipping_rect rect = clip.RectAtInt(i);
		rect.left = std::max(rect.left, bounds.left);
		rect.top = std::max(rect.top, bounds.top);
		rect.right = std::min(rect.right, bounds.right);
		rect.bottom = std::min(rect.bottom, bounds.bottom);
		if (rect.left <= rect.right && rect.top <= rect.bottom)
			fClip.push_back(rect);
	}
}

void
Painter::SetBlendingMode(source_alpha sourceAlpha, alpha_function /*alphaFunction*/)
{
	fSourceAlpha = sourceAlpha;
}

void
Painter::FillRect(BRect rect, const pattern& fill)
{
	int32 left = pixel_for(rect.left) + fOriginX;
	int32 right = pixel_for(rect.right) + fOriginX;
	int32 top = pixel_for(rect.top) + fOriginY;
	int32 bottom = pixel_for(rect.bottom) + fOriginY;
	if (left > right || top > bottom)
		return;
	for (const clipping_rect& clip : fClip) {
		int32 from = std::max(top, clip.top);
		int32 to = std::min(bottom, clip.bottom);
		int32 x0 = std::max(left, clip.left);
		int32 x1 = std::min(right, clip.right);
		if (x0 > x1)
			continue;
		for (int32 y = from; y <= to; y++) {
			uint8* pixel = fTarget.bits + y * fTarget.bytesPerRow + x0 * 4;
			_ApplySpan(pixel, x0, y, x1 - x0 + 1, fill);
		}
	}
}

void
Painter::StrokeRect(BRect rect, const pattern& stroke)
{
	int32 left = pixel_for(rect.left) + fOriginX;
	int32 right = pixel_for(rect.right) + fOriginX;
	int32 top = pixel_for(rect.top) + fOriginY;
	int32 bottom = pixel_for(rect.bottom) + fOriginY;
	if (left > right || top > bottom)
		return;
	// Every pixel of the outline once, so that inverting and blending modes stay exact.
	_FillSpan(top, left, right, stroke);
	if (bottom != top)
		_FillSpan(bottom, left, right, stroke);
	for (int32 y = top + 1; y < bottom; y++) {
		_Plot(left, y, stroke);
		if (right != left)
			_Plot(right, y, stroke);
	}
}

void
Painter::StrokeLine(BPoint from, BPoint to, const pattern& stroke)
{
	int32 x0 = pixel_for(from.x) + fOriginX;
	int32 y0 = pixel_for(from.y) + fOriginY;
	int32 x1 = pixel_for(to.x) + fOriginX;
	int32 y1 = pixel_for(to.y) + fOriginY;
	if (y0 == y1) {
		_FillSpan(y0, std::min(x0, x1), std::max(x0, x1), stroke);
		return;
	}
	int32 dx = abs(x1 - x0);
	int32 dy = -abs(y1 - y0);
	int32 stepX = x0 < x1 ? 1 : -1;
	int32 stepY = y0 < y1 ? 1 : -1;
	int32 error = dx + dy;
	while (true) {
		_Plot(x0, y0, stroke);
		if (x0 == x1 && y0 == y1)
			break;
		int32 twice = 2 * error;
		if (twice >= dy) {
			error += dy;
			x0 += stepX;
		}
		if (twice <= dx) {
			error += dx;
			y0 += stepY;
		}
	}
}

void
Painter::InvertRect(BRect rect)
{
	drawing_mode mode = fMode;
	fMode = B_OP_INVERT;
	FillRect(rect, B_SOLID_HIGH);
	fMode = mode;
}

void
Painter::FillEllipse(BRect rect, const pattern& fill)
{
	float left = pixel_for(rect.left);
	float right = pixel_for(rect.right);
	float top = pixel_for(rect.top);
	float bottom = pixel_for(rect.bottom);
	if (left > right || top > bottom)
		return;
	float centerX = (left + right) / 2;
	float centerY = (top + bottom) / 2;
	float radiusX = (right - left) / 2 + 0.5f;
	float radiusY = (bottom - top) / 2 + 0.5f;
	for (int32 y = (int32)top; y <= (int32)bottom; y++) {
		float dy = (y - centerY) / radiusY;
		float half = radiusX * sqrtf(std::max(0.0f, 1 - dy * dy));
		int32 x0 = (int32)ceilf(centerX - half);
		int32 x1 = (int32)floorf(centerX + half);
		if (x0 <= x1)
			_FillSpan(y + fOriginY, x0 + fOriginX, x1 + fOriginX, fill);
	}
}

void
Painter::StrokeEllipse(BRect rect, const pattern& stroke)
{
	float left = pixel_for(rect.left);
	float right = pixel_for(rect.right);
	float top = pixel_for(rect.top);
	float bottom = pixel_for(rect.bottom);
	if (left > right || top > bottom)
		return;
	float centerX = (left + right) / 2;
	float centerY = (top + bottom) / 2;
	float radiusX = (right - left) / 2 + 0.5f;
	float radiusY = (bottom - top) / 2 + 0.5f;
	// The outline is the filled ellipse less the one a pixel further in.
	for (int32 y = (int32)top; y <= (int32)bottom; y++) {
		float dy = (y - centerY) / radiusY;
		float half = radiusX * sqrtf(std::max(0.0f, 1 - dy * dy));
		int32 x0 = (int32)ceilf(centerX - half);
		int32 x1 = (int32)floorf(centerX + half);
		int32 inner0 = x1 + 1;
		int32 inner1 = x1;
		if (radiusX > 1 && radiusY > 1) {
			float innerDy = (y - centerY) / (radiusY - 1);
			if (innerDy * innerDy < 1) {
				float innerHalf = (radiusX - 1) * sqrtf(1 - innerDy * innerDy);
				inner0 = (int32)ceilf(centerX - innerHalf);
				inner1 = (int32)floorf(centerX + innerHalf);
			}
		}
		for (int32 x = x0; x <= x1; x++) {
			if (x < inner0 || x > inner1)
				_Plot(x + fOriginX, y + fOriginY, stroke);
		}
	}
}

void
Painter::FillTriangle(BPoint a, BPoint b, BPoint c, const pattern& fill)
{
	BPoint points[3] = {BPoint(pixel_for(a.x), pixel_for(a.y)),
		BPoint(pixel_for(b.x), pixel_for(b.y)), BPoint(pixel_for(c.x), pixel_for(c.y))};
	float top = std::min({points[0].y, points[1].y, points[2].y});
	float bottom = std::max({points[0].y, points[1].y, points[2].y});
	for (int32 y = (int32)top; y <= (int32)bottom; y++) {
		float minX = 1e9f;
		float maxX = -1e9f;
		for (int32 i = 0; i < 3; i++) {
			const BPoint& p = points[i];
			const BPoint& q = points[(i + 1) % 3];
			if ((y < p.y && y < q.y) || (y > p.y && y > q.y))
				continue;
			if (p.y == q.y) {
				minX = std::min({minX, p.x, q.x});
				maxX = std::max({maxX, p.x, q.x});
				continue;
			}
			float x = p.x + (q.x - p.x) * (y - p.y) / (q.y - p.y);
			minX = std::min(minX, x);
			maxX = std::max(maxX, x);
		}
		if (minX <= maxX) {
			_FillSpan(y + fOriginY, (int32)ceilf(minX - 0.001f) + fOriginX,
				(int32)floorf(maxX + 0.001f) + fOriginX, fill);
		}
	}
}

void
Painter::DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination)
{
	if (bitmap == NULL || bitmap->InitCheck() != B_OK)
		return;
	BRect bounds = bitmap->Bounds();
	int32 bitmapWidth = bounds.IntegerWidth() + 1;
	int32 bitmapHeight = bounds.IntegerHeight() + 1;
	int32 sourceLeft = pixel_for(source.left - bounds.left);
	int32 sourceTop = pixel_for(source.top - bounds.top);
	int32 sourceWidth = pixel_for(source.right - bounds.left) - sourceLeft + 1;
	int32 sourceHeight = pixel_for(source.bottom - bounds.top) - sourceTop + 1;
	int32 left = pixel_for(destination.left) + fOriginX;
	int32 top = pixel_for(destination.top) + fOriginY;
	int32 width = pixel_for(destination.right) + fOriginX - left + 1;
	int32 height = pixel_for(destination.bottom) + fOriginY - top + 1;
	if (sourceWidth <= 0 || sourceHeight <= 0 || width <= 0 || height <= 0)
		return;

	const uint8* bits = (const uint8*)bitmap->Bits();
	int32 bytesPerRow = bitmap->BytesPerRow();
	const color_map* map = system_colors();
	for (const clipping_rect& clip : fClip) {
		int32 x0 = std::max(left, clip.left);
		int32 x1 = std::min(left + width - 1, clip.right);
		int32 y0 = std::max(top, clip.top);
		int32 y1 = std::min(top + height - 1, clip.bottom);
		for (int32 y = y0; y <= y1; y++) {
			// Nearest-neighbour scaling when source and destination differ in size.
			int32 sourceY = sourceTop + (int32)((int64)(y - top) * sourceHeight / height);
			if (sourceY < 0 || sourceY >= bitmapHeight)
				continue;
			const uint8* row = bits + sourceY * bytesPerRow;
			uint8* pixel = fTarget.bits + y * fTarget.bytesPerRow + x0 * 4;
			for (int32 x = x0; x <= x1; x++, pixel += 4) {
				int32 sourceX = sourceLeft + (int32)((int64)(x - left) * sourceWidth / width);
				if (sourceX < 0 || sourceX >= bitmapWidth)
					continue;
				SourcePixel in = ReadPixel(bitmap, row, sourceX, map);
				switch (fMode) {
					case B_OP_COPY:
						Store(pixel, in.color);
						break;
					case B_OP_ALPHA:
						Blend(pixel, in.color, BlendAlpha(in, fSourceAlpha, fHigh));
						break;
					default:
						if (!in.transparent)
							Combine(pixel, fMode, in.color, fHigh, fLow);
						break;
				}
			}
		}
	}
}

void
Painter::DrawGlyphs(const std::vector<PlacedGlyph>& glyphs, BPoint baseline)
{
	int32 baseX = pixel_for(baseline.x) + fOriginX;
	int32 baseY = pixel_for(baseline.y) + fOriginY;
	for (const PlacedGlyph& placed : glyphs) {
		const GlyphImage& image = *placed.image;
		if (image.width == 0 || image.height == 0)
			continue;
		int32 left = baseX + placed.penX + image.left;
		int32 top = baseY - image.top + 1;
		for (const clipping_rect& clip : fClip) {
			int32 x0 = std::max(left, clip.left);
			int32 x1 = std::min(left + image.width - 1, clip.right);
			int32 y0 = std::max(top, clip.top);
			int32 y1 = std::min(top + image.height - 1, clip.bottom);
			for (int32 y = y0; y <= y1; y++) {
				const uint8* coverage = image.coverage.data() + (size_t)(y - top) * image.width
					+ (x0 - left);
				uint8* pixel = fTarget.bits + y * fTarget.bytesPerRow + x0 * 4;
				for (int32 x = x0; x <= x1; x++, pixel += 4, coverage++) {
					if (*coverage != 0)
						_BlendCoverage(pixel, *coverage);
				}
			}
		}
	}
}

void
Painter::_FillSpan(int32 y, int32 left, int32 right, const pattern& fill)
{
	for (const clipping_rect& clip : fClip) {
		if (y < clip.top || y > clip.bottom)
			continue;
		int32 x0 = std::max(left, clip.left);
		int32 x1 = std::min(right, clip.right);
		if (x0 > x1)
			continue;
		uint8* pixel = fTarget.bits + y * fTarget.bytesPerRow + x0 * 4;
		_ApplySpan(pixel, x0, y, x1 - x0 + 1, fill);
	}
}

void
Painter::_Plot(int32 x, int32 y, const pattern& fill)
{
	if (!_Contains(x, y))
		return;
	_ApplySpan(fTarget.bits + y * fTarget.bytesPerRow + x * 4, x, y, 1, fill);
}

void
Painter::_ApplySpan(uint8* pixel, int32 x, int32 y, int32 count, const pattern& fill)
{
	int32 patternX = x - fOriginX;
	int32 patternY = y - fOriginY;
	if ((fMode == B_OP_COPY || fMode == B_OP_OVER) && IsSolid(fill, 0xff)) {
		uint8 value[4] = {fHigh.blue, fHigh.green, fHigh.red, 255};
		for (int32 i = 0; i < count; i++, pixel += 4)
			memcpy(pixel, value, 4);
		return;
	}
	for (int32 i = 0; i < count; i++, pixel += 4) {
		bool high = PatternBit(fill, patternX + i, patternY);
		switch (fMode) {
			case B_OP_COPY:
				Store(pixel, high ? fHigh : fLow);
				break;
			case B_OP_ALPHA:
			{
				const rgb_color& color = high ? fHigh : fLow;
				Blend(pixel, color, color.alpha);
				break;
			}
			default:
				if (high)
					Combine(pixel, fMode, fHigh, fHigh, fLow);
				break;
		}
	}
}

bool
Painter::_Contains(int32 x, int32 y) const
{
	for (const clipping_rect& clip : fClip) {
		if (x >= clip.left && x <= clip.right && y >= clip.top && y <= clip.bottom)
			return true;
	}
	return false;
}

void
Painter::_BlendCoverage(uint8* pixel, uint8 coverage)
{
	switch (fMode) {
		case B_OP_ALPHA:
			Blend(pixel, fHigh, coverage * fHigh.alpha / 255);
			break;
		case B_OP_ERASE:
			Blend(pixel, fLow, coverage);
			break;
		case B_OP_INVERT:
			if (coverage >= 128) {
				for (int32 i = 0; i < 3; i++)
					pixel[i] = 255 - pixel[i];
			}
			break;
		default:
			Blend(pixel, fHigh, coverage);
			break;
	}
}

} // namespace BPrivate

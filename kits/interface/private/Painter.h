/*
 * Private to the interface kit: draws the platform's primitives into a 32-bit pixel buffer,
 * clipped to a region, following the platform's pixel conventions (see Painter.cpp).
 */
#ifndef _PAINTER_H
#define _PAINTER_H

#include <vector>

#include <GraphicsDefs.h>
#include <Rect.h>
#include <Region.h>

#include "FontEngine.h"

class BBitmap;

namespace BPrivate {

// Pixels in memory order blue, green, red, alpha; alpha stays 255 on screen buffers.
struct PixelBuffer {
	uint8* bits;
	int32 width;
	int32 height;
	int32 bytesPerRow;
};

class Painter {
public:
	// `clip` is in buffer pixels; (originX, originY) is the buffer pixel of the view's
	// pixel (0, 0), and the anchor of patterns.
	Painter(const PixelBuffer& target, const BRegion& clip, int32 originX, int32 originY);

	void SetHighColor(rgb_color color) { fHigh = color; }
	void SetLowColor(rgb_color color) { fLow = color; }
	void SetDrawingMode(drawing_mode mode) { fMode = mode; }
	void SetBlendingMode(source_alpha sourceAlpha, alpha_function alphaFunction);

	// Coordinates are the view's; integral values lie on pixel centres.
	void FillRect(BRect rect, const pattern& fill);
	void StrokeRect(BRect rect, const pattern& stroke);
	void StrokeLine(BPoint from, BPoint to, const pattern& stroke);
	void InvertRect(BRect rect);
	void FillEllipse(BRect rect, const pattern& fill);
	void StrokeEllipse(BRect rect, const pattern& stroke);
	void FillTriangle(BPoint a, BPoint b, BPoint c, const pattern& fill);
	void DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination);
	// The glyphs stand on the pixel row of `baseline`.
	void DrawGlyphs(const std::vector<PlacedGlyph>& glyphs, BPoint baseline);

private:
	void _FillSpan(int32 y, int32 left, int32 right, const pattern& fill);
	void _Plot(int32 x, int32 y, const pattern& fill);
	void _ApplySpan(uint8* pixel, int32 x, int32 y, int32 count, const pattern& fill);
	bool _Contains(int32 x, int32 y) const;
	void _BlendCoverage(uint8* pixel, uint8 coverage);

	PixelBuffer fTarget;
	std::vector<clipping_rect> fClip;
	int32 fOriginX;
	int32 fOriginY;
	rgb_color fHigh;
	rgb_color fLow;
	drawing_mode fMode;
	source_alpha fSourceAlpha;
};

} // namespace BPrivate

#endif // _PAINTER_H

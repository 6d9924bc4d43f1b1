/*
 * A PNG file (as the kit's WindowPort or deskbar-ctl saves it) read into RGB pixels, to
 * compare a headless rendering with what the display shows.
 */
#ifndef PNG_IMAGE_H
#define PNG_IMAGE_H

#include <string>
#include <vector>

#include <GraphicsDefs.h>
#include <SupportDefs.h>

class PngImage {
public:
	PngImage();

	status_t Read(const std::string& path);

	int32 Width() const { return fWidth; }
	int32 Height() const { return fHeight; }
	// Transparent black outside the image.
	rgb_color PixelAt(int32 x, int32 y) const;

private:
	int32 fWidth;
	int32 fHeight;
	std::vector<uint8> fRGBA;
};

#endif // PNG_IMAGE_H

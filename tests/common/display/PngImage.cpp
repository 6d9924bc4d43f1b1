#include "PngImage.h"

#include <png.h>
#include <string.h>

#include <Errors.h>

PngImage::PngImage() :
	fWidth(0),
	fHeight(0)
{
}

status_t
PngImage::Read(const std::string& path)
{
	png_image image;
	memset(&image, 0, sizeof(image));
	image.version = PNG_IMAGE_VERSION;
	if (png_image_begin_read_from_file(&image, path.c_str()) == 0)
		return B_BAD_DATA;
	image.format = PNG_FORMAT_RGBA;
	fRGBA.resize(PNG_IMAGE_SIZE(image));
	if (png_image_finish_read(&image, NULL, fRGBA.data(), 0, NULL) == 0) {
		png_image_free(&image);
		fRGBA.clear();
		return B_BAD_DATA;
	}
	fWidth = (int32)image.width;
	fHeight = (int32)image.height;
	return B_OK;
}

rgb_color
PngImage::PixelAt(int32 x, int32 y) const
{
	if (x < 0 || y < 0 || x >= fWidth || y >= fHeight)
		return rgb_color{0, 0, 0, 0};
	const uint8* pixel = fRGBA.data() + ((size_t)y * fWidth + x) * 4;
	return rgb_color{pixel[0], pixel[1], pixel[2], pixel[3]};
}

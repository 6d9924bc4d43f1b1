/*
 * Wraps libpng to write the preview sheet as an 8-bit RGB PNG. Pixels of index
 * B_TRANSPARENT_MAGIC_CMAP8 show the background, as drawing in B_OP_OVER would.
 */
#include "PreviewImage.h"

#include <stdio.h>

#include <png.h>

namespace {

const int32 kGap = 8;

}	// namespace

PreviewImage::PreviewImage(rgb_color background, int32 scale)
	:
	fBackground(background),
	fScale(scale)
{
}

void
PreviewImage::Add(const Picture& picture)
{
	fPictures.push_back(picture);
}

bool
PreviewImage::WritePng(const std::string& path, std::string* error) const
{
	// One column per picture: enlarged on top, real size below.
	int32 width = kGap;
	int32 tallest = 0;
	for (const Picture& picture : fPictures) {
		width += picture.Width() * fScale + kGap;
		if (picture.Height() > tallest)
			tallest = picture.Height();
	}
	const int32 height = kGap + tallest * fScale + kGap + tallest + kGap;
	std::vector<png_byte> image((size_t)width * height * 3);
	for (size_t i = 0; i < image.size(); i += 3) {
		image[i] = fBackground.red;
		image[i + 1] = fBackground.green;
		image[i + 2] = fBackground.blue;
	}

	const rgb_color* palette = system_colors()->color_list;
	auto plot = [&](int32 x, int32 y, uint8 index) {
		if (index == B_TRANSPARENT_MAGIC_CMAP8)
			return;
		png_byte* pixel = &image[((size_t)y * width + x) * 3];
		pixel[0] = palette[index].red;
		pixel[1] = palette[index].green;
		pixel[2] = palette[index].blue;
	};
	int32 left = kGap;
	for (const Picture& picture : fPictures) {
		for (int32 y = 0; y < picture.Height(); y++) {
			for (int32 x = 0; x < picture.Width(); x++) {
				const uint8 index = picture.Pixels()[(size_t)y * picture.Width() + x];
				for (int32 dy = 0; dy < fScale; dy++) {
					for (int32 dx = 0; dx < fScale; dx++)
						plot(left + x * fScale + dx, kGap + y * fScale + dy, index);
				}
				plot(left + x, kGap + tallest * fScale + kGap + y, index);
			}
		}
		left += picture.Width() * fScale + kGap;
	}

	FILE* file = fopen(path.c_str(), "wb");
	if (file == NULL) {
		*error = path + ": cannot be written";
		return false;
	}
	png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
	png_infop info = png != NULL ? png_create_info_struct(png) : NULL;
	if (info == NULL || setjmp(png_jmpbuf(png))) {
		png_destroy_write_struct(&png, &info);
		fclose(file);
		*error = path + ": PNG encoding failed";
		return false;
	}
	png_init_io(png, file);
	png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
		PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
	png_write_info(png, info);
	for (int32 y = 0; y < height; y++)
		png_write_row(png, &image[(size_t)y * width * 3]);
	png_write_end(png, NULL);
	png_destroy_write_struct(&png, &info);
	return fclose(file) == 0;
}

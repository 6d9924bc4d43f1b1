/*
 * Wraps libpng: writes an RGB or RGBA image to a file. No reading, no metadata beyond what
 * libpng writes itself.
 */
#include <errno.h>
#include <stdio.h>

#include <vector>

#include <png.h>

#include "HostDrawingBackEnd.h"

int
BPrivate::encode_png(const char* path, const uint8* bits, int32 width, int32 height,
	int32 bytesPerRow, int32 scale, bool alpha)
{
	if (path == NULL || bits == NULL || width <= 0 || height <= 0 || scale < 1 || scale > 64)
		return EINVAL;
	FILE* file = fopen(path, "wb");
	if (file == NULL)
		return errno;

	png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
	png_infop info = png != NULL ? png_create_info_struct(png) : NULL;
	if (png == NULL || info == NULL) {
		png_destroy_write_struct(&png, &info);
		fclose(file);
		return ENOMEM;
	}

	const int32 channels = alpha ? 4 : 3;
	std::vector<png_byte> row((size_t)width * scale * channels);
	if (setjmp(png_jmpbuf(png)) != 0) {
		png_destroy_write_struct(&png, &info);
		fclose(file);
		return EIO;
	}
	png_init_io(png, file);
	png_set_IHDR(png, info, width * scale, height * scale, 8,
		alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
		PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
	png_write_info(png, info);
	for (int32 y = 0; y < height; y++) {
		const uint8* in = bits + (size_t)y * bytesPerRow;
		for (int32 x = 0; x < width * scale; x++) {
			const uint8* pixel = in + (x / scale) * 4;
			png_byte* out = row.data() + (size_t)x * channels;
			out[0] = pixel[2];
			out[1] = pixel[1];
			out[2] = pixel[0];
			if (alpha)
				out[3] = pixel[3];
		}
		for (int32 copy = 0; copy < scale; copy++)
			png_write_row(png, row.data());
	}
	png_write_end(png, info);
	png_destroy_write_struct(&png, &info);
	if (fclose(file) != 0)
		return errno;
	return 0;
}

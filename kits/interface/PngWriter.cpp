/*
 * Saves pixels as PNG through the drawing back end, which is loaded on the first save.
 */
#include "PngWriter.h"

#include "DrawingBackEnd.h"
#include "HostErrors.h"

status_t
BPrivate::write_png(const char* path, const uint8* bits, int32 width, int32 height,
	int32 bytesPerRow, int32 scale, bool alpha)
{
	if (path == NULL || bits == NULL || width <= 0 || height <= 0 || scale < 1 || scale > 64)
		return B_BAD_VALUE;
	DrawingBackEnd* backEnd = drawing_back_end();
	if (backEnd == NULL)
		return B_UNSUPPORTED;
	int error = backEnd->WritePng(path, bits, width, height, bytesPerRow, scale, alpha);
	return error == 0 ? B_OK : host_error_to_status(error);
}

/*
 * zorve-icons: writes an executable's icons (its resources' 32 x 32 and 16 x 16 pictures) as
 * the PNG files of a freedesktop icon theme, FOLDER/NxN/apps/NAME.png, at the usual sizes.
 * Each size is the picture that divides it evenly enlarged by a whole multiple, nearest
 * neighbour, so that every pixel of the original stays a sharp square; its transparent
 * pixels stay transparent.
 */
#include <stdio.h>
#include <string.h>

#include <string>

#include <AppFileInfo.h>
#include <Bitmap.h>
#include <Directory.h>
#include <File.h>

#include "PngWriter.h"

namespace {

const int32 kSizes[] = {16, 32, 48, 64, 128};

int
Usage()
{
	fprintf(stderr,
		"usage: zorve-icons EXECUTABLE FOLDER NAME\n"
		"  Writes the executable's icons as FOLDER/NxN/apps/NAME.png for N = 16, 32, 48, 64,\n"
		"  128, each its large (32 x 32) or mini (16 x 16) icon enlarged by a whole multiple.\n");
	return 2;
}

} // namespace

int
main(int argc, char** argv)
{
	if (argc != 4 || argv[1][0] == '-')
		return Usage();
	const char* executable = argv[1];
	const std::string folder = argv[2];
	const char* name = argv[3];

	BFile file(executable, B_READ_ONLY);
	BAppFileInfo info(&file);
	BBitmap large(BRect(0, 0, B_LARGE_ICON - 1, B_LARGE_ICON - 1), B_RGBA32);
	BBitmap mini(BRect(0, 0, B_MINI_ICON - 1, B_MINI_ICON - 1), B_RGBA32);
	status_t status = file.InitCheck();
	if (status == B_OK)
		status = info.InitCheck();
	if (status == B_OK)
		status = info.GetIcon(&large, B_LARGE_ICON);
	if (status == B_OK)
		status = info.GetIcon(&mini, B_MINI_ICON);
	if (status != B_OK) {
		fprintf(stderr, "zorve-icons: %s: no icons (error %d)\n", executable, (int)status);
		return 1;
	}

	for (int32 size : kSizes) {
		const BBitmap& icon = size % B_LARGE_ICON == 0 ? large : mini;
		const int32 side = icon.Bounds().IntegerWidth() + 1;
		const std::string sizeName = std::to_string(size) + "x" + std::to_string(size);
		const std::string directory = folder + "/" + sizeName + "/apps";
		const std::string path = directory + "/" + name + ".png";
		status = create_directory(directory.c_str(), 0755);
		if (status == B_OK) {
			status = BPrivate::write_png(path.c_str(), (const uint8*)icon.Bits(), side, side,
				icon.BytesPerRow(), size / side, true);
		}
		if (status != B_OK) {
			fprintf(stderr, "zorve-icons: %s: cannot be written (error %d)\n", path.c_str(),
				(int)status);
			return 1;
		}
	}
	return 0;
}

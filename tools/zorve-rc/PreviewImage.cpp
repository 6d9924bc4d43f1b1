/*
 * The preview sheet is drawn in B_RGB32 and saved by the interface kit's PNG writer. Pixels of
 * index B_TRANSPARENT_MAGIC_CMAP8 show the background, as drawing in B_OP_OVER would.
 */
#include "PreviewImage.h"

#include "PngWriter.h"

namespace {

const int32 kGap = 8;

} // namespace

PreviewImage::PreviewImage(rgb_color background, int32 scale) :
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
	std::vector<uint8> image((size_t)width * height * 4);
	for (size_t i = 0; i < image.size(); i += 4) {
		image[i] = fBackground.blue;
		image[i + 1] = fBackground.green;
		image[i + 2] = fBackground.red;
		image[i + 3] = 255;
	}

	const rgb_color* palette = system_colors()->color_list;
	auto plot = [&](int32 x, int32 y, uint8 index) {
		if (index == B_TRANSPARENT_MAGIC_CMAP8)
			return;
		uint8* pixel = &image[((size_t)y * width + x) * 4];
		pixel[0] = palette[index].blue;
		pixel[1] = palette[index].green;
		pixel[2] = palette[index].red;
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

	if (BPrivate::write_png(path.c_str(), image.data(), width, height, width * 4) != B_OK) {
		*error = path + ": cannot be written";
		return false;
	}
	return true;
}

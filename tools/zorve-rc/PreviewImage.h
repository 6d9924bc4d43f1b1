/*
 * A PNG sheet that shows pictures enlarged and at their real size on a background colour,
 * for judging them by eye.
 */
#ifndef PREVIEW_IMAGE_H
#define PREVIEW_IMAGE_H

#include <string>
#include <vector>

#include <GraphicsDefs.h>

#include "Picture.h"

class PreviewImage {
public:
	PreviewImage(rgb_color background, int32 scale);

	void Add(const Picture& picture);
	bool WritePng(const std::string& path, std::string* error) const;

private:
	rgb_color fBackground;
	int32 fScale;
	std::vector<Picture> fPictures;
};

#endif // PREVIEW_IMAGE_H

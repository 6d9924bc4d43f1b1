/*
 * A B_CMAP8 picture drawn as text: a grid of characters and a legend mapping each character
 * to a palette index.
 */
#ifndef PICTURE_H
#define PICTURE_H

#include <string>
#include <vector>

#include <SupportDefs.h>

class Picture {
public:
	Picture();

	// Reads the picture; on failure `error` says where and why.
	bool Load(const std::string& path, std::string* error);

	int32 Width() const { return fWidth; }
	int32 Height() const { return fHeight; }
	// Rows top first, one palette index per pixel, no padding.
	const std::vector<uint8>& Pixels() const { return fPixels; }
	const std::string& Path() const { return fPath; }

private:
	std::string fPath;
	int32 fWidth;
	int32 fHeight;
	std::vector<uint8> fPixels;
};

#endif // PICTURE_H

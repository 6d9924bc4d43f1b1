/*
 * StatusPictures: the five status pictures as the Deskbar item shows them (each drawn over
 * the item's tinted background, its transparent pixels showing that), loaded through the
 * item's own loader from the application the preferences name; and the matching of a 16x16
 * block of pixels against them. Not part of the application.
 */
#ifndef STATUS_PICTURES_H
#define STATUS_PICTURES_H

#include <string>
#include <vector>

#include <SupportDefs.h>

class StatusPictures {
public:
	enum Picture {
		kNormal,
		kPending1,
		kPending2,
		kPending3,
		kError,
		// The background alone, as with no picture loaded.
		kBackground,
		kUnknown
	};

	StatusPictures();

	// B_OK when all five pictures loaded.
	status_t InitCheck() const;

	// The picture that 16 rows of 16 RGBA quadruples show (alpha is not compared).
	Picture Match(const uint8* rgba) const;

	static const char* Name(Picture picture);

	// The 16x16 pixels of the running Deskbar host's item of that name, as its shelf last
	// drew them.
	static status_t ReadItemPixels(const char* item, std::vector<uint8>& rgba);

private:
	status_t fStatus;
	// kBackground + 1 renderings of 16 x 16 x 3 bytes.
	std::vector<std::string> fExpected;
};

#endif // STATUS_PICTURES_H

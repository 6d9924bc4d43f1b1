#include "StatusPictures.h"

#include <string.h>

#include <Bitmap.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <Screen.h>

#include "DeskbarLink.h"
#include "DeskbarProtocol.h"
#include "ZorveReplicant.h"

using namespace BPrivate;

namespace {

const int32 kSize = 16;
const char* const kResourceNames[] = {"ZRV:Normal", "ZRV:Pending1", "ZRV:Pending2", "ZRV:Pending3",
	"ZRV:Error"};
const char* const kNames[] = {"normal", "pending1", "pending2", "pending3", "error", "background",
	"unknown"};

// Picture index 255 is transparent: the background shows.
std::string
Render(const BBitmap* bitmap, rgb_color background)
{
	std::string pixels;
	BScreen screen;
	for (int32 y = 0; y < kSize; y++) {
		for (int32 x = 0; x < kSize; x++) {
			rgb_color color = background;
			if (bitmap != NULL) {
				uint8 index = ((const uint8*)bitmap->Bits())[y * bitmap->BytesPerRow() + x];
				if (index != B_TRANSPARENT_MAGIC_CMAP8)
					color = screen.ColorForIndex(index);
			}
			pixels += (char)color.red;
			pixels += (char)color.green;
			pixels += (char)color.blue;
		}
	}
	return pixels;
}

} // namespace

StatusPictures::StatusPictures() :
	fStatus(B_OK)
{
	rgb_color background = tint_color(ui_color(B_MENU_BACKGROUND_COLOR), B_DARKEN_1_TINT);
	ZorveReplicant loader;
	for (const char* name : kResourceNames) {
		BBitmap* bitmap = loader.GetBitmap(name, 'BBMP');
		if (bitmap == NULL || bitmap->Bounds() != BRect(0, 0, kSize - 1, kSize - 1)
			|| bitmap->ColorSpace() != B_CMAP8) {
			fStatus = B_ERROR;
		}
		fExpected.push_back(Render(fStatus == B_OK ? bitmap : NULL, background));
		delete bitmap;
	}
	fExpected.push_back(Render(NULL, background));
}

status_t
StatusPictures::InitCheck() const
{
	return fStatus;
}

StatusPictures::Picture
StatusPictures::Match(const uint8* rgba) const
{
	std::string pixels;
	for (int32 i = 0; i < kSize * kSize; i++)
		pixels.append((const char*)rgba + i * 4, 3);
	for (size_t picture = 0; picture < fExpected.size(); picture++) {
		if (fExpected[picture] == pixels)
			return (Picture)picture;
	}
	return kUnknown;
}

const char*
StatusPictures::Name(Picture picture)
{
	if (picture < kNormal || picture > kUnknown)
		return kNames[kUnknown];
	return kNames[picture];
}

status_t
StatusPictures::ReadItemPixels(const char* item, std::vector<uint8>& rgba)
{
	BMessage list(kMsgDeskbarListItems);
	BMessage items;
	status_t status = DeskbarLink::Exchange(list, &items, false);
	if (status != B_OK)
		return status;
	BRect frame;
	const char* name;
	bool found = false;
	for (int32 i = 0; !found && items.FindString("name", i, &name) == B_OK; i++)
		found = strcmp(name, item) == 0 && items.FindRect("frame", i, &frame) == B_OK;
	if (!found)
		return B_NAME_NOT_FOUND;

	BMessage request(kMsgDeskbarPixels);
	request.AddRect("rect",
		BRect(frame.left, frame.top, frame.left + kSize - 1, frame.top + kSize - 1));
	BMessage reply;
	status = DeskbarLink::Exchange(request, &reply, false);
	if (status != B_OK)
		return status;
	const void* data;
	ssize_t size;
	status = reply.FindData("pixels", B_RAW_TYPE, &data, &size);
	if (status != B_OK)
		return status;
	if (size != kSize * kSize * 4)
		return B_BAD_DATA;
	rgba.assign((const uint8*)data, (const uint8*)data + size);
	return B_OK;
}

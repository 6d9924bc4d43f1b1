#include <Screen.h>

#include <mutex>

#include <InterfaceDefs.h>
#include <OS.h>

#include "DisplayLink.h"
#include "InterfacePrivate.h"

namespace {

std::mutex sScreenLock;
BRect sMainScreenFrame(0, 0, 1023, 767);
rgb_color sDesktopColor = {51, 102, 152, 255};

// About one refresh of a 60 Hz display.
const bigtime_t kRetracePeriod = 16667;

} // namespace

BRect
BPrivate::main_screen_frame()
{
	std::lock_guard<std::mutex> guard(sScreenLock);
	return sMainScreenFrame;
}

void
BPrivate::set_main_screen_frame(BRect frame)
{
	std::lock_guard<std::mutex> guard(sScreenLock);
	sMainScreenFrame = frame;
}

BScreen::BScreen(screen_id id) :
	fID(id)
{
}

BScreen::BScreen(BWindow* /*window*/) :
	fID(B_MAIN_SCREEN_ID)
{
}

BScreen::~BScreen()
{
}

bool
BScreen::IsValid()
{
	return fID.id == B_MAIN_SCREEN_ID.id;
}

status_t
BScreen::SetToNext()
{
	return B_ERROR;
}

color_space
BScreen::ColorSpace()
{
	return IsValid() ? B_RGB32 : B_NO_COLOR_SPACE;
}

BRect
BScreen::Frame()
{
	if (!IsValid())
		return BRect();
	// Asking about the screen is reason enough to find the display.
	BPrivate::DisplayLink::Backend();
	return BPrivate::main_screen_frame();
}

screen_id
BScreen::ID()
{
	return fID;
}

status_t
BScreen::WaitForRetrace()
{
	return WaitForRetrace(B_INFINITE_TIMEOUT);
}

status_t
BScreen::WaitForRetrace(bigtime_t timeout)
{
	if (!IsValid())
		return B_ERROR;
	snooze(timeout < kRetracePeriod ? timeout : kRetracePeriod);
	return B_OK;
}

uint8
BScreen::IndexForColor(rgb_color color)
{
	return IndexForColor(color.red, color.green, color.blue, color.alpha);
}

uint8
BScreen::IndexForColor(uint8 red, uint8 green, uint8 blue, uint8 alpha)
{
	if (BPrivate::is_transparent_color(rgb_color{red, green, blue, alpha}))
		return B_TRANSPARENT_MAGIC_CMAP8;
	// A full search rather than the RGB15 index map, so that every palette colour is found
	// exactly; the transparent index is never an answer.
	const color_map* map = system_colors();
	uint8 best = 0;
	int32 bestDistance = INT32_MAX;
	for (int32 i = 0; i < 255 && bestDistance > 0; i++) {
		const rgb_color& entry = map->color_list[i];
		int32 dr = entry.red - red;
		int32 dg = entry.green - green;
		int32 db = entry.blue - blue;
		int32 distance = dr * dr + dg * dg + db * db;
		if (distance < bestDistance) {
			bestDistance = distance;
			best = (uint8)i;
		}
	}
	return best;
}

rgb_color
BScreen::ColorForIndex(const uint8 index)
{
	return system_colors()->color_list[index];
}

uint8
BScreen::InvertIndex(uint8 index)
{
	return system_colors()->inversion_map[index];
}

const color_map*
BScreen::ColorMap()
{
	return system_colors();
}

rgb_color
BScreen::DesktopColor()
{
	std::lock_guard<std::mutex> guard(sScreenLock);
	return sDesktopColor;
}

rgb_color
BScreen::DesktopColor(uint32 /*workspace*/)
{
	return DesktopColor();
}

void
BScreen::SetDesktopColor(rgb_color color, bool /*makeDefault*/)
{
	std::lock_guard<std::mutex> guard(sScreenLock);
	sDesktopColor = color;
}

void
BScreen::SetDesktopColor(rgb_color color, uint32 /*workspace*/, bool makeDefault)
{
	SetDesktopColor(color, makeDefault);
}

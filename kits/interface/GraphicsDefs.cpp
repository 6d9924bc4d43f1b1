#include <GraphicsDefs.h>

#include <string.h>

const pattern B_SOLID_HIGH = {{0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}};
const pattern B_MIXED_COLORS = {{0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55}};
const pattern B_SOLID_LOW = {{0, 0, 0, 0, 0, 0, 0, 0}};

const rgb_color B_TRANSPARENT_COLOR = {0x77, 0x74, 0x77, 0x00};
const uint8 B_TRANSPARENT_MAGIC_CMAP8 = 0xff;
const uint16 B_TRANSPARENT_MAGIC_RGBA15 = 0x39ce;
const uint16 B_TRANSPARENT_MAGIC_RGBA15_BIG = 0xce39;
const uint32 B_TRANSPARENT_MAGIC_RGBA32 = 0x00777477;
const uint32 B_TRANSPARENT_MAGIC_RGBA32_BIG = 0x77747700;
const uint8 B_TRANSPARENT_8_BIT = 0xff;
const rgb_color B_TRANSPARENT_32_BIT = {0x77, 0x74, 0x77, 0x00};

const struct screen_id B_MAIN_SCREEN_ID = {0};

namespace {

// Entries 32 to 255 of the system palette; 0 to 31 are the greys 8 * i. Each pair of rows holds
// eight entries and is numbered by its first.
// clang-format off
const uint8 kPaletteColors[224][3] = {
	{0, 0, 255}, {0, 0, 229}, {0, 0, 204}, {0, 0, 179},	// 32
	{0, 0, 154}, {0, 0, 129}, {0, 0, 105}, {0, 0, 80},
	{0, 0, 55}, {0, 0, 30}, {255, 0, 0}, {228, 0, 0},	// 40
	{203, 0, 0}, {178, 0, 0}, {153, 0, 0}, {128, 0, 0},
	{105, 0, 0}, {80, 0, 0}, {55, 0, 0}, {30, 0, 0},	// 48
	{0, 255, 0}, {0, 228, 0}, {0, 203, 0}, {0, 178, 0},
	{0, 153, 0}, {0, 128, 0}, {0, 105, 0}, {0, 80, 0},	// 56
	{0, 55, 0}, {0, 30, 0}, {0, 152, 51}, {255, 255, 255},
	{203, 255, 255}, {203, 255, 203}, {203, 255, 152}, {203, 255, 102},	// 64
	{203, 255, 51}, {203, 255, 0}, {152, 255, 255}, {152, 255, 203},
	{152, 255, 152}, {152, 255, 102}, {152, 255, 51}, {152, 255, 0},	// 72
	{102, 255, 255}, {102, 255, 203}, {102, 255, 152}, {102, 255, 102},
	{102, 255, 51}, {102, 255, 0}, {51, 255, 255}, {51, 255, 203},	// 80
	{51, 255, 152}, {51, 255, 102}, {51, 255, 51}, {51, 255, 0},
	{255, 152, 255}, {255, 152, 203}, {255, 152, 152}, {255, 152, 102},	// 88
	{255, 152, 51}, {255, 152, 0}, {0, 102, 255}, {0, 102, 203},
	{203, 203, 255}, {203, 203, 203}, {203, 203, 152}, {203, 203, 102},	// 96
	{203, 203, 51}, {203, 203, 0}, {152, 203, 255}, {152, 203, 203},
	{152, 203, 152}, {152, 203, 102}, {152, 203, 51}, {152, 203, 0},	// 104
	{102, 203, 255}, {102, 203, 203}, {102, 203, 152}, {102, 203, 102},
	{102, 203, 51}, {102, 203, 0}, {51, 203, 255}, {51, 203, 203},	// 112
	{51, 203, 152}, {51, 203, 102}, {51, 203, 51}, {51, 203, 0},
	{255, 102, 255}, {255, 102, 203}, {255, 102, 152}, {255, 102, 102},	// 120
	{255, 102, 51}, {255, 102, 0}, {0, 102, 152}, {0, 102, 102},
	{203, 152, 255}, {203, 152, 203}, {203, 152, 152}, {203, 152, 102},	// 128
	{203, 152, 51}, {203, 152, 0}, {152, 152, 255}, {152, 152, 203},
	{152, 152, 152}, {152, 152, 102}, {152, 152, 51}, {152, 152, 0},	// 136
	{102, 152, 255}, {102, 152, 203}, {102, 152, 152}, {102, 152, 102},
	{102, 152, 51}, {102, 152, 0}, {51, 152, 255}, {51, 152, 203},	// 144
	{51, 152, 152}, {51, 152, 102}, {51, 152, 51}, {51, 152, 0},
	{230, 134, 0}, {255, 51, 203}, {255, 51, 152}, {255, 51, 102},	// 152
	{255, 51, 51}, {255, 51, 0}, {0, 102, 51}, {0, 102, 0},
	{203, 102, 255}, {203, 102, 203}, {203, 102, 152}, {203, 102, 102},	// 160
	{203, 102, 51}, {203, 102, 0}, {152, 102, 255}, {152, 102, 203},
	{152, 102, 152}, {152, 102, 102}, {152, 102, 51}, {152, 102, 0},	// 168
	{102, 102, 255}, {102, 102, 203}, {102, 102, 152}, {102, 102, 102},
	{102, 102, 51}, {102, 102, 0}, {51, 102, 255}, {51, 102, 203},	// 176
	{51, 102, 152}, {51, 102, 102}, {51, 102, 51}, {51, 102, 0},
	{255, 0, 255}, {255, 0, 203}, {255, 0, 152}, {255, 0, 102},	// 184
	{255, 0, 51}, {255, 175, 19}, {0, 51, 255}, {0, 51, 203},
	{203, 51, 255}, {203, 51, 203}, {203, 51, 152}, {203, 51, 102},	// 192
	{203, 51, 51}, {203, 51, 0}, {152, 51, 255}, {152, 51, 203},
	{152, 51, 152}, {152, 51, 102}, {152, 51, 51}, {152, 51, 0},	// 200
	{102, 51, 255}, {102, 51, 203}, {102, 51, 152}, {102, 51, 102},
	{102, 51, 51}, {102, 51, 0}, {51, 51, 255}, {51, 51, 203},	// 208
	{51, 51, 152}, {51, 51, 102}, {51, 51, 51}, {51, 51, 0},
	{255, 203, 102}, {255, 203, 152}, {255, 203, 203}, {255, 203, 255},	// 216
	{0, 51, 152}, {0, 51, 102}, {0, 51, 51}, {0, 51, 0},
	{203, 0, 255}, {203, 0, 203}, {203, 0, 152}, {203, 0, 102},	// 224
	{203, 0, 51}, {255, 227, 70}, {152, 0, 255}, {152, 0, 203},
	{152, 0, 152}, {152, 0, 102}, {152, 0, 51}, {152, 0, 0},	// 232
	{102, 0, 255}, {102, 0, 203}, {102, 0, 152}, {102, 0, 102},
	{102, 0, 51}, {102, 0, 0}, {51, 0, 255}, {51, 0, 203},	// 240
	{51, 0, 152}, {51, 0, 102}, {51, 0, 51}, {51, 0, 0},
	{255, 203, 51}, {255, 203, 0}, {255, 255, 0}, {255, 255, 51},	// 248
	{255, 255, 102}, {255, 255, 152}, {255, 255, 203}, {255, 255, 255},
};
// clang-format on

int32
Distance(const rgb_color& color, int32 red, int32 green, int32 blue)
{
	int32 dr = color.red - red;
	int32 dg = color.green - green;
	int32 db = color.blue - blue;
	return dr * dr + dg * dg + db * db;
}

// Index 255 is the transparent magic value: nearest-colour searches never pick it.
uint8
NearestIndex(const rgb_color* colors, int32 red, int32 green, int32 blue)
{
	uint8 best = 0;
	int32 bestDistance = INT32_MAX;
	for (int32 i = 0; i < 255; i++) {
		int32 distance = Distance(colors[i], red, green, blue);
		if (distance < bestDistance) {
			bestDistance = distance;
			best = (uint8)i;
			if (distance == 0)
				break;
		}
	}
	return best;
}

color_map*
BuildSystemColors()
{
	color_map* map = new color_map;
	memset(map, 0, sizeof(color_map));
	for (int32 i = 0; i < 32; i++)
		map->color_list[i] = {(uint8)(i * 8), (uint8)(i * 8), (uint8)(i * 8), 255};
	for (int32 i = 32; i < 256; i++) {
		const uint8* entry = kPaletteColors[i - 32];
		map->color_list[i] = {entry[0], entry[1], entry[2], 255};
	}
	for (int32 i = 0; i < 256; i++) {
		const rgb_color& color = map->color_list[i];
		map->inversion_map[i] = NearestIndex(map->color_list, 255 - color.red, 255 - color.green,
			255 - color.blue);
	}
	for (int32 value = 0; value < 32768; value++) {
		int32 red = (value >> 10) & 0x1f;
		int32 green = (value >> 5) & 0x1f;
		int32 blue = value & 0x1f;
		map->index_map[value] = NearestIndex(map->color_list, (red << 3) | (red >> 2),
			(green << 3) | (green >> 2), (blue << 3) | (blue >> 2));
	}
	return map;
}

} // namespace

const color_map*
system_colors()
{
	static const color_map* sMap = BuildSystemColors();
	return sMap;
}

bool
bitmaps_support_space(color_space space, uint32* supportFlags)
{
	bool supported = space == B_CMAP8 || space == B_RGB32 || space == B_RGBA32;
	if (supportFlags != NULL)
		*supportFlags = supported ? B_VIEWS_SUPPORT_DRAW_BITMAP : 0;
	return supported;
}

status_t
get_pixel_size_for(color_space space, size_t* pixelChunk, size_t* rowAlignment,
	size_t* pixelsPerChunk)
{
	size_t chunk;
	size_t pixels = 1;
	switch (space) {
		case B_RGB32:
		case B_RGBA32:
		case B_RGB32_BIG:
		case B_RGBA32_BIG:
			chunk = 4;
			break;
		case B_RGB24:
		case B_RGB24_BIG:
			chunk = 3;
			break;
		case B_RGB16:
		case B_RGB15:
		case B_RGBA15:
		case B_RGB16_BIG:
		case B_RGB15_BIG:
		case B_RGBA15_BIG:
			chunk = 2;
			break;
		case B_CMAP8:
		case B_GRAY8:
			chunk = 1;
			break;
		case B_GRAY1:
			chunk = 1;
			pixels = 8;
			break;
		default:
			return B_BAD_VALUE;
	}
	if (pixelChunk != NULL)
		*pixelChunk = chunk;
	if (rowAlignment != NULL)
		*rowAlignment = 4;
	if (pixelsPerChunk != NULL)
		*pixelsPerChunk = pixels;
	return B_OK;
}

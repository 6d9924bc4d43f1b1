#include <Bitmap.h>

#include <stdint.h>
#include <string.h>

#include <algorithm>

#include <Message.h>
#include <Screen.h>

namespace {

// Larger sides are refused rather than allocated.
const int32 kMaxSide = 32768;

// Takes the number, as an archive holds any: only the known spaces are read as the type.
int32
BytesPerPixel(int32 colorSpace)
{
	switch (colorSpace) {
		case B_CMAP8:
			return 1;
		case B_RGB32:
		case B_RGBA32:
			return 4;
		default:
			return 0;
	}
}

// From an archive, a bitmap whose pixels do not come with it is made blank only up to this
// size: an archive cannot ask for more memory than it holds, or than this.
const int64 kMaxBlankArchivedBits = 16 * 1024 * 1024;

int32
RowBytesFor(int32 colorSpace, int32 width)
{
	return (width * BytesPerPixel(colorSpace) + 3) & ~3;
}

// The row length (any, for B_ANY_BYTES_PER_ROW) and the length of the bits of such a bitmap;
// false for a bitmap that cannot be.
bool
BitsLayout(BRect bounds, int32 colorSpace, int32* bytesPerRow, int64* length)
{
	// The sides are checked as numbers before they are converted (false for NaN too).
	if (!bounds.IsValid() || BytesPerPixel(colorSpace) == 0 || !(bounds.Width() < kMaxSide)
		|| !(bounds.Height() < kMaxSide)) {
		return false;
	}
	int32 width = bounds.IntegerWidth() + 1;
	int32 height = bounds.IntegerHeight() + 1;
	if (width > kMaxSide || height > kMaxSide)
		return false;
	int32 minimumRowBytes = RowBytesFor(colorSpace, width);
	if (*bytesPerRow < 0)
		*bytesPerRow = minimumRowBytes;
	else if (*bytesPerRow < minimumRowBytes)
		return false;
	*length = (int64)*bytesPerRow * height;
	return *length <= INT32_MAX;
}

} // namespace

BBitmap::BBitmap(BRect bounds, uint32 flags, color_space colorSpace, int32 bytesPerRow,
	screen_id /*screenID*/) :
	fBits(NULL),
	fBitsLength(0),
	fBytesPerRow(0),
	fColorSpace(B_NO_COLOR_SPACE),
	fFlags(0),
	fInitStatus(B_NO_INIT)
{
	_Init(bounds, flags, colorSpace, bytesPerRow);
}

BBitmap::BBitmap(BRect bounds, color_space colorSpace, bool acceptsViews, bool needsContiguous) :
	fBits(NULL),
	fBitsLength(0),
	fBytesPerRow(0),
	fColorSpace(B_NO_COLOR_SPACE),
	fFlags(0),
	fInitStatus(B_NO_INIT)
{
	// As on the platform, such bitmaps start out white and say so in their archive.
	uint32 flags = B_BITMAP_CLEAR_TO_WHITE;
	if (acceptsViews)
		flags |= B_BITMAP_ACCEPTS_VIEWS;
	if (needsContiguous)
		flags |= B_BITMAP_IS_CONTIGUOUS;
	_Init(bounds, flags, colorSpace, B_ANY_BYTES_PER_ROW);
}

BBitmap::BBitmap(const BBitmap* source, bool acceptsViews, bool needsContiguous) :
	fBits(NULL),
	fBitsLength(0),
	fBytesPerRow(0),
	fColorSpace(B_NO_COLOR_SPACE),
	fFlags(0),
	fInitStatus(B_NO_INIT)
{
	if (source == NULL || source->InitCheck() != B_OK) {
		fInitStatus = B_BAD_VALUE;
		return;
	}
	uint32 flags = source->fFlags & ~(B_BITMAP_ACCEPTS_VIEWS | B_BITMAP_IS_CONTIGUOUS);
	if (acceptsViews)
		flags |= B_BITMAP_ACCEPTS_VIEWS;
	if (needsContiguous)
		flags |= B_BITMAP_IS_CONTIGUOUS;
	_Init(source->fBounds, flags, source->fColorSpace, source->fBytesPerRow);
	if (fInitStatus == B_OK)
		memcpy(fBits, source->fBits, fBitsLength);
}

BBitmap::BBitmap(BMessage* data) :
	BArchivable(data),
	fBits(NULL),
	fBitsLength(0),
	fBytesPerRow(0),
	fColorSpace(B_NO_COLOR_SPACE),
	fFlags(0),
	fInitStatus(B_NO_INIT)
{
	BRect bounds;
	int32 colorSpace;
	if (data == NULL || data->FindRect("_frame", &bounds) != B_OK
		|| data->FindInt32("_cspace", &colorSpace) != B_OK) {
		return;
	}

	int32 flags;
	if (data->FindInt32("_bmflags", &flags) != B_OK) {
		// Archives older than the flags field carry two booleans instead.
		bool acceptsViews = false;
		bool contiguous = false;
		data->FindBool("_view_ok", &acceptsViews);
		data->FindBool("_contiguous", &contiguous);
		flags = (acceptsViews ? B_BITMAP_ACCEPTS_VIEWS : 0)
			| (contiguous ? B_BITMAP_IS_CONTIGUOUS : 0);
	}
	int32 bytesPerRow;
	if (data->FindInt32("_rowbytes", &bytesPerRow) != B_OK)
		bytesPerRow = B_ANY_BYTES_PER_ROW;

	const void* bits = NULL;
	ssize_t length = 0;
	if (data->FindData("_data", B_RAW_TYPE, &bits, &length) != B_OK)
		length = 0;
	int32 rowBytes = bytesPerRow;
	int64 needed;
	if (!BitsLayout(bounds, colorSpace, &rowBytes, &needed)
		|| needed > std::max(kMaxBlankArchivedBits, (int64)length)) {
		fInitStatus = B_BAD_VALUE;
		return;
	}

	_Init(bounds, (uint32)flags, (color_space)colorSpace, bytesPerRow);
	if (fInitStatus == B_OK && length == fBitsLength)
		memcpy(fBits, bits, length);
}

BBitmap::~BBitmap()
{
	_Free();
}

BArchivable*
BBitmap::Instantiate(BMessage* data)
{
	if (!validate_instantiation(data, "BBitmap"))
		return NULL;
	return new BBitmap(data);
}

status_t
BBitmap::Archive(BMessage* data, bool deep) const
{
	if (fInitStatus != B_OK)
		return fInitStatus;
	status_t status = BArchivable::Archive(data, deep);
	if (status == B_OK)
		status = data->AddRect("_frame", fBounds);
	if (status == B_OK)
		status = data->AddInt32("_cspace", (int32)fColorSpace);
	if (status == B_OK)
		status = data->AddInt32("_bmflags", (int32)fFlags);
	if (status == B_OK)
		status = data->AddInt32("_rowbytes", fBytesPerRow);
	if (status == B_OK)
		status = data->AddData("_data", B_RAW_TYPE, fBits, fBitsLength);
	return status;
}

status_t
BBitmap::InitCheck() const
{
	return fInitStatus;
}

bool
BBitmap::IsValid() const
{
	return fInitStatus == B_OK;
}

status_t
BBitmap::LockBits(uint32* /*state*/)
{
	return fInitStatus == B_OK ? B_OK : B_NO_INIT;
}

void
BBitmap::UnlockBits()
{
}

area_id
BBitmap::Area() const
{
	return B_ERROR;
}

void*
BBitmap::Bits() const
{
	return fBits;
}

int32
BBitmap::BitsLength() const
{
	return fBitsLength;
}

int32
BBitmap::BytesPerRow() const
{
	return fBytesPerRow;
}

color_space
BBitmap::ColorSpace() const
{
	return fColorSpace;
}

BRect
BBitmap::Bounds() const
{
	return fBounds;
}

void
BBitmap::SetBits(const void* data, int32 length, int32 offset, color_space colorSpace)
{
	if (fInitStatus != B_OK || data == NULL || length <= 0 || offset < 0 || offset >= fBitsLength) {
		return;
	}
	bool sameLayout = colorSpace == fColorSpace
		|| (BytesPerPixel(colorSpace) == 4 && BytesPerPixel(fColorSpace) == 4);
	if (sameLayout) {
		int32 count = length < fBitsLength - offset ? length : fBitsLength - offset;
		memcpy(fBits + offset, data, count);
		return;
	}

	int32 sourceSize = BytesPerPixel(colorSpace);
	int32 targetSize = BytesPerPixel(fColorSpace);
	if (sourceSize == 0 || targetSize == 0)
		return;
	int32 width = fBounds.IntegerWidth() + 1;
	int32 height = fBounds.IntegerHeight() + 1;
	int32 sourceRowBytes = RowBytesFor(colorSpace, width);
	int32 startRow = offset / fBytesPerRow;
	int32 startColumn = (offset % fBytesPerRow) / targetSize;
	const uint8* source = (const uint8*)data;
	const color_map* map = system_colors();
	BScreen screen;

	// Source pixels fill the bitmap in reading order from the offset on.
	int32 x = startColumn;
	int32 y = startRow;
	int32 sourceX = 0;
	int32 sourceY = 0;
	while (y < height) {
		int32 sourceOffset = sourceY * sourceRowBytes + sourceX * sourceSize;
		if (sourceOffset + sourceSize > length)
			break;
		const uint8* in = source + sourceOffset;
		uint8* out = fBits + y * fBytesPerRow + x * targetSize;
		if (sourceSize == 4) {
			uint32 value = in[0] | (in[1] << 8) | (in[2] << 16) | ((uint32)in[3] << 24);
			if ((value & 0x00ffffff) == (B_TRANSPARENT_MAGIC_RGBA32 & 0x00ffffff))
				out[0] = B_TRANSPARENT_MAGIC_CMAP8;
			else
				out[0] = screen.IndexForColor(in[2], in[1], in[0]);
		} else if (in[0] == B_TRANSPARENT_MAGIC_CMAP8) {
			out[0] = 0x77;
			out[1] = 0x74;
			out[2] = 0x77;
			out[3] = 0x00;
		} else {
			const rgb_color& color = map->color_list[in[0]];
			out[0] = color.blue;
			out[1] = color.green;
			out[2] = color.red;
			out[3] = 255;
		}
		if (++x >= width) {
			x = 0;
			y++;
		}
		if (++sourceX >= width) {
			sourceX = 0;
			sourceY++;
		}
	}
}

status_t
BBitmap::GetOverlayRestrictions(overlay_restrictions* /*restrictions*/) const
{
	return B_BAD_TYPE;
}

void
BBitmap::AddChild(BView* /*view*/)
{
}

bool
BBitmap::RemoveChild(BView* /*view*/)
{
	return false;
}

int32
BBitmap::CountChildren() const
{
	return 0;
}

BView*
BBitmap::ChildAt(int32 /*index*/) const
{
	return NULL;
}

BView*
BBitmap::FindView(const char* /*viewName*/) const
{
	return NULL;
}

BView*
BBitmap::FindView(BPoint /*point*/) const
{
	return NULL;
}

bool
BBitmap::Lock()
{
	return false;
}

void
BBitmap::Unlock()
{
}

bool
BBitmap::IsLocked() const
{
	return false;
}

void
BBitmap::_Init(BRect bounds, uint32 flags, color_space colorSpace, int32 bytesPerRow)
{
	_Free();
	fInitStatus = B_BAD_VALUE;
	int64 length;
	if (!BitsLayout(bounds, colorSpace, &bytesPerRow, &length))
		return;

	fBitsLength = (int32)length;
	fBits = new uint8[fBitsLength];
	// White is index 255 in B_CMAP8, which B_OP_OVER leaves transparent.
	memset(fBits, (flags & B_BITMAP_CLEAR_TO_WHITE) != 0 ? 0xff : 0, fBitsLength);
	fBytesPerRow = bytesPerRow;
	fColorSpace = colorSpace;
	fBounds = bounds;
	fFlags = flags;
	fInitStatus = B_OK;
}

void
BBitmap::_Free()
{
	delete[] fBits;
	fBits = NULL;
	fBitsLength = 0;
	fBytesPerRow = 0;
	fColorSpace = B_NO_COLOR_SPACE;
}

/*
 * BBitmap: pixels in B_CMAP8, B_RGB32 or B_RGBA32, archived with the platform's field names.
 * Bitmaps that accept views (off-screen drawing) and overlays are not provided: a bitmap
 * cannot be locked and takes no children.
 */
#ifndef _BITMAP_H
#define _BITMAP_H

#include <Archivable.h>
#include <GraphicsDefs.h>
#include <OS.h>
#include <Rect.h>

class BView;

enum {
	B_BITMAP_CLEAR_TO_WHITE = 0x00000001,
	B_BITMAP_ACCEPTS_VIEWS = 0x00000002,
	B_BITMAP_IS_AREA = 0x00000004,
	B_BITMAP_IS_LOCKED = 0x00000008 | B_BITMAP_IS_AREA,
	B_BITMAP_IS_CONTIGUOUS = 0x00000010 | B_BITMAP_IS_LOCKED,
	B_BITMAP_IS_OFFSCREEN = 0x00000020,
	B_BITMAP_WILL_OVERLAY = 0x00000040 | B_BITMAP_IS_OFFSCREEN,
	B_BITMAP_RESERVE_OVERLAY_CHANNEL = 0x00000080
};

#define B_ANY_BYTES_PER_ROW -1

class BBitmap : public BArchivable {
public:
	BBitmap(BRect bounds, uint32 flags, color_space colorSpace,
		int32 bytesPerRow = B_ANY_BYTES_PER_ROW, screen_id screenID = B_MAIN_SCREEN_ID);
	BBitmap(BRect bounds, color_space colorSpace, bool acceptsViews = false,
		bool needsContiguous = false);
	BBitmap(const BBitmap* source, bool acceptsViews = false, bool needsContiguous = false);
	BBitmap(BMessage* data);
	virtual ~BBitmap();

	static BArchivable* Instantiate(BMessage* data);
	virtual status_t Archive(BMessage* data, bool deep = true) const;

	status_t InitCheck() const;
	bool IsValid() const;

	status_t LockBits(uint32* state = NULL);
	void UnlockBits();

	area_id Area() const;
	void* Bits() const;
	int32 BitsLength() const;
	int32 BytesPerRow() const;
	color_space ColorSpace() const;
	BRect Bounds() const;

	// Copies `length` bytes of pixels in `colorSpace` into the bitmap from byte `offset`,
	// converting between B_CMAP8 and the 32-bit spaces.
	void SetBits(const void* data, int32 length, int32 offset, color_space colorSpace);

	status_t GetOverlayRestrictions(overlay_restrictions* restrictions) const;

	virtual void AddChild(BView* view);
	virtual bool RemoveChild(BView* view);
	int32 CountChildren() const;
	BView* ChildAt(int32 index) const;
	BView* FindView(const char* viewName) const;
	BView* FindView(BPoint point) const;
	bool Lock();
	void Unlock();
	bool IsLocked() const;

private:
	BBitmap(const BBitmap&);
	BBitmap& operator=(const BBitmap&);

	void _Init(BRect bounds, uint32 flags, color_space colorSpace, int32 bytesPerRow);
	void _Free();

	uint8* fBits;
	int32 fBitsLength;
	int32 fBytesPerRow;
	color_space fColorSpace;
	BRect fBounds;
	uint32 fFlags;
	status_t fInitStatus;
};

#endif // _BITMAP_H

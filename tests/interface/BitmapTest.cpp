#include <gtest/gtest.h>

#include <string.h>

#include <memory>
#include <vector>

#include <Bitmap.h>
#include <Message.h>

namespace {

void
Append(std::vector<uint8>& bytes, std::initializer_list<uint8> values)
{
	bytes.insert(bytes.end(), values);
}

void
AppendText(std::vector<uint8>& bytes, const char* text)
{
	bytes.insert(bytes.end(), text, text + strlen(text));
}

// The flattened archive of a 16 x 16 B_CMAP8 bitmap, written out field by field.
std::vector<uint8>
ExpectedIconArchive(const uint8* pixels)
{
	std::vector<uint8> bytes;
	Append(bytes, {0x31, 0x42, 0x4f, 0x46, 0x01, 0x00, 0x01, 0x93, 0x93, 0x01, 0x00, 0x00});
	Append(bytes, {0x00, 0x00, 0x00, 0x00, 0x01});
	// "class": single mini string item, 8 bytes padded to 12 after its size.
	Append(bytes, {0x0b, 0x52, 0x54, 0x53, 0x43, 0x10, 0x05});
	AppendText(bytes, "class");
	Append(bytes, {0x08, 0x00, 0x00, 0x00});
	AppendText(bytes, "BBitmap");
	Append(bytes, {0x00, 0x00, 0x00, 0x00, 0x00});
	Append(bytes, {0x0f, 0x54, 0x43, 0x45, 0x52, 0x10, 0x06});
	AppendText(bytes, "_frame");
	Append(bytes, {0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00, 0x70, 0x41, 0x00, 0x00, 0x70, 0x41});
	Append(bytes, {0x0f, 0x47, 0x4e, 0x4f, 0x4c, 0x04, 0x07});
	AppendText(bytes, "_cspace");
	Append(bytes, {0x04, 0x00, 0x00, 0x00});
	Append(bytes, {0x0f, 0x47, 0x4e, 0x4f, 0x4c, 0x04, 0x08});
	AppendText(bytes, "_bmflags");
	Append(bytes, {0x01, 0x00, 0x00, 0x00});
	Append(bytes, {0x0f, 0x47, 0x4e, 0x4f, 0x4c, 0x04, 0x09});
	AppendText(bytes, "_rowbytes");
	Append(bytes, {0x10, 0x00, 0x00, 0x00});
	// "_data" is too long for a one-byte size.
	Append(bytes, {0x0d, 0x54, 0x57, 0x41, 0x52, 0x00, 0x01, 0x00, 0x00, 0x05});
	AppendText(bytes, "_data");
	bytes.insert(bytes.end(), pixels, pixels + 256);
	bytes.push_back(0x00);
	return bytes;
}

std::unique_ptr<BBitmap>
IconWithPattern()
{
	std::unique_ptr<BBitmap> icon(new BBitmap(BRect(0, 0, 15, 15), B_CMAP8));
	uint8* bits = (uint8*)icon->Bits();
	for (int32 i = 0; i < 256; i++)
		bits[i] = (uint8)(i * 7 + 3);
	return icon;
}

TEST(BitmapTest, GeometryFollowsBoundsAndColourSpace)
{
	BBitmap icon(BRect(0, 0, 15, 15), B_CMAP8);
	ASSERT_EQ(B_OK, icon.InitCheck());
	EXPECT_EQ(BRect(0, 0, 15, 15), icon.Bounds());
	EXPECT_EQ(16, icon.BytesPerRow());
	EXPECT_EQ(256, icon.BitsLength());
	EXPECT_EQ(B_CMAP8, icon.ColorSpace());

	// Rows are padded to four bytes.
	BBitmap narrow(BRect(0, 0, 2, 1), B_CMAP8);
	EXPECT_EQ(4, narrow.BytesPerRow());
	EXPECT_EQ(8, narrow.BitsLength());
	BBitmap wide(BRect(0, 0, 2, 1), B_RGB32);
	EXPECT_EQ(12, wide.BytesPerRow());
	BBitmap alpha(BRect(0, 0, 2, 1), B_RGBA32);
	EXPECT_EQ(24, alpha.BitsLength());
	BBitmap padded(BRect(0, 0, 2, 1), 0, B_CMAP8, 32);
	EXPECT_EQ(32, padded.BytesPerRow());
	EXPECT_EQ(64, padded.BitsLength());
}

TEST(BitmapTest, UnusableParametersFailInitCheck)
{
	BBitmap invalid(BRect(), B_CMAP8);
	EXPECT_NE(B_OK, invalid.InitCheck());
	EXPECT_EQ(nullptr, invalid.Bits());
	BBitmap unsupported(BRect(0, 0, 3, 3), B_RGB15);
	EXPECT_NE(B_OK, unsupported.InitCheck());
	BBitmap tooNarrow(BRect(0, 0, 15, 0), 0, B_RGB32, 8);
	EXPECT_NE(B_OK, tooNarrow.InitCheck());
	BMessage archive;
	EXPECT_NE(B_OK, invalid.Archive(&archive));
}

TEST(BitmapTest, SixteenPixelPaletteArchiveFlattensToThePlatformBytes)
{
	std::unique_ptr<BBitmap> icon = IconWithPattern();
	BMessage archive;
	ASSERT_EQ(B_OK, icon->Archive(&archive));
	ASSERT_EQ(403, archive.FlattenedSize());
	std::vector<uint8> flat(403);
	ASSERT_EQ(B_OK, archive.Flatten((char*)flat.data(), flat.size()));
	std::vector<uint8> expected = ExpectedIconArchive((const uint8*)icon->Bits());
	ASSERT_EQ(403u, expected.size());
	EXPECT_EQ(expected, flat);
	EXPECT_EQ(3, flat[146]);
}

TEST(BitmapTest, ArchiveRoundTripRebuildsTheBitmap)
{
	std::unique_ptr<BBitmap> icon = IconWithPattern();
	BMessage archive;
	ASSERT_EQ(B_OK, icon->Archive(&archive));
	std::vector<char> flat(archive.FlattenedSize());
	ASSERT_EQ(B_OK, archive.Flatten(flat.data(), flat.size()));
	BMessage restored;
	ASSERT_EQ(B_OK, restored.Unflatten(flat.data()));

	std::unique_ptr<BArchivable> object(BBitmap::Instantiate(&restored));
	BBitmap* copy = dynamic_cast<BBitmap*>(object.get());
	ASSERT_NE(nullptr, copy);
	ASSERT_EQ(B_OK, copy->InitCheck());
	EXPECT_EQ(BRect(0, 0, 15, 15), copy->Bounds());
	EXPECT_EQ(B_CMAP8, copy->ColorSpace());
	EXPECT_EQ(16, copy->BytesPerRow());
	ASSERT_EQ(256, copy->BitsLength());
	EXPECT_EQ(0, memcmp(icon->Bits(), copy->Bits(), 256));
	EXPECT_NE(icon->Bits(), copy->Bits());
}

TEST(BitmapTest, ArchivesWithoutFrameOrSpaceGiveNoBitmap)
{
	BMessage noFrame;
	noFrame.AddString("class", "BBitmap");
	noFrame.AddInt32("_cspace", B_CMAP8);
	EXPECT_EQ(B_NO_INIT, BBitmap(&noFrame).InitCheck());

	BMessage noSpace;
	noSpace.AddString("class", "BBitmap");
	noSpace.AddRect("_frame", BRect(0, 0, 15, 15));
	EXPECT_EQ(B_NO_INIT, BBitmap(&noSpace).InitCheck());

	BMessage badSpace(noSpace);
	badSpace.AddInt32("_cspace", 0x7777);
	EXPECT_NE(B_OK, BBitmap(&badSpace).InitCheck());

	BMessage badFrame;
	badFrame.AddString("class", "BBitmap");
	badFrame.AddRect("_frame", BRect(0, 0, -5, 15));
	badFrame.AddInt32("_cspace", B_CMAP8);
	EXPECT_NE(B_OK, BBitmap(&badFrame).InitCheck());
}

TEST(BitmapTest, PixelDataOfTheWrongLengthIsIgnored)
{
	uint8 pixels[255];
	memset(pixels, 42, sizeof(pixels));
	BMessage archive;
	archive.AddString("class", "BBitmap");
	archive.AddRect("_frame", BRect(0, 0, 15, 15));
	archive.AddInt32("_cspace", B_CMAP8);
	archive.AddInt32("_bmflags", B_BITMAP_CLEAR_TO_WHITE);
	archive.AddData("_data", B_RAW_TYPE, pixels, sizeof(pixels));
	BBitmap bitmap(&archive);
	ASSERT_EQ(B_OK, bitmap.InitCheck());
	EXPECT_EQ(B_TRANSPARENT_MAGIC_CMAP8, ((uint8*)bitmap.Bits())[0]);
}

TEST(BitmapTest, AnArchiveAsksForNoMoreMemoryThanItBrings)
{
	uint8 pixels[16];
	BMessage archive;
	archive.AddString("class", "BBitmap");
	archive.AddRect("_frame", BRect(0, 0, 19999, 19999));
	archive.AddInt32("_cspace", B_RGB32);
	archive.AddData("_data", B_RAW_TYPE, pixels, sizeof(pixels));
	EXPECT_EQ(B_BAD_VALUE, BBitmap(&archive).InitCheck());
	// Nor through a row length whose product with the height does not fit.
	archive.ReplaceRect("_frame", BRect(0, 0, 15, 15));
	archive.AddInt32("_rowbytes", 0x7fffffff);
	EXPECT_EQ(B_BAD_VALUE, BBitmap(&archive).InitCheck());
}

TEST(BitmapTest, OlderArchivesComputeTheirRowLength)
{
	uint8 pixels[4 * 2 * 4];
	memset(pixels, 0x11, sizeof(pixels));
	BMessage archive;
	archive.AddString("class", "BBitmap");
	archive.AddRect("_frame", BRect(0, 0, 3, 1));
	archive.AddInt32("_cspace", B_RGB32);
	archive.AddBool("_view_ok", false);
	archive.AddData("_data", B_RAW_TYPE, pixels, sizeof(pixels));
	BBitmap bitmap(&archive);
	ASSERT_EQ(B_OK, bitmap.InitCheck());
	EXPECT_EQ(16, bitmap.BytesPerRow());
	EXPECT_EQ(0, memcmp(pixels, bitmap.Bits(), sizeof(pixels)));
}

TEST(BitmapTest, InstantiateRefusesOtherClasses)
{
	BMessage archive;
	archive.AddString("class", "BView");
	archive.AddRect("_frame", BRect(0, 0, 15, 15));
	archive.AddInt32("_cspace", B_CMAP8);
	EXPECT_EQ(nullptr, BBitmap::Instantiate(&archive));
}

TEST(BitmapTest, SetBitsConvertsBetweenPaletteAndTrueColour)
{
	// White, the transparent magic, pure red: in B_RGB32 memory order.
	const uint8 trueColour[] = {255, 255, 255, 255, 0x77, 0x74, 0x77, 0, 0, 0, 255, 255};
	BBitmap palette(BRect(0, 0, 2, 0), B_CMAP8);
	palette.SetBits(trueColour, sizeof(trueColour), 0, B_RGB32);
	const uint8* indices = (const uint8*)palette.Bits();
	EXPECT_EQ(63, indices[0]);
	EXPECT_EQ(B_TRANSPARENT_MAGIC_CMAP8, indices[1]);
	EXPECT_EQ(42, indices[2]);

	const uint8 paletteBits[] = {42, 255, 0};
	BBitmap converted(BRect(0, 0, 2, 0), B_RGB32);
	converted.SetBits(paletteBits, sizeof(paletteBits), 0, B_CMAP8);
	const uint8* pixels = (const uint8*)converted.Bits();
	const uint8 expected[] = {0, 0, 255, 255, 0x77, 0x74, 0x77, 0, 0, 0, 0, 255};
	EXPECT_EQ(0, memcmp(expected, pixels, sizeof(expected)));

	// Same space: a plain copy from the offset on, never past the end.
	const uint8 plain[] = {1, 2, 3, 4, 5, 6};
	palette.SetBits(plain, sizeof(plain), 1, B_CMAP8);
	EXPECT_EQ(63, indices[0]);
	EXPECT_EQ(1, indices[1]);
	EXPECT_EQ(3, indices[3]);
}

TEST(BitmapTest, CopyConstructorDuplicatesThePixels)
{
	std::unique_ptr<BBitmap> icon = IconWithPattern();
	BBitmap copy(icon.get());
	ASSERT_EQ(B_OK, copy.InitCheck());
	EXPECT_EQ(0, memcmp(icon->Bits(), copy.Bits(), 256));
	((uint8*)icon->Bits())[0] = 0;
	EXPECT_EQ(3, ((uint8*)copy.Bits())[0]);
}

} // namespace

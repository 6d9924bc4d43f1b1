#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include <Bitmap.h>
#include <File.h>
#include <Message.h>
#include <Resources.h>

#include "CPreferences.h"
#include "TemporaryHome.h"
#include "ZorveReplicant.h"

namespace {

// The product's own loader: the recorded application path, that file's resources, the
// archive, and the bitmap rebuilt from it. NULL on any failure.
BBitmap*
LoadStatusBitmap(const char* name, type_code type)
{
	ZorveReplicant replicant;
	return replicant.GetBitmap(name, type);
}

void
RecordApplicationPath(const char* path)
{
	CPreferences preferences;
	ASSERT_EQ(preferences.SetDefault(), B_OK);
	preferences.fApplicationPath = path;
	ASSERT_EQ(preferences.Save(), B_OK);
}

} // namespace

TEST(BitmapLoadingTest, EveryStatusPictureLoadsFromTheRecordedApplication)
{
	TemporaryHome home;
	RecordApplicationPath(ZORVE_EXECUTABLE);

	BFile file(ZORVE_EXECUTABLE, B_READ_ONLY);
	BResources resources(&file);
	for (const char* name :
		{"ZRV:Normal", "ZRV:Pending1", "ZRV:Pending2", "ZRV:Pending3", "ZRV:Error"}) {
		SCOPED_TRACE(name);
		BBitmap* bitmap = LoadStatusBitmap(name, 'BBMP');
		ASSERT_NE(bitmap, nullptr);
		EXPECT_EQ(bitmap->Bounds(), BRect(0, 0, 15, 15));
		EXPECT_EQ(bitmap->ColorSpace(), B_CMAP8);
		ASSERT_EQ(bitmap->BitsLength(), 256);

		// The bitmap holds the archive's pixels in a copy of its own.
		size_t size = 0;
		const void* archive = resources.LoadResource('BBMP', name, &size);
		ASSERT_EQ(size, 403u);
		const uint8* pixels = static_cast<const uint8*>(archive) + 146;
		EXPECT_EQ(memcmp(bitmap->Bits(), pixels, 256), 0);
		EXPECT_NE(bitmap->Bits(), (const void*)pixels);
		delete bitmap;
	}
}

TEST(BitmapLoadingTest, EveryBrokenLinkYieldsNoBitmap)
{
	TemporaryHome home;
	EXPECT_EQ(LoadStatusBitmap("ZRV:Normal", 'BBMP'), nullptr) << "no preferences file";

	RecordApplicationPath(ZORVE_EXECUTABLE);
	EXPECT_EQ(LoadStatusBitmap("ZRV:Pending4", 'BBMP'), nullptr) << "no such picture";
	EXPECT_EQ(LoadStatusBitmap("ZRV:Normal", 'ICON'), nullptr) << "right name, wrong type";
	EXPECT_EQ(LoadStatusBitmap("BEOS:L:STD_ICON", 'ICON'), nullptr) << "bytes, but no message";

	// An archive the bitmap cannot be built from.
	std::string path = home.Path() + "/moved";
	{
		BFile created(path.c_str(), B_READ_WRITE | B_CREATE_FILE);
		BResources resources(&created);
		BMessage archive;
		archive.AddString("class", "BBitmap");
		archive.AddInt32("_cspace", B_CMAP8);
		ssize_t size = archive.FlattenedSize();
		std::string bytes(size, '\0');
		ASSERT_EQ(archive.Flatten(&bytes[0], size), B_OK);
		ASSERT_EQ(resources.AddResource('BBMP', 1, bytes.data(), bytes.size(), "ZRV:Normal"), B_OK);
	}
	RecordApplicationPath(path.c_str());
	EXPECT_EQ(LoadStatusBitmap("ZRV:Normal", 'BBMP'), nullptr) << "archive without a frame";

	RecordApplicationPath((home.Path() + "/gone").c_str());
	EXPECT_EQ(LoadStatusBitmap("ZRV:Normal", 'BBMP'), nullptr) << "application moved away";
	RecordApplicationPath("");
	EXPECT_EQ(LoadStatusBitmap("ZRV:Normal", 'BBMP'), nullptr) << "no path recorded";
}

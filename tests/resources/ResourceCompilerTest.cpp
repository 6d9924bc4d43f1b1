#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include <AppFileInfo.h>
#include <DataIO.h>
#include <File.h>
#include <Message.h>
#include <Resources.h>

#include "ChildProcess.h"
#include "ResourceTestFiles.h"
#include "TemporaryHome.h"

namespace {

// Runs zorve-rc with the arguments; its exit status, or -1 when it did not end within thirty
// seconds.
int
RunCompiler(const std::vector<std::string>& arguments)
{
	std::vector<std::string> command = {ZORVE_RC};
	command.insert(command.end(), arguments.begin(), arguments.end());
	return ChildProcess(command).Wait(30000000);
}

void
WriteText(const std::string& path, const std::string& text)
{
	WriteBytes(path, Bytes(text.begin(), text.end()));
}

const char* const kPicture
	= "# two rows of three\n"
	  "size 3 2\n"
	  "color . 255 transparent\n"
	  "color k 0 black\n"
	  "pixels\n"
	  "k.k\n"
	  ".k.\n";

} // namespace

TEST(ResourceCompilerTest, CompilesEveryKindOfResourceIntoAResourceFile)
{
	TemporaryHome home;
	const std::string folder = home.Path();
	WriteText(folder + "/small.picture", kPicture);
	WriteText(folder + "/test.resources",
		"# every kind\n"
		"LONG 7 \"answer\" int32 0x2A\n"
		"CSTR 8 \"quoted \\\"words\\\"\" string \"two words\"  # a comment\n"
		"APPV 1 \"BEOS:APP_VERSION\" version 1.2.3 beta 7 \"short\" \"long one\"\n"
		"MSGG 1 \"empty\" message\n"
		"BBMP -3 \"small\" bitmap small.picture\n"
		"ICON 101 \"\" pixels small.picture\n");
	const std::string target = folder + "/out.rsrc";
	const std::string preview = folder + "/preview.png";
	ASSERT_EQ(RunCompiler({"--preview", preview, folder + "/test.resources", target}), 0);

	Bytes png = ReadBytes(preview);
	ASSERT_GT(png.size(), 8u);
	EXPECT_EQ(memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0);
	Bytes file = ReadBytes(target);
	ASSERT_GT(file.size(), 4u);
	EXPECT_EQ(memcmp(file.data(), "RS\0\0", 4), 0);

	BFile opened(target.c_str(), B_READ_ONLY);
	BResources resources(&opened);
	ASSERT_EQ(resources.InitCheck(), B_OK);
	size_t size = 0;
	const void* data = resources.LoadResource('LONG', 7, &size);
	ASSERT_EQ(size, 4u);
	EXPECT_EQ(memcmp(data, "\x2A\0\0\0", 4), 0);
	data = resources.LoadResource('CSTR', "quoted \"words\"", &size);
	ASSERT_NE(data, nullptr);
	EXPECT_EQ(std::string(static_cast<const char*>(data), size), std::string("two words", 10));
	data = resources.LoadResource('MSGG', "empty", &size);
	EXPECT_EQ(size, 18u);

	BAppFileInfo info(&opened);
	version_info version;
	ASSERT_EQ(info.GetVersionInfo(&version, B_APP_VERSION_KIND), B_OK);
	EXPECT_EQ(version.major * 100 + version.middle * 10 + version.minor, 123u);
	EXPECT_EQ(version.variety, (uint32)B_BETA_VERSION);
	EXPECT_EQ(version.internal, 7u);
	EXPECT_STREQ(version.short_info, "short");
	EXPECT_STREQ(version.long_info, "long one");

	const uint8 pixels[6] = {0, 255, 0, 255, 0, 255};
	data = resources.LoadResource('ICON', 101, &size);
	ASSERT_EQ(size, 6u);
	EXPECT_EQ(memcmp(data, pixels, 6), 0);

	// A bitmap's rows are padded to four bytes.
	data = resources.LoadResource('BBMP', -3, &size);
	ASSERT_NE(data, nullptr);
	BMemoryIO io(data, size);
	BMessage archive;
	ASSERT_EQ(archive.Unflatten(&io), B_OK);
	int32 rowBytes = 0;
	EXPECT_EQ(archive.FindInt32("_rowbytes", &rowBytes), B_OK);
	EXPECT_EQ(rowBytes, 4);
	const void* bits = NULL;
	ssize_t length = 0;
	ASSERT_EQ(archive.FindData("_data", B_RAW_TYPE, &bits, &length), B_OK);
	ASSERT_EQ(length, 8);
	EXPECT_EQ(memcmp(bits, "\x00\xFF\x00\x00\xFF\x00\xFF\x00", 8), 0);
}

TEST(ResourceCompilerTest, RefusesFaultyDefinitionsAndLeavesTheTargetAlone)
{
	TemporaryHome home;
	const std::string folder = home.Path();
	const std::string target = folder + "/kept.rsrc";
	WriteBytes(target, ReadBytes(std::string(ZORVE_TEST_DATA) + "/x86-resources.rsrc"));
	const Bytes original = ReadBytes(target);

	struct Fault {
		const char* what;
		std::string definition;
		const char* picture;
	};
	const Fault faults[] = {
		{"unknown kind", "LONG 1 \"a\" float 1.5\n", kPicture},
		{"type code of three characters", "LNG 1 \"a\" int32 1\n", kPicture},
		{"unquoted name", "LONG 1 a int32 1\n", kPicture},
		{"unterminated quotation", "CSTR 1 \"a\" string \"open\n", kPicture},
		{"value out of range", "LONG 1 \"a\" int32 0x100000000\n", kPicture},
		{"type and id twice", "LONG 1 \"a\" int32 1\nLONG 1 \"b\" int32 2\n", kPicture},
		{"unknown variety", "APPV 1 \"v\" version 1.0.0 omega 0 \"\" \"\"\n", kPicture},
		{"short description too long",
			"APPV 1 \"v\" version 1.0.0 final 0 \"" + std::string(64, 'x') + "\" \"\"\n", kPicture},
		{"missing picture", "ICON 1 \"i\" pixels absent.picture\n", kPicture},
		{"character outside the legend", "ICON 1 \"i\" pixels p.picture\n",
			"size 2 1\ncolor . 255\npixels\n.x\n"},
		{"row too wide", "ICON 1 \"i\" pixels p.picture\n", "size 2 1\ncolor . 255\npixels\n...\n"},
		{"rows missing", "ICON 1 \"i\" pixels p.picture\n", "size 2 2\ncolor . 255\npixels\n..\n"},
		{"legend character twice", "ICON 1 \"i\" pixels p.picture\n",
			"size 1 1\ncolor . 255\ncolor . 0\npixels\n.\n"},
		{"palette index too large", "ICON 1 \"i\" pixels p.picture\n",
			"size 1 1\ncolor . 256\npixels\n.\n"},
	};
	for (const Fault& fault : faults) {
		SCOPED_TRACE(fault.what);
		WriteText(folder + "/p.picture", fault.picture);
		WriteText(folder + "/bad.resources", fault.definition);
		EXPECT_EQ(RunCompiler({folder + "/bad.resources", target}), 1);
		EXPECT_EQ(ReadBytes(target), original);
	}
	EXPECT_EQ(RunCompiler({folder + "/bad.resources"}), 2) << "nothing to do";
}

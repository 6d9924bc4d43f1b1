#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <FindDirectory.h>
#include <Path.h>

#include "TemporaryHome.h"

TEST(StorageTest, SettingsDirectoryFollowsTheConfigurationDirectory)
{
	TemporaryHome home;
	BPath path;
	ASSERT_EQ(find_directory(B_USER_SETTINGS_DIRECTORY, &path), B_OK);
	EXPECT_EQ(std::string(path.Path()), home.SettingsPath());

	// A relative XDG_CONFIG_HOME is ignored in favour of $HOME/.config.
	setenv("XDG_CONFIG_HOME", "relative/config", 1);
	ASSERT_EQ(find_directory(B_USER_SETTINGS_DIRECTORY, &path), B_OK);
	EXPECT_EQ(std::string(path.Path()), home.Path() + "/.config");

	setenv("XDG_CONFIG_HOME", (home.Path() + "/elsewhere/deep").c_str(), 1);
	ASSERT_EQ(find_directory(B_USER_SETTINGS_DIRECTORY, &path, true), B_OK);
	struct stat st;
	EXPECT_EQ(stat(path.Path(), &st), 0);

	char buffer[8];
	EXPECT_EQ(find_directory(B_USER_SETTINGS_DIRECTORY, -1, false, buffer, sizeof(buffer)),
		B_BUFFER_OVERFLOW);
	EXPECT_EQ(find_directory(B_BEOS_FONTS_DIRECTORY, &path), B_ENTRY_NOT_FOUND);
}

TEST(StorageTest, OpenModesAreTranslatedNotAliased)
{
	TemporaryHome home;
	std::string name = home.Path() + "/file";

	BFile missing(name.c_str(), B_READ_ONLY);
	EXPECT_EQ(missing.InitCheck(), B_ENTRY_NOT_FOUND);

	BFile created(name.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
	ASSERT_EQ(created.InitCheck(), B_OK);
	EXPECT_EQ(created.Write("hello world", 11), 11);
	EXPECT_EQ(created.Read((void*)name.data(), 1), B_FILE_ERROR);
	created.Unset();

	BFile again(name.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_FAIL_IF_EXISTS);
	EXPECT_EQ(again.InitCheck(), B_FILE_EXISTS);

	BFile erased(name.c_str(), B_READ_WRITE | B_ERASE_FILE);
	ASSERT_EQ(erased.InitCheck(), B_OK);
	off_t size = -1;
	EXPECT_EQ(erased.GetSize(&size), B_OK);
	EXPECT_EQ(size, 0);

	EXPECT_EQ(erased.WriteAt(4, "ab", 2), 2);
	EXPECT_EQ(erased.Seek(0, SEEK_END), 6);
	EXPECT_EQ(erased.Write("c", 1), 1);
	EXPECT_EQ(erased.Position(), 7);
	char buffer[8] = {};
	EXPECT_EQ(erased.ReadAt(4, buffer, sizeof(buffer)), 3);
	EXPECT_STREQ(buffer, "abc");
	EXPECT_EQ(erased.SetSize(2), B_OK);
	EXPECT_EQ(erased.GetSize(&size), B_OK);
	EXPECT_EQ(size, 2);

	BFile appended(name.c_str(), B_WRITE_ONLY | B_OPEN_AT_END);
	EXPECT_EQ(appended.Write("zz", 2), 2);
	EXPECT_EQ(appended.GetSize(&size), B_OK);
	EXPECT_EQ(size, 4);

	BFile folder(home.Path().c_str(), B_READ_ONLY);
	EXPECT_EQ(folder.InitCheck(), B_IS_A_DIRECTORY);
}

TEST(StorageTest, PathsAreAbsoluteAndNormalised)
{
	BPath path("/a/./b//c/../d", "leaf");
	ASSERT_EQ(path.InitCheck(), B_OK);
	EXPECT_STREQ(path.Path(), "/a/b/d/leaf");
	EXPECT_STREQ(path.Leaf(), "leaf");
	BPath parent;
	ASSERT_EQ(path.GetParent(&parent), B_OK);
	EXPECT_STREQ(parent.Path(), "/a/b/d");
	EXPECT_EQ(path.Append("x/y"), B_OK);
	EXPECT_STREQ(path.Path(), "/a/b/d/leaf/x/y");
	EXPECT_EQ(BPath("/a", "/absolute").InitCheck(), B_BAD_VALUE);
	EXPECT_EQ(BPath().Path(), nullptr);
	EXPECT_EQ(BPath().InitCheck(), B_NO_INIT);
}

TEST(StorageTest, EntryRefsLeadBackToTheirPath)
{
	TemporaryHome home;
	std::string name = home.Path() + "/program";
	home.WriteFile(name, "x");

	entry_ref ref;
	ASSERT_EQ(get_ref_for_path(name.c_str(), &ref), B_OK);
	EXPECT_STREQ(ref.name, "program");
	struct stat st;
	stat(home.Path().c_str(), &st);
	EXPECT_EQ(ref.directory, st.st_ino);

	entry_ref copy = ref;
	EXPECT_TRUE(copy == ref);
	BPath path(&copy);
	EXPECT_EQ(std::string(path.Path()), name);

	BEntry entry(&ref);
	ASSERT_EQ(entry.InitCheck(), B_OK);
	EXPECT_TRUE(entry.Exists());
	EXPECT_TRUE(entry.IsFile());
	ASSERT_EQ(entry.Rename("renamed"), B_OK);
	EXPECT_EQ(access((home.Path() + "/renamed").c_str(), F_OK), 0);
	ASSERT_EQ(entry.Remove(), B_OK);
	EXPECT_FALSE(entry.Exists());

	entry_ref unset;
	EXPECT_NE(BPath(&unset).InitCheck(), B_OK);
	EXPECT_EQ(get_ref_for_path("/no/such/folder/file", &ref), B_ENTRY_NOT_FOUND);
}

TEST(StorageTest, CreateDirectoryMakesEveryLevel)
{
	TemporaryHome home;
	std::string deep = home.Path() + "/one/two/three";
	EXPECT_EQ(create_directory(deep.c_str(), 0755), B_OK);
	EXPECT_EQ(create_directory(deep.c_str(), 0755), B_OK);
	BDirectory directory(deep.c_str());
	ASSERT_EQ(directory.InitCheck(), B_OK);
	BFile file;
	EXPECT_EQ(directory.CreateFile("inner", &file), B_OK);
	EXPECT_TRUE(directory.Contains("inner", B_FILE_NODE));
	EXPECT_FALSE(directory.Contains("inner", B_DIRECTORY_NODE));

	home.WriteFile(home.Path() + "/plain", "");
	EXPECT_EQ(create_directory((home.Path() + "/plain/below").c_str(), 0755), B_NOT_A_DIRECTORY);
}

/*
 * What `make install` puts where: every file in its place, every image naming libbe by its
 * place beside itself, every kit module that libbe loads, valid desktop entries naming the
 * installed programs, the icon at the theme's sizes.
 */
#include <gtest/gtest.h>

#include <glob.h>
#include <stdio.h>
#include <string.h>

#include <set>
#include <sstream>
#include <string>

#include "DeskbarTesting.h"
#include "Installation.h"
#include "TemporaryHome.h"

namespace {

const int kIconSizes[] = {16, 32, 48, 64, 128};

// The library names an image records: what it needs and what it is.
std::string
LibraryNames(const std::string& image)
{
	int status = -1;
	return RunCommand("readelf -d '" + image + "' | grep -E 'NEEDED|SONAME'", &status);
}

// The value of `key` in a desktop entry's file.
std::string
EntryValue(const std::string& entry, const std::string& key)
{
	std::istringstream lines(entry);
	for (std::string line; std::getline(lines, line);) {
		if (line.compare(0, key.size() + 1, key + "=") == 0)
			return line.substr(key.size() + 1);
	}
	return "";
}

// Width, height and colour type from a PNG file's header; false when it is none.
bool
PngHeader(const std::string& path, int* width, int* height, int* colourType)
{
	unsigned char header[26];
	FILE* file = fopen(path.c_str(), "rb");
	bool read = file != NULL && fread(header, 1, sizeof(header), file) == sizeof(header);
	if (file != NULL)
		fclose(file);
	if (!read || memcmp(header, "\x89PNG", 4) != 0 || memcmp(header + 12, "IHDR", 4) != 0)
		return false;
	*width = header[16] << 24 | header[17] << 16 | header[18] << 8 | header[19];
	*height = header[20] << 24 | header[21] << 16 | header[22] << 8 | header[23];
	*colourType = header[25];
	return true;
}

} // namespace

TEST(InstallLayoutTest, EveryFileGoesInPlaceAndEveryImageFindsLibbeBesideItsOwnPlace)
{
	TemporaryHome home;
	Installation installed("/usr/local");
	ASSERT_TRUE(installed.Succeeded());

	std::set<std::string> expected = {"usr/local/bin/Zorve", "usr/local/bin/deskbar-ctl",
		"usr/local/bin/zorve-prefs", "usr/local/lib/zorve/libbe.so", "usr/local/lib/zorve/Deskbar",
		"usr/local/share/applications/zorve.desktop", "etc/xdg/autostart/zorve-deskbar.desktop"};
	for (int size : kIconSizes) {
		expected.insert("usr/local/share/icons/hicolor/" + std::to_string(size) + "x"
			+ std::to_string(size) + "/apps/zorve.png");
	}
	// Every module libbe loads from beside itself in the build goes with it.
	glob_t modules;
	ASSERT_EQ(0, glob(KIT_DIR "/libbe_*.so", 0, NULL, &modules));
	for (size_t i = 0; i < modules.gl_pathc; i++) {
		std::string module = modules.gl_pathv[i];
		expected.insert("usr/local/lib/zorve/" + module.substr(module.rfind('/') + 1));
	}
	globfree(&modules);
	EXPECT_EQ(expected, installed.Files());

	for (const std::string& file : expected) {
		if (file.find("/bin/") == std::string::npos && file.find(".so") == std::string::npos
			&& file.find("/Deskbar") == std::string::npos) {
			continue;
		}
		std::string names = LibraryNames(installed.Path("/" + file));
		EXPECT_EQ(std::string::npos, names.find(BUILD_DIR)) << file << ":\n" << names;
		size_t libbe = names.find("libbe.so]");
		if (libbe == std::string::npos)
			continue;
		std::string beside = file.find("/bin/") != std::string::npos
			? "[$ORIGIN/../lib/zorve/libbe.so]"
			: "[$ORIGIN/libbe.so]";
		EXPECT_NE(std::string::npos, names.find(beside)) << file << ":\n" << names;
	}
}

TEST(InstallLayoutTest, TheDesktopEntriesAreValidAndNameTheInstalledProgramsAndIcon)
{
	TemporaryHome home;
	Installation installed("/usr/local");
	ASSERT_TRUE(installed.Succeeded());
	std::string application = installed.Path("/usr/local/share/applications/zorve.desktop");
	std::string login = installed.Path("/etc/xdg/autostart/zorve-deskbar.desktop");
	int status = -1;
	std::string complaints = RunCommand("desktop-file-validate '" + application + "' '" + login
			+ "' 2>&1",
		&status);
	EXPECT_EQ(0, status) << complaints;
	EXPECT_EQ("", complaints);

	std::string entry = home.ReadFile(application);
	EXPECT_EQ("/usr/local/bin/Zorve", EntryValue(entry, "Exec"));
	EXPECT_EQ("Network;", EntryValue(entry, "Categories"));
	EXPECT_EQ("zorve", EntryValue(entry, "Icon"));
	EXPECT_EQ("/usr/local/lib/zorve/Deskbar", EntryValue(home.ReadFile(login), "Exec"));

	// The executable's own icons, enlarged to each size, keeping their transparency.
	for (int size : kIconSizes) {
		std::string name = std::to_string(size) + "x" + std::to_string(size);
		int width = 0;
		int height = 0;
		int colourType = 0;
		ASSERT_TRUE(
			PngHeader(installed.Path("/usr/local/share/icons/hicolor/" + name + "/apps/zorve.png"),
				&width, &height, &colourType))
			<< name;
		EXPECT_EQ(size, width);
		EXPECT_EQ(size, height);
		EXPECT_EQ(6, colourType) << name << ": RGBA expected";
	}
}

TEST(InstallLayoutTest, AnInstallIntoTheHomeFolderStartsTheDeskbarFromTheUsersAutostart)
{
	TemporaryHome home;
	std::string prefix = home.Path() + "/.local";
	Installation installed(prefix);
	ASSERT_TRUE(installed.Succeeded());
	std::string login = installed.Path(home.SettingsPath() + "/autostart/zorve-deskbar.desktop");
	EXPECT_EQ(prefix + "/lib/zorve/Deskbar", EntryValue(home.ReadFile(login), "Exec"));
}

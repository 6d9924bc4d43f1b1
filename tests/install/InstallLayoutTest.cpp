/*
 * What `make install` puts where: every file in its place, every image naming libbe by its
 * place beside itself, every kit module that libbe loads, valid desktop entries naming the
 * installed programs, the icon at the theme's sizes.
 */
#include <gtest/gtest.h>

#include <glob.h>
#include <unistd.h>

#include <set>
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
	std::string application = "/usr/local/share/applications/zorve.desktop";
	std::string login = "/etc/xdg/autostart/zorve-deskbar.desktop";
	int status = -1;
	std::string complaints = RunCommand("desktop-file-validate '" + installed.Path(application)
			+ "' '" + installed.Path(login) + "' 2>&1",
		&status);
	EXPECT_EQ(0, status) << complaints;
	EXPECT_EQ("", complaints);
	EXPECT_EQ("/usr/local/bin/Zorve", installed.EntryValue(application, "Exec"));
	EXPECT_EQ("Network;", installed.EntryValue(application, "Categories"));
	EXPECT_EQ("zorve", installed.EntryValue(application, "Icon"));
	EXPECT_EQ("/usr/local/lib/zorve/Deskbar", installed.EntryValue(login, "Exec"));

	// The executable's own icons, enlarged to each size, keeping their transparency.
	for (int size : kIconSizes) {
		std::string side = std::to_string(size);
		std::string icon = installed.Path(
			"/usr/local/share/icons/hicolor/" + side + "x" + side + "/apps/zorve.png");
		EXPECT_NE(std::string::npos,
			RunCommand("file -b '" + icon + "'", &status)
				.find(side + " x " + side + ", 8-bit/color RGBA"))
			<< icon;
	}
}

TEST(InstallLayoutTest, AnInstallIntoTheHomeFolderStartsTheDeskbarFromTheUsersAutostart)
{
	TemporaryHome home;
	std::string prefix = home.Path() + "/.local";
	Installation installed(prefix);
	ASSERT_TRUE(installed.Succeeded());
	std::string login = home.SettingsPath() + "/autostart/zorve-deskbar.desktop";
	EXPECT_EQ(prefix + "/lib/zorve/Deskbar", installed.EntryValue(login, "Exec"));
}

TEST(InstallLayoutTest, UninstallRemovesExactlyWhatTheInstallPut)
{
	TemporaryHome home;
	Installation installed("/usr/local");
	ASSERT_TRUE(installed.Succeeded());
	home.WriteFile(installed.Path("/usr/local/bin/another-program"), "");
	home.WriteFile(installed.Path("/etc/xdg/autostart/another.desktop"), "");
	int status = -1;
	std::string printed = RunCommand("env -u ZORVE_AUTOSTART_DIR DESTDIR='" + installed.Root()
			+ "' '" UNINSTALL "' '" BUILD_DIR "' /usr/local 2>&1",
		&status);
	EXPECT_EQ(0, status) << printed;
	EXPECT_EQ(std::set<std::string>(
				  {"usr/local/bin/another-program", "etc/xdg/autostart/another.desktop"}),
		installed.Files());
	EXPECT_NE(0, access(installed.Path("/usr/local/lib/zorve").c_str(), F_OK));
}

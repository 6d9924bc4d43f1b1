/*
 * make package: the Debian package holds exactly what the install puts under /usr (and the
 * login entry under /etc), and its dependencies are those its images' libraries bring.
 */
#include <gtest/gtest.h>

#include <glob.h>

#include <set>
#include <sstream>
#include <string>

#include "DeskbarTesting.h"
#include "Installation.h"
#include "TemporaryHome.h"

TEST(PackageTest, ThePackageHoldsWhatTheInstallPutsAndDependsOnWhatItsImagesNeed)
{
	TemporaryHome home;
	Installation installed("/usr");
	ASSERT_TRUE(installed.Succeeded());
	std::string folder = home.Path() + "/package";
	int status = -1;
	std::string printed = RunCommand("env -u ZORVE_AUTOSTART_DIR '" CPACK_COMMAND
									 "' --config '" BUILD_DIR "/CPackConfig.cmake' -B '"
			+ folder + "' 2>&1",
		&status);
	ASSERT_EQ(0, status) << printed;
	glob_t found;
	ASSERT_EQ(0, glob((folder + "/zorve_*.deb").c_str(), 0, NULL, &found)) << printed;
	std::string package = found.gl_pathv[0];
	globfree(&found);

	std::set<std::string> contents;
	std::istringstream listing(
		RunCommand("dpkg-deb --fsys-tarfile '" + package + "' | tar -t | grep -v '/$' | cut -c3-",
			&status));
	for (std::string line; std::getline(listing, line);)
		contents.insert(line);
	EXPECT_EQ(installed.Files(), contents);

	std::string depends = RunCommand("dpkg-deb -f '" + package + "' Depends", &status);
	for (const char* library : {"libc6 ", "libstdc++6 ", "libfreetype6 ", "libpng16-16 ",
			 "libx11-6 ", "libssl3 ", "ca-certificates"}) {
		EXPECT_NE(std::string::npos, depends.find(library)) << library << " in " << depends;
	}
	EXPECT_EQ("zorve\n", RunCommand("dpkg-deb -f '" + package + "' Package", &status));
}

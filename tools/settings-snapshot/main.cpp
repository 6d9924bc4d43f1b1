/*
 * settings-snapshot: builds the settings window at its default frame, on a private home with
 * filled-in preferences and an engine whose log holds a few entries, and saves each of its
 * five pages as a PNG file for a person to look at.
 *
 * Usage: settings-snapshot [--scale N] [output-folder]	(default: settings-snapshot)
 * Writes 1-about.png, 2-user.png, 3-server.png, 4-other.png and 5-log.png; with --scale,
 * every pixel becomes an N x N block.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <exception>
#include <filesystem>
#include <memory>
#include <string>

#include <TabView.h>
#include <Window.h>

#include "CPreferences.h"
#include "DynDnsSettingsWin.h"
#include "TemporaryHome.h"
#include "WindowPort.h"
#include "Zorve.h"

namespace {

const BRect kDefaultFrame(50, 50, 311, 240);
const char* const kPageFiles[] = {"1-about", "2-user", "3-server", "4-other", "5-log"};

const char* const kLogEntries[] = {
	"Resolving ip address from checkip.example.org...\n",
	"Your new IpAddress is : 203.0.113.7\n",
	"Update request sent to members.example.org for home.example.org with the address "
	"203.0.113.7, system dyndns, wildcard off\n",
	"Server answer : good 203.0.113.7\n",
	"Resolving ip address from checkip.example.org...\n",
	"Ip address unchanged\n",
	"Resolving ip address from checkip.example.org...\n",
	"Unable to connect to checkip.example.org\n",
};

void
WritePreferences()
{
	CPreferences prefs;
	prefs.SetDefault();
	prefs.fUser = "someone";
	prefs.fPassword = "secret";
	prefs.fHost = "home.example.org";
	prefs.fIpCache = "203.0.113.7";
	prefs.fWildcard = 1;
	prefs.fMx = "mail.example.org";
#ifdef ZORVE_EXECUTABLE
	prefs.fApplicationPath = ZORVE_EXECUTABLE;
#endif
	prefs.Save();
}

} // namespace

int
main(int argc, char** argv)
{
	int32 scale = 1;
	const char* folder = "settings-snapshot";
	for (int i = 1; i < argc; i++) {
		if (strcmp(argv[i], "--scale") == 0 && i + 1 < argc)
			scale = atoi(argv[++i]);
		else if (argv[i][0] == '-') {
			fprintf(stderr, "usage: %s [--scale N] [output-folder]\n", argv[0]);
			return 2;
		} else
			folder = argv[i];
	}
	if (scale < 1 || scale > 32) {
		fprintf(stderr, "the scale must be from 1 to 32\n");
		return 2;
	}
	std::error_code error;
	std::filesystem::create_directories(folder, error);

	// HOME and the settings folder of this run only: nothing of the user's is read or written.
	std::unique_ptr<TemporaryHome> home;
	try {
		home.reset(new TemporaryHome);
	} catch (const std::exception& exception) {
		fprintf(stderr, "%s\n", exception.what());
		return 1;
	}
	WritePreferences();

	Zorve* engine = new Zorve;
	for (const char* entry : kLogEntries)
		engine->Log(entry);

	DynDnsSettingsWin* window = new DynDnsSettingsWin(kDefaultFrame, engine);
	window->Show();
	BPrivate::WindowPort port(window);
	port.Sync();

	int status = 0;
	for (int32 page = 0; page < 5; page++) {
		window->Lock();
		BTabView* tabs = dynamic_cast<BTabView*>(window->FindView("settings-tab"));
		if (tabs != NULL)
			tabs->Select(page);
		window->Unlock();
		port.Sync();
		std::string path = std::string(folder) + "/" + kPageFiles[page] + ".png";
		status_t saved = scale > 1 ? port.SaveAsPNG(path.c_str(), scale)
								   : port.SaveAsPNG(path.c_str());
		if (saved != B_OK) {
			fprintf(stderr, "could not write %s\n", path.c_str());
			status = 1;
		} else
			printf("%s\n", path.c_str());
	}

	window->Lock();
	window->Quit();
	engine->Lock();
	engine->Quit();
	return status;
}

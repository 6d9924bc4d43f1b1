/*
 * bench_tray_idle: the Deskbar host with one item docked in a tray (trayer) on Xvfb: the
 * test item, then Zorve's own icon (against a loopback server).
 * Idle: the host's CPU time over a minute (target under 0.5 s), its wake-ups per second
 * (context switches of all its threads; at most the pulse rate is the aim) and its
 * resident memory. Animating (a new picture every pulse): how long a frame takes from the
 * item's pulse to the screen (target: within one pulse, 500 ms); for Zorve's icon, from the
 * request for a pulse to the new picture on the screen, while the update service stalls.
 * Needs xvfb and trayer.
 * Usage: bench_tray_idle [idle seconds, default 60]
 */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <Message.h>
#include <OS.h>

#include "CPreferences.h"
#include "ChildProcess.h"
#include "DeskbarLink.h"
#include "DeskbarProtocol.h"
#include "LoopbackHttpServer.h"
#include "ProcessFigures.h"
#include "StatusPictures.h"
#include "TemporaryHome.h"
#include "TestDisplay.h"

namespace {

const bigtime_t kPulse = 500000;
const int32 kFrames = 12;

struct ThreadCounts {
	std::string name;
	long switches = 0;
};

std::map<long, ThreadCounts>
Threads(pid_t pid)
{
	std::map<long, ThreadCounts> threads;
	for (const auto& thread : ThreadNames(pid)) {
		std::string status = ProcessStatus(pid, thread.first);
		ThreadCounts counts;
		counts.name = thread.second;
		counts.switches = StatusNumber(status, "voluntary_ctxt_switches")
			+ StatusNumber(status, "nonvoluntary_ctxt_switches");
		threads[thread.first] = counts;
	}
	return threads;
}

bool
Run(const std::string& command)
{
	return system(command.c_str()) == 0;
}

// The host with an item in the tray, put there by `addItem` (a command line); the icon
// window of that name once the tray shows it, or 0.
::Window
StartHost(TestDisplay& display, ChildProcess& host, const std::string& folder,
	const std::string& addItem, const std::string& name)
{
	if (!host.Start({DESKBAR_HOST}, {}, folder + "/deskbar.log"))
		return 0;
	if (!WaitUntil([] { return Run(std::string(DESKBAR_CTL) + " list > /dev/null 2>&1"); }))
		return 0;
	if (!Run(addItem + " > /dev/null"))
		return 0;
	return display.DockedIcon(name);
}

::Window
StartHostWithTestItem(TestDisplay& display, ChildProcess& host, const std::string& folder)
{
	return StartHost(display, host, folder, std::string(DESKBAR_CTL) + " add " + TEST_DESKBAR_ITEM,
		"test_deskbar_item");
}

void
StopHost(ChildProcess& host)
{
	Run(std::string(DESKBAR_CTL) + " quit > /dev/null 2>&1");
	WaitUntil([&host] { return !host.IsRunning(); });
	host.Stop();
}

void
PrintIdle(pid_t pid, int seconds, const char* what)
{
	snooze(2000000);
	double cpuBefore = CpuSeconds(pid);
	std::map<long, ThreadCounts> before = Threads(pid);
	snooze((bigtime_t)seconds * 1000000);
	double cpu = CpuSeconds(pid) - cpuBefore;
	std::map<long, ThreadCounts> after = Threads(pid);
	std::string status = ProcessStatus(pid);

	printf("%s, idle in the tray for %d s (pulse every %.1f s):\n", what, seconds, kPulse / 1e6);
	printf("  CPU time                   %.3f s (target < 0.5 s per minute)\n", cpu);
	long total = 0;
	for (const auto& entry : after) {
		long switches = entry.second.switches;
		auto old = before.find(entry.first);
		if (old != before.end())
			switches -= old->second.switches;
		total += switches;
		printf("  thread %-6ld %-12s %.2f wake-ups/s\n", entry.first, entry.second.name.c_str(),
			(double)switches / seconds);
	}
	printf("  all threads                %.2f wake-ups/s (pulse rate %.1f/s)\n",
		(double)total / seconds, 1e6 / kPulse);
	printf("  resident memory            %ld KiB (peak %ld KiB)\n", StatusNumber(status, "VmRSS"),
		StatusNumber(status, "VmHWM"));
}

void
MeasureIdle(TestDisplay& display, int seconds)
{
	TemporaryHome home;
	ChildProcess host;
	if (StartHostWithTestItem(display, host, home.Path()) == 0) {
		fprintf(stderr, "the item did not dock\n");
		return;
	}
	PrintIdle(host.Pid(), seconds, "the test item");
	StopHost(host);
}

// Prints how long frames took from `start` to the screen: median and worst against one pulse.
void
PrintLatencies(const char* what, const char* note, const char* start,
	std::vector<bigtime_t>& latencies)
{
	if (latencies.empty()) {
		printf("%s: no frame seen on the screen\n", what);
		return;
	}
	std::sort(latencies.begin(), latencies.end());
	printf("%s, %zu frames%s: %s to screen median %.1f ms, worst %.1f ms (target < %.0f ms)\n",
		what, latencies.size(), note, start, latencies[latencies.size() / 2] / 1000.0,
		latencies.back() / 1000.0, kPulse / 1000.0);
}

void
MeasureFrames(TestDisplay& display)
{
	TemporaryHome home;
	std::string log = home.Path() + "/item.log";
	setenv("TEST_ITEM_ANIMATE", "1", 1);
	setenv("TEST_ITEM_LOG", log.c_str(), 1);
	ChildProcess host;
	::Window icon = StartHostWithTestItem(display, host, home.Path());
	unsetenv("TEST_ITEM_ANIMATE");
	unsetenv("TEST_ITEM_LOG");
	if (icon == 0) {
		fprintf(stderr, "the item did not dock\n");
		return;
	}
	// When the icon's centre turned red (even frames) or blue (odd ones).
	Display* connection = display.Connection();
	std::vector<std::pair<bool, bigtime_t>> changes;
	bool wasBlue = false;
	bigtime_t end = system_time() + kFrames * kPulse;
	while (system_time() < end) {
		XImage* image = XGetImage(connection, icon, 8, 8, 1, 1, AllPlanes, ZPixmap);
		if (image != NULL) {
			bool blue = (XGetPixel(image, 0, 0) & 0xff) > 0x80;
			XDestroyImage(image);
			if (blue != wasBlue)
				changes.push_back({blue, system_time()});
			wasBlue = blue;
		}
		snooze(1000);
	}
	StopHost(host);

	std::vector<bigtime_t> latencies;
	std::istringstream lines(TemporaryHome::ReadFile(log));
	std::string line;
	while (std::getline(lines, line)) {
		int frame;
		long long at;
		if (sscanf(line.c_str(), "frame %d at %lld", &frame, &at) != 2)
			continue;
		bool blue = frame % 2 == 1;
		for (const auto& change : changes) {
			if (change.first == blue && change.second >= at) {
				latencies.push_back(change.second - at);
				break;
			}
		}
	}
	PrintLatencies("animating", "", "pulse", latencies);
}

// The picture the icon window shows in its middle, as the screen has it.
StatusPictures::Picture
PictureOnScreen(Display* connection, ::Window icon, const StatusPictures& pictures)
{
	XWindowAttributes attributes;
	if (!XGetWindowAttributes(connection, icon, &attributes))
		return StatusPictures::kUnknown;
	XImage* image = XGetImage(connection, icon, (attributes.width - 16) / 2,
		(attributes.height - 16) / 2, 16, 16, AllPlanes, ZPixmap);
	if (image == NULL)
		return StatusPictures::kUnknown;
	std::vector<uint8> rgba;
	for (int y = 0; y < 16; y++) {
		for (int x = 0; x < 16; x++) {
			unsigned long pixel = XGetPixel(image, x, y);
			rgba.insert(rgba.end(), {(uint8)(pixel >> 16), (uint8)(pixel >> 8), (uint8)pixel, 255});
		}
	}
	XDestroyImage(image);
	return pictures.Match(rgba.data());
}

// Zorve as a user starts it, its preferences pointing at a loopback server whose update
// service stalls: idle first, then animating while a forced update waits.
void
MeasureZorve(TestDisplay& display, int seconds)
{
	TemporaryHome home;
	LoopbackHttpServer server;
	LoopbackHttpServer::Behaviour behaviour;
	behaviour.address = "203.0.113.7";
	behaviour.update.fault = LoopbackHttpServer::kFaultStall;
	server.SetBehaviour(behaviour);
	if (server.Start() != B_OK) {
		fprintf(stderr, "no loopback server\n");
		return;
	}
	CPreferences prefs;
	prefs.SetDefault();
	prefs.fCheckIpServer = "127.0.0.1";
	prefs.fDynDnsServer = "127.0.0.1";
	prefs.fPort = server.Port();
	prefs.fCheckDelay = 3600;
	prefs.fIpCache = behaviour.address.c_str();
	prefs.fTimeOut = 60;
	prefs.Save();

	ChildProcess host;
	::Window icon = StartHost(display, host, home.Path(), ZORVE_PROGRAM, "Zorve");
	if (icon == 0) {
		fprintf(stderr, "Zorve's icon did not dock\n");
		server.Stop();
		StopHost(host);
		return;
	}
	PrintIdle(host.Pid(), seconds, "Zorve's icon");

	// Pulses on request only, each answered once it has been handled and drawn.
	std::string ctl = DESKBAR_CTL;
	StatusPictures pictures;
	if (pictures.InitCheck() != B_OK
		|| !Run(ctl + " pulse-rate 0 && " + ctl + " click 9 9 > /dev/null && " + ctl
			+ " wait-shown Options > /dev/null && " + ctl + " choose 'Force Update'")
		|| !server.WaitForRequests(1, 10000000)) {
		fprintf(stderr, "no forced update\n");
		server.Stop();
		StopHost(host);
		return;
	}
	Display* connection = display.Connection();
	BMessage pulse(BPrivate::kMsgDeskbarPulse);
	BMessage reply;
	// The first pulse of the animation shows its first frame, the normal picture.
	BPrivate::DeskbarLink::Exchange(pulse, &reply, false);
	snooze(100000);
	std::vector<bigtime_t> latencies;
	int32 missed = 0;
	for (int32 frame = 0; frame < kFrames; frame++) {
		StatusPictures::Picture before = PictureOnScreen(connection, icon, pictures);
		bigtime_t start = system_time();
		BPrivate::DeskbarLink::Exchange(pulse, &reply, false);
		if (WaitUntil([&] { return PictureOnScreen(connection, icon, pictures) != before; },
				kPulse * 4)) {
			latencies.push_back(system_time() - start);
		} else
			missed++;
	}
	server.Stop();
	StopHost(host);
	std::string missedNote = " (" + std::to_string(missed) + " missed)";
	PrintLatencies("Zorve's icon animating", missedNote.c_str(), "pulse request", latencies);
}

} // namespace

int
main(int argc, char** argv)
{
	int seconds = argc > 1 ? atoi(argv[1]) : 60;
	if (seconds <= 0)
		seconds = 60;
	TestDisplay display;
	if (!display.Start() || !display.StartTray()) {
		fprintf(stderr, "bench_tray_idle: no display or tray: %s\n", display.Failure().c_str());
		return 1;
	}
	setenv("DISPLAY", display.Name().c_str(), 1);
	MeasureIdle(display, seconds);
	MeasureFrames(display);
	MeasureZorve(display, seconds);
	return 0;
}

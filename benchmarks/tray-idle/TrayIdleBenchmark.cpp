/*
 * bench_tray_idle: the Deskbar host with one item docked in a tray (trayer) on Xvfb.
 * Idle: the host's CPU time over a minute (target under 0.5 s), its wake-ups per second
 * (context switches of all its threads; at most the pulse rate is the aim) and its
 * resident memory. Animating (a new picture every pulse): how long a frame takes from the
 * item's pulse to the screen (target: within one pulse, 500 ms). Needs xvfb and trayer.
 * Usage: bench_tray_idle [idle seconds, default 60]
 */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <OS.h>

#include "ChildProcess.h"
#include "TemporaryHome.h"
#include "TestDisplay.h"

namespace {

const bigtime_t kPulse = 500000;
const int32 kFrames = 12;

struct ThreadCounts {
	std::string name;
	long switches = 0;
};

std::string
ReadFile(const std::string& path)
{
	std::ifstream file(path);
	std::stringstream text;
	text << file.rdbuf();
	return text.str();
}

long
Field(const std::string& status, const std::string& name)
{
	size_t at = status.find(name + ":");
	return at == std::string::npos ? 0 : atol(status.c_str() + at + name.size() + 1);
}

// Utime plus stime, in seconds.
double
CpuSeconds(pid_t pid)
{
	std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
	size_t close = stat.rfind(')');
	if (close == std::string::npos)
		return 0;
	std::istringstream fields(stat.substr(close + 2));
	std::string field;
	unsigned long utime = 0;
	unsigned long stime = 0;
	for (int index = 3; fields >> field; index++) {
		if (index == 14)
			utime = strtoul(field.c_str(), NULL, 10);
		if (index == 15) {
			stime = strtoul(field.c_str(), NULL, 10);
			break;
		}
	}
	return (double)(utime + stime) / sysconf(_SC_CLK_TCK);
}

std::map<long, ThreadCounts>
Threads(pid_t pid)
{
	std::map<long, ThreadCounts> threads;
	std::string folder = "/proc/" + std::to_string(pid) + "/task";
	DIR* directory = opendir(folder.c_str());
	if (directory == NULL)
		return threads;
	while (struct dirent* entry = readdir(directory)) {
		if (entry->d_name[0] == '.')
			continue;
		std::string task = folder + "/" + entry->d_name;
		std::string status = ReadFile(task + "/status");
		ThreadCounts counts;
		counts.name = ReadFile(task + "/comm");
		counts.name.erase(counts.name.find_last_not_of("\n") + 1);
		counts.switches = Field(status, "voluntary_ctxt_switches")
			+ Field(status, "nonvoluntary_ctxt_switches");
		threads[atol(entry->d_name)] = counts;
	}
	closedir(directory);
	return threads;
}

bool
Run(const std::string& command)
{
	return system(command.c_str()) == 0;
}

// The host with the test item in the tray; the icon window, or 0.
::Window
StartHost(TestDisplay& display, ChildProcess& host, const std::string& folder)
{
	if (!host.Start({DESKBAR_HOST}, {}, folder + "/deskbar.log"))
		return 0;
	if (!WaitUntil([] { return Run(std::string(DESKBAR_CTL) + " list > /dev/null 2>&1"); }))
		return 0;
	if (!Run(std::string(DESKBAR_CTL) + " add " + TEST_DESKBAR_ITEM + " > /dev/null"))
		return 0;
	::Window root = DefaultRootWindow(display.Connection());
	::Window icon = 0;
	WaitUntil([&] {
		icon = display.WindowOfClass("test_deskbar_item");
		return icon != 0 && display.Parent(icon) != root && display.IsShown(icon);
	});
	return icon;
}

void
StopHost(ChildProcess& host)
{
	Run(std::string(DESKBAR_CTL) + " quit > /dev/null 2>&1");
	WaitUntil([&host] { return !host.IsRunning(); });
	host.Stop();
}

void
MeasureIdle(TestDisplay& display, int seconds)
{
	TemporaryHome home;
	ChildProcess host;
	if (StartHost(display, host, home.Path()) == 0) {
		fprintf(stderr, "the item did not dock\n");
		return;
	}
	snooze(2000000);
	pid_t pid = host.Pid();
	double cpuBefore = CpuSeconds(pid);
	std::map<long, ThreadCounts> before = Threads(pid);
	snooze((bigtime_t)seconds * 1000000);
	double cpu = CpuSeconds(pid) - cpuBefore;
	std::map<long, ThreadCounts> after = Threads(pid);
	std::string status = ReadFile("/proc/" + std::to_string(pid) + "/status");

	printf("idle in the tray for %d s (pulse every %.1f s):\n", seconds, kPulse / 1e6);
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
	printf("  resident memory            %ld KiB (peak %ld KiB)\n", Field(status, "VmRSS"),
		Field(status, "VmHWM"));
	StopHost(host);
}

void
MeasureFrames(TestDisplay& display)
{
	TemporaryHome home;
	std::string log = home.Path() + "/item.log";
	setenv("TEST_ITEM_ANIMATE", "1", 1);
	setenv("TEST_ITEM_LOG", log.c_str(), 1);
	ChildProcess host;
	::Window icon = StartHost(display, host, home.Path());
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
	std::istringstream lines(ReadFile(log));
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
	if (latencies.empty()) {
		printf("animating: no frame seen on the screen\n");
		return;
	}
	std::sort(latencies.begin(), latencies.end());
	printf(
		"animating, %zu frames: pulse to screen median %.1f ms, worst %.1f ms "
		"(target < %.0f ms)\n",
		latencies.size(), latencies[latencies.size() / 2] / 1000.0, latencies.back() / 1000.0,
		kPulse / 1000.0);
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
	return 0;
}

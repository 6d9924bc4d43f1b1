/*
 * The Deskbar host under heavy use, in a private temporary home: its peak resident memory and
 * the CPU it spends while 200 clients connect and send nothing, while 40 clients each announce
 * a 16 MiB request and send nothing more, and while a client asks for a megabyte of pixels and
 * never reads them; throughout, how long a request listing the items waits for its answer.
 */
#include <ftw.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <Deskbar.h>
#include <Entry.h>
#include <Message.h>
#include <OS.h>

#include "DeskbarLink.h"
#include "DeskbarProtocol.h"
#include "TemporaryHome.h"

using namespace BPrivate;

namespace {

const bigtime_t kScenarioTime = 4000000;
const bigtime_t kListInterval = 100000;

// The host's process, found by its socket's peer.
pid_t
HostProcess()
{
	int fd = DeskbarLink::Connect();
	pid_t pid = -1;
	struct ucred peer;
	socklen_t length = sizeof(peer);
	if (fd >= 0 && getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0)
		pid = peer.pid;
	close(fd);
	return pid;
}

long
StatusKilobytes(pid_t pid, const char* key)
{
	std::string status = TemporaryHome::ReadFile("/proc/" + std::to_string(pid) + "/status");
	size_t at = status.find(key);
	return at == std::string::npos ? -1 : atol(status.c_str() + at + strlen(key) + 1);
}

// User and system CPU seconds of the process so far.
double
CpuSeconds(pid_t pid)
{
	std::string stat = TemporaryHome::ReadFile("/proc/" + std::to_string(pid) + "/stat");
	size_t end = stat.rfind(')');
	std::istringstream fields(stat.substr(end + 2));
	std::string field;
	unsigned long long user = 0, system = 0;
	for (int i = 3; i <= 15 && fields >> field; i++) {
		if (i == 14)
			user = std::stoull(field);
		if (i == 15)
			system = std::stoull(field);
	}
	return (double)(user + system) / sysconf(_SC_CLK_TCK);
}

// Runs `load`, then asks for the item list every 100 ms for four seconds; prints the host's
// peak memory and CPU over the scenario and the slowest answer.
void
Scenario(const char* name, pid_t host, const std::function<std::vector<int>()>& load)
{
	// The peak is counted anew from here.
	std::ofstream("/proc/" + std::to_string(host) + "/clear_refs") << "5";
	double cpuBefore = CpuSeconds(host);
	std::vector<int> clients = load();
	bigtime_t slowest = 0;
	int failed = 0;
	bigtime_t end = system_time() + kScenarioTime;
	while (system_time() < end) {
		bigtime_t start = system_time();
		BMessage request(kMsgDeskbarListItems);
		if (DeskbarLink::Exchange(request, NULL, false) != B_OK)
			failed++;
		slowest = std::max(slowest, system_time() - start);
		snooze(kListInterval);
	}
	printf(
		"%-44s peak RSS %6.1f MiB, CPU %5.2f s, list answered within %6.1f ms "
		"(%d failed)\n",
		name, StatusKilobytes(host, "VmHWM:") / 1024.0, CpuSeconds(host) - cpuBefore,
		slowest / 1000.0, failed);
	for (int fd : clients)
		close(fd);
	snooze(500000);
	printf("%-44s RSS after they left %6.1f MiB\n", "", StatusKilobytes(host, "VmRSS:") / 1024.0);
}

int
RemoveOne(const char* path, const struct stat*, int, struct FTW*)
{
	return remove(path);
}

} // namespace

int
main()
{
	char folder[] = "/tmp/zorve-bench-XXXXXX";
	if (mkdtemp(folder) == NULL)
		return 1;
	std::string home = folder;
	mkdir((home + "/.config").c_str(), 0700);
	mkdir((home + "/run").c_str(), 0700);
	setenv("HOME", home.c_str(), 1);
	setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
	setenv("XDG_RUNTIME_DIR", (home + "/run").c_str(), 1);
	unsetenv("DISPLAY");

	entry_ref item;
	get_ref_for_path(TEST_DESKBAR_ITEM, &item);
	if (BDeskbar().AddItem(&item) != B_OK) {
		fprintf(stderr, "no Deskbar host\n");
		return 1;
	}
	pid_t host = HostProcess();
	printf("Deskbar host %d, idle: RSS %.1f MiB\n", (int)host,
		StatusKilobytes(host, "VmRSS:") / 1024.0);

	Scenario("200 idle clients", host, [] {
		std::vector<int> clients;
		for (int i = 0; i < 200; i++)
			clients.push_back(DeskbarLink::Connect());
		return clients;
	});
	Scenario("40 clients announcing 16 MiB, sending nothing", host, [] {
		std::vector<int> clients;
		for (int i = 0; i < 40; i++) {
			int fd = DeskbarLink::Connect();
			uint32 size = kDeskbarMaxMessageSize;
			if (fd >= 0 && write(fd, &size, sizeof(size)) != sizeof(size))
				fprintf(stderr, "short write\n");
			clients.push_back(fd);
		}
		return clients;
	});
	Scenario("a client never reading 1 MiB of pixels", host, [] {
		int fd = DeskbarLink::Connect();
		BMessage request(kMsgDeskbarPixels);
		request.AddRect("rect", BRect(0, 0, 511, 511));
		DeskbarLink::WriteMessage(fd, request);
		return std::vector<int>{fd};
	});

	BMessage quit(kMsgDeskbarQuit);
	DeskbarLink::Exchange(quit, NULL, false);
	snooze(1000000);
	nftw(folder, RemoveOne, 16, FTW_DEPTH | FTW_PHYS);
	return 0;
}

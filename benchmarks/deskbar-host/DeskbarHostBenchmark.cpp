/*
 * The Deskbar host under heavy use, in a private temporary home: its peak resident memory and
 * the CPU it spends while 200 clients connect and send nothing, while 40 clients each announce
 * a 16 MiB request and send nothing more, and while a client asks for a megabyte of pixels and
 * never reads them; throughout, how long a request listing the items waits for its answer.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <Deskbar.h>
#include <Entry.h>
#include <Message.h>
#include <OS.h>

#include "DeskbarLink.h"
#include "DeskbarProtocol.h"
#include "ProcessFigures.h"
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
		name, StatusNumber(ProcessStatus(host), "VmHWM") / 1024.0, CpuSeconds(host) - cpuBefore,
		slowest / 1000.0, failed);
	for (int fd : clients)
		close(fd);
	snooze(500000);
	printf("%-44s RSS after they left %6.1f MiB\n", "",
		StatusNumber(ProcessStatus(host), "VmRSS") / 1024.0);
}

} // namespace

int
main()
{
	TemporaryHome home;
	unsetenv("DISPLAY");

	entry_ref item;
	get_ref_for_path(TEST_DESKBAR_ITEM, &item);
	if (BDeskbar().AddItem(&item) != B_OK) {
		fprintf(stderr, "no Deskbar host\n");
		return 1;
	}
	pid_t host = HostProcess();
	printf("Deskbar host %d, idle: RSS %.1f MiB\n", (int)host,
		StatusNumber(ProcessStatus(host), "VmRSS") / 1024.0);

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
	return 0;
}

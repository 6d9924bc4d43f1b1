#include "SystemFixture.h"

#include <dirent.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "DeskbarTesting.h"
#include "ProcessFigures.h"

namespace {

const char* const kItemName = "ZorveReplicant";

// The host serving this test's home: the Deskbar program whose environment names this
// test's runtime folder.
pid_t
FindHost()
{
	const char* runtime = getenv("XDG_RUNTIME_DIR");
	if (runtime == NULL)
		return -1;
	std::string wanted = std::string("XDG_RUNTIME_DIR=") + runtime;
	char hostPath[PATH_MAX];
	if (realpath(DESKBAR_HOST, hostPath) == NULL)
		return -1;
	DIR* processes = opendir("/proc");
	if (processes == NULL)
		return -1;
	pid_t found = -1;
	while (struct dirent* entry = readdir(processes)) {
		pid_t pid = atoi(entry->d_name);
		if (pid <= 0)
			continue;
		std::string base = std::string("/proc/") + entry->d_name;
		char executable[PATH_MAX];
		ssize_t length = readlink((base + "/exe").c_str(), executable, sizeof(executable) - 1);
		if (length <= 0)
			continue;
		executable[length] = '\0';
		if (strcmp(executable, hostPath) != 0)
			continue;
		std::string environment = TemporaryHome::ReadFile(base + "/environ");
		for (size_t at = 0; at < environment.size(); at += strlen(environment.c_str() + at) + 1) {
			if (strcmp(environment.c_str() + at, wanted.c_str()) == 0)
				found = pid;
		}
	}
	closedir(processes);
	return found;
}

} // namespace

void
SystemFixture::SetUp()
{
	// Headless, whatever the session around the test has.
	unsetenv("DISPLAY");
	ZorveFixture::SetUp();
}

void
SystemFixture::TearDown()
{
	// A menu left open would hold the shelf: it is closed first.
	if (WindowShown("Options"))
		RunControl("key '\\e' --window Options");
	ZorveFixture::TearDown();
	delete fPictures;
}

void
SystemFixture::Do(const std::string& arguments)
{
	int status = -1;
	std::string output = RunControl(arguments, &status);
	EXPECT_EQ(status, 0) << "deskbar-ctl " << arguments << ": " << output;
}

StatusPictures::Picture
SystemFixture::ShownPicture()
{
	// The pictures are read through the path the launcher recorded.
	if (fPictures == nullptr)
		fPictures = new StatusPictures;
	std::vector<uint8> pixels;
	if (StatusPictures::ReadItemPixels(kItemName, pixels) != B_OK)
		return StatusPictures::kUnknown;
	return fPictures->Match(pixels.data());
}

StatusPictures::Picture
SystemFixture::PulseAndLook()
{
	Do("pulse");
	return ShownPicture();
}

void
SystemFixture::Choose(const char* label)
{
	Do("click 9 9");
	Do("wait-shown Options");
	Do(std::string("choose '") + label + "'");
	Do("wait-hidden Options");
}

void
SystemFixture::StartAStalledUpdate()
{
	LoopbackHttpServer::Behaviour behaviour = fBehaviour;
	behaviour.update.fault = LoopbackHttpServer::kFaultStall;
	SetServer(behaviour);
	StartZorve();
	Do("pulse-rate 0");
	Choose("Force Update");
	ASSERT_TRUE(fServer.WaitForRequests(1, 10000000));
}

bool
SystemFixture::WindowShown(const char* title)
{
	int status = -1;
	RunControl(std::string("wait-shown '") + title + "' --timeout 0", &status);
	return status == 0;
}

std::vector<std::string>
SystemFixture::HostThreads()
{
	std::vector<std::string> names;
	pid_t host = FindHost();
	if (host < 0)
		return names;
	for (const auto& thread : ThreadNames(host))
		names.push_back(thread.second);
	return names;
}

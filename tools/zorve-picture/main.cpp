/*
 * zorve-picture: prints which status picture Zorve's item in the running Deskbar shows
 * (normal, pending1 to pending3, error, background, unknown). With --wait NAME it waits, for
 * --timeout seconds at most (default 10), until that picture shows, and fails otherwise.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include <OS.h>

#include "StatusPictures.h"

namespace {

const char* const kItemName = "ZorveReplicant";

} // namespace

int
main(int argc, char** argv)
{
	const char* wanted = NULL;
	double timeout = 10;
	for (int i = 1; i < argc; i++) {
		if (strcmp(argv[i], "--wait") == 0 && i + 1 < argc)
			wanted = argv[++i];
		else if (strcmp(argv[i], "--timeout") == 0 && i + 1 < argc)
			timeout = atof(argv[++i]);
		else {
			fprintf(stderr, "usage: zorve-picture [--wait NAME] [--timeout SECONDS]\n");
			return 2;
		}
	}

	StatusPictures pictures;
	if (pictures.InitCheck() != B_OK) {
		fprintf(stderr, "zorve-picture: the application's pictures cannot be loaded\n");
		return 1;
	}
	bigtime_t deadline = system_time() + (bigtime_t)(timeout * 1000000);
	while (true) {
		std::vector<uint8> pixels;
		status_t status = StatusPictures::ReadItemPixels(kItemName, pixels);
		if (status != B_OK) {
			fprintf(stderr, "zorve-picture: no item to look at (status 0x%08x)\n",
				(unsigned)status);
			return 1;
		}
		const char* shown = StatusPictures::Name(pictures.Match(pixels.data()));
		if (wanted == NULL || strcmp(shown, wanted) == 0) {
			printf("%s\n", shown);
			return 0;
		}
		if (system_time() >= deadline) {
			fprintf(stderr, "zorve-picture: %s shows, not %s\n", shown, wanted);
			return 1;
		}
		snooze(20000);
	}
}

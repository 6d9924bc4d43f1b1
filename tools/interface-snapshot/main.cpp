/*
 * interface-snapshot: draws a named scene with the interface kit and saves it as a PNG file
 * for a person to look at.
 *
 * Usage: interface-snapshot [--scale N] SCENE [output.png]	(default: SCENE.png)
 * With --scale, every pixel becomes an N x N block, for looking at single pixels.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "Scenes.h"

namespace {

struct Scene {
	const char* name;
	const char* description;
	status_t (*save)(const char* path, int32 scale);
};

const Scene kScenes[] = {
	{"drawing", "a page drawn by hand: strips, tabs, a bitmap, text, links, patterns",
		SaveDrawingScene},
	{"controls", "every standard control, with a pop-up menu open over them", SaveControlsScene},
};

void
Usage()
{
	fprintf(stderr,
		"usage: interface-snapshot [--scale N] SCENE [output.png]\n"
		"  N from 1 to 16; the picture goes to SCENE.png by default. Scenes:\n");
	for (const Scene& scene : kScenes)
		fprintf(stderr, "  %-10s %s\n", scene.name, scene.description);
}

} // namespace

int
main(int argc, char** argv)
{
	int32 scale = 1;
	int32 first = 1;
	if (argc > 2 && strcmp(argv[1], "--scale") == 0) {
		scale = atoi(argv[2]);
		first = 3;
	}
	const Scene* scene = NULL;
	for (const Scene& candidate : kScenes) {
		if (argc > first && strcmp(argv[first], candidate.name) == 0)
			scene = &candidate;
	}
	if (scale < 1 || scale > 16 || scene == NULL || argc > first + 2) {
		Usage();
		return 2;
	}
	std::string path = argc > first + 1 ? argv[first + 1] : std::string(scene->name) + ".png";
	status_t status = scene->save(path.c_str(), scale);
	if (status != B_OK) {
		fprintf(stderr, "interface-snapshot: cannot save %s (status %#x)\n", path.c_str(),
			(unsigned)status);
		return 1;
	}
	printf("%s\n", path.c_str());
	return 0;
}

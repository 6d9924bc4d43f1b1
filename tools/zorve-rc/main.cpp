/*
 * zorve-rc: replaces the resources of an executable or resource file with those of a
 * resource definition, and draws the definition's pictures into a PNG for review.
 */
#include <stdio.h>
#include <string.h>

#include <string>

#include <File.h>
#include <GraphicsDefs.h>
#include <Resources.h>

#include "PreviewImage.h"
#include "ResourceScript.h"

namespace {

// The Deskbar's menu background, on which the status pictures are seen.
const rgb_color kDeskbarGrey = {216, 216, 216, 255};
const int32 kPreviewScale = 8;

int
Usage()
{
	fprintf(stderr,
		"usage: zorve-rc [--preview PNG] DEFINITION [TARGET]\n"
		"  Replaces the resources of TARGET (an executable or a resource file, created when\n"
		"  missing) with those DEFINITION lists. --preview draws the pictures it names,\n"
		"  enlarged and at real size, on the Deskbar's grey into PNG.\n");
	return 2;
}

status_t
WriteResources(const ResourceScript& script, const char* target)
{
	BFile file(target, B_READ_WRITE | B_CREATE_FILE);
	status_t status = file.InitCheck();
	if (status != B_OK)
		return status;
	BResources resources(&file, true);
	status = resources.InitCheck();
	for (const ResourceEntry& entry : script.Entries()) {
		if (status == B_OK) {
			status = resources.AddResource(entry.type, entry.id, entry.data.data(),
				entry.data.size(), entry.name.c_str());
		}
	}
	if (status == B_OK)
		status = resources.Sync();
	return status;
}

} // namespace

int
main(int argc, char** argv)
{
	const char* preview = NULL;
	int next = 1;
	if (next < argc && strcmp(argv[next], "--preview") == 0) {
		if (next + 1 >= argc)
			return Usage();
		preview = argv[next + 1];
		next += 2;
	}
	if (argc - next < 1 || argc - next > 2 || argv[next][0] == '-')
		return Usage();
	const char* definition = argv[next];
	const char* target = argc - next == 2 ? argv[next + 1] : NULL;
	if (target == NULL && preview == NULL)
		return Usage();

	ResourceScript script;
	std::string error;
	if (!script.Load(definition, &error)) {
		fprintf(stderr, "zorve-rc: %s\n", error.c_str());
		return 1;
	}
	if (preview != NULL) {
		PreviewImage image(kDeskbarGrey, kPreviewScale);
		for (const Picture& picture : script.Pictures())
			image.Add(picture);
		if (!image.WritePng(preview, &error)) {
			fprintf(stderr, "zorve-rc: %s\n", error.c_str());
			return 1;
		}
	}
	if (target != NULL) {
		status_t status = WriteResources(script, target);
		if (status != B_OK) {
			fprintf(stderr, "zorve-rc: %s: cannot write its resources (status %#x)\n", target,
				(unsigned)status);
			return 1;
		}
	}
	return 0;
}

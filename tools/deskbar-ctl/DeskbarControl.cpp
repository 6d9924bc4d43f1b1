/*
 * deskbar-ctl: drives the user's running Deskbar host from the command line, for tests, demos
 * and people: lists its items and windows, clicks, moves the pointer, types, chooses an item
 * of the open pop-up menu, saves screenshots, adds and removes items, and quits it.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include <Message.h>
#include <Point.h>
#include <Rect.h>

#include "DeskbarLink.h"
#include "DeskbarProtocol.h"

using namespace BPrivate;

namespace {

void
Usage()
{
	fprintf(stderr,
		"usage: deskbar-ctl COMMAND [ARGUMENTS] [--window TITLE] [--screen] [--button N]\n"
		"                   [--scale N]\n"
		"  list                   the shelf's items (id and name)\n"
		"  windows                the host's windows (title, frame, shown or hidden)\n"
		"  click X Y              press and release at a point of the shelf or --window\n"
		"  move X Y               move the pointer there\n"
		"  down X Y | up X Y      press or release only\n"
		"  key BYTES              press a key; \\e, \\n, \\t, \\b and \\xHH are understood\n"
		"  choose LABEL           choose an item of the open pop-up menu\n"
		"  screenshot FILE.png    save the shelf, or --window, as PNG (--scale N enlarges)\n"
		"  add PATH | remove NAME add an add-on's item, remove an item by name\n"
		"  quit                   quit the host (its items are archived for its next start)\n");
}

std::string
Unescape(const char* text)
{
	std::string bytes;
	for (const char* c = text; *c != '\0'; c++) {
		if (*c != '\\' || c[1] == '\0') {
			bytes += *c;
			continue;
		}
		c++;
		switch (*c) {
			case 'e':
				bytes += '\x1b';
				break;
			case 'n':
				bytes += '\n';
				break;
			case 't':
				bytes += '\t';
				break;
			case 'b':
				bytes += '\b';
				break;
			case 'x':
				if (c[1] != '\0' && c[2] != '\0') {
					char hex[3] = {c[1], c[2], '\0'};
					bytes += (char)strtol(hex, NULL, 16);
					c += 2;
				}
				break;
			default:
				bytes += *c;
				break;
		}
	}
	return bytes;
}

} // namespace

int
main(int argc, char** argv)
{
	std::vector<const char*> words;
	const char* window = NULL;
	bool screen = false;
	int32 button = 1;
	int32 scale = 1;
	for (int i = 1; i < argc; i++) {
		if (strcmp(argv[i], "--window") == 0 && i + 1 < argc)
			window = argv[++i];
		else if (strcmp(argv[i], "--screen") == 0)
			screen = true;
		else if (strcmp(argv[i], "--button") == 0 && i + 1 < argc)
			button = atoi(argv[++i]);
		else if (strcmp(argv[i], "--scale") == 0 && i + 1 < argc)
			scale = atoi(argv[++i]);
		else
			words.push_back(argv[i]);
	}
	if (words.empty()) {
		Usage();
		return 2;
	}

	std::string command = words[0];
	BMessage request;
	bool startHost = false;
	auto needs = [&](size_t count) {
		if (words.size() != count + 1) {
			Usage();
			exit(2);
		}
	};

	if (command == "list") {
		needs(0);
		request.what = kMsgDeskbarListItems;
	} else if (command == "windows") {
		needs(0);
		request.what = kMsgDeskbarListWindows;
	} else if (command == "click" || command == "move" || command == "down" || command == "up") {
		needs(2);
		request.what = command == "click" ? kMsgDeskbarClick
			: command == "move"           ? kMsgDeskbarMouseMove
			: command == "down"           ? kMsgDeskbarMouseDown
										  : kMsgDeskbarMouseUp;
		request.AddPoint("where", BPoint(atof(words[1]), atof(words[2])));
		request.AddInt32("buttons", button);
		request.AddBool("screen", screen);
	} else if (command == "key") {
		needs(1);
		request.what = kMsgDeskbarKey;
		request.AddString("bytes", Unescape(words[1]).c_str());
	} else if (command == "choose") {
		needs(1);
		request.what = kMsgDeskbarChooseMenuItem;
		request.AddString("label", words[1]);
	} else if (command == "screenshot") {
		needs(1);
		request.what = kMsgDeskbarScreenshot;
		char* path = realpath(".", NULL);
		std::string file = words[1][0] == '/' ? words[1] : std::string(path) + "/" + words[1];
		free(path);
		request.AddString("path", file.c_str());
		request.AddInt32("scale", scale);
	} else if (command == "add") {
		needs(1);
		request.what = kMsgDeskbarAddItem;
		char* path = realpath(words[1], NULL);
		request.AddString("path", path != NULL ? path : words[1]);
		free(path);
		startHost = true;
	} else if (command == "remove") {
		needs(1);
		request.what = kMsgDeskbarRemoveItem;
		request.AddString("name", words[1]);
	} else if (command == "quit") {
		needs(0);
		request.what = kMsgDeskbarQuit;
	} else {
		Usage();
		return 2;
	}
	if (window != NULL)
		request.AddString("window", window);

	BMessage reply;
	status_t status = DeskbarLink::Exchange(request, &reply, startHost);
	if (status != B_OK) {
		fprintf(stderr, "deskbar-ctl: %s failed (status 0x%08x)\n", command.c_str(),
			(unsigned)status);
		return 1;
	}

	if (request.what == kMsgDeskbarListItems) {
		const char* name;
		int32 id;
		for (int32 i = 0; reply.FindString("name", i, &name) == B_OK; i++) {
			reply.FindInt32("id", i, &id);
			printf("%d\t%s\n", (int)id, name);
		}
	} else if (request.what == kMsgDeskbarListWindows) {
		const char* title;
		BRect frame;
		bool hidden;
		for (int32 i = 0; reply.FindString("title", i, &title) == B_OK; i++) {
			reply.FindRect("frame", i, &frame);
			reply.FindBool("hidden", i, &hidden);
			printf("%s\t%.0f %.0f %.0f %.0f\t%s\n", title, frame.left, frame.top, frame.right,
				frame.bottom, hidden ? "hidden" : "shown");
		}
	} else if (request.what == kMsgDeskbarAddItem) {
		int32 id = -1;
		reply.FindInt32("id", &id);
		printf("%d\n", (int)id);
	}
	return 0;
}

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

// The options that follow a command anywhere on the line.
struct Options {
	const char* window = NULL;
	bool screen = false;
	int32 button = 1;
	int32 scale = 1;
};

typedef std::vector<const char*> Arguments;

void
AddPointer(const Arguments& arguments, const Options& options, BMessage* request)
{
	request->AddPoint("where", BPoint(atof(arguments[0]), atof(arguments[1])));
	request->AddInt32("buttons", options.button);
	request->AddBool("screen", options.screen);
}

void
AddKeyBytes(const Arguments& arguments, const Options&, BMessage* request)
{
	request->AddString("bytes", Unescape(arguments[0]).c_str());
}

void
AddMenuLabel(const Arguments& arguments, const Options&, BMessage* request)
{
	request->AddString("label", arguments[0]);
}

// The host runs elsewhere: a relative file name is made absolute here.
void
AddScreenshotFile(const Arguments& arguments, const Options& options, BMessage* request)
{
	std::string file = arguments[0];
	char* folder = file[0] != '/' ? realpath(".", NULL) : NULL;
	if (folder != NULL)
		file = std::string(folder) + "/" + file;
	free(folder);
	request->AddString("path", file.c_str());
	request->AddInt32("scale", options.scale);
}

void
AddAddOnPath(const Arguments& arguments, const Options&, BMessage* request)
{
	char* path = realpath(arguments[0], NULL);
	request->AddString("path", path != NULL ? path : arguments[0]);
	free(path);
}

void
AddItemName(const Arguments& arguments, const Options&, BMessage* request)
{
	request->AddString("name", arguments[0]);
}

void
PrintItems(const BMessage& reply)
{
	const char* name;
	int32 id;
	for (int32 i = 0; reply.FindString("name", i, &name) == B_OK; i++) {
		reply.FindInt32("id", i, &id);
		printf("%d\t%s\n", (int)id, name);
	}
}

void
PrintWindows(const BMessage& reply)
{
	const char* title;
	BRect frame;
	bool hidden;
	for (int32 i = 0; reply.FindString("title", i, &title) == B_OK; i++) {
		reply.FindRect("frame", i, &frame);
		reply.FindBool("hidden", i, &hidden);
		printf("%s\t%.0f %.0f %.0f %.0f\t%s\n", title, frame.left, frame.top, frame.right,
			frame.bottom, hidden ? "hidden" : "shown");
	}
}

void
PrintItemID(const BMessage& reply)
{
	int32 id = -1;
	reply.FindInt32("id", &id);
	printf("%d\n", (int)id);
}

struct Command {
	const char* name;
	uint32 what;
	size_t argumentCount;
	// Adding an item starts the host when none runs; every other command needs a running one.
	bool startsHost;
	// Fills the request's fields from the arguments (NULL: it has none).
	void (*addFields)(const Arguments& arguments, const Options& options, BMessage* request);
	// Prints what the reply carries (NULL: nothing).
	void (*print)(const BMessage& reply);
};

const Command kCommands[] = {
	{"list", kMsgDeskbarListItems, 0, false, NULL, PrintItems},
	{"windows", kMsgDeskbarListWindows, 0, false, NULL, PrintWindows},
	{"click", kMsgDeskbarClick, 2, false, AddPointer, NULL},
	{"move", kMsgDeskbarMouseMove, 2, false, AddPointer, NULL},
	{"down", kMsgDeskbarMouseDown, 2, false, AddPointer, NULL},
	{"up", kMsgDeskbarMouseUp, 2, false, AddPointer, NULL},
	{"key", kMsgDeskbarKey, 1, false, AddKeyBytes, NULL},
	{"choose", kMsgDeskbarChooseMenuItem, 1, false, AddMenuLabel, NULL},
	{"screenshot", kMsgDeskbarScreenshot, 1, false, AddScreenshotFile, NULL},
	{"add", kMsgDeskbarAddItem, 1, true, AddAddOnPath, PrintItemID},
	{"remove", kMsgDeskbarRemoveItem, 1, false, AddItemName, NULL},
	{"quit", kMsgDeskbarQuit, 0, false, NULL, NULL},
};

const Command*
FindCommand(const char* name)
{
	for (const Command& command : kCommands) {
		if (strcmp(command.name, name) == 0)
			return &command;
	}
	return NULL;
}

} // namespace

int
main(int argc, char** argv)
{
	Arguments words;
	Options options;
	for (int i = 1; i < argc; i++) {
		if (strcmp(argv[i], "--window") == 0 && i + 1 < argc)
			options.window = argv[++i];
		else if (strcmp(argv[i], "--screen") == 0)
			options.screen = true;
		else if (strcmp(argv[i], "--button") == 0 && i + 1 < argc)
			options.button = atoi(argv[++i]);
		else if (strcmp(argv[i], "--scale") == 0 && i + 1 < argc)
			options.scale = atoi(argv[++i]);
		else
			words.push_back(argv[i]);
	}
	const Command* command = words.empty() ? NULL : FindCommand(words[0]);
	if (command == NULL || words.size() != command->argumentCount + 1) {
		Usage();
		return 2;
	}

	BMessage request(command->what);
	if (command->addFields != NULL)
		command->addFields(Arguments(words.begin() + 1, words.end()), options, &request);
	if (options.window != NULL)
		request.AddString("window", options.window);

	BMessage reply;
	status_t status = DeskbarLink::Exchange(request, &reply, command->startsHost);
	if (status != B_OK) {
		fprintf(stderr, "deskbar-ctl: %s failed (status 0x%08x)\n", command->name,
			(unsigned)status);
		return 1;
	}
	if (command->print != NULL)
		command->print(reply);
	return 0;
}

/*
 * deskbar-ctl: drives the user's running Deskbar host from the command line, for tests, demos
 * and people: lists its items and windows, waits for a window to show or hide, clicks, drags,
 * moves the pointer, types (with modifier keys), activates a window, chooses an item of the
 * open pop-up menu, reads pixels, saves screenshots, pulses the shelf, adds and removes items,
 * and quits it.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <InterfaceDefs.h>
#include <OS.h>

#include <string>
#include <vector>

#include <Message.h>
#include <Point.h>
#include <Rect.h>

#include "DeskbarItemSelector.h"
#include "DeskbarLink.h"
#include "DeskbarProtocol.h"

using namespace BPrivate;

namespace {

void
Usage()
{
	fprintf(stderr,
		"usage: deskbar-ctl COMMAND [ARGUMENTS] [--window TITLE] [--screen] [--button N]\n"
		"                   [--scale N] [--steps N] [--count N] [--timeout SECONDS]\n"
		"                   [--shift] [--control] [--command] [--option]\n"
		"  list                   the shelf's items (id, name, frame in the shelf)\n"
		"  windows                the host's windows (title, frame, shown or hidden)\n"
		"  wait-shown TITLE       wait until that window shows (--timeout, default 5 s)\n"
		"  wait-hidden TITLE      wait until it is hidden or gone\n"
		"  click X Y              press and release at a point of the shelf or --window\n"
		"  drag X1 Y1 X2 Y2       press, move there with the button held (--steps N), release\n"
		"  move X Y               move the pointer there\n"
		"  down X Y | up X Y      press or release only\n"
		"  key BYTES              press a key; \\e, \\n, \\t, \\b and \\xHH are understood,\n"
		"                         with the modifier keys given (--shift: Shift-Tab is \\t)\n"
		"  activate               activate --window\n"
		"  choose LABEL           choose an item of the open pop-up menu\n"
		"  pixels X Y W H         print a rectangle's pixels, one row a line, as RRGGBB\n"
		"  screenshot FILE.png    save the shelf, or --window, as PNG (--scale N enlarges)\n"
		"  pulse                  pulse the shelf's items now (--count N times)\n"
		"  pulse-rate MICROSECONDS the shelf's own pulse (0 stops it)\n"
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
	int32 steps = 10;
	int32 count = 1;
	double timeout = 5;
	uint32 modifiers = 0;
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
AddDrag(const Arguments& arguments, const Options& options, BMessage* request)
{
	AddPointer(arguments, options, request);
	request->AddPoint("to", BPoint(atof(arguments[2]), atof(arguments[3])));
	request->AddInt32("steps", options.steps);
}

void
AddKeyBytes(const Arguments& arguments, const Options& options, BMessage* request)
{
	request->AddString("bytes", Unescape(arguments[0]).c_str());
	request->AddInt32("modifiers", (int32)options.modifiers);
}

void
AddRectangle(const Arguments& arguments, const Options&, BMessage* request)
{
	float left = atof(arguments[0]);
	float top = atof(arguments[1]);
	request->AddRect("rect",
		BRect(left, top, left + atof(arguments[2]) - 1, top + atof(arguments[3]) - 1));
}

void
AddPulseCount(const Arguments&, const Options& options, BMessage* request)
{
	request->AddInt32("count", options.count);
}

void
AddPulseRate(const Arguments& arguments, const Options&, BMessage* request)
{
	request->AddInt64("rate", atoll(arguments[0]));
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
	DeskbarItemSelector(arguments[0]).AddTo(request);
}

void
PrintItems(const BMessage& reply)
{
	const char* name;
	int32 id;
	BRect frame;
	for (int32 i = 0; reply.FindString("name", i, &name) == B_OK; i++) {
		reply.FindInt32("id", i, &id);
		reply.FindRect("frame", i, &frame);
		printf("%d\t%s\t%.0f %.0f %.0f %.0f\n", (int)id, name, frame.left, frame.top, frame.right,
			frame.bottom);
	}
}

void
PrintPixels(const BMessage& reply)
{
	int32 width = 0;
	int32 height = 0;
	const void* data = NULL;
	ssize_t size = 0;
	reply.FindInt32("width", &width);
	reply.FindInt32("height", &height);
	if (reply.FindData("pixels", B_RAW_TYPE, &data, &size) != B_OK
		|| size != (ssize_t)width * height * 4) {
		return;
	}
	const uint8* pixel = static_cast<const uint8*>(data);
	for (int32 y = 0; y < height; y++) {
		for (int32 x = 0; x < width; x++, pixel += 4)
			printf("%s%02x%02x%02x", x > 0 ? " " : "", pixel[0], pixel[1], pixel[2]);
		printf("\n");
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

// Waits, asking for the windows a few times a second, until the one titled `title` is shown
// (or, when `shown` is false, hidden or gone); 1 when the time-out comes first.
int
WaitForWindow(const char* title, bool shown, double timeout)
{
	bigtime_t deadline = system_time() + (bigtime_t)(timeout * 1000000);
	while (true) {
		BMessage request(kMsgDeskbarListWindows);
		BMessage reply;
		status_t status = DeskbarLink::Exchange(request, &reply, false);
		if (status != B_OK) {
			fprintf(stderr, "deskbar-ctl: no Deskbar answers (status 0x%08x)\n", (unsigned)status);
			return 1;
		}
		bool isShown = false;
		const char* found;
		for (int32 i = 0; reply.FindString("title", i, &found) == B_OK; i++) {
			bool hidden = true;
			reply.FindBool("hidden", i, &hidden);
			if (strcmp(found, title) == 0 && !hidden)
				isShown = true;
		}
		if (isShown == shown)
			return 0;
		if (system_time() >= deadline) {
			fprintf(stderr, "deskbar-ctl: \"%s\" is still %s\n", title,
				shown ? "not shown" : "shown");
			return 1;
		}
		snooze(20000);
	}
}

int
WaitShown(const Arguments& arguments, const Options& options)
{
	return WaitForWindow(arguments[0], true, options.timeout);
}

int
WaitHidden(const Arguments& arguments, const Options& options)
{
	return WaitForWindow(arguments[0], false, options.timeout);
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
	// Does the whole command in the client instead (NULL: one request); the exit status.
	int (*run)(const Arguments& arguments, const Options& options);
};

const Command kCommands[] = {
	{"list", kMsgDeskbarListItems, 0, false, NULL, PrintItems, NULL},
	{"windows", kMsgDeskbarListWindows, 0, false, NULL, PrintWindows, NULL},
	{"wait-shown", kMsgDeskbarListWindows, 1, false, NULL, NULL, WaitShown},
	{"wait-hidden", kMsgDeskbarListWindows, 1, false, NULL, NULL, WaitHidden},
	{"click", kMsgDeskbarClick, 2, false, AddPointer, NULL, NULL},
	{"drag", kMsgDeskbarDrag, 4, false, AddDrag, NULL, NULL},
	{"move", kMsgDeskbarMouseMove, 2, false, AddPointer, NULL, NULL},
	{"down", kMsgDeskbarMouseDown, 2, false, AddPointer, NULL, NULL},
	{"up", kMsgDeskbarMouseUp, 2, false, AddPointer, NULL, NULL},
	{"key", kMsgDeskbarKey, 1, false, AddKeyBytes, NULL, NULL},
	{"activate", kMsgDeskbarActivate, 0, false, NULL, NULL, NULL},
	{"choose", kMsgDeskbarChooseMenuItem, 1, false, AddMenuLabel, NULL, NULL},
	{"pixels", kMsgDeskbarPixels, 4, false, AddRectangle, PrintPixels, NULL},
	{"screenshot", kMsgDeskbarScreenshot, 1, false, AddScreenshotFile, NULL, NULL},
	{"pulse", kMsgDeskbarPulse, 0, false, AddPulseCount, NULL, NULL},
	{"pulse-rate", kMsgDeskbarPulseRate, 1, false, AddPulseRate, NULL, NULL},
	{"add", kMsgDeskbarAddItem, 1, true, AddAddOnPath, PrintItemID, NULL},
	{"remove", kMsgDeskbarRemoveItem, 1, false, AddItemName, NULL, NULL},
	{"quit", kMsgDeskbarQuit, 0, false, NULL, NULL, NULL},
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
		else if (strcmp(argv[i], "--steps") == 0 && i + 1 < argc)
			options.steps = atoi(argv[++i]);
		else if (strcmp(argv[i], "--count") == 0 && i + 1 < argc)
			options.count = atoi(argv[++i]);
		else if (strcmp(argv[i], "--timeout") == 0 && i + 1 < argc)
			options.timeout = atof(argv[++i]);
		else if (strcmp(argv[i], "--shift") == 0)
			options.modifiers |= B_SHIFT_KEY;
		else if (strcmp(argv[i], "--control") == 0)
			options.modifiers |= B_CONTROL_KEY;
		else if (strcmp(argv[i], "--command") == 0)
			options.modifiers |= B_COMMAND_KEY;
		else if (strcmp(argv[i], "--option") == 0)
			options.modifiers |= B_OPTION_KEY;
		else
			words.push_back(argv[i]);
	}
	const Command* command = words.empty() ? NULL : FindCommand(words[0]);
	if (command == NULL || words.size() != command->argumentCount + 1) {
		Usage();
		return 2;
	}

	Arguments arguments(words.begin() + 1, words.end());
	if (command->run != NULL)
		return command->run(arguments, options);

	BMessage request(command->what);
	if (command->addFields != NULL)
		command->addFields(arguments, options, &request);
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

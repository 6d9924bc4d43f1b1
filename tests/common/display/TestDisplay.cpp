#include "TestDisplay.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "DeskbarTesting.h"
#include "PngImage.h"
#include "PngWriter.h"
#include "XwdImage.h"

namespace {

const int32 kWindowManagerProbes = 50;
const bigtime_t kWindowManagerProbeTime = 300000;

int
IgnoreErrors(Display*, XErrorEvent*)
{
	// Windows come and go while the tree is searched.
	return 0;
}

std::string
TemporaryDirectory()
{
	const char* base = getenv("TMPDIR");
	std::string pattern = std::string(base != NULL ? base : "/tmp") + "/zorve-display-XXXXXX";
	std::vector<char> path(pattern.begin(), pattern.end());
	path.push_back('\0');
	return mkdtemp(path.data()) != NULL ? std::string(path.data()) : std::string();
}

} // namespace

TestDisplay::TestDisplay(int32 width, int32 height) :
	fWidth(width),
	fHeight(height),
	fConnection(NULL)
{
	XSetErrorHandler(IgnoreErrors);
}

TestDisplay::~TestDisplay()
{
	Stop();
	if (!fDirectory.empty()) {
		std::string command = "rm -rf '" + fDirectory + "'";
		(void)!system(command.c_str());
	}
}

bool
TestDisplay::Start()
{
	fDirectory = TemporaryDirectory();
	int pipe[2];
	if (fDirectory.empty() || ::pipe(pipe) != 0) {
		fFailure = "no temporary folder or pipe";
		return false;
	}
	// Xvfb picks a free display number itself and writes it to the pipe.
	std::string screen = std::to_string(fWidth) + "x" + std::to_string(fHeight) + "x24";
	bool started = fServer.Start({"Xvfb", "-displayfd", std::to_string(pipe[1]), "-screen", "0",
									 screen, "-nolisten", "tcp", "-noreset"},
		{}, fDirectory + "/Xvfb.log", pipe[1]);
	close(pipe[1]);
	std::string number;
	bigtime_t deadline = system_time() + kWaitTimeout;
	while (started && system_time() < deadline) {
		struct pollfd descriptor = {pipe[0], POLLIN, 0};
		if (poll(&descriptor, 1, 100) <= 0) {
			if (!fServer.IsRunning())
				break;
			continue;
		}
		char c;
		if (read(pipe[0], &c, 1) != 1 || c == '\n')
			break;
		number += c;
	}
	close(pipe[0]);
	if (number.empty()) {
		fFailure = "Xvfb did not start (is the xvfb package installed?)";
		return false;
	}
	fName = ":" + number;
	fConnection = XOpenDisplay(fName.c_str());
	if (fConnection == NULL) {
		fFailure = "cannot connect to " + fName;
		return false;
	}
	return true;
}

void
TestDisplay::Stop()
{
	fTray.Stop();
	fWindowManager.Stop();
	if (fConnection != NULL)
		XCloseDisplay(fConnection);
	fConnection = NULL;
	fServer.Stop();
}

bool
TestDisplay::StartWindowManager()
{
	if (!fWindowManager.Start({"openbox"}, {Environment()}, fDirectory + "/openbox.log"))
		return false;
	::Window root = DefaultRootWindow(fConnection);
	if (!WaitUntil([this, root] {
			return !fWindowManager.IsRunning()
				|| !LongProperty(root, "_NET_SUPPORTING_WM_CHECK").empty();
		})
		|| !fWindowManager.IsRunning()) {
		return false;
	}
	// The manager names itself before it is ready to take windows, and a window mapped
	// meanwhile stays unmapped: a fresh window that it frames shows that it is ready.
	bool framed = false;
	for (int32 attempt = 0; attempt < kWindowManagerProbes && !framed; attempt++) {
		::Window probe = XCreateSimpleWindow(fConnection, root, 0, 0, 10, 10, 0, 0, 0);
		XMapWindow(fConnection, probe);
		XSync(fConnection, False);
		framed = WaitUntil([&] { return Parent(probe) != root && IsShown(probe); },
			kWindowManagerProbeTime);
		XDestroyWindow(fConnection, probe);
		XSync(fConnection, False);
	}
	return framed && fWindowManager.IsRunning();
}

bool
TestDisplay::StartTray(int32 height)
{
	if (!fTray.Start({"trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request",
						 "--height", std::to_string(height), "--SetDockType", "false"},
			{Environment()}, fDirectory + "/trayer.log")) {
		return false;
	}
	return WaitUntil([this] { return TrayManager() != 0; });
}

bool
TestDisplay::StartPanel()
{
	std::string configuration = fDirectory + "/tint2rc";
	FILE* file = fopen(configuration.c_str(), "w");
	if (file == NULL)
		return false;
	fputs(
		"panel_items = TS\npanel_position = bottom center horizontal\npanel_size = 100% 30\n"
		"systray_icon_size = 24\n",
		file);
	fclose(file);
	if (!fTray.Start({"tint2", "-c", configuration}, {Environment()}, fDirectory + "/tint2.log"))
		return false;
	return WaitUntil([this] { return TrayManager() != 0; });
}

void
TestDisplay::StopTray()
{
	fTray.Stop();
	WaitUntil([this] { return TrayManager() == 0; });
}

::Window
TestDisplay::TrayManager()
{
	Atom selection = XInternAtom(fConnection, "_NET_SYSTEM_TRAY_S0", False);
	return XGetSelectionOwner(fConnection, selection);
}

::Window
TestDisplay::FindWindow(const std::string& name, bigtime_t timeout)
{
	::Window found = 0;
	WaitUntil([&] { return (found = WindowNamed(name)) != 0; }, timeout);
	return found;
}

::Window
TestDisplay::FindWindowOfClass(const std::string& instance, bigtime_t timeout)
{
	::Window found = 0;
	WaitUntil([&] { return (found = WindowOfClass(instance)) != 0; }, timeout);
	return found;
}

::Window
TestDisplay::WindowNamed(const std::string& name)
{
	return _Search(DefaultRootWindow(fConnection), [this, &name](::Window window) {
		char* windowName = NULL;
		bool matches = XFetchName(fConnection, window, &windowName) != 0 && windowName != NULL
			&& name == windowName;
		if (windowName != NULL)
			XFree(windowName);
		return matches;
	});
}

::Window
TestDisplay::WindowOfClass(const std::string& instance)
{
	return _Search(DefaultRootWindow(fConnection),
		[this, &instance](::Window window) { return ClassOf(window) == instance; });
}

::Window
TestDisplay::WaitForShown(const std::string& name)
{
	::Window window = 0;
	if (!WaitUntil([&] {
			window = WindowNamed(name);
			return window != 0 && IsShown(window);
		})) {
		return 0;
	}
	return window;
}

::Window
TestDisplay::DockedIcon(const std::string& name)
{
	::Window icon = 0;
	::Window root = DefaultRootWindow(fConnection);
	WaitUntil([&] {
		icon = WindowNamed(name);
		return icon != 0 && Parent(icon) != root && IsShown(icon);
	});
	return icon;
}

bool
TestDisplay::IsShown(::Window window)
{
	XWindowAttributes attributes;
	return XGetWindowAttributes(fConnection, window, &attributes) != 0
		&& attributes.map_state == IsViewable;
}

BRect
TestDisplay::ScreenFrame(::Window window)
{
	XWindowAttributes attributes;
	int x;
	int y;
	::Window child;
	if (XGetWindowAttributes(fConnection, window, &attributes) == 0
		|| !XTranslateCoordinates(fConnection, window, DefaultRootWindow(fConnection), 0, 0, &x, &y,
			&child)) {
		return BRect();
	}
	return BRect(x, y, x + attributes.width - 1, y + attributes.height - 1);
}

BRect
TestDisplay::SettledFrame(::Window window)
{
	const int32 kSameReads = 4;
	const bigtime_t kReadInterval = 50000;
	BRect frame = ScreenFrame(window);
	int32 same = 0;
	WaitUntil([&] {
		snooze(kReadInterval);
		BRect now = ScreenFrame(window);
		same = now == frame ? same + 1 : 0;
		frame = now;
		return same >= kSameReads;
	});
	return frame;
}

::Window
TestDisplay::Focus()
{
	::Window focus = 0;
	int revert;
	XGetInputFocus(fConnection, &focus, &revert);
	return focus;
}

::Window
TestDisplay::Parent(::Window window)
{
	::Window root;
	::Window parent = 0;
	::Window* children = NULL;
	unsigned int count;
	if (XQueryTree(fConnection, window, &root, &parent, &children, &count) == 0)
		return 0;
	if (children != NULL)
		XFree(children);
	return parent;
}

std::vector<std::string>
TestDisplay::ClientNames()
{
	std::vector<std::string> names;
	for (long client : LongProperty(DefaultRootWindow(fConnection), "_NET_CLIENT_LIST")) {
		char* name = NULL;
		if (XFetchName(fConnection, (::Window)client, &name) != 0 && name != NULL)
			names.push_back(name);
		if (name != NULL)
			XFree(name);
	}
	return names;
}

bool
TestDisplay::IsOverrideRedirect(::Window window)
{
	XWindowAttributes attributes;
	return XGetWindowAttributes(fConnection, window, &attributes) != 0
		&& attributes.override_redirect;
}

std::string
TestDisplay::ClassOf(::Window window)
{
	XClassHint hint = {NULL, NULL};
	std::string instance;
	if (XGetClassHint(fConnection, window, &hint) != 0 && hint.res_name != NULL)
		instance = hint.res_name;
	if (hint.res_name != NULL)
		XFree(hint.res_name);
	if (hint.res_class != NULL)
		XFree(hint.res_class);
	return instance;
}

std::string
TestDisplay::Utf8Property(::Window window, const char* name)
{
	std::string value;
	_ReadProperty(window, name, 8, 1024,
		[&](unsigned char* data, unsigned long count) { value.assign((const char*)data, count); });
	return value;
}

std::vector<long>
TestDisplay::LongProperty(::Window window, const char* name)
{
	std::vector<long> values;
	_ReadProperty(window, name, 32, 64, [&](unsigned char* data, unsigned long count) {
		values.assign((long*)data, (long*)data + count);
	});
	return values;
}

bool
TestDisplay::AddKeys(const std::vector<unsigned long>& keysyms)
{
	int first;
	int last;
	XDisplayKeycodes(fConnection, &first, &last);
	int perKeycode;
	KeySym* map = XGetKeyboardMapping(fConnection, first, last - first + 1, &perKeycode);
	if (map == NULL)
		return false;
	size_t next = 0;
	for (int keycode = first; keycode <= last && next < keysyms.size(); keycode++) {
		bool unused = true;
		for (int i = 0; i < perKeycode; i++)
			unused &= map[(keycode - first) * perKeycode + i] == NoSymbol;
		if (!unused)
			continue;
		KeySym symbols[2] = {keysyms[next], keysyms[next]};
		XChangeKeyboardMapping(fConnection, keycode, 2, symbols, 1);
		next++;
	}
	XFree(map);
	XSync(fConnection, False);
	return next == keysyms.size();
}

bool
TestDisplay::Xdotool(const std::vector<std::string>& arguments)
{
	std::vector<std::string> command = {"xdotool"};
	command.insert(command.end(), arguments.begin(), arguments.end());
	ChildProcess tool;
	if (!tool.Start(command, {Environment()}, fDirectory + "/xdotool.log"))
		return false;
	return WaitUntil([&tool] { return !tool.IsRunning(); });
}

bool
TestDisplay::Click(int32 x, int32 y, int32 button)
{
	return Xdotool(
		{"mousemove", std::to_string(x), std::to_string(y), "click", std::to_string(button)});
}

bool
TestDisplay::Type(const std::string& text)
{
	return Xdotool({"type", "--delay", "20", text});
}

bool
TestDisplay::Key(const std::string& keys)
{
	std::vector<std::string> arguments = {"key", "--delay", "20"};
	size_t start = 0;
	while (start < keys.size()) {
		size_t end = keys.find(' ', start);
		if (end == std::string::npos)
			end = keys.size();
		if (end > start)
			arguments.push_back(keys.substr(start, end - start));
		start = end + 1;
	}
	return Xdotool(arguments);
}

bool
TestDisplay::Grab(XwdImage* image)
{
	std::string path = fDirectory + "/screen.xwd";
	unlink(path.c_str());
	ChildProcess tool;
	if (!tool.Start({"sh", "-c", "exec xwd -root -silent > '" + path + "'"}, {Environment()}))
		return false;
	if (!WaitUntil([&tool] { return !tool.IsRunning(); }))
		return false;
	return image->Read(path) == B_OK;
}

bool
TestDisplay::ReadPixels(BRect rect, std::vector<uint8>* rgba)
{
	int32 width = rect.IntegerWidth() + 1;
	int32 height = rect.IntegerHeight() + 1;
	XImage* image = XGetImage(fConnection, DefaultRootWindow(fConnection), (int)rect.left,
		(int)rect.top, width, height, AllPlanes, ZPixmap);
	if (image == NULL)
		return false;
	rgba->clear();
	for (int32 y = 0; y < height; y++) {
		for (int32 x = 0; x < width; x++) {
			unsigned long pixel = XGetPixel(image, x, y);
			rgba->insert(rgba->end(),
				{XwdImage::Channel(pixel, image->red_mask),
					XwdImage::Channel(pixel, image->green_mask),
					XwdImage::Channel(pixel, image->blue_mask), 255});
		}
	}
	XDestroyImage(image);
	return true;
}

int32
TestDisplay::DifferencesFromHeadless(::Window window, const char* title)
{
	std::string path = fDirectory + "/headless.png";
	PngImage rendered;
	XwdImage screen;
	BRect frame = ScreenFrame(window);
	if (SaveHostScreenshot(path, title) != B_OK || rendered.Read(path) != B_OK || !Grab(&screen)
		|| rendered.Width() != frame.IntegerWidth() + 1
		|| rendered.Height() != frame.IntegerHeight() + 1) {
		return -1;
	}
	int32 differences = 0;
	for (int32 y = 0; y < rendered.Height(); y++) {
		for (int32 x = 0; x < rendered.Width(); x++) {
			rgb_color drawn = rendered.PixelAt(x, y);
			rgb_color shown = screen.PixelAt((int32)frame.left + x, (int32)frame.top + y);
			if (memcmp(&drawn, &shown, sizeof(rgb_color)) != 0)
				differences++;
		}
	}
	return differences;
}

bool
TestDisplay::SavePNG(const XwdImage& image, BRect rect, const std::string& path, int32 scale)
{
	int32 width = rect.IntegerWidth() + 1;
	int32 height = rect.IntegerHeight() + 1;
	std::vector<uint8> bits = image.Bits((int32)rect.left, (int32)rect.top, width, height);
	return BPrivate::write_png(path.c_str(), bits.data(), width, height, width * 4, scale) == B_OK;
}

::Window
TestDisplay::_Search(::Window parent, const std::function<bool(::Window)>& matches)
{
	::Window root;
	::Window parentOfParent;
	::Window* children = NULL;
	unsigned int count = 0;
	if (XQueryTree(fConnection, parent, &root, &parentOfParent, &children, &count) == 0)
		return 0;
	::Window found = 0;
	for (unsigned int i = 0; i < count && found == 0; i++) {
		if (matches(children[i]))
			found = children[i];
		else
			found = _Search(children[i], matches);
	}
	if (children != NULL)
		XFree(children);
	return found;
}

void
TestDisplay::_ReadProperty(::Window window, const char* name, int wantedFormat, long length,
	const std::function<void(unsigned char*, unsigned long)>& take)
{
	Atom type;
	int format;
	unsigned long count;
	unsigned long remaining;
	unsigned char* data = NULL;
	if (XGetWindowProperty(fConnection, window, XInternAtom(fConnection, name, False), 0, length,
			False, AnyPropertyType, &type, &format, &count, &remaining, &data)
			== Success
		&& data != NULL && format == wantedFormat) {
		take(data, count);
	}
	if (data != NULL)
		XFree(data);
}

/*
 * Part of the X11 display backend (Xlib): key translation. It wraps XLookupString and
 * Xutf8LookupString; it does not handle dead keys beyond what the local input context does.
 */
#include "X11Keyboard.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <InterfaceDefs.h>

namespace {

// The keys the kit names by a byte of their own.
const struct {
	KeySym keysym;
	char byte;
} kNamedKeys[] = {{XK_Escape, B_ESCAPE}, {XK_BackSpace, B_BACKSPACE}, {XK_Delete, B_DELETE},
	{XK_KP_Delete, B_DELETE}, {XK_Return, B_ENTER}, {XK_KP_Enter, B_ENTER}, {XK_Tab, B_TAB},
	{XK_ISO_Left_Tab, B_TAB}, {XK_Left, B_LEFT_ARROW}, {XK_KP_Left, B_LEFT_ARROW},
	{XK_Right, B_RIGHT_ARROW}, {XK_KP_Right, B_RIGHT_ARROW}, {XK_Up, B_UP_ARROW},
	{XK_KP_Up, B_UP_ARROW}, {XK_Down, B_DOWN_ARROW}, {XK_KP_Down, B_DOWN_ARROW}, {XK_Home, B_HOME},
	{XK_KP_Home, B_HOME}, {XK_End, B_END}, {XK_KP_End, B_END}, {XK_Page_Up, B_PAGE_UP},
	{XK_KP_Page_Up, B_PAGE_UP}, {XK_Page_Down, B_PAGE_DOWN}, {XK_KP_Page_Down, B_PAGE_DOWN},
	{XK_Insert, B_INSERT}, {XK_KP_Insert, B_INSERT}};

// The byte of a key the kit names, or 0.
char
ByteForKeysym(KeySym keysym)
{
	if (keysym >= XK_F1 && keysym <= XK_F12)
		return B_FUNCTION_KEY;
	for (const auto& key : kNamedKeys) {
		if (key.keysym == keysym)
			return key.byte;
	}
	return 0;
}

// UTF-8 for a keysym that stands for a character, or empty.
std::string
TextForKeysym(KeySym keysym)
{
	uint32 code;
	if ((keysym >= 0x20 && keysym <= 0x7e) || (keysym >= 0xa0 && keysym <= 0xff))
		code = (uint32)keysym;
	else if ((keysym & 0xff000000) == 0x01000000)
		code = (uint32)(keysym & 0x00ffffff);
	else
		return std::string();
	if (code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
		return std::string();
	std::string text;
	if (code < 0x80) {
		text += (char)code;
	} else if (code < 0x800) {
		text += (char)(0xc0 | (code >> 6));
		text += (char)(0x80 | (code & 0x3f));
	} else if (code < 0x10000) {
		text += (char)(0xe0 | (code >> 12));
		text += (char)(0x80 | ((code >> 6) & 0x3f));
		text += (char)(0x80 | (code & 0x3f));
	} else {
		text += (char)(0xf0 | (code >> 18));
		text += (char)(0x80 | ((code >> 12) & 0x3f));
		text += (char)(0x80 | ((code >> 6) & 0x3f));
		text += (char)(0x80 | (code & 0x3f));
	}
	return text;
}

} // namespace

X11Keyboard::X11Keyboard(Display* display) :
	fMethod(NULL)
{
	// A local input context, so that the layout's characters arrive as UTF-8 whatever the
	// process's locale, and no input server is waited for.
	XSetLocaleModifiers("@im=none");
	fMethod = XOpenIM(display, NULL, NULL, NULL);
}

X11Keyboard::~X11Keyboard()
{
	for (auto& entry : fContexts)
		XDestroyIC(entry.second);
	if (fMethod != NULL)
		XCloseIM(fMethod);
}

std::string
X11Keyboard::BytesFor(XKeyEvent& event)
{
	char buffer[64];
	KeySym keysym = NoSymbol;
	std::string text;
	XIC context = event.type == KeyPress ? _ContextFor(event.window) : NULL;
	if (context != NULL) {
		Status status;
		int length = Xutf8LookupString(context, &event, buffer, sizeof(buffer) - 1, &keysym,
			&status);
		if (status == XLookupChars || status == XLookupBoth)
			text.assign(buffer, length);
		if (status != XLookupKeySym && status != XLookupBoth)
			keysym = NoSymbol;
	}
	if (context == NULL || (keysym == NoSymbol && text.empty())) {
		int length = XLookupString(&event, buffer, sizeof(buffer) - 1, &keysym, NULL);
		std::string fromKeysym = TextForKeysym(keysym);
		if (!fromKeysym.empty() && (event.state & ControlMask) == 0)
			text = fromKeysym;
		else
			text.assign(buffer, length);
	}
	char named = ByteForKeysym(keysym);
	if (named != 0)
		return std::string(1, named);
	return text;
}

void
X11Keyboard::WindowDestroyed(::Window window)
{
	auto found = fContexts.find(window);
	if (found == fContexts.end())
		return;
	XDestroyIC(found->second);
	fContexts.erase(found);
}

uint32
X11Keyboard::ModifiersFor(unsigned int state)
{
	uint32 modifiers = 0;
	if ((state & ShiftMask) != 0)
		modifiers |= B_SHIFT_KEY | B_LEFT_SHIFT_KEY;
	if ((state & ControlMask) != 0)
		modifiers |= B_CONTROL_KEY | B_LEFT_CONTROL_KEY;
	// Alt is the platform's command key.
	if ((state & Mod1Mask) != 0)
		modifiers |= B_COMMAND_KEY | B_LEFT_COMMAND_KEY;
	if ((state & Mod4Mask) != 0)
		modifiers |= B_OPTION_KEY | B_LEFT_OPTION_KEY;
	if ((state & LockMask) != 0)
		modifiers |= B_CAPS_LOCK;
	if ((state & Mod2Mask) != 0)
		modifiers |= B_NUM_LOCK;
	return modifiers;
}

XIC
X11Keyboard::_ContextFor(::Window window)
{
	if (fMethod == NULL)
		return NULL;
	auto found = fContexts.find(window);
	if (found != fContexts.end())
		return found->second;
	XIC context = XCreateIC(fMethod, XNInputStyle, XIMPreeditNothing | XIMStatusNothing,
		XNClientWindow, window, XNFocusWindow, window, NULL);
	fContexts[window] = context;
	return context;
}

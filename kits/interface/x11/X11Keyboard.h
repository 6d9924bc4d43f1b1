/*
 * Part of the X11 display backend (Xlib): turns key events into the bytes and modifiers of
 * the kit's B_KEY_DOWN. Text comes from the keyboard layout as UTF-8 (through an input
 * context without an input server); the keys the kit names (arrows, Escape, Delete, ...)
 * become their single bytes. No compose sequences or input methods for other scripts.
 */
#ifndef X11_KEYBOARD_H
#define X11_KEYBOARD_H

#include <X11/Xlib.h>

#include <map>
#include <string>

#include <SupportDefs.h>

class X11Keyboard {
public:
	explicit X11Keyboard(Display* display);
	~X11Keyboard();

	// The bytes a key press or release stands for (empty for a lone modifier key).
	std::string BytesFor(XKeyEvent& event);
	void WindowDestroyed(::Window window);

	static uint32 ModifiersFor(unsigned int state);

private:
	XIC _ContextFor(::Window window);

	XIM fMethod;
	std::map<::Window, XIC> fContexts;
};

#endif // X11_KEYBOARD_H

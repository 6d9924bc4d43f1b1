/*
 * ControlCommands: carries out the control client's commands inside the host: listing the
 * windows, feeding a window mouse and key input (drags and modifier keys too), activating a
 * window, choosing an item of the open menu, reading or saving a window's pixels, pulsing the
 * shelf now or setting its pulse rate, and quitting the host.
 */
#ifndef CONTROL_COMMANDS_H
#define CONTROL_COMMANDS_H

#include <SupportDefs.h>

class BMessage;
class BWindow;
class ShelfWindow;

class ControlCommands {
public:
	explicit ControlCommands(ShelfWindow* shelf);

	// Carries out `request` and fills `reply`; B_BAD_VALUE for a request that is no command.
	status_t Execute(const BMessage& request, BMessage* reply);

private:
	status_t _ListWindows(BMessage* reply);
	status_t _Input(const BMessage& request);
	status_t _ChooseMenuItem(const BMessage& request);
	status_t _Screenshot(const BMessage& request);
	status_t _Pixels(const BMessage& request, BMessage* reply);
	status_t _Activate(const BMessage& request);
	status_t _Pulse(const BMessage& request);
	status_t _SetPulseRate(const BMessage& request);
	// The window of that title (the shelf when none is given), held: release it after use.
	BWindow* _FindWindow(const char* title);

	ShelfWindow* fShelf;
};

#endif // CONTROL_COMMANDS_H

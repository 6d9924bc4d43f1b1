/*
 * BScreen: the main screen's frame, colour space and palette. Without a display the main
 * screen is 1024 x 768. Display modes, screen shots and power management are not provided.
 */
#ifndef _SCREEN_H
#define _SCREEN_H

#include <GraphicsDefs.h>
#include <Rect.h>

class BWindow;

class BScreen {
public:
	BScreen(screen_id id = B_MAIN_SCREEN_ID);
	BScreen(BWindow* window);
	~BScreen();

	bool IsValid();
	status_t SetToNext();

	color_space ColorSpace();
	BRect Frame();
	screen_id ID();

	status_t WaitForRetrace();
	status_t WaitForRetrace(bigtime_t timeout);

	uint8 IndexForColor(rgb_color color);
	uint8 IndexForColor(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255);
	rgb_color ColorForIndex(const uint8 index);
	uint8 InvertIndex(uint8 index);
	const color_map* ColorMap();

	rgb_color DesktopColor();
	rgb_color DesktopColor(uint32 workspace);
	void SetDesktopColor(rgb_color color, bool makeDefault = true);
	void SetDesktopColor(rgb_color color, uint32 workspace, bool makeDefault = true);

private:
	BScreen(const BScreen&);
	BScreen& operator=(const BScreen&);

	screen_id fID;
};

#endif // _SCREEN_H

/*
 * Private to the Deskbar handle, the Deskbar host and its control client: the requests they
 * exchange. Every request and reply is one flattened message; a reply's "status" is the
 * request's result.
 */
#ifndef _DESKBAR_PROTOCOL_H
#define _DESKBAR_PROTOCOL_H

#include <SupportDefs.h>

namespace BPrivate {

// Items: "name" or "id" select one; AddItem takes "path" (an add-on) or "archive".
const uint32 kMsgDeskbarHasItem = 'DBhi';
const uint32 kMsgDeskbarCountItems = 'DBci';
const uint32 kMsgDeskbarAddItem = 'DBai';
const uint32 kMsgDeskbarRemoveItem = 'DBri';
const uint32 kMsgDeskbarItemInfo = 'DBii';
const uint32 kMsgDeskbarFrame = 'DBfr';

// Control: "window" names a window by title (the shelf when absent); points are in the
// window's coordinates unless "screen" is true. A drag presses at "where", moves to "to" in
// "steps" moves with the button held, and releases there; a key carries "modifiers". The
// pulse requests act on the shelf: "count" pulses at once, or the "rate" of its own pulse
// (0 stops it). Pixels come as "pixels", "width" times "height" RGBA quadruples of "rect".
const uint32 kMsgDeskbarListItems = 'DBli';
const uint32 kMsgDeskbarListWindows = 'DBlw';
const uint32 kMsgDeskbarClick = 'DBck';
const uint32 kMsgDeskbarMouseMove = 'DBmm';
const uint32 kMsgDeskbarMouseDown = 'DBmd';
const uint32 kMsgDeskbarMouseUp = 'DBmu';
const uint32 kMsgDeskbarKey = 'DBky';
const uint32 kMsgDeskbarChooseMenuItem = 'DBcm';
const uint32 kMsgDeskbarScreenshot = 'DBss';
const uint32 kMsgDeskbarDrag = 'DBdg';
const uint32 kMsgDeskbarActivate = 'DBac';
const uint32 kMsgDeskbarPulse = 'DBpl';
const uint32 kMsgDeskbarPulseRate = 'DBpr';
const uint32 kMsgDeskbarPixels = 'DBpx';
const uint32 kMsgDeskbarQuit = 'DBqt';

const uint32 kMsgDeskbarReply = 'DBrp';

// The largest flattened request or reply either side accepts.
const uint32 kDeskbarMaxMessageSize = 16 * 1024 * 1024;

// The shelf's name as a window title, and the file its items are archived in.
extern const char* const kDeskbarShelfTitle;
extern const char* const kDeskbarItemsFile;

} // namespace BPrivate

#endif // _DESKBAR_PROTOCOL_H

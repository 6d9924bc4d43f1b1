/*
 * Message codes understood by the engine looper. The messages carry no fields.
 */
#ifndef ENGINE_MESSAGES_H
#define ENGINE_MESSAGES_H

#include <SupportDefs.h>

// Run the public address check.
const uint32 MSG_CHECK_IP = 'DDic';
// Run the update request.
const uint32 MSG_UPDATE = 'DDiu';

#endif // ENGINE_MESSAGES_H

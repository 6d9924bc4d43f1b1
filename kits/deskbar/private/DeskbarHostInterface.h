/*
 * Private: the Deskbar host's side of its requests, for code running inside the host's own
 * process (a replicant's hooks). The BDeskbar handle calls it directly instead of going
 * through the socket, so that a hook on the shelf's thread never waits on the shelf.
 */
#ifndef _DESKBAR_HOST_INTERFACE_H
#define _DESKBAR_HOST_INTERFACE_H

#include <SupportDefs.h>

class BMessage;

namespace BPrivate {

class DeskbarHostInterface {
public:
	virtual ~DeskbarHostInterface();

	// Answers a request as the socket would; returns the reply's status. Requests that change
	// the shelf, made on the shelf's own thread, are queued and done right after the running
	// hook returns.
	virtual status_t HandleRequest(const BMessage& request, BMessage* reply) = 0;

	static void SetInstance(DeskbarHostInterface* host);
	static DeskbarHostInterface* Instance();
};

} // namespace BPrivate

#endif // _DESKBAR_HOST_INTERFACE_H

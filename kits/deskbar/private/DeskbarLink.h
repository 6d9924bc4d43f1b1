/*
 * Private: the connection of a client to the user's Deskbar host, over a local stream socket
 * in the user's runtime directory. One request and its reply per exchange. When no host
 * answers, the client starts one: the `Deskbar` program found beside the kit's own library.
 */
#ifndef _DESKBAR_LINK_H
#define _DESKBAR_LINK_H

#include <string>

#include <OS.h>
#include <SupportDefs.h>

class BMessage;

namespace BPrivate {

class DeskbarLink {
public:
	// Sends `request` and waits for the reply; starts a host first when none runs and
	// `startHost` is true.
	static status_t Exchange(const BMessage& request, BMessage* reply, bool startHost = true);
	// A connection to the host listening at `socketPath` (the user's host when empty), -1
	// when none answers: for a client that speaks on the stream itself.
	static int Connect(const std::string& socketPath = "");

	// $XDG_RUNTIME_DIR when it is a folder of the user's that no one else may enter, else a
	// private folder under the temporary directory named for the user, created with mode 0700
	// (B_PERMISSION_DENIED when that name is taken by someone else's). `note`, when given,
	// receives one line saying why XDG_RUNTIME_DIR was passed over or whose the folder is.
	static status_t RuntimeDirectory(std::string& path, std::string* note = NULL);
	static status_t SocketPath(std::string& path);
	static status_t LockPath(std::string& path);
	// The Deskbar program beside the kit's library, in the build tree or an installed prefix.
	static status_t HostProgram(std::string& path);

	// One flattened message on a stream, preceded by its length, within the time-out. The
	// reader takes the body in bounded pieces as they arrive, never its declared size at once.
	static status_t WriteMessage(int socket, const BMessage& message,
		bigtime_t timeout = B_INFINITE_TIMEOUT);
	static status_t ReadMessage(int socket, BMessage* message, bigtime_t timeout);

private:
	static status_t _StartHost();
};

} // namespace BPrivate

#endif // _DESKBAR_LINK_H

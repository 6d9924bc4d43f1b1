/*
 * RequestServer: answers the Deskbar's requests, from other processes over the local socket
 * (one thread per connection) and from replicants inside this process directly; the control
 * client's commands it hands to ControlCommands.
 */
#ifndef REQUEST_SERVER_H
#define REQUEST_SERVER_H

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ControlCommands.h"
#include "DeskbarHostInterface.h"

class ShelfWindow;

class RequestServer : public BPrivate::DeskbarHostInterface {
public:
	explicit RequestServer(ShelfWindow* shelf);
	~RequestServer() override;

	// Takes the user's Deskbar lock and starts listening; fails when another host runs.
	// Requests from this process are answered at once, those from others once accepting.
	status_t Start();
	void StartAccepting();
	// Stops listening and waits (briefly) for the connections at hand. The lock is kept
	// until the server is deleted.
	void Stop();

	status_t HandleRequest(const BMessage& request, BMessage* reply) override;

private:
	void _Accept();
	void _Serve(int socket);

	ShelfWindow* fShelf;
	ControlCommands fCommands;
	int fLockFile;
	int fListenSocket;
	int fWakeRead;
	int fWakeWrite;
	std::string fSocketPath;
	std::thread fAcceptor;

	std::mutex fConnectionLock;
	std::condition_variable fConnectionsChanged;
	std::vector<int> fConnections;
	bool fStopping;
};

#endif // REQUEST_SERVER_H

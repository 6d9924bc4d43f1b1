/*
 * RequestServer: answers the Deskbar's requests, from other processes over the local socket
 * (one thread per connection) and from replicants inside this process directly; the control
 * client's commands it hands to ControlCommands. Only the user's own processes are served,
 * a few dozen at a time, each within deadlines for its request and its reply.
 */
#ifndef REQUEST_SERVER_H
#define REQUEST_SERVER_H

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <OS.h>

#include "ControlCommands.h"
#include "DeskbarHostInterface.h"

class ShelfWindow;

class RequestServer : public BPrivate::DeskbarHostInterface {
public:
	explicit RequestServer(ShelfWindow* shelf);
	~RequestServer() override;

	// Takes the user's Deskbar lock and starts listening; fails when another host runs.
	// Requests from this process are answered at once, those from others once accepting.
	// What went wrong, or why the folder it uses is not the one asked for, is logged.
	status_t Start();
	void StartAccepting();
	// Stops listening and waits (briefly) for the connections at hand. The lock is kept
	// until the server is deleted.
	void Stop();

	// Never throws: what goes wrong while answering fails this request only.
	status_t HandleRequest(const BMessage& request, BMessage* reply) override;

	static const size_t kMaxConnections = 32;

private:
	struct Connection {
		int socket;
		bigtime_t since;
		// Until its whole request is in; such a connection may give way to a new one.
		bool reading;
		bool evicted;
	};

	status_t _Listen();
	void _Accept();
	bool _Admit(int socket);
	void _Serve(int socket);
	void _SetReading(int socket, bool reading);
	void _DescriptorsExhausted();
	status_t _HandleRequest(const BMessage& request, BMessage* reply);

	ShelfWindow* fShelf;
	ControlCommands fCommands;
	int fLockFile;
	int fListenSocket;
	int fWakeRead;
	int fWakeWrite;
	// Kept open to be given up when the process runs out of descriptors, so a waiting
	// connection can still be taken and closed.
	int fSpareDescriptor;
	bool fToldExhausted;
	std::string fSocketPath;
	std::thread fAcceptor;

	std::mutex fConnectionLock;
	std::condition_variable fConnectionsChanged;
	std::vector<Connection> fConnections;
	bool fStopping;
};

#endif // REQUEST_SERVER_H

/*
 * BNetEndpoint: a socket with a time-out. Covers the R5 class except the BNetBuffer forms of
 * Send and Receive. An archive keeps the settings, not the connection: the endpoint made from
 * it is not connected.
 *
 * Every wait is bounded: the time-out (10 seconds unless set) limits a connect (with the look-up
 * of its host name, when given one), a whole send and each receive. A stream endpoint reads ahead,
 * so that small receives cost no system call each. Close() ends the connection; the next Connect()
 * opens a new socket. Error() gives the host's errno value of the last failure.
 *
 * Close() may come from another thread while a call waits on the socket: the socket is then
 * shut down, which ends the wait at once as a failure, and closed when that call returns. Any
 * other use of one endpoint from several threads at a time is not supported.
 */
#ifndef _NET_ENDPOINT_H
#define _NET_ENDPOINT_H

#include <sys/socket.h>

#include <Archivable.h>
#include <Locker.h>
#include <NetAddress.h>
#include <SupportDefs.h>

class BNetEndpoint : public BArchivable {
public:
	BNetEndpoint(int type = SOCK_STREAM);
	BNetEndpoint(int family, int type, int protocol);
	BNetEndpoint(BMessage* archive);
	BNetEndpoint(const BNetEndpoint& other);
	virtual ~BNetEndpoint();

	BNetEndpoint& operator=(const BNetEndpoint& other);

	status_t Archive(BMessage* into, bool deep = true) const override;
	static BArchivable* Instantiate(BMessage* archive);

	status_t InitCheck() const;

	int Socket() const;
	const BNetAddress& LocalAddr();
	const BNetAddress& RemoteAddr();

	virtual void Close();

	virtual status_t Bind(const BNetAddress& address);
	virtual status_t Bind(int port = 0);
	virtual status_t Connect(const BNetAddress& address);
	virtual status_t Connect(const char* hostname, unsigned short port);
	virtual status_t Listen(int backlog = 5);
	// Waits at most timeout milliseconds; a negative time-out waits for a connection.
	virtual BNetEndpoint* Accept(int32 timeout = -1);

	int Error() const;
	char* ErrorStr() const;

	virtual int32 Send(const void* buffer, size_t size, int flags = 0);
	virtual int32 SendTo(const void* buffer, size_t size, const BNetAddress& to, int flags = 0);

	// Zero or less gives the default of 10 seconds.
	void SetTimeout(bigtime_t timeout);

	virtual int32 Receive(void* buffer, size_t size, int flags = 0);
	virtual int32 ReceiveFrom(void* buffer, size_t size, BNetAddress& from, int flags = 0);

	virtual bool IsDataPending(bigtime_t timeout = 0);

	status_t SetProtocol(int protocol);
	int SetOption(int32 option, int32 level, const void* data, unsigned int dataSize);
	int SetNonBlocking(bool on = true);
	int SetReuseAddr(bool on = true);

private:
	// It runs its secure session over this class's bounded, abortable receive and send.
	friend class BSecureEndpoint;

	status_t _Connect(const struct sockaddr_in& remote, bigtime_t deadline);
	bool _OpenSocket();
	void _CloseSocket();
	int _BeginCall(bool openIfClosed = false);
	bool _EndCall();
	void _ForgetConnection();
	static bool _IsBeingClosed(void* endpoint);
	bigtime_t _Wait() const;
	int32 _Failed(int error);

	// Guards the descriptor and the counts below; a call holds it only to begin and end.
	mutable BLocker fSocketLock;
	int fSocket;
	// Calls using the descriptor right now.
	int32 fUsers;
	// Closed by another thread during a call: the last call to end closes the descriptor.
	bool fCloseWhenIdle;
	// Closed since the last call: the read-ahead and the remote address are forgotten by the
	// next call, on the thread that uses the endpoint.
	bool fForgetConnection;
	status_t fInit;
	int fLastError;
	int fFamily;
	int fType;
	int fProtocol;
	bigtime_t fTimeout;
	bool fNonBlocking;
	BNetAddress fLocalAddr;
	BNetAddress fRemoteAddr;

	// The read-ahead of a stream: bytes fBufferStart to fBufferEnd are not yet received.
	char* fBuffer;
	size_t fBufferStart;
	size_t fBufferEnd;
	// Set by a send: the answer cannot be there yet, so the next read waits before trying.
	bool fAwaitingReply;

	mutable char fErrorText[128];
};

#endif // _NET_ENDPOINT_H

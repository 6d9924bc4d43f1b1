/*
 * Zorve: the engine looper. On its own thread it checks the machine's public address against
 * a check-IP server and sends the update request to the dynamic-DNS server, one message at a
 * time, and keeps the activity log. Other threads read its busy flag and results without a
 * lock, and copy its log with LogText(). Before it is quit, AbandonExchange() gives up the
 * exchange it waits on, so that whoever quits it is not held up by a server.
 */
#ifndef ZORVE_H
#define ZORVE_H

#include <atomic>

#include <Locker.h>
#include <Looper.h>
#include <NetAddress.h>
#include <NetEndpoint.h>
#include <String.h>

class Zorve : public BLooper {
public:
	Zorve();
	~Zorve() override;

	void MessageReceived(BMessage* message) override;

	int32 CheckIp();
	int32 Update();
	BString EncodeBase64(const char* text);
	void Log(const char* message);
	void CheckLog();

	// A copy of the log, taken under the lock that guards it.
	BString LogText() const;

	// From any thread, before the engine is locked to be quit: the check or update under way
	// stops waiting on its server and ends at once as a failure, logging and saving nothing
	// more, and no later one starts. May be called again, for an exchange that began meanwhile.
	void AbandonExchange();

	// The text of a check-IP reply to look for the address in: the body of a whole HTTP
	// reply, so that a chunked page reads as one, else the bytes as they came.
	static BString PageText(const BString& reply);
	// The address a check-IP page reports: the text after its marker up to the first "<",
	// carriage return or line feed, without surrounding white space. False without a marker.
	static bool ExtractAddress(const BString& page, BString& address);
	// True for a dotted quad of four decimal numbers from 0 to 255.
	static bool IsValidAddress(const char* address);

	BNetAddress fServerAddress;
	BNetEndpoint fServerEndpoint;
	std::atomic<bool> fBusy;
	std::atomic<int32> fUpdateResult;
	std::atomic<int32> fCheckResult;
	// Written by the engine's thread under fLogLock; read it through LogText().
	BString fLogText;

private:
	void _AppendToLog(const char* text);
	void _ApplyLogSizeRule(int32 limit);
	void _SaveIpCache(const char* address);
	void _ReceiveReply(BNetEndpoint& endpoint, bigtime_t deadline, BString& reply);
	bool _BeginExchange(BNetEndpoint* endpoint);
	void _EndExchange();

	mutable BLocker fLogLock;
	// Guards fExchange: the endpoint the engine's thread talks to a server through, if any.
	BLocker fExchangeLock;
	BNetEndpoint* fExchange;
	std::atomic<bool> fAbandoned;
};

#endif // ZORVE_H

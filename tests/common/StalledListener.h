/*
 * A loopback listener that never accepts and whose backlog is full: a connect to its port
 * stalls until the connecting side gives up.
 */
#ifndef STALLED_LISTENER_H
#define STALLED_LISTENER_H

#include <vector>

#include <SupportDefs.h>

class StalledListener {
public:
	StalledListener();
	~StalledListener();

	// 0 when the backlog could not be filled.
	uint16 Port() const { return fPort; }
	// Takes one queued connection off the backlog (and keeps it, unanswered), which lets
	// one more connect through.
	void AcceptOne();

private:
	StalledListener(const StalledListener&);
	StalledListener& operator=(const StalledListener&);

	int fListener;
	uint16 fPort;
	std::vector<int> fQueued;
};

#endif // STALLED_LISTENER_H

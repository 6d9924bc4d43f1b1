/*
 * Preferences for a run of the whole icon against a loopback server: the launcher's defaults with
 * both servers at 127.0.0.1 on the server's port, a check delay of one hour and the server's
 * address already cached, so that nothing happens until a test asks for it.
 */
#ifndef LOOPBACK_PREFERENCES_H
#define LOOPBACK_PREFERENCES_H

#include <gtest/gtest.h>

#include "CPreferences.h"

// Saves those preferences after `change` has adjusted them.
template<typename Change>
void
WriteLoopbackPreferences(int32 port, const char* cachedAddress, Change change)
{
	CPreferences prefs;
	prefs.SetDefault();
	prefs.fCheckIpServer = "127.0.0.1";
	prefs.fDynDnsServer = "127.0.0.1";
	prefs.fPort = port;
	prefs.fCheckDelay = 3600;
	prefs.fIpCache = cachedAddress;
	prefs.fTimeOut = 5;
	change(prefs);
	ASSERT_EQ(prefs.Save(), B_OK);
}

#endif // LOOPBACK_PREFERENCES_H

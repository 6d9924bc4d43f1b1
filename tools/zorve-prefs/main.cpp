/*
 * zorve-prefs: prints the user's Zorve preferences, or sets some of them:
 *   zorve-prefs                       every key with its value
 *   zorve-prefs key=value [...]       changes those keys and saves the whole record
 * Printing writes nothing. A change to a missing or unreadable file starts from the defaults;
 * an unreadable one is kept beside it.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "CPreferences.h"
#include "PreferencesEdit.h"

namespace {

struct Key {
	const char* name;
	BString CPreferences::*text;
	int32 CPreferences::*number;
};

const Key kKeys[] = {
	{"ip-cache", &CPreferences::fIpCache, NULL},
	{"user", &CPreferences::fUser, NULL},
	{"password", &CPreferences::fPassword, NULL},
	{"host", &CPreferences::fHost, NULL},
	{"system", &CPreferences::fSystem, NULL},
	{"wildcard", NULL, &CPreferences::fWildcard},
	{"mx", &CPreferences::fMx, NULL},
	{"backmx", NULL, &CPreferences::fBackMx},
	{"offline", NULL, &CPreferences::fOffline},
	{"application-path", &CPreferences::fApplicationPath, NULL},
	{"check-ip-server", &CPreferences::fCheckIpServer, NULL},
	{"dyndns-server", &CPreferences::fDynDnsServer, NULL},
	{"port", NULL, &CPreferences::fPort},
	{"check-delay", NULL, &CPreferences::fCheckDelay},
	{"log-size", NULL, &CPreferences::fLogSize},
};

void
Print(const CPreferences& prefs)
{
	for (const Key& key : kKeys) {
		if (key.text != NULL)
			printf("%s=%s\n", key.name, (prefs.*key.text).String());
		else
			printf("%s=%d\n", key.name, (int)(prefs.*key.number));
	}
	printf("time-out=%d\n", (int)prefs.fTimeOut);
	BRect frame = prefs.fSettingsWinPosition;
	printf("settings-win-position=%g,%g,%g,%g\n", frame.left, frame.top, frame.right, frame.bottom);
}

bool
Set(CPreferences& prefs, const std::string& name, const std::string& value)
{
	for (const Key& key : kKeys) {
		if (name != key.name)
			continue;
		if (key.text != NULL)
			prefs.*key.text = value.c_str();
		else
			prefs.*key.number = (int32)strtol(value.c_str(), NULL, 10);
		return true;
	}
	if (name == "time-out") {
		prefs.fTimeOut = (int8)strtol(value.c_str(), NULL, 10);
		return true;
	}
	if (name == "settings-win-position") {
		float l, t, r, b;
		if (sscanf(value.c_str(), "%f,%f,%f,%f", &l, &t, &r, &b) != 4)
			return false;
		prefs.fSettingsWinPosition.Set(l, t, r, b);
		return true;
	}
	return false;
}

} // namespace

int
main(int argc, char** argv)
{
	if (argc == 1) {
		// Printing only reads: a file that cannot be loaded is left exactly as it is.
		CPreferences prefs;
		status_t status = prefs.Load();
		if (status != B_OK) {
			fprintf(stderr, "zorve-prefs: cannot read %s (status 0x%08x)\n", prefs.SettingPath(),
				(unsigned)status);
			return 1;
		}
		Print(prefs);
		return 0;
	}

	PreferencesEdit prefs;
	for (int i = 1; i < argc; i++) {
		const char* equals = strchr(argv[i], '=');
		if (equals == NULL
			|| !Set(prefs.Record(), std::string(argv[i], equals - argv[i]), equals + 1)) {
			fprintf(stderr, "zorve-prefs: unknown setting '%s' (key=value expected)\n", argv[i]);
			return 2;
		}
	}
	status_t status = prefs.Commit();
	if (prefs->DamagedCopy()[0] != '\0')
		printf("zorve-prefs: the unreadable file was kept as %s\n", prefs->DamagedCopy());
	if (status != B_OK) {
		fprintf(stderr, "zorve-prefs: cannot save %s (status 0x%08x)\n", prefs->SettingPath(),
			(unsigned)status);
		return 1;
	}
	return 0;
}

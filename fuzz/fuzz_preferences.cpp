/*
 * Reads arbitrary bytes as the preferences file, as CPreferences::Load reads it (as they are,
 * and repaired). A file that loads must give every key a value of its type, and the record it
 * leaves must flatten and read back as the same message.
 */
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <vector>

#include "CPreferences.h"
#include "FuzzHome.h"
#include "FuzzCheck.h"
#include "MessageRepair.h"

namespace {

void
TryFile(const uint8_t* data, size_t size)
{
	CPreferences prefs;
	// Rewritten in place: the fuzz home is in memory where the system allows, so truncating
	// costs no write-back, and saves the unlink and the new inode of every input.
	int file = open(prefs.SettingPath(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
	Check(file >= 0);
	if (size > 0)
		Check(write(file, data, size) == (ssize_t)size);
	close(file);
	if (prefs.Load() != B_OK)
		return;
	for (const BString* text :
		{&prefs.fIpCache, &prefs.fUser, &prefs.fPassword, &prefs.fHost, &prefs.fSystem, &prefs.fMx,
			&prefs.fApplicationPath, &prefs.fCheckIpServer, &prefs.fDynDnsServer}) {
		Check(strlen(text->String()) == (size_t)text->Length());
	}
	ssize_t flatSize = prefs.FlattenedSize();
	std::vector<char> flat(flatSize);
	Check(prefs.Flatten(flat.data(), flatSize) == B_OK);
	BMessage copy;
	Check(copy.Unflatten(flat.data()) == B_OK);
	Check(copy.FlattenedSize() == flatSize);
}

} // namespace

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	static FuzzHome home;
	TryFile(data, size);
	std::vector<uint8_t> repaired = Repaired(data, size);
	if (!repaired.empty())
		TryFile(repaired.data(), repaired.size());
	return 0;
}

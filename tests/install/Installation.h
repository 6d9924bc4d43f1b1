/*
 * An install of the build into a scratch folder as DESTDIR, with the prefix given, as
 * `make install` does it; the folder goes with the object.
 */
#ifndef INSTALLATION_H
#define INSTALLATION_H

#include <set>
#include <string>

class Installation {
public:
	explicit Installation(const std::string& prefix);
	~Installation();

	bool Succeeded() const { return fSucceeded; }
	// The scratch folder, standing for the file system's root.
	const std::string& Root() const { return fRoot; }
	// Where a file installed as `path` (absolute) lies in the scratch folder.
	std::string Path(const std::string& path) const { return fRoot + path; }
	// Every file installed, relative to the root ("usr/local/bin/Zorve").
	std::set<std::string> Files() const;
	// The value of `key` in the installed desktop entry `path`.
	std::string EntryValue(const std::string& path, const std::string& key) const;

private:
	Installation(const Installation&);
	Installation& operator=(const Installation&);

	std::string fRoot;
	bool fSucceeded;
};

#endif // INSTALLATION_H

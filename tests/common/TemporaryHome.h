/*
 * Points HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR at a fresh temporary folder for the
 * lifetime of the object, so that settings, the roster's registry and Deskbar sockets of one
 * test never meet another's or the user's. Removes the folder afterwards.
 */
#ifndef TEMPORARY_HOME_H
#define TEMPORARY_HOME_H

#include <string>

class TemporaryHome {
public:
	TemporaryHome();
	~TemporaryHome();

	const std::string& Path() const { return fPath; }
	// The user settings directory inside this home.
	std::string SettingsPath() const { return fPath + "/.config"; }

	// Any file's whole content ("" when it cannot be read).
	static std::string ReadFile(const std::string& path);
	void WriteFile(const std::string& path, const std::string& content) const;

private:
	TemporaryHome(const TemporaryHome&);
	TemporaryHome& operator=(const TemporaryHome&);

	std::string fPath;
	std::string fOldHome;
	std::string fOldConfig;
	std::string fOldRuntime;
	bool fHadHome;
	bool fHadConfig;
	bool fHadRuntime;
};

#endif // TEMPORARY_HOME_H

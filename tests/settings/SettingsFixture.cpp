#include "SettingsFixture.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>

#include <OS.h>
#include <Roster.h>
#include <TextControl.h>
#include <TabView.h>
#include <Window.h>

#include "DynDnsSettingsWin.h"
#include "Zorve.h"

namespace {

// Records how it was started; named like what it stands in for.
void
WriteStandIn(const TemporaryHome& home, const std::string& path, const std::string& record)
{
	home.WriteFile(path, "#!/bin/sh\necho \"${0##*/} $#:$1\" >> '" + record + "'\n");
	chmod(path.c_str(), 0700);
}

} // namespace

void
SettingsFixture::SetUp()
{
	std::string bin = fHome.Path() + "/bin";
	mkdir(bin.c_str(), 0700);
	std::string record = fHome.Path() + "/launched";
	WriteStandIn(fHome, bin + "/browser", record);
	WriteStandIn(fHome, bin + "/mailer", record);
	// Should the registry fail, the desktop's opener is a stand-in too.
	WriteStandIn(fHome, bin + "/xdg-open", record);
	ASSERT_EQ(B_OK, BRoster::_RegisterApp("text/html", (bin + "/browser").c_str()));
	ASSERT_EQ(B_OK, BRoster::_RegisterApp("text/x-email", (bin + "/mailer").c_str()));
	const char* path = getenv("PATH");
	fSavedPath = path != NULL ? path : "/usr/bin:/bin";
	setenv("PATH", (bin + ":" + fSavedPath).c_str(), 1);

	WritePrefs();
}

void
SettingsFixture::TearDown()
{
	Close();
	setenv("PATH", fSavedPath.c_str(), 1);
}

void
SettingsFixture::Close()
{
	if (fWindow != nullptr) {
		fWindow->Lock();
		fWindow->Quit();
		fWindow = nullptr;
	}
	if (fEngine != nullptr) {
		fEngine->Lock();
		fEngine->Quit();
		fEngine = nullptr;
	}
	fPort.reset();
}

void
SettingsFixture::WritePrefs(const std::function<void(CPreferences&)>& change)
{
	CPreferences prefs;
	prefs.SetDefault();
	if (change)
		change(prefs);
	ASSERT_EQ(B_OK, prefs.Save());
}

std::unique_ptr<CPreferences>
SettingsFixture::Stored()
{
	std::unique_ptr<CPreferences> prefs(new CPreferences);
	EXPECT_EQ(B_OK, prefs->Load());
	return prefs;
}

void
SettingsFixture::Open(BRect frame)
{
	Build(frame);
	Show();
}

void
SettingsFixture::Build(BRect frame)
{
	fEngine = new Zorve;
	fWindow = new DynDnsSettingsWin(frame, fEngine);
	fPort.reset(new BPrivate::WindowPort(fWindow));
	// A steady caret: no pulses unless a test asks for one.
	fWindow->SetPulseRate(0);
}

void
SettingsFixture::Show()
{
	fWindow->Show();
	ASSERT_EQ(B_OK, fPort->Sync());
}

void
SettingsFixture::SelectTab(int32 index)
{
	fWindow->Lock();
	static_cast<BTabView*>(fWindow->FindView("settings-tab"))->Select(index);
	fWindow->Unlock();
	fPort->Sync();
}

BView*
SettingsFixture::Find(const char* name)
{
	fWindow->Lock();
	BView* view = fWindow->FindView(name);
	fWindow->Unlock();
	return view;
}

BTextControl*
SettingsFixture::Control(const char* name)
{
	return dynamic_cast<BTextControl*>(Find(name));
}

std::string
SettingsFixture::TextOf(const char* controlName)
{
	BTextControl* control = Control(controlName);
	if (control == nullptr)
		return "<no control>";
	fWindow->Lock();
	std::string text = control->Text();
	fWindow->Unlock();
	return text;
}

void
SettingsFixture::TypeInto(const char* controlName, const char* text)
{
	BTextControl* control = Control(controlName);
	ASSERT_NE(nullptr, control) << controlName;
	fWindow->Lock();
	control->TextView()->MakeFocus(true);
	control->TextView()->SelectAll();
	fWindow->Unlock();
	Key("\b");
	// One key per character, however many bytes it takes.
	const char* c = text;
	while (*c != '\0') {
		int32 length = 1;
		while ((c[length] & 0xc0) == 0x80)
			length++;
		Key(std::string(c, length).c_str());
		c += length;
	}
}

void
SettingsFixture::Key(const char* bytes, uint32 modifiers)
{
	fPort->KeyDown(bytes, modifiers);
	fPort->KeyUp(bytes, modifiers);
}

std::vector<std::string>
SettingsFixture::Launched(size_t count)
{
	std::vector<std::string> lines;
	for (int32 attempt = 0; attempt < 500; attempt++) {
		lines.clear();
		std::istringstream content(fHome.ReadFile(fHome.Path() + "/launched"));
		std::string line;
		while (std::getline(content, line))
			lines.push_back(line);
		if (lines.size() >= count)
			break;
		snooze(10000);
	}
	return lines;
}

/*
 * The settings window on a private home: preferences written as the launcher would, an
 * engine whose log the test fills, and recording stand-ins registered for web and mail
 * addresses, so that no browser or mail program ever starts.
 */
#ifndef SETTINGS_FIXTURE_H
#define SETTINGS_FIXTURE_H

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <Rect.h>
#include <TextControl.h>
#include <View.h>

#include "InterfaceTestSupport.h"
#include "CPreferences.h"
#include "DynDnsSettingsWin.h"
#include "TemporaryHome.h"
#include "WindowPort.h"

class Zorve;

const BRect kDefaultFrame(50, 50, 311, 240);
// Where a page's origin lies in the window: below the strip, the tabs and the box's edge.
const BPoint kPageOrigin(1, 30);
const rgb_color kPanel = {216, 216, 216, 255};

enum {
	kAboutTab = 0,
	kUserTab,
	kServerTab,
	kOtherTab,
	kLogTab
};

class SettingsFixture : public testing::Test {
protected:
	void SetUp() override;
	void TearDown() override;

	// The launcher's defaults, then whatever `change` makes of them.
	void WritePrefs(const std::function<void(CPreferences&)>& change = {});
	// The preferences file as it is now.
	std::unique_ptr<CPreferences> Stored();

	// Builds the window (hidden) with the engine, then shows it and waits for its drawing.
	void Open(BRect frame = kDefaultFrame);
	void Build(BRect frame = kDefaultFrame);
	void Show();
	// Quits the window and the engine.
	void Close();
	DynDnsSettingsWin* Window() const { return fWindow; }
	Zorve* Engine() const { return fEngine; }
	BPrivate::WindowPort& Port() { return *fPort; }
	rgb_color Pixel(int32 x, int32 y) { return fPort->PixelAt(x, y); }

	void SelectTab(int32 index);
	BView* Find(const char* name);
	BTextControl* Control(const char* name);
	std::string TextOf(const char* controlName);
	// Focuses the control's field, deletes what it holds and types `text` key by key.
	void TypeInto(const char* controlName, const char* text);
	void Key(const char* bytes, uint32 modifiers = 0);
	// Escape, typed wherever the focus is: the window saves and hides.
	void PressEscape() { Key("\x1b"); }

	// What the stand-ins were started with, one "program argc:argument" line each; waits
	// (bounded) until `count` lines are there.
	std::vector<std::string> Launched(size_t count);

	TemporaryHome fHome;
	std::string fSavedPath;
	Zorve* fEngine = nullptr;
	DynDnsSettingsWin* fWindow = nullptr;
	std::unique_ptr<BPrivate::WindowPort> fPort;
};

#endif // SETTINGS_FIXTURE_H

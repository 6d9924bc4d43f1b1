/*
 * One run of the whole system, headless: Zorve against a loopback server, and the control
 * client to drive the Deskbar host it starts.
 */
#ifndef SYSTEM_FIXTURE_H
#define SYSTEM_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StatusPictures.h"
#include "ZorveFixture.h"

class SystemFixture : public ZorveFixture {
protected:
	void SetUp() override;
	void TearDown() override;

	// Runs deskbar-ctl and expects it to succeed.
	void Do(const std::string& arguments);

	StatusPictures::Picture ShownPicture();
	// Pulses the shelf once, then names the picture shown.
	StatusPictures::Picture PulseAndLook();

	// Clicks the icon and chooses the menu item.
	void Choose(const char* label);
	// Starts Zorve against a server whose update service stalls, with the shelf pulsed only
	// on request, and forces an update, which stays under way.
	void StartAStalledUpdate();
	bool WindowShown(const char* title);
	// The names of the Deskbar host's threads, empty when no host runs.
	std::vector<std::string> HostThreads();

	StatusPictures* fPictures = nullptr;
};

#endif // SYSTEM_FIXTURE_H

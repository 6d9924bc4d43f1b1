/*
 * What views and windows were told, in order, as lines a test reads back: written on the
 * window's thread, taken on the test's.
 */
#ifndef JOURNAL_H
#define JOURNAL_H

#include <mutex>
#include <string>
#include <vector>

class Journal {
public:
	void Add(const std::string& entry)
	{
		std::lock_guard<std::mutex> guard(fLock);
		fEntries.push_back(entry);
	}

	// The entries so far, which leave the journal.
	std::vector<std::string> Take()
	{
		std::lock_guard<std::mutex> guard(fLock);
		std::vector<std::string> taken;
		taken.swap(fEntries);
		return taken;
	}

private:
	std::mutex fLock;
	std::vector<std::string> fEntries;
};

#endif // JOURNAL_H

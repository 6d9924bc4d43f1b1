#include <gtest/gtest.h>

#include <dirent.h>
#include <stdint.h>

#include <fstream>
#include <ostream>
#include <iterator>
#include <string>
#include <vector>

#define FUZZ_TARGET(name) extern "C" int Replay_##name(const uint8_t* data, size_t size);
#include "FuzzTargets.h"
#undef FUZZ_TARGET

namespace {

struct Target {
	const char* name;
	int (*entry)(const uint8_t* data, size_t size);
};

const Target kTargets[] = {
#define FUZZ_TARGET(name) {#name, Replay_##name},
#include "FuzzTargets.h"
#undef FUZZ_TARGET
};

std::vector<std::string>
FilesIn(const std::string& folder)
{
	std::vector<std::string> files;
	DIR* directory = opendir(folder.c_str());
	if (directory == NULL)
		return files;
	while (struct dirent* entry = readdir(directory)) {
		if (entry->d_name[0] != '.')
			files.push_back(folder + "/" + entry->d_name);
	}
	closedir(directory);
	return files;
}

std::string
NameOf(const testing::TestParamInfo<Target>& info)
{
	return info.param.name;
}

void
PrintTo(const Target& target, std::ostream* stream)
{
	*stream << target.name;
}

} // namespace

class CorpusReplayTest : public testing::TestWithParam<Target> {};

// A finding would abort the program (or a sanitizer would stop it); each input returns 0.
TEST_P(CorpusReplayTest, EveryCommittedInputPasses)
{
	const Target& target = GetParam();
	std::vector<std::string> files = FilesIn(std::string(FUZZ_DIR) + "/corpus/" + target.name);
	// The corpus is what the campaign kept; without one the target was never run.
	EXPECT_FALSE(files.empty()) << "no corpus for " << target.name;
	for (const std::string& seed : FilesIn(std::string(FUZZ_DIR) + "/seeds/" + target.name))
		files.push_back(seed);
	for (const std::string& path : files) {
		std::ifstream file(path, std::ios::binary);
		std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
			std::istreambuf_iterator<char>());
		SCOPED_TRACE(path);
		EXPECT_EQ(target.entry(bytes.data(), bytes.size()), 0);
	}
}

INSTANTIATE_TEST_SUITE_P(Targets, CorpusReplayTest, testing::ValuesIn(kTargets), NameOf);

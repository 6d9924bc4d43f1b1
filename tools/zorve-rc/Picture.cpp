/*
 * Picture files: '#' starts a comment line, "size W H" gives the dimensions, each
 * "color C INDEX [description]" line maps a character to a palette index, and "pixels" is
 * followed by exactly H rows of W characters.
 */
#include "Picture.h"

#include <stdlib.h>

#include <fstream>
#include <map>
#include <sstream>

namespace {

const int32 kMaxDimension = 256;

bool
Fail(std::string* error, const std::string& path, int line, const std::string& message)
{
	*error = path + ":" + std::to_string(line) + ": " + message;
	return false;
}

bool
ParseNumber(const std::string& text, long minimum, long maximum, long* value)
{
	if (text.empty())
		return false;
	char* end = NULL;
	*value = strtol(text.c_str(), &end, 10);
	return *end == '\0' && *value >= minimum && *value <= maximum;
}

} // namespace

Picture::Picture() :
	fWidth(0),
	fHeight(0)
{
}

bool
Picture::Load(const std::string& path, std::string* error)
{
	fPath = path;
	fWidth = fHeight = 0;
	fPixels.clear();

	std::ifstream in(path);
	if (!in)
		return Fail(error, path, 0, "cannot be read");

	std::map<char, uint8> legend;
	std::string line;
	int lineNumber = 0;
	bool inPixels = false;
	int32 rows = 0;
	while (std::getline(in, line)) {
		lineNumber++;
		if (inPixels) {
			if (rows == fHeight) {
				if (line.find_first_not_of(" \t\r") != std::string::npos)
					return Fail(error, path, lineNumber, "more rows than the size says");
				continue;
			}
			if ((int32)line.size() != fWidth)
				return Fail(error, path, lineNumber,
					"row is not " + std::to_string(fWidth) + " characters wide");
			for (char c : line) {
				auto found = legend.find(c);
				if (found == legend.end())
					return Fail(error, path, lineNumber,
						std::string("'") + c + "' is not in the legend");
				fPixels.push_back(found->second);
			}
			rows++;
			continue;
		}

		std::istringstream words(line);
		std::string keyword;
		if (!(words >> keyword) || keyword[0] == '#')
			continue;
		if (keyword == "size") {
			std::string width, height;
			long w, h;
			words >> width >> height;
			if (!ParseNumber(width, 1, kMaxDimension, &w)
				|| !ParseNumber(height, 1, kMaxDimension, &h))
				return Fail(error, path, lineNumber, "expected \"size WIDTH HEIGHT\"");
			fWidth = (int32)w;
			fHeight = (int32)h;
		} else if (keyword == "color") {
			std::string character, index;
			long value;
			words >> character >> index;
			if (character.size() != 1 || !ParseNumber(index, 0, 255, &value))
				return Fail(error, path, lineNumber, "expected \"color CHARACTER INDEX\"");
			if (!legend.emplace(character[0], (uint8)value).second)
				return Fail(error, path, lineNumber, "'" + character + "' is defined twice");
		} else if (keyword == "pixels") {
			if (fWidth == 0)
				return Fail(error, path, lineNumber, "\"pixels\" before \"size\"");
			inPixels = true;
		} else
			return Fail(error, path, lineNumber, "unknown keyword \"" + keyword + "\"");
	}
	if (!inPixels || rows != fHeight)
		return Fail(error, path, lineNumber, "fewer rows than the size says");
	return true;
}

/*
 * Definition lines: TYPE ID "NAME" KIND [ARGUMENTS]. TYPE is a four-character code, words
 * in double quotes may hold spaces (\" and \\ escape), and '#' outside quotes starts a
 * comment. The kinds:
 *   int32 VALUE                      a 32-bit integer
 *   string "TEXT"                    the text and its terminating zero byte
 *   version MAJOR.MIDDLE.MINOR VARIETY INTERNAL "SHORT" "LONG"
 *                                    the application's version_info, then an empty one for
 *                                    the system version
 *   message                          an empty flattened message
 *   bitmap FILE                      a flattened B_CMAP8 BBitmap archive of a picture
 *   pixels FILE                      the bare pixels of a picture (icons)
 */
#include "ResourceScript.h"

#include <stdlib.h>
#include <string.h>

#include <fstream>

#include <AppFileInfo.h>
#include <Bitmap.h>
#include <GraphicsDefs.h>
#include <Message.h>
#include <Rect.h>

namespace {

const char* const kVarieties[] = {"development", "alpha", "beta", "gamma", "golden-master",
	"final"};

bool
SplitWords(const std::string& line, std::vector<std::string>* words, std::string* problem)
{
	words->clear();
	size_t i = 0;
	while (i < line.size()) {
		char c = line[i];
		if (c == ' ' || c == '\t' || c == '\r') {
			i++;
			continue;
		}
		if (c == '#')
			break;
		std::string word;
		if (c == '"') {
			// Quoted words keep a leading quote so that "" stays distinguishable.
			word = "\"";
			for (i++; i < line.size() && line[i] != '"'; i++) {
				if (line[i] == '\\' && i + 1 < line.size())
					i++;
				word += line[i];
			}
			if (i == line.size()) {
				*problem = "unterminated quotation";
				return false;
			}
			i++;
		} else {
			while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
				word += line[i++];
		}
		words->push_back(word);
	}
	return true;
}

bool
IsQuoted(const std::string& word)
{
	return !word.empty() && word[0] == '"';
}

bool
ParseInteger(const std::string& text, long long minimum, long long maximum, long long* value)
{
	if (text.empty() || IsQuoted(text))
		return false;
	char* end = NULL;
	*value = strtoll(text.c_str(), &end, 0);
	return *end == '\0' && *value >= minimum && *value <= maximum;
}

void
AppendBytes(std::vector<uint8>& data, const void* bytes, size_t size)
{
	const uint8* first = static_cast<const uint8*>(bytes);
	data.insert(data.end(), first, first + size);
}

bool
Flatten(const BMessage& message, std::vector<uint8>* data)
{
	ssize_t size = message.FlattenedSize();
	if (size <= 0)
		return false;
	data->resize(size);
	return message.Flatten(reinterpret_cast<char*>(data->data()), size) == B_OK;
}

// The archive a B_CMAP8 BBitmap writes, with the flags the platform's icon
// archives carry.
bool
BitmapArchive(const Picture& picture, std::vector<uint8>* data)
{
	const int32 bytesPerRow = (picture.Width() + 3) / 4 * 4;
	std::vector<uint8> bits((size_t)bytesPerRow * picture.Height(), 0);
	for (int32 y = 0; y < picture.Height(); y++) {
		memcpy(&bits[(size_t)y * bytesPerRow], &picture.Pixels()[(size_t)y * picture.Width()],
			picture.Width());
	}
	BMessage archive;
	return archive.AddString("class", "BBitmap") == B_OK
		&& archive.AddRect("_frame", BRect(0, 0, picture.Width() - 1, picture.Height() - 1)) == B_OK
		&& archive.AddInt32("_cspace", B_CMAP8) == B_OK
		&& archive.AddInt32("_bmflags", B_BITMAP_CLEAR_TO_WHITE) == B_OK
		&& archive.AddInt32("_rowbytes", bytesPerRow) == B_OK
		&& archive.AddData("_data", B_RAW_TYPE, bits.data(), bits.size()) == B_OK
		&& Flatten(archive, data);
}

bool
VersionRecord(const std::vector<std::string>& words, std::vector<uint8>* data, std::string* problem)
{
	if (words.size() != 5 || !IsQuoted(words[3]) || !IsQuoted(words[4])) {
		*problem = "expected version MAJOR.MIDDLE.MINOR VARIETY INTERNAL \"SHORT\" \"LONG\"";
		return false;
	}
	version_info info;
	memset(&info, 0, sizeof(info));
	unsigned major, middle, minor;
	char rest;
	if (sscanf(words[0].c_str(), "%u.%u.%u%c", &major, &middle, &minor, &rest) != 3) {
		*problem = "bad version number \"" + words[0] + "\"";
		return false;
	}
	info.major = major;
	info.middle = middle;
	info.minor = minor;
	info.variety = sizeof(kVarieties) / sizeof(kVarieties[0]);
	for (uint32 i = 0; i < sizeof(kVarieties) / sizeof(kVarieties[0]); i++) {
		if (words[1] == kVarieties[i])
			info.variety = i;
	}
	long long internal;
	if (info.variety == sizeof(kVarieties) / sizeof(kVarieties[0])
		|| !ParseInteger(words[2], 0, UINT32_MAX, &internal)) {
		*problem = "bad variety or internal number";
		return false;
	}
	info.internal = (uint32)internal;
	const std::string shortInfo = words[3].substr(1);
	const std::string longInfo = words[4].substr(1);
	if (shortInfo.size() >= sizeof(info.short_info) || longInfo.size() >= sizeof(info.long_info)) {
		*problem = "version description too long";
		return false;
	}
	memcpy(info.short_info, shortInfo.c_str(), shortInfo.size());
	memcpy(info.long_info, longInfo.c_str(), longInfo.size());

	version_info system;
	memset(&system, 0, sizeof(system));
	AppendBytes(*data, &info, sizeof(info));
	AppendBytes(*data, &system, sizeof(system));
	return true;
}

} // namespace

bool
ResourceScript::Load(const std::string& path, std::string* error)
{
	fEntries.clear();
	fPictures.clear();
	std::ifstream in(path);
	if (!in) {
		*error = path + ": cannot be read";
		return false;
	}
	const size_t slash = path.rfind('/');
	const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);

	std::string line;
	int lineNumber = 0;
	std::vector<std::string> words;
	while (std::getline(in, line)) {
		lineNumber++;
		std::string problem;
		if (!SplitWords(line, &words, &problem)
			|| (!words.empty() && !_ParseLine(words, folder, &problem))) {
			*error = path + ":" + std::to_string(lineNumber) + ": " + problem;
			return false;
		}
	}
	return true;
}

bool
ResourceScript::_ParseLine(const std::vector<std::string>& words, const std::string& folder,
	std::string* error)
{
	if (words.size() < 4 || words[0].size() != 4 || IsQuoted(words[0]) || !IsQuoted(words[2])) {
		*error = "expected TYPE ID \"NAME\" KIND ...";
		return false;
	}
	ResourceEntry entry;
	entry.type = 0;
	for (char c : words[0])
		entry.type = (entry.type << 8) | (uint8)c;
	long long id;
	if (!ParseInteger(words[1], INT32_MIN, INT32_MAX, &id)) {
		*error = "bad id \"" + words[1] + "\"";
		return false;
	}
	entry.id = (int32)id;
	entry.name = words[2].substr(1);
	for (const ResourceEntry& other : fEntries) {
		if (other.type == entry.type && other.id == entry.id) {
			*error = "type " + words[0] + " and id " + words[1] + " are used twice";
			return false;
		}
	}

	const std::string& kind = words[3];
	const std::vector<std::string> arguments(words.begin() + 4, words.end());
	if (kind == "int32") {
		long long value;
		if (arguments.size() != 1 || !ParseInteger(arguments[0], INT32_MIN, UINT32_MAX, &value)) {
			*error = "expected int32 VALUE";
			return false;
		}
		int32 stored = (int32)(uint32)value;
		AppendBytes(entry.data, &stored, sizeof(stored));
	} else if (kind == "string") {
		if (arguments.size() != 1 || !IsQuoted(arguments[0])) {
			*error = "expected string \"TEXT\"";
			return false;
		}
		AppendBytes(entry.data, arguments[0].c_str() + 1, arguments[0].size());
	} else if (kind == "version") {
		if (!VersionRecord(arguments, &entry.data, error))
			return false;
	} else if (kind == "message") {
		if (!arguments.empty() || !Flatten(BMessage(), &entry.data)) {
			*error = "expected message without arguments";
			return false;
		}
	} else if (kind == "bitmap" || kind == "pixels") {
		if (arguments.size() != 1) {
			*error = "expected " + kind + " FILE";
			return false;
		}
		const std::string& file = arguments[0][0] == '"' ? arguments[0].substr(1) : arguments[0];
		Picture picture;
		if (!picture.Load(file[0] == '/' ? file : folder + "/" + file, error))
			return false;
		if (kind == "pixels")
			entry.data = picture.Pixels();
		else if (!BitmapArchive(picture, &entry.data)) {
			*error = "cannot archive " + picture.Path();
			return false;
		}
		fPictures.push_back(picture);
	} else {
		*error = "unknown kind \"" + kind + "\"";
		return false;
	}
	fEntries.push_back(std::move(entry));
	return true;
}

#include "HttpReply.h"

#include <ctype.h>
#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <string>

namespace {

// Finds the end of the line starting at `start`: the index of its line feed, or -1.
ssize_t
LineEnd(const char* data, size_t length, size_t start)
{
	const void* found = memchr(data + start, '\n', length - start);
	return found != NULL ? (const char*)found - data : -1;
}

// The line from `start` to `end` without its line feed and carriage return, and, as a string
// would keep it, only up to a NUL byte.
std::string
LineText(const char* data, size_t start, size_t end)
{
	size_t stop = end;
	if (stop > start && data[stop - 1] == '\r')
		stop--;
	return std::string(data + start, strnlen(data + start, stop - start));
}

} // namespace

HttpReply::HttpReply() :
	fStatusCode(0)
{
}

status_t
HttpReply::SetTo(const char* data, size_t length)
{
	fStatusCode = 0;
	fStatusLine = "";
	fHeaders = "";
	fBody = "";
	if (data == NULL)
		return B_BAD_VALUE;

	ssize_t lineEnd = LineEnd(data, length, 0);
	if (lineEnd < 0)
		return B_BAD_DATA;
	fStatusLine = LineText(data, 0, (size_t)lineEnd).c_str();
	const char* line = fStatusLine.String();
	if (strncmp(line, "HTTP/1.", 7) != 0 || !isdigit((unsigned char)line[7]) || line[8] != ' ')
		return B_BAD_DATA;
	for (int i = 9; i < 12; i++) {
		if (!isdigit((unsigned char)line[i]))
			return B_BAD_DATA;
	}
	if (line[12] != '\0' && line[12] != ' ')
		return B_BAD_DATA;
	int32 code = (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');

	// Headers run up to the first empty line; gathered whole before they become a string,
	// which copies itself at each append.
	std::string headers;
	size_t position = (size_t)lineEnd + 1;
	while (true) {
		if (position >= length)
			return B_BAD_DATA;
		lineEnd = LineEnd(data, length, position);
		if (lineEnd < 0)
			return B_BAD_DATA;
		std::string header = LineText(data, position, (size_t)lineEnd);
		position = (size_t)lineEnd + 1;
		if (header.empty())
			break;
		headers += header;
		headers += '\n';
	}
	fHeaders.SetTo(headers.c_str(), (int32)headers.size());

	const char* body = data + position;
	size_t bodyLength = length - position;
	BString encoding, contentLength;
	bool sized = Header("Content-Length", contentLength);
	if (Header("Transfer-Encoding", encoding) && encoding.IFindFirst("chunked") >= 0) {
		status_t status = _ReadChunkedBody(body, bodyLength);
		if (status != B_OK)
			return status;
	} else if (sized) {
		const char* digits = contentLength.String();
		char* end;
		errno = 0;
		unsigned long long declared = strtoull(digits, &end, 10);
		if (end == digits || *end != '\0' || *digits == '-' || errno != 0 || declared > bodyLength)
			return B_BAD_DATA;
		fBody.SetTo(body, (int32)declared);
	} else
		fBody.SetTo(body, (int32)bodyLength);

	fStatusCode = code;
	return B_OK;
}

bool
HttpReply::Header(const char* name, BString& value) const
{
	size_t nameLength = strlen(name);
	const char* line = fHeaders.String();
	while (*line != '\0') {
		const char* end = strchr(line, '\n');
		if (strncasecmp(line, name, nameLength) == 0 && line[nameLength] == ':') {
			const char* start = line + nameLength + 1;
			while (*start == ' ' || *start == '\t')
				start++;
			const char* valueEnd = end;
			while (valueEnd > start && (valueEnd[-1] == ' ' || valueEnd[-1] == '\t'))
				valueEnd--;
			value.SetTo(start, (int32)(valueEnd - start));
			return true;
		}
		line = end + 1;
	}
	return false;
}

status_t
HttpReply::_ReadChunkedBody(const char* data, size_t length)
{
	std::string body;
	size_t position = 0;
	while (true) {
		ssize_t lineEnd = LineEnd(data, length, position);
		if (lineEnd < 0)
			return B_BAD_DATA;
		std::string sizeLine = LineText(data, position, (size_t)lineEnd);
		const char* digits = sizeLine.c_str();
		char* end;
		errno = 0;
		unsigned long long size = strtoull(digits, &end, 16);
		// Chunk extensions follow a semicolon.
		if (end == digits || errno != 0 || (*end != '\0' && *end != ';' && *end != ' '))
			return B_BAD_DATA;
		position = (size_t)lineEnd + 1;
		if (size == 0) {
			fBody.SetTo(body.c_str(), (int32)body.size());
			return B_OK;
		}
		if (size > length - position)
			return B_BAD_DATA;
		body.append(data + position, strnlen(data + position, (size_t)size));
		position += (size_t)size;
		// The chunk's data ends with a line break.
		if (position < length && data[position] == '\r')
			position++;
		if (position >= length || data[position] != '\n')
			return B_BAD_DATA;
		position++;
	}
}

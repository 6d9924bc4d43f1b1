/*
 * HttpReply: an HTTP/1.x response read from the bytes a server sent: status line, headers and
 * the body, whether chunked, sized by Content-Length, or ending at the close.
 */
#ifndef HTTP_REPLY_H
#define HTTP_REPLY_H

#include <String.h>
#include <SupportDefs.h>

class HttpReply {
public:
	HttpReply();

	// B_OK when the bytes hold a whole reply; B_BAD_DATA when they are not HTTP or the body
	// is cut short of its declared end.
	status_t SetTo(const char* data, size_t length);

	int32 StatusCode() const { return fStatusCode; }
	const BString& StatusLine() const { return fStatusLine; }
	const BString& Body() const { return fBody; }
	bool IsSuccess() const { return fStatusCode >= 200 && fStatusCode <= 299; }

	// The value of the first header of that name (case-insensitive); false when absent.
	bool Header(const char* name, BString& value) const;

private:
	status_t _ReadChunkedBody(const char* data, size_t length);

	int32 fStatusCode;
	BString fStatusLine;
	BString fHeaders;
	BString fBody;
};

#endif // HTTP_REPLY_H

#include <DataIO.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

BDataIO::BDataIO()
{
}

BDataIO::~BDataIO()
{
}

BPositionIO::BPositionIO()
{
}

BPositionIO::~BPositionIO()
{
}

ssize_t
BPositionIO::Read(void* buffer, size_t size)
{
	off_t position = Position();
	ssize_t result = ReadAt(position, buffer, size);
	if (result > 0)
		Seek(position + result, SEEK_SET);
	return result;
}

ssize_t
BPositionIO::Write(const void* buffer, size_t size)
{
	off_t position = Position();
	ssize_t result = WriteAt(position, buffer, size);
	if (result > 0)
		Seek(position + result, SEEK_SET);
	return result;
}

status_t
BPositionIO::SetSize(off_t /*size*/)
{
	return B_ERROR;
}

// Resolves a seek request against the current position and length; -1 when it would land
// before the start.
static off_t
ResolveSeek(off_t position, uint32 seekMode, off_t current, off_t length)
{
	switch (seekMode) {
		case SEEK_SET:
			break;
		case SEEK_CUR:
			position += current;
			break;
		case SEEK_END:
			position += length;
			break;
		default:
			return B_BAD_VALUE;
	}
	return position < 0 ? (off_t)B_BAD_VALUE : position;
}

BMemoryIO::BMemoryIO(void* data, size_t length) :
	fReadOnly(false),
	fBuffer((char*)data),
	fLength(length),
	fBufferSize(length),
	fPosition(0)
{
}

BMemoryIO::BMemoryIO(const void* data, size_t length) :
	fReadOnly(true),
	fBuffer((char*)const_cast<void*>(data)),
	fLength(length),
	fBufferSize(length),
	fPosition(0)
{
}

BMemoryIO::~BMemoryIO()
{
}

ssize_t
BMemoryIO::ReadAt(off_t position, void* buffer, size_t size)
{
	if (buffer == NULL || position < 0)
		return B_BAD_VALUE;
	if ((size_t)position >= fLength)
		return 0;
	size = min_c(size, fLength - (size_t)position);
	memcpy(buffer, fBuffer + position, size);
	return (ssize_t)size;
}

ssize_t
BMemoryIO::WriteAt(off_t position, const void* buffer, size_t size)
{
	if (fReadOnly)
		return B_NOT_ALLOWED;
	if (buffer == NULL || position < 0)
		return B_BAD_VALUE;
	if ((size_t)position >= fBufferSize)
		return 0;
	size = min_c(size, fBufferSize - (size_t)position);
	memcpy(fBuffer + position, buffer, size);
	if ((size_t)position + size > fLength)
		fLength = (size_t)position + size;
	return (ssize_t)size;
}

off_t
BMemoryIO::Seek(off_t position, uint32 seekMode)
{
	off_t result = ResolveSeek(position, seekMode, fPosition, (off_t)fLength);
	if (result >= 0)
		fPosition = result;
	return result;
}

off_t
BMemoryIO::Position() const
{
	return fPosition;
}

status_t
BMemoryIO::SetSize(off_t size)
{
	if (fReadOnly)
		return B_NOT_ALLOWED;
	if (size < 0 || (size_t)size > fBufferSize)
		return B_ERROR;
	fLength = (size_t)size;
	return B_OK;
}

BMallocIO::BMallocIO() :
	fBlockSize(256),
	fMallocSize(0),
	fLength(0),
	fData(NULL),
	fPosition(0)
{
}

BMallocIO::~BMallocIO()
{
	free(fData);
}

ssize_t
BMallocIO::ReadAt(off_t position, void* buffer, size_t size)
{
	if (buffer == NULL || position < 0)
		return B_BAD_VALUE;
	if ((size_t)position >= fLength)
		return 0;
	size = min_c(size, fLength - (size_t)position);
	memcpy(buffer, fData + position, size);
	return (ssize_t)size;
}

ssize_t
BMallocIO::WriteAt(off_t position, const void* buffer, size_t size)
{
	if (buffer == NULL || position < 0)
		return B_BAD_VALUE;
	size_t end = (size_t)position + size;
	if (end > fLength) {
		status_t status = SetSize((off_t)end);
		if (status != B_OK)
			return status;
	}
	memcpy(fData + position, buffer, size);
	return (ssize_t)size;
}

off_t
BMallocIO::Seek(off_t position, uint32 seekMode)
{
	off_t result = ResolveSeek(position, seekMode, fPosition, (off_t)fLength);
	if (result >= 0)
		fPosition = result;
	return result;
}

off_t
BMallocIO::Position() const
{
	return fPosition;
}

status_t
BMallocIO::SetSize(off_t size)
{
	if (size < 0)
		return B_BAD_VALUE;
	if (size == 0) {
		free(fData);
		fData = NULL;
		fMallocSize = 0;
		fLength = 0;
		return B_OK;
	}
	size_t newSize = ((size_t)size + fBlockSize - 1) / fBlockSize * fBlockSize;
	if (newSize != fMallocSize) {
		char* data = (char*)realloc(fData, newSize);
		if (data == NULL)
			return B_NO_MEMORY;
		fData = data;
		fMallocSize = newSize;
	}
	if ((size_t)size > fLength)
		memset(fData + fLength, 0, (size_t)size - fLength);
	fLength = (size_t)size;
	return B_OK;
}

void
BMallocIO::SetBlockSize(size_t blockSize)
{
	fBlockSize = blockSize > 0 ? blockSize : 1;
}

const void*
BMallocIO::Buffer() const
{
	return fData;
}

size_t
BMallocIO::BufferLength() const
{
	return fLength;
}

/*
 * Builds R5 flattened messages byte by byte for test fixtures, in either byte order, so that
 * the reader is checked against the format's rules rather than against our own writer.
 */
#ifndef R5_BYTES_H
#define R5_BYTES_H

#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

typedef std::vector<uint8_t> Bytes;

class R5Bytes {
public:
	explicit R5Bytes(bool bigEndian = false) :
		fBigEndian(bigEndian)
	{
	}

	R5Bytes& U8(uint8_t value)
	{
		fBytes.push_back(value);
		return *this;
	}
	R5Bytes& U16(uint16_t value) { return _Integer(value, 2); }
	R5Bytes& U32(uint32_t value) { return _Integer(value, 4); }
	R5Bytes& U64(uint64_t value) { return _Integer(value, 8); }
	R5Bytes& Float(float value)
	{
		uint32_t bits;
		memcpy(&bits, &value, 4);
		return U32(bits);
	}
	R5Bytes& Double(double value)
	{
		uint64_t bits;
		memcpy(&bits, &value, 8);
		return U64(bits);
	}
	R5Bytes& Raw(const void* data, size_t size)
	{
		const uint8_t* bytes = (const uint8_t*)data;
		fBytes.insert(fBytes.end(), bytes, bytes + size);
		return *this;
	}
	R5Bytes& Raw(const Bytes& bytes) { return Raw(bytes.data(), bytes.size()); }
	R5Bytes& Text(const char* text) { return Raw(text, strlen(text)); }
	R5Bytes& Zeros(size_t count)
	{
		fBytes.insert(fBytes.end(), count, 0);
		return *this;
	}
	// One variable-size item: its size, the bytes, zeros until 4 + size is a multiple of 8.
	R5Bytes& Item(const void* data, uint32_t size)
	{
		U32(size).Raw(data, size);
		return Zeros((8 - (4 + size) % 8) % 8);
	}
	R5Bytes& StringItem(const char* text) { return Item(text, (uint32_t)strlen(text) + 1); }

	// A field's head: flags, type, count unless single-item, size (one byte when mini), name.
	R5Bytes& FieldHead(uint8_t flags, uint32_t type, uint32_t count, uint32_t dataSize,
		const char* name)
	{
		bool mini = (flags & 0x02) != 0;
		U8(flags).U32(type);
		if ((flags & 0x08) == 0)
			mini ? U8((uint8_t)count) : U32(count);
		mini ? U8((uint8_t)dataSize) : U32(dataSize);
		return U8((uint8_t)strlen(name)).Text(name);
	}

	const Bytes& Get() const { return fBytes; }
	bool BigEndian() const { return fBigEndian; }

private:
	R5Bytes& _Integer(uint64_t value, int size)
	{
		for (int i = 0; i < size; i++) {
			int shift = fBigEndian ? (size - 1 - i) * 8 : i * 8;
			fBytes.push_back((uint8_t)(value >> shift));
		}
		return *this;
	}

	bool fBigEndian;
	Bytes fBytes;
};

// Sum of the big-endian 32-bit words of the header from the size field on, plus the leftover
// bytes as one big-endian number.
inline uint32_t
R5Checksum(const uint8_t* data, size_t length)
{
	uint32_t sum = 0;
	size_t i = 0;
	for (; i + 4 <= length; i += 4)
		sum += (uint32_t)data[i] << 24 | data[i + 1] << 16 | data[i + 2] << 8 | data[i + 3];
	uint32_t rest = 0;
	for (; i < length; i++)
		rest = rest << 8 | data[i];
	return sum + rest;
}

// A whole message: header (with `extraHeader` after the flags byte), the fields, and the end
// byte; size and checksum filled in for the message as built, unless told otherwise.
inline Bytes
R5Message(const R5Bytes& fields, uint32_t what = 0, uint8_t headerFlags = 0x01,
	const Bytes& extraHeader = Bytes(), bool endByte = true)
{
	bool bigEndian = fields.BigEndian();
	size_t headerSize = 17 + extraHeader.size();
	uint32_t size = (uint32_t)(headerSize + fields.Get().size() + (endByte ? 1 : 0));

	R5Bytes header(bigEndian);
	header.U32(0x464F4231).U32(0).U32(size).U32(what).U8(headerFlags).Raw(extraHeader);
	Bytes bytes = header.Get();
	uint32_t checksum = R5Checksum(bytes.data() + 8, headerSize - 8);
	R5Bytes checksumBytes(bigEndian);
	checksumBytes.U32(checksum);
	memcpy(bytes.data() + 4, checksumBytes.Get().data(), 4);

	bytes.insert(bytes.end(), fields.Get().begin(), fields.Get().end());
	if (endByte)
		bytes.push_back(0);
	return bytes;
}

#endif // R5_BYTES_H

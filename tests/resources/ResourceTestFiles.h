/*
 * Whole-file reads and writes and little-endian patching for the resource tests.
 */
#ifndef RESOURCE_TEST_FILES_H
#define RESOURCE_TEST_FILES_H

#include <stdint.h>

#include <fstream>
#include <string>
#include <vector>

typedef std::vector<uint8_t> Bytes;

inline Bytes
ReadBytes(const std::string& path)
{
	std::ifstream in(path, std::ios::binary | std::ios::ate);
	if (!in)
		return Bytes();
	Bytes bytes((size_t)in.tellg());
	in.seekg(0);
	in.read(reinterpret_cast<char*>(bytes.data()), bytes.size());
	return bytes;
}

inline void
WriteBytes(const std::string& path, const Bytes& bytes)
{
	std::ofstream out(path, std::ios::binary | std::ios::trunc);
	out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

inline uint32_t
Get32(const Bytes& bytes, size_t offset)
{
	return bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16)
		| ((uint32_t)bytes[offset + 3] << 24);
}

inline void
Put32(Bytes& bytes, size_t offset, uint32_t value)
{
	for (int i = 0; i < 4; i++)
		bytes[offset + i] = (uint8_t)(value >> (8 * i));
}

#endif // RESOURCE_TEST_FILES_H

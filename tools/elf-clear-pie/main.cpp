/*
 * elf-clear-pie: clears DF_1_PIE in the dynamic section of a linked executable, in place.
 * The C library refuses to dlopen an image marked as a position-independent executable;
 * without the mark the same image still runs as a program and also loads as an add-on.
 * Wraps the host's <elf.h>; only images in the host's byte order are handled.
 */
#include <elf.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

struct Elf32 {
	typedef Elf32_Ehdr Header;
	typedef Elf32_Phdr ProgramHeader;
	typedef Elf32_Dyn Dynamic;
};

struct Elf64 {
	typedef Elf64_Ehdr Header;
	typedef Elf64_Phdr ProgramHeader;
	typedef Elf64_Dyn Dynamic;
};

bool
ReadAt(int fd, off_t offset, void* buffer, size_t size)
{
	return pread(fd, buffer, size, offset) == (ssize_t)size;
}

// 0 when the flag was cleared or was not set, 1 on error (reported on stderr).
template<typename Elf>
int
ClearFlag(int fd, const char* path, off_t fileSize)
{
	typename Elf::Header header;
	if (!ReadAt(fd, 0, &header, sizeof(header))
		|| header.e_phentsize != sizeof(typename Elf::ProgramHeader)) {
		fprintf(stderr, "elf-clear-pie: %s: damaged ELF header\n", path);
		return 1;
	}
	for (unsigned i = 0; i < header.e_phnum; i++) {
		typename Elf::ProgramHeader segment;
		if (!ReadAt(fd, header.e_phoff + (off_t)i * sizeof(segment), &segment, sizeof(segment))) {
			fprintf(stderr, "elf-clear-pie: %s: damaged program headers\n", path);
			return 1;
		}
		if (segment.p_type != PT_DYNAMIC)
			continue;
		if (segment.p_offset > (uint64_t)fileSize
			|| segment.p_filesz > (uint64_t)fileSize - segment.p_offset) {
			fprintf(stderr, "elf-clear-pie: %s: damaged dynamic segment\n", path);
			return 1;
		}
		std::vector<typename Elf::Dynamic> entries(
			segment.p_filesz / sizeof(typename Elf::Dynamic));
		if (!ReadAt(fd, segment.p_offset, entries.data(),
				entries.size() * sizeof(typename Elf::Dynamic))) {
			fprintf(stderr, "elf-clear-pie: %s: cannot read the dynamic segment\n", path);
			return 1;
		}
		for (size_t j = 0; j < entries.size() && entries[j].d_tag != DT_NULL; j++) {
			if (entries[j].d_tag != DT_FLAGS_1 || (entries[j].d_un.d_val & DF_1_PIE) == 0)
				continue;
			entries[j].d_un.d_val &= ~(decltype(entries[j].d_un.d_val))DF_1_PIE;
			const off_t at = segment.p_offset + (off_t)j * sizeof(typename Elf::Dynamic);
			if (pwrite(fd, &entries[j], sizeof(entries[j]), at) != sizeof(entries[j])) {
				fprintf(stderr, "elf-clear-pie: %s: cannot be written\n", path);
				return 1;
			}
		}
		return 0;
	}
	fprintf(stderr, "elf-clear-pie: %s: not dynamically linked\n", path);
	return 1;
}

} // namespace

int
main(int argc, char** argv)
{
	if (argc != 2) {
		fprintf(stderr, "usage: elf-clear-pie EXECUTABLE\n");
		return 2;
	}
	const char* path = argv[1];
	int fd = open(path, O_RDWR | O_CLOEXEC);
	struct stat st;
	unsigned char ident[EI_NIDENT];
	if (fd < 0 || fstat(fd, &st) != 0 || !ReadAt(fd, 0, ident, sizeof(ident))
		|| memcmp(ident, ELFMAG, SELFMAG) != 0) {
		fprintf(stderr, "elf-clear-pie: %s: not a readable ELF file\n", path);
		if (fd >= 0)
			close(fd);
		return 1;
	}
	const bool littleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
	const unsigned char hostData = littleEndian ? ELFDATA2LSB : ELFDATA2MSB;
	int result = 1;
	if (ident[EI_DATA] != hostData)
		fprintf(stderr, "elf-clear-pie: %s: foreign byte order\n", path);
	else if (ident[EI_CLASS] == ELFCLASS64)
		result = ClearFlag<Elf64>(fd, path, st.st_size);
	else if (ident[EI_CLASS] == ELFCLASS32)
		result = ClearFlag<Elf32>(fd, path, st.st_size);
	else
		fprintf(stderr, "elf-clear-pie: %s: unknown ELF class\n", path);
	if (close(fd) != 0)
		result = 1;
	return result;
}

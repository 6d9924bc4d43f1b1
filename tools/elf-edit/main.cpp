/*
 * elf-edit: edits a linked image in place, without moving a byte of it (the resources
 * appended to an executable stay where they are).
 *   clear-pie: clears DF_1_PIE in the dynamic section. The C library refuses to dlopen an
 *   image marked as a position-independent executable; without the mark the same image still
 *   runs as a program and also loads as an add-on.
 *   set-library: renames a library the image needs (DT_NEEDED), or that it is (DT_SONAME),
 *   by writing the new name over the old one in the dynamic string table. The new name may
 *   not be longer, and no other name of the table may share the old one's bytes.
 * Wraps the host's <elf.h>; only images in the host's byte order are handled.
 */
#include <elf.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

struct Elf32 {
	typedef Elf32_Ehdr Header;
	typedef Elf32_Phdr ProgramHeader;
	typedef Elf32_Shdr SectionHeader;
	typedef Elf32_Dyn Dynamic;
	typedef Elf32_Sym Symbol;
};

struct Elf64 {
	typedef Elf64_Ehdr Header;
	typedef Elf64_Phdr ProgramHeader;
	typedef Elf64_Shdr SectionHeader;
	typedef Elf64_Dyn Dynamic;
	typedef Elf64_Sym Symbol;
};

bool
ReadAt(int fd, off_t offset, void* buffer, size_t size)
{
	return pread(fd, buffer, size, offset) == (ssize_t)size;
}

bool
WriteAt(int fd, off_t offset, const void* buffer, size_t size)
{
	return pwrite(fd, buffer, size, offset) == (ssize_t)size;
}

// An image's headers and dynamic section, read and checked against the file's size.
template<typename Elf>
class Image {
public:
	Image(int fd, const char* path, off_t fileSize) :
		fFd(fd),
		fPath(path),
		fFileSize((uint64_t)fileSize),
		fDynamicOffset(0)
	{
	}

	// false after reporting on stderr.
	bool Read()
	{
		if (!ReadAt(fFd, 0, &fHeader, sizeof(fHeader))
			|| fHeader.e_phentsize != sizeof(typename Elf::ProgramHeader)) {
			return _Fail("damaged ELF header");
		}
		fSegments.resize(fHeader.e_phnum);
		if (!ReadAt(fFd, fHeader.e_phoff, fSegments.data(),
				fSegments.size() * sizeof(typename Elf::ProgramHeader))) {
			return _Fail("damaged program headers");
		}
		for (const typename Elf::ProgramHeader& segment : fSegments) {
			if (segment.p_type != PT_DYNAMIC)
				continue;
			if (!_InFile(segment.p_offset, segment.p_filesz))
				return _Fail("damaged dynamic segment");
			fDynamicOffset = segment.p_offset;
			fDynamic.resize(segment.p_filesz / sizeof(typename Elf::Dynamic));
			if (!ReadAt(fFd, fDynamicOffset, fDynamic.data(),
					fDynamic.size() * sizeof(typename Elf::Dynamic))) {
				return _Fail("cannot read the dynamic segment");
			}
			return true;
		}
		return _Fail("not dynamically linked");
	}

	bool ClearPie()
	{
		for (size_t i = 0; i < fDynamic.size() && fDynamic[i].d_tag != DT_NULL; i++) {
			typename Elf::Dynamic& entry = fDynamic[i];
			if (entry.d_tag != DT_FLAGS_1 || (entry.d_un.d_val & DF_1_PIE) == 0)
				continue;
			entry.d_un.d_val &= ~(decltype(entry.d_un.d_val))DF_1_PIE;
			if (!WriteAt(fFd, fDynamicOffset + (off_t)i * sizeof(entry), &entry, sizeof(entry)))
				return _Fail("cannot be written");
		}
		return true;
	}

	// Renames every DT_NEEDED and DT_SONAME naming `from`; one already named `to` is left.
	bool SetLibrary(const std::string& from, const std::string& to)
	{
		if (to.size() > from.size())
			return _Fail("the new name is longer than the old one");
		if (!_ReadStrings())
			return false;
		for (const typename Elf::Dynamic& entry : fDynamic) {
			if (entry.d_tag == DT_NULL)
				break;
			if (entry.d_tag != DT_NEEDED && entry.d_tag != DT_SONAME)
				continue;
			uint64_t offset = entry.d_un.d_val;
			if (offset >= fStrings.size())
				return _Fail("a library name lies outside the string table");
			if (strcmp(fStrings.data() + offset, from.c_str()) != 0)
				continue;
			if (_SharedTail(offset, from.size()))
				return _Fail("another name shares the library's name");
			std::vector<char> replacement(from.size() + 1, '\0');
			memcpy(replacement.data(), to.data(), to.size());
			if (!WriteAt(fFd, fStringsOffset + (off_t)offset, replacement.data(),
					replacement.size())) {
				return _Fail("cannot be written");
			}
			memcpy(fStrings.data() + offset, replacement.data(), replacement.size());
		}
		return true;
	}

private:
	bool _Fail(const char* reason)
	{
		fprintf(stderr, "elf-edit: %s: %s\n", fPath, reason);
		return false;
	}

	bool _InFile(uint64_t offset, uint64_t size) const
	{
		return offset <= fFileSize && size <= fFileSize - offset;
	}

	uint64_t _Value(int64_t tag) const
	{
		for (const typename Elf::Dynamic& entry : fDynamic) {
			if (entry.d_tag == tag)
				return entry.d_un.d_val;
		}
		return 0;
	}

	bool _ReadStrings()
	{
		// The dynamic section gives the table's address; the loadable segments its place in
		// the file.
		uint64_t address = _Value(DT_STRTAB);
		uint64_t size = _Value(DT_STRSZ);
		for (const typename Elf::ProgramHeader& segment : fSegments) {
			if (segment.p_type != PT_LOAD || address < segment.p_vaddr
				|| address + size > segment.p_vaddr + segment.p_filesz) {
				continue;
			}
			fStringsOffset = segment.p_offset + (address - segment.p_vaddr);
			if (!_InFile(fStringsOffset, size) || size == 0)
				break;
			fStrings.resize(size);
			if (!ReadAt(fFd, fStringsOffset, fStrings.data(), size))
				break;
			fStrings.back() = '\0';
			return true;
		}
		return _Fail("no readable dynamic string table");
	}

	// Whether a name other than the one at `offset` starts within its bytes: the linker
	// stores a name that ends another one as that one's tail.
	bool _SharedTail(uint64_t offset, uint64_t length)
	{
		auto inside = [&](uint64_t name) { return name > offset && name <= offset + length; };
		for (const typename Elf::Dynamic& entry : fDynamic) {
			if (entry.d_tag == DT_NULL)
				break;
			bool named = entry.d_tag == DT_NEEDED || entry.d_tag == DT_SONAME
				|| entry.d_tag == DT_RPATH || entry.d_tag == DT_RUNPATH
				|| entry.d_tag == DT_AUXILIARY || entry.d_tag == DT_FILTER;
			if (named && inside(entry.d_un.d_val))
				return true;
		}
		// The dynamic symbols, found through the section headers.
		std::vector<typename Elf::SectionHeader> sections(fHeader.e_shnum);
		if (fHeader.e_shentsize != sizeof(typename Elf::SectionHeader)
			|| !ReadAt(fFd, fHeader.e_shoff, sections.data(),
				sections.size() * sizeof(typename Elf::SectionHeader))) {
			return true;
		}
		for (const typename Elf::SectionHeader& section : sections) {
			if (section.sh_type != SHT_DYNSYM)
				continue;
			if (!_InFile(section.sh_offset, section.sh_size))
				return true;
			std::vector<typename Elf::Symbol> symbols(
				section.sh_size / sizeof(typename Elf::Symbol));
			if (!ReadAt(fFd, section.sh_offset, symbols.data(),
					symbols.size() * sizeof(typename Elf::Symbol))) {
				return true;
			}
			for (const typename Elf::Symbol& symbol : symbols) {
				if (inside(symbol.st_name))
					return true;
			}
		}
		return false;
	}

	int fFd;
	const char* fPath;
	uint64_t fFileSize;
	typename Elf::Header fHeader;
	std::vector<typename Elf::ProgramHeader> fSegments;
	off_t fDynamicOffset;
	std::vector<typename Elf::Dynamic> fDynamic;
	off_t fStringsOffset = 0;
	std::vector<char> fStrings;
};

template<typename Elf>
bool
Edit(int fd, const char* path, off_t fileSize, char** arguments)
{
	Image<Elf> image(fd, path, fileSize);
	if (!image.Read())
		return false;
	if (strcmp(arguments[0], "clear-pie") == 0)
		return image.ClearPie();
	return image.SetLibrary(arguments[1], arguments[2]);
}

int
Usage()
{
	fprintf(stderr,
		"usage: elf-edit clear-pie IMAGE\n"
		"       elf-edit set-library OLD NEW IMAGE\n"
		"  clear-pie lets an executable load as an add-on too; set-library renames a library\n"
		"  the image needs or is, to a name no longer than the old one.\n");
	return 2;
}

} // namespace

int
main(int argc, char** argv)
{
	if (!(argc == 3 && strcmp(argv[1], "clear-pie") == 0)
		&& !(argc == 5 && strcmp(argv[1], "set-library") == 0)) {
		return Usage();
	}
	const char* path = argv[argc - 1];
	int fd = open(path, O_RDWR | O_CLOEXEC);
	struct stat st;
	unsigned char ident[EI_NIDENT];
	if (fd < 0 || fstat(fd, &st) != 0 || !ReadAt(fd, 0, ident, sizeof(ident))
		|| memcmp(ident, ELFMAG, SELFMAG) != 0) {
		fprintf(stderr, "elf-edit: %s: not a readable ELF file\n", path);
		if (fd >= 0)
			close(fd);
		return 1;
	}
	const bool littleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
	const unsigned char hostData = littleEndian ? ELFDATA2LSB : ELFDATA2MSB;
	bool done = false;
	if (ident[EI_DATA] != hostData)
		fprintf(stderr, "elf-edit: %s: foreign byte order\n", path);
	else if (ident[EI_CLASS] == ELFCLASS64)
		done = Edit<Elf64>(fd, path, st.st_size, argv + 1);
	else if (ident[EI_CLASS] == ELFCLASS32)
		done = Edit<Elf32>(fd, path, st.st_size, argv + 1);
	else
		fprintf(stderr, "elf-edit: %s: unknown ELF class\n", path);
	if (close(fd) != 0)
		done = false;
	return done ? 0 : 1;
}

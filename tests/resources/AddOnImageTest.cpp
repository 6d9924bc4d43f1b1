#include <gtest/gtest.h>

#include <dlfcn.h>
#include <elf.h>

#include <string.h>

#include "ResourceTestFiles.h"

namespace {

// The program headers and dynamic entries of the built application, read as the loader does.
struct ImageFacts {
	bool isSharedImage = false;
	bool hasInterpreter = false;
	bool hasEntry = false;
	bool markedPie = false;
	bool hasDynamic = false;
};

ImageFacts
ReadImageFacts(const Bytes& image)
{
	ImageFacts facts;
	Elf64_Ehdr header;
	if (image.size() < sizeof(header))
		return facts;
	memcpy(&header, image.data(), sizeof(header));
	facts.isSharedImage = header.e_ident[EI_CLASS] == ELFCLASS64 && header.e_type == ET_DYN;
	facts.hasEntry = header.e_entry != 0;
	for (unsigned i = 0; i < header.e_phnum; i++) {
		Elf64_Phdr segment;
		size_t at = header.e_phoff + i * sizeof(segment);
		if (at + sizeof(segment) > image.size())
			break;
		memcpy(&segment, image.data() + at, sizeof(segment));
		facts.hasInterpreter |= segment.p_type == PT_INTERP;
		if (segment.p_type != PT_DYNAMIC)
			continue;
		facts.hasDynamic = true;
		for (size_t offset = segment.p_offset;
			 offset + sizeof(Elf64_Dyn) <= segment.p_offset + segment.p_filesz
			 && offset + sizeof(Elf64_Dyn) <= image.size();
			 offset += sizeof(Elf64_Dyn)) {
			Elf64_Dyn entry;
			memcpy(&entry, image.data() + offset, sizeof(entry));
			if (entry.d_tag == DT_FLAGS_1 && (entry.d_un.d_val & DF_1_PIE) != 0)
				facts.markedPie = true;
		}
	}
	return facts;
}

} // namespace

TEST(AddOnImageTest, TheApplicationIsAProgramWithoutThePieMark)
{
	ImageFacts facts = ReadImageFacts(ReadBytes(ZORVE_EXECUTABLE));
	EXPECT_TRUE(facts.isSharedImage);
	EXPECT_TRUE(facts.hasInterpreter);
	EXPECT_TRUE(facts.hasEntry);
	EXPECT_TRUE(facts.hasDynamic);
	EXPECT_FALSE(facts.markedPie);
}

TEST(AddOnImageTest, TheApplicationLoadsAsAnAddOnAndExportsItsDeskbarEntry)
{
	void* image = dlopen(ZORVE_EXECUTABLE, RTLD_NOW | RTLD_LOCAL);
	ASSERT_NE(image, nullptr) << dlerror();
	EXPECT_NE(dlsym(image, "instantiate_deskbar_item"), nullptr) << dlerror();
	// What a Deskbar that restarts looks for to bring the item back from its archive.
	EXPECT_NE(dlsym(image, "_ZN14ZorveReplicant11InstantiateEP8BMessage"), nullptr) << dlerror();
	EXPECT_EQ(dlclose(image), 0);
}

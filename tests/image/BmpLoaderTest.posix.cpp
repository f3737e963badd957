#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/mman.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tests/image/BmpTestSupport.h"
#include "tests/support/TempDir.h"

namespace {

int openDescriptors()
{
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    while (readdir(dir))
        ++count;
    closedir(dir);
    return count;
}

bool isMapped(const std::string& file)
{
    std::ifstream maps("/proc/self/maps");
    return std::string(std::istreambuf_iterator<char>(maps), {}).find(file) != std::string::npos;
}

} // namespace

// Whatever a load ends in, its descriptor and its mapping are given back.
TEST(BmpLoader, LeavesNoDescriptorOrMappingBehind)
{
    TempDir dir;
    const Bytes bytes = file(1, 1, 24, {1, 2, 3, 0}).build();
    const std::string good = dir.write("good.bmp", bytes);
    const std::string bad = dir.write("bad.bmp", Bytes(bytes.begin(), bytes.end() - 1));
    const std::string empty = dir.write("empty.bmp", {});
    const int descriptors = openDescriptors();

    EXPECT_TRUE(load(good).image);
    EXPECT_FALSE(load(bad).image);
    EXPECT_FALSE(load(empty).image);
    EXPECT_FALSE(load(dir.path).image);
    // With standard input closed a file can open as descriptor 0, and loads all the same.
    const int input = dup(0);
    close(0);
    const Decoded fromZero{Decoded::Image(loadBmpImage(good.c_str())), ""};
    dup2(input, 0);
    close(input);
    EXPECT_TRUE(fromZero.image);

    EXPECT_EQ(descriptors, openDescriptors());
    EXPECT_FALSE(isMapped(good));
    EXPECT_FALSE(isMapped(bad));
}

// A 16-bit bit-field file whose last pixel ends the last readable page, an unreadable one
// behind it: a read of one byte past the file faults, with or without the sanitizers.
TEST(BmpLoader, ReadsNothingPastAFileThatEndsWithItsLastPixel)
{
    const Bytes bytes =
        bitFields(2, 16, {0xe0, 0xff, 0x1f, 0x0c}, {0xf800, 0x07e0, 0x001f}).build();
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    void* pages =
        mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(MAP_FAILED, pages);
    unsigned char* end = static_cast<unsigned char*>(pages) + page;
    ASSERT_EQ(0, mprotect(end, page, PROT_NONE));
    std::copy(bytes.begin(), bytes.end(), end - bytes.size());
    const Decoded d{Decoded::Image(decodeBmpImage(end - bytes.size(), bytes.size())), ""};
    munmap(pages, 2 * page);
    ASSERT_TRUE(d.image);
    EXPECT_EQ((Bytes{255, 255, 0, 8, 130, 255}), d.rgb());
}

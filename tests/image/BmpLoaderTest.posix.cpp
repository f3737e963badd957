#include <gtest/gtest.h>

#include <dirent.h>
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

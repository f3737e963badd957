#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/image/BmpTestSupport.h"
#include "tests/support/TempDir.h"

namespace {

// Views of files mapped into the process, counted through the whole address space.
int mappedViews()
{
    int views = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        views += region.Type == MEM_MAPPED && region.BaseAddress == region.AllocationBase;
    }
    return views;
}

// Only a file that no handle or mapping holds any more opens with no sharing at all,
// and only a folder whose files are all gone for good can be removed.
bool released(const std::string& file)
{
    const HANDLE handle = CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return DeleteFileA(file.c_str()) != 0;
}

} // namespace

// Whatever a load ends in, its file handle, its mapping and its view are given back.
TEST(BmpLoader, LeavesNoHandleOrViewBehind)
{
    TempDir dir;
    const std::string folder = dir.path + "/files";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const Bytes bytes = file(1, 1, 24, {1, 2, 3, 0}).build();
    const std::string good = dir.write("files/good.bmp", bytes);
    const std::string bad = dir.write("files/bad.bmp", Bytes(bytes.begin(), bytes.end() - 1));
    const std::string empty = dir.write("files/empty.bmp", {});
    const int views = mappedViews();

    EXPECT_TRUE(load(good).image);
    EXPECT_FALSE(load(bad).image);
    EXPECT_FALSE(load(empty).image);
    EXPECT_FALSE(load(folder).image);

    EXPECT_EQ(views, mappedViews());
    EXPECT_TRUE(released(good));
    EXPECT_TRUE(released(bad));
    EXPECT_TRUE(released(empty));
    EXPECT_TRUE(RemoveDirectoryA(folder.c_str()));
}

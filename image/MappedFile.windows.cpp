#include "image/MappedFile.h"

#include <windows.h>

#include <cstdint>

// The file and mapping handles are closed at once: the view keeps the mapping alive,
// and while it exists no one can shorten the file under it. Others may hold the file
// open, for writing too, as they may on other systems.
MappedFile::MappedFile(const char* fileName)
{
    const HANDLE file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    LARGE_INTEGER size;
    // A file of no bytes cannot be mapped (CreateFileMapping refuses it).
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 &&
        uint64_t(size.QuadPart) <= uint64_t(SIZE_MAX)) {
        const HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (mapping) {
            const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
            if (view) {
                bytes = static_cast<const unsigned char*>(view);
                length = size_t(size.QuadPart);
            }
            CloseHandle(mapping);
        }
    }
    CloseHandle(file);
}

MappedFile::~MappedFile()
{
    if (bytes)
        UnmapViewOfFile(bytes);
}

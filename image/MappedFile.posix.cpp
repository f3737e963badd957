#include "image/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

// The descriptor is closed at once: the mapping does not need it.
MappedFile::MappedFile(const char* fileName)
{
    const int fd = open(fileName, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat info;
    if (fstat(fd, &info) == 0 && info.st_size > 0) {
        void* view = mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (view != MAP_FAILED) {
            bytes = static_cast<const unsigned char*>(view);
            length = size_t(info.st_size);
        }
    }
    close(fd);
}

MappedFile::~MappedFile()
{
    if (bytes)
        munmap(const_cast<unsigned char*>(bytes), length);
}

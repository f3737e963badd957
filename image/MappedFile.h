#pragma once

#include <cstddef>

// A whole file mapped read-only into memory for as long as the object lives. Empty
// when the file cannot be opened, is empty or cannot be mapped: a file of no bytes
// has nothing to map. Everything the system lent for the view is given back by the
// destructor, or at once when the mapping fails.
class MappedFile {
public:
    explicit MappedFile(const char* fileName);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Null when empty.
    const unsigned char* data() const { return bytes; }
    size_t size() const { return length; }

private:
    const unsigned char* bytes = nullptr;
    size_t length = 0;
};

#pragma once

// A throw-away working directory, for code that opens files such as "surface.bmp"
// by name: made empty and current while the object lives, removed afterwards with
// everything in it.

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class TempDir {
public:
    TempDir() : previous(std::filesystem::current_path())
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "marble-XXXXXX").string();
        if (mkdtemp(pattern.data()) && chdir(pattern.c_str()) == 0)
            path = pattern;
    }
    ~TempDir()
    {
        std::filesystem::current_path(previous);
        if (!path.empty())
            std::filesystem::remove_all(path);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Writes a file into the folder and gives its full name ("" if it cannot).
    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        std::ofstream out(path + "/" + name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return out.flush() ? path + "/" + name : "";
    }

    std::string path; // empty when the folder could not be made
    std::filesystem::path previous;
};

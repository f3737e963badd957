#pragma once

// A throw-away working directory, for code that opens files such as "surface.bmp"
// by name: made empty and current while the object lives, removed afterwards with
// everything in it.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>
#include <vector>

class TempDir {
public:
    // A name no one else has taken: create_directory makes it only if it is new.
    TempDir() : previous(std::filesystem::current_path())
    {
        std::random_device random;
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100 && path.empty(); ++attempt) {
            const std::filesystem::path candidate = base / ("marble-" + std::to_string(random()));
            std::error_code error;
            if (!std::filesystem::create_directory(candidate, error))
                continue;
            std::filesystem::current_path(candidate, error);
            if (!error)
                path = candidate.string();
        }
    }
    ~TempDir()
    {
        std::error_code error; // a file left open must not end the test program
        std::filesystem::current_path(previous, error);
        if (!path.empty())
            std::filesystem::remove_all(path, error);
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

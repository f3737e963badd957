#pragma once

#include <string>
#include <vector>

// A picture grabbed from a window: 8-bit red, green, blue per pixel, rows packed
// without gaps, top row first (the order of window coordinates, y growing down).
class WindowImage {
public:
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    void resize(int newWidth, int newHeight);
    // The three bytes of the pixel at column x, row y; the caller keeps within bounds.
    const unsigned char* at(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
    unsigned char* at(int x, int y) { return &rgb[(size_t(y) * width + x) * 3]; }
    // Writes a PNG file; false when it cannot be written.
    bool savePng(const std::string& path) const;
};

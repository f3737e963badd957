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
    // Whether the game's marble shows in full light anywhere. Its only colour of its
    // own is its diffuse purple (0.8, 0, 0.6); ambient and specular light add alike
    // to all channels. Where it faces the light, red stands 0.8 x light x 255 above
    // green: 190 means the light is at 0.93 or more.
    bool showsMarbleInFullLight() const;
    // Writes a PNG file; false when it cannot be written.
    bool savePng(const std::string& path) const;
};

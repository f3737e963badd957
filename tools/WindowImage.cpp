#include "tools/WindowImage.h"

#include <stb_image_write.h>

void WindowImage::resize(int newWidth, int newHeight)
{
    width = newWidth;
    height = newHeight;
    rgb.assign(size_t(width) * height * 3, 0);
}

bool WindowImage::showsMarbleInFullLight() const
{
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
        const int red = rgb[i], green = rgb[i + 1], blue = rgb[i + 2];
        if (red - green >= 190 && blue - green >= 60)
            return true;
    }
    return false;
}

bool WindowImage::savePng(const std::string& path) const
{
    if (width <= 0 || height <= 0)
        return false;
    return stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3) != 0;
}

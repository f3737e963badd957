#include "tests/support/WindowImage.h"

#include <stb_image_write.h>

void WindowImage::resize(int newWidth, int newHeight)
{
    width = newWidth;
    height = newHeight;
    rgb.assign(size_t(width) * height * 3, 0);
}

bool WindowImage::savePng(const std::string& path) const
{
    if (width <= 0 || height <= 0)
        return false;
    return stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3) != 0;
}

#include "image/BmpLoader.h"

// Placeholder until the decoder lands.
RgbImage* loadBmpImage(const char*)
{
    return nullptr;
}

uint16_t dibColorCount(const unsigned char*)
{
    return 0;
}

// libFuzzer target for the in-memory bitmap decoder: every input must be decoded or
// refused without reading outside it, and an image that comes back must be whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "image/BmpLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RgbImage* image = decodeBmpImage(data, size);
    if (!image)
        return 0;
    if (image->width <= 0 || image->height <= 0)
        std::abort();
    // The buffer is exactly sized, so a short one shows at its last byte.
    const size_t bytes = size_t(image->width) * size_t(image->height) * 3;
    volatile uint8_t last = image->data[bytes - 1];
    (void)last;
    std::free(image->data);
    std::free(image);
    return 0;
}

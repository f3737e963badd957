#pragma once

#include <cstddef>
#include <cstdint>

#include "image/RgbImage.h"

// Decodes the Windows bitmap fileName into a new RgbImage. On failure the reason
// goes to standard error as one line ("Error: <text>") and the result is null.
RgbImage* loadBmpImage(const char* fileName);

// The same for a bitmap already in memory (size bytes at bytes, read in place).
RgbImage* decodeBmpImage(const unsigned char* bytes, size_t size);

// Number of colour-table entries behind the bitmap header at header.
uint16_t dibColorCount(const unsigned char* header);

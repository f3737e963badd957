#pragma once

#include <cstdint>

#include "image/RgbImage.h"

// Decodes the Windows bitmap fileName into a new RgbImage. On failure the reason
// goes to standard error as one line ("Error: <text>") and the result is null.
RgbImage* loadBmpImage(const char* fileName);

// Number of colour-table entries behind the bitmap header at header.
uint16_t dibColorCount(const unsigned char* header);

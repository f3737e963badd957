#pragma once

#include <cstddef>
#include <cstdint>

#include "image/RgbImage.h"

// Decodes the Windows bitmap fileName into a new RgbImage. On failure the reason
// goes to standard error as one line ("Error: <text>") and the result is null.
RgbImage* loadBmpImage(const char* fileName);

// Shows a failure's message as well, after its line has been written: the caption
// "Error" and the loader's text, which may end with a newline. The loader returns only
// once this returns, so a program can show the message in its own way and wait for the
// user. None by default; null removes it.
using BmpErrorNotice = void (*)(const char* caption, const char* text);
void setBmpErrorNotice(BmpErrorNotice notice);

// The same for a bitmap already in memory (size bytes at bytes, read in place).
RgbImage* decodeBmpImage(const unsigned char* bytes, size_t size);

// Number of colour-table entries behind the bitmap header at header.
uint16_t dibColorCount(const unsigned char* header);

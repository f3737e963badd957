#pragma once

#include <cstddef>
#include <cstdint>

// The inner loops of bitmap decoding: each turns one stored row of width pixels
// (width >= 1) into width R, G, B triples. Each reads only the bytes that hold the
// row's pixels and writes exactly width x 3 bytes.

// Colours of index pixels, already in output order: R, G, B and a spare byte.
using PaletteRgb = uint8_t[256][4];
// The eight 1-bit or two 4-bit pixels of each possible byte as R, G, B triples.
using ByteColors = uint8_t[256][24];

// How a masked pixel's channels become bytes: shift the value right, keep mask, look
// the result up in level (which holds the kept bits widened to 0..255).
struct ChannelTables {
    int shift[3];
    uint32_t mask[3];
    uint8_t level[3][256];
};

void indexed1Row(const unsigned char* in, unsigned char* out, int width, const ByteColors& colors);
void indexed4Row(const unsigned char* in, unsigned char* out, int width, const ByteColors& colors);
void indexed8Row(const unsigned char* in, unsigned char* out, int width, const PaletteRgb& palette);
void bgr24Row(const unsigned char* in, unsigned char* out, int width);
void bgr32Row(const unsigned char* in, unsigned char* out, int width);
void masked16Row(const unsigned char* in, unsigned char* out, int width,
                 const ChannelTables& channels);
void masked32Row(const unsigned char* in, unsigned char* out, int width,
                 const ChannelTables& channels);

// count pixels (possibly none) alternating between two palette colours, even first:
// the runs of run-length data.
void repeatPixels(unsigned char* out, size_t count, const uint8_t* even, const uint8_t* odd);

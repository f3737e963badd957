#include "image/BmpLoader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "image/BmpDecoder.h"
#include "image/BmpSource.h"
#include "image/LittleEndian.h"
#include "image/MappedFile.h"

namespace {

const char outOfMemory[] = "Out of memory.";
const char unknownFormat[] = "Unknown DIB file format.";
const char conversionError[] = "Image file conversion error.";
// The text "Failed to open DIB file %s.\n", its name cut to what the buffer holds.
const char openFailure[] = "Failed to open DIB file %.*s.\n";

const size_t fileHeaderSize = 14;
const size_t pixelOffsetField = 10;
const uint32_t coreHeaderSize = 12;
const uint32_t infoHeaderSize = 40;
const size_t maskBytes = 12;
#ifndef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
// Larger pictures are refused: no texture needs them, and 3 bytes a pixel still fit an int.
const uint64_t maxPixels = uint64_t(1) << 28;
#else
// A few bytes of run-length data can describe a huge picture; fuzzing is after
// malformed headers and streams, so it keeps each picture small and each run fast.
const uint64_t maxPixels = uint64_t(1) << 18;
#endif

struct FreeDeleter {
    void operator()(void* block) const { std::free(block); }
};
using SourcePtr = std::unique_ptr<BmpSource, FreeDeleter>;
using PixelPtr = std::unique_ptr<unsigned char, FreeDeleter>;

const char caption[] = "Error";
BmpErrorNotice errorNotice = nullptr;

// Each failure is one line on standard error: the caption, then the text, which may
// already end its own line. Then the program's notice, if it has one.
void report(const char* text)
{
    const size_t length = std::strlen(text);
    const bool endsLine = length > 0 && text[length - 1] == '\n';
    std::fprintf(stderr, "%s: %s%s", caption, text, endsLine ? "" : "\n");
    if (errorNotice)
        errorNotice(caption, text);
}

void reportOpenFailure(const char* fileName)
{
    char text[256];
    const int textLength = int(sizeof openFailure) - 1 - 4; // without "%.*s"
    const int room = int(sizeof text) - 1 - textLength;
    std::snprintf(text, sizeof text, openFailure, room, fileName);
    report(text);
}

RgbImage* fail(const char* text)
{
    report(text);
    return nullptr;
}

bool hasFileHeader(const unsigned char* bytes, size_t size)
{
    return size >= 2 && bytes[0] == 0x42 && bytes[1] == 0x4d; // "BM"
}

// The fields that dibColorCount and the header copy read must lie inside the file.
// A header of another size needs as much as an information header before it is refused.
bool headerInFile(const unsigned char* bytes, size_t size, size_t headerStart)
{
    if (size < headerStart + 4)
        return false;
    const bool core = load32(bytes + headerStart) == coreHeaderSize;
    return size - headerStart >= (core ? coreHeaderSize : infoHeaderSize);
}

BmpSource* newBmpSource(uint16_t colorCount)
{
    void* block = std::malloc(sizeof(BmpSource) + colorCount * sizeof(BmpColor));
    if (!block)
        return nullptr;
    BmpSource* source = static_cast<BmpSource*>(block);
    source->colorCount = colorCount;
    source->colors = reinterpret_cast<BmpColor*>(source + 1);
    return source;
}

void readCoreHeader(const unsigned char* header, BmpSource& source)
{
    source.headerSize = infoHeaderSize;
    source.width = load16(header + 4);
    source.height = load16(header + 6);
    source.planes = load16(header + 8);
    source.bitCount = load16(header + 10);
    source.compression = bmpRgb;
    source.imageSize = 0;
    source.xPelsPerMeter = 0;
    source.yPelsPerMeter = 0;
    source.colorsUsed = source.colorCount;
    source.colorsImportant = source.colorCount;
}

void readInfoHeader(const unsigned char* header, BmpSource& source)
{
    source.headerSize = load32(header);
    source.width = int32_t(load32(header + 4));
    source.height = int32_t(load32(header + 8));
    source.planes = load16(header + 12);
    source.bitCount = load16(header + 14);
    source.compression = load32(header + 16);
    source.imageSize = load32(header + 20);
    source.xPelsPerMeter = int32_t(load32(header + 24));
    source.yPelsPerMeter = int32_t(load32(header + 28));
    source.colorsUsed = load32(header + 32);
    source.colorsImportant = load32(header + 36);
}

// Entries are 3 bytes behind a core header and 4 behind an information header.
void readColorTable(const unsigned char* table, size_t entryBytes, BmpSource& source)
{
    for (size_t i = 0; i < source.colorCount; ++i, table += entryBytes) {
        BmpColor& c = source.colors[i];
        c.blue = table[0];
        c.green = table[1];
        c.red = table[2];
        c.reserved = entryBytes == 4 ? table[3] : 0;
    }
}

void fillDefaults(BmpSource& source)
{
    if (source.imageSize == 0) // unsigned 32-bit, without row padding, as the header field would
        source.imageSize =
            (uint32_t(source.width) * source.bitCount + 7) / 8 * uint32_t(source.height);
    if (source.colorsUsed == 0)
        source.colorsUsed = source.colorCount;
}

bool readHeader(const unsigned char* header, BmpSource& source)
{
    switch (load32(header)) {
    case coreHeaderSize:
        readCoreHeader(header, source);
        return true;
    case infoHeaderSize:
        readInfoHeader(header, source);
        return true;
    default:
        return false;
    }
}

bool tooLarge(const BmpSource& source)
{
    const uint64_t width = uint64_t(source.width < 0 ? -int64_t(source.width) : source.width);
    const uint64_t height = uint64_t(source.height < 0 ? -int64_t(source.height) : source.height);
    return width * height > maxPixels;
}

// Decodes the pixels that start pixelStart bytes into the file; the source is complete.
RgbImage* decodePixels(const BmpSource& source, const unsigned char* bytes, size_t size,
                       size_t pixelStart, const uint32_t masks[3])
{
    if (tooLarge(source))
        return fail(outOfMemory);
    if (pixelStart > size)
        return fail(conversionError);
    BmpDecoder decoder(source, bytes + pixelStart, size - pixelStart, masks);
    if (!decoder.canDecode())
        return fail(conversionError);
    PixelPtr data(static_cast<unsigned char*>(
        std::malloc(size_t(source.width) * size_t(decoder.rows()) * 3)));
    if (!data)
        return fail(outOfMemory);
    if (!decoder.decode(data.get()))
        return fail(conversionError);
    RgbImage* image = static_cast<RgbImage*>(std::malloc(sizeof(RgbImage)));
    if (!image)
        return fail(outOfMemory);
    image->width = source.width;
    image->height = decoder.rows(); // top-down files come out bottom row first too
    image->data = data.release();
    return image;
}

} // namespace

void setBmpErrorNotice(BmpErrorNotice notice)
{
    errorNotice = notice;
}

uint16_t dibColorCount(const unsigned char* header)
{
    uint16_t bitCount;
    if (load32(header) == coreHeaderSize) {
        bitCount = load16(header + 10);
    } else {
        const uint32_t colorsUsed = load32(header + 32);
        if (colorsUsed != 0)
            return uint16_t(colorsUsed);
        bitCount = load16(header + 14);
    }
    switch (bitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

RgbImage* decodeBmpImage(const unsigned char* bytes, size_t size)
{
    const size_t headerStart = hasFileHeader(bytes, size) ? fileHeaderSize : 0;
    if (!headerInFile(bytes, size, headerStart))
        return fail(conversionError);
    const unsigned char* header = bytes + headerStart;
    SourcePtr source(newBmpSource(dibColorCount(header)));
    if (!source)
        return fail(outOfMemory);
    if (!readHeader(header, *source))
        return fail(unknownFormat);

    // Bit-field masks sit between the information header and the colour table.
    const bool bitFields = source->compression == bmpBitFields;
    const size_t masksStart = headerStart + load32(header);
    const size_t tableStart = masksStart + (bitFields ? maskBytes : 0);
    const size_t entryBytes = load32(header) == coreHeaderSize ? 3 : 4;
    const size_t tableEnd = tableStart + source->colorCount * entryBytes;
    if (tableEnd > size)
        return fail(conversionError);
    readColorTable(bytes + tableStart, entryBytes, *source);
    fillDefaults(*source);

    uint32_t masks[3] = {0, 0, 0};
    for (int i = 0; bitFields && i < 3; ++i)
        masks[i] = load32(bytes + masksStart + 4 * size_t(i));
    // Without a file header the pixels follow the colour table directly.
    const size_t pixelStart = headerStart > 0 ? load32(bytes + pixelOffsetField) : tableEnd;
    return decodePixels(*source, bytes, size, pixelStart, masks);
}

RgbImage* loadBmpImage(const char* fileName)
{
    const MappedFile file(fileName);
    if (!file.data()) {
        reportOpenFailure(fileName);
        return nullptr;
    }
    return decodeBmpImage(file.data(), file.size());
}

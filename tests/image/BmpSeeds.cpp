// Writes the sample bitmaps of the tests into a folder: the fuzzer's seed corpus.
#include <cstdio>
#include <fstream>

#include "tests/image/BmpSamples.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s folder\n", argv[0]);
        return 2;
    }
    for (const bmpSamples::Sample& sample : bmpSamples::all()) {
        std::ofstream out(std::string(argv[1]) + "/" + sample.name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(sample.file.data()),
                  std::streamsize(sample.file.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s into %s\n", sample.name.c_str(), argv[1]);
            return 1;
        }
    }
    return 0;
}

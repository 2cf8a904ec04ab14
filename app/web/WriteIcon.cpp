// Writes the program's icon as PNG files of the sizes asked for, from the same
// pixels as the window's icon, for the web app's manifest. Built for and run
// on the build machine.
#include "IconPng.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc < 3 || argc % 2 == 0) {
        std::fprintf(stderr, "usage: %s SIZE OUTPUT.png [SIZE OUTPUT.png ...]\n", argv[0]);
        return 2;
    }
    for (int i = 1; i < argc; i += 2) {
        const int size = std::atoi(argv[i]);
        if (size < 1 || size > 4096) {
            std::fprintf(stderr, "%s: no icon of size %s\n", argv[0], argv[i]);
            return 2;
        }
        const tintara::icon::Bytes png = tintara::icon::Png(size);
        std::FILE* output = std::fopen(argv[i + 1], "wb");
        if (output == nullptr || std::fwrite(png.data(), 1, png.size(), output) != png.size() ||
            std::fclose(output) != 0) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[i + 1]);
            return 1;
        }
    }
    return 0;
}

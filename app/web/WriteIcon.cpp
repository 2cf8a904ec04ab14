// Writes the program's icon as PNG files of the sizes asked for, from the same
// pixels as the window's icon, for the web app's manifest; after --maskable,
// the next one as a maskable icon, opaque and with room around it for a
// launcher's shape. Built for and run on the build machine.
#include "IconPng.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc || argc == 1; i += 2) {
        const bool maskable = i < argc && std::strcmp(argv[i], "--maskable") == 0;
        i += maskable ? 1 : 0;
        if (i + 1 >= argc) {
            std::fprintf(stderr, "usage: %s [--maskable] SIZE OUTPUT.png ...\n", argv[0]);
            return 2;
        }
        const int size = std::atoi(argv[i]);
        if (size < 1 || size > 4096) {
            std::fprintf(stderr, "%s: no icon of size %s\n", argv[0], argv[i]);
            return 2;
        }
        const tintara::icon::Bytes png = tintara::icon::Png(size, maskable);
        std::FILE* output = std::fopen(argv[i + 1], "wb");
        if (output == nullptr || std::fwrite(png.data(), 1, png.size(), output) != png.size() ||
            std::fclose(output) != 0) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[i + 1]);
            return 1;
        }
    }
    return 0;
}

// Writes the program's icon as a Windows icon file, from the same pixels as the
// window's icon, at the sizes Windows asks for between 100 % and 200 %: 16, 20,
// 24, 32, 40, 48 and 64 pixels, and 256 for Explorer's large views, stored as a
// PNG as Windows expects at that size. Each size takes the nearest pixel of the
// 32-pixel icon, so where a size is a whole multiple of 32 the bands stay even.
// Built for and run on the build machine.
#include "IconPng.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace
{

constexpr int Sizes[] = {16, 20, 24, 32, 40, 48, 64, 256};
// From this size on an image is stored as a PNG.
constexpr int PngFrom = 256;

using tintara::icon::Bytes;
using tintara::icon::PixelAt;
using tintara::icon::Png;

void Put16(Bytes& out, unsigned value)
{
    out.push_back(static_cast<unsigned char>(value & 0xFFU));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFFU));
}

void Put32(Bytes& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFFU);
    Put16(out, value >> 16);
}

// One image as a bitmap: a header, the colours bottom row first as blue,
// green, red and alpha, then the mask, one bit a pixel (set where clear), each
// row padded to four bytes.
Bytes Bitmap(int size)
{
    const int maskRow = ((size + 31) / 32) * 4;
    Bytes out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(size));
    Put32(out, static_cast<std::uint32_t>(size * 2));
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>(size * size * 4 + maskRow * size));
    for (int i = 0; i < 4; ++i) {
        Put32(out, 0);
    }
    for (int row = size - 1; row >= 0; --row) {
        for (int column = 0; column < size; ++column) {
            Put32(out, PixelAt(size, row, column));
        }
    }
    for (int row = size - 1; row >= 0; --row) {
        Bytes bits(static_cast<std::size_t>(maskRow), 0);
        for (int column = 0; column < size; ++column) {
            if ((PixelAt(size, row, column) >> 24) == 0) {
                bits[static_cast<std::size_t>(column / 8)] |=
                    static_cast<unsigned char>(0x80U >> (column % 8));
            }
        }
        out.insert(out.end(), bits.begin(), bits.end());
    }
    return out;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.ico\n", argv[0]);
        return 2;
    }
    std::vector<Bytes> images;
    for (int size : Sizes) {
        images.push_back(size >= PngFrom ? Png(size) : Bitmap(size));
    }
    Bytes file;
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        // A width or height of 256 is written as 0.
        file.push_back(static_cast<unsigned char>(Sizes[i] & 0xFF));
        file.push_back(static_cast<unsigned char>(Sizes[i] & 0xFF));
        file.push_back(0);
        file.push_back(0);
        Put16(file, 1);
        Put16(file, 32);
        Put32(file, static_cast<std::uint32_t>(images[i].size()));
        Put32(file, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images) {
        file.insert(file.end(), image.begin(), image.end());
    }
    std::FILE* output = std::fopen(argv[1], "wb");
    if (output == nullptr || std::fwrite(file.data(), 1, file.size(), output) != file.size() ||
        std::fclose(output) != 0) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}

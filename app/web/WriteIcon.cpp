// Writes the program's icon as PNG files of the sizes asked for, from the same
// pixels as the window's icon, for the web app's manifest. Built for and run
// on the build machine; it needs nothing beyond the standard library, so it
// compresses with a small deflate of its own, which the icon's long runs and
// repeated rows suit.
#include "Look.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

using Bytes = std::vector<unsigned char>;

void Put32(Bytes& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<unsigned char>((value >> shift) & 0xFFU));
    }
}

std::uint32_t Crc32(const unsigned char* data, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFU;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320U & (0U - (crc & 1U)));
        }
    }
    return ~crc;
}

// Bits into bytes, the first bit in the lowest place, as deflate packs them.
class BitWriter
{
public:
    void Bits(std::uint32_t value, int count)
    {
        for (int i = 0; i < count; ++i) {
            if (used_ == 0) {
                out_.push_back(0);
            }
            out_.back() = static_cast<unsigned char>(out_.back() | (((value >> i) & 1U) << used_));
            used_ = (used_ + 1) % 8;
        }
    }
    // A Huffman code goes in from its highest bit.
    void Code(std::uint32_t code, int length)
    {
        for (int i = length - 1; i >= 0; --i) {
            Bits((code >> i) & 1U, 1);
        }
    }
    [[nodiscard]] const Bytes& Out() const { return out_; }

private:
    Bytes out_;
    int used_ = 0;
};

// A literal byte or length code with deflate's fixed Huffman codes.
void Symbol(BitWriter& bits, int symbol)
{
    if (symbol < 144) {
        bits.Code(static_cast<std::uint32_t>(0x30 + symbol), 8);
    } else if (symbol < 256) {
        bits.Code(static_cast<std::uint32_t>(0x190 + symbol - 144), 9);
    } else if (symbol < 280) {
        bits.Code(static_cast<std::uint32_t>(symbol - 256), 7);
    } else {
        bits.Code(static_cast<std::uint32_t>(0xC0 + symbol - 280), 8);
    }
}

constexpr std::array<int, 29> LengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                            15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                            67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 30> DistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};

// How many extra bits a length or distance code carries.
int LengthExtra(std::size_t code)
{
    return code < 8 || code == 28 ? 0 : static_cast<int>(code / 4 - 1);
}

int DistanceExtra(std::size_t code)
{
    return code < 4 ? 0 : static_cast<int>(code / 2 - 1);
}

void Match(BitWriter& bits, int length, int distance)
{
    std::size_t code = LengthBase.size() - 1;
    while (LengthBase[code] > length) {
        --code;
    }
    Symbol(bits, 257 + static_cast<int>(code));
    bits.Bits(static_cast<std::uint32_t>(length - LengthBase[code]), LengthExtra(code));
    code = DistanceBase.size() - 1;
    while (DistanceBase[code] > distance) {
        --code;
    }
    bits.Code(static_cast<std::uint32_t>(code), 5);
    bits.Bits(static_cast<std::uint32_t>(distance - DistanceBase[code]), DistanceExtra(code));
}

// A zlib stream of one fixed-code deflate block. Matches are looked for only
// one byte back and one row back.
Bytes Deflate(const Bytes& data, int row)
{
    BitWriter bits;
    bits.Bits(1, 1); // the last block
    bits.Bits(1, 2); // fixed codes
    std::size_t i = 0;
    while (i < data.size()) {
        int best = 0;
        int bestDistance = 0;
        for (const int distance : {1, row}) {
            if (i < static_cast<std::size_t>(distance)) {
                continue;
            }
            int length = 0;
            while (length < 258 && i + static_cast<std::size_t>(length) < data.size() &&
                   data[i + static_cast<std::size_t>(length)] ==
                       data[i + static_cast<std::size_t>(length) -
                            static_cast<std::size_t>(distance)]) {
                ++length;
            }
            if (length > best) {
                best = length;
                bestDistance = distance;
            }
        }
        if (best >= 3) {
            Match(bits, best, bestDistance);
            i += static_cast<std::size_t>(best);
        } else {
            Symbol(bits, data[i]);
            ++i;
        }
    }
    Symbol(bits, 256);

    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const unsigned char byte : data) {
        a = (a + byte) % 65521U;
        b = (b + a) % 65521U;
    }
    Bytes out = {0x78, 0x01};
    out.insert(out.end(), bits.Out().begin(), bits.Out().end());
    Put32(out, (b << 16) | a);
    return out;
}

void Chunk(Bytes& png, const char* type, const Bytes& data)
{
    Put32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    Put32(png, Crc32(png.data() + start, png.size() - start));
}

// The icon at `size` pixels square, each pixel the nearest of the icon's own:
// eight bits a pixel into a palette whose entry 0 is clear.
Bytes Png(int size)
{
    std::vector<std::uint32_t> palette = {0};
    Bytes rows;
    for (int row = 0; row < size; ++row) {
        rows.push_back(0); // no filter
        for (int column = 0; column < size; ++column) {
            const std::uint32_t argb = tintara::look::IconPixel(
                row * tintara::look::IconSize / size, column * tintara::look::IconSize / size);
            auto at = std::find(palette.begin(), palette.end(), argb);
            if (at == palette.end()) {
                at = palette.insert(palette.end(), argb);
            }
            rows.push_back(static_cast<unsigned char>(at - palette.begin()));
        }
    }

    Bytes header;
    Put32(header, static_cast<std::uint32_t>(size));
    Put32(header, static_cast<std::uint32_t>(size));
    header.insert(header.end(), {8, 3, 0, 0, 0}); // 8 bits, palette
    Bytes colours;
    Bytes alpha;
    for (const std::uint32_t argb : palette) {
        colours.insert(colours.end(), {static_cast<unsigned char>((argb >> 16) & 0xFFU),
                                       static_cast<unsigned char>((argb >> 8) & 0xFFU),
                                       static_cast<unsigned char>(argb & 0xFFU)});
        alpha.push_back(static_cast<unsigned char>(argb >> 24));
    }

    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Chunk(png, "IHDR", header);
    Chunk(png, "PLTE", colours);
    Chunk(png, "tRNS", alpha);
    Chunk(png, "IDAT", Deflate(rows, size + 1));
    Chunk(png, "IEND", {});
    return png;
}

} // namespace

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
        const Bytes png = Png(size);
        std::FILE* output = std::fopen(argv[i + 1], "wb");
        if (output == nullptr || std::fwrite(png.data(), 1, png.size(), output) != png.size() ||
            std::fclose(output) != 0) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[i + 1]);
            return 1;
        }
    }
    return 0;
}

// The program's icon as a PNG image of any size, from the same pixels as the
// window's icon: for the build-time tools that write the Windows icon file and
// the web app's icons. Each size takes the nearest pixel of the 32-pixel icon,
// so where a size is a whole multiple of 32 the bands stay even. It needs
// nothing beyond the standard library, so it compresses with a small deflate
// of its own, which the icon's flat bands suit.
#pragma once

#include "Look.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tintara::icon
{

using Bytes = std::vector<unsigned char>;

inline void Put32BigEndian(Bytes& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<unsigned char>((value >> shift) & 0xFFU));
    }
}

// The icon's pixel at a size, as 0xAARRGGBB.
inline std::uint32_t PixelAt(int size, int row, int column)
{
    return look::IconPixel(row * look::IconSize / size, column * look::IconSize / size);
}

// Bits into a deflate stream, the first bit in the lowest place of each byte.
class BitWriter
{
public:
    void Put(std::uint32_t bits, int count)
    {
        for (int i = 0; i < count; ++i) {
            if (used_ == 0) {
                out_.push_back(0);
            }
            out_.back() |= static_cast<unsigned char>(((bits >> i) & 1U) << used_);
            used_ = (used_ + 1) % 8;
        }
    }
    // A Huffman code goes in from its highest bit down.
    void PutCode(std::uint32_t code, int length)
    {
        for (int i = length - 1; i >= 0; --i) {
            Put((code >> i) & 1U, 1);
        }
    }
    [[nodiscard]] const Bytes& Out() const { return out_; }

private:
    Bytes out_;
    int used_ = 0;
};

// A symbol of deflate's fixed literal and length code.
inline void PutSymbol(BitWriter& bits, int symbol)
{
    if (symbol < 144) {
        bits.PutCode(static_cast<std::uint32_t>(0x30 + symbol), 8);
    } else if (symbol < 256) {
        bits.PutCode(static_cast<std::uint32_t>(0x190 + symbol - 144), 9);
    } else if (symbol < 280) {
        bits.PutCode(static_cast<std::uint32_t>(symbol - 256), 7);
    } else {
        bits.PutCode(static_cast<std::uint32_t>(0xC0 + symbol - 280), 8);
    }
}

// A repeat of length 3 to 258 bytes from distance 1 to 32768 back.
inline void PutMatch(BitWriter& bits, int length, int distance)
{
    static constexpr std::array<int, 29> LengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                       15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
    static constexpr std::array<int, 29> LengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                        2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    static constexpr std::array<int, 30> DistanceBase = {
        1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
        193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    int code = 28;
    while (LengthBase[static_cast<std::size_t>(code)] > length) {
        --code;
    }
    PutSymbol(bits, 257 + code);
    bits.Put(static_cast<std::uint32_t>(length - LengthBase[static_cast<std::size_t>(code)]),
             LengthExtra[static_cast<std::size_t>(code)]);
    int place = 29;
    while (DistanceBase[static_cast<std::size_t>(place)] > distance) {
        --place;
    }
    bits.PutCode(static_cast<std::uint32_t>(place), 5);
    bits.Put(static_cast<std::uint32_t>(distance - DistanceBase[static_cast<std::size_t>(place)]),
             place < 4 ? 0 : place / 2 - 1);
}

// The icon for a launcher that cuts it to a shape of its own (a web app's
// maskable icon): opaque to the edges, the drawing centred inside the circle
// every such shape keeps, whose radius is two fifths of the side. The
// drawing is the largest square in that circle, down to a whole multiple of
// 32 pixels where it is that large, so that its bands stay even; the rest,
// and the drawing's clear corners, are the window's grey (the manifest's
// background colour).
inline constexpr std::uint32_t MaskableBackground = 0xFFC0C0C0;

inline int MaskableInner(int size)
{
    // The square's diagonal within the circle's diameter: 2 side^2 <= (4/5 size)^2.
    int inner = size;
    while (50 * inner * inner > 16 * size * size) {
        --inner;
    }
    return inner >= look::IconSize ? inner - inner % look::IconSize : inner;
}

inline std::uint32_t MaskablePixelAt(int size, int row, int column)
{
    const int inner = MaskableInner(size);
    const int offset = (size - inner) / 2;
    row -= offset;
    column -= offset;
    if (row < 0 || column < 0 || row >= inner || column >= inner) {
        return MaskableBackground;
    }
    // The icon's pixels are either opaque or clear.
    const std::uint32_t pixel = PixelAt(inner, row, column);
    return (pixel >> 24) == 0 ? MaskableBackground : pixel;
}

// A zlib stream of one deflate block in the fixed code, repeating what the
// same byte, the pixel before or the row above already said: enough for an
// icon of a few flat bands.
inline Bytes Compress(const Bytes& data, int rowLength)
{
    BitWriter bits;
    bits.Put(1, 1); // the last block
    bits.Put(1, 2); // in the fixed code
    const int size = static_cast<int>(data.size());
    for (int at = 0; at < size;) {
        int bestLength = 0;
        int bestDistance = 0;
        for (int distance : {1, 4, rowLength}) {
            if (distance > at) {
                continue;
            }
            int length = 0;
            while (length < 258 && at + length < size &&
                   data[static_cast<std::size_t>(at + length)] ==
                       data[static_cast<std::size_t>(at + length - distance)]) {
                ++length;
            }
            if (length > bestLength) {
                bestLength = length;
                bestDistance = distance;
            }
        }
        if (bestLength >= 3) {
            PutMatch(bits, bestLength, bestDistance);
            at += bestLength;
        } else {
            PutSymbol(bits, data[static_cast<std::size_t>(at)]);
            ++at;
        }
    }
    PutSymbol(bits, 256);

    Bytes out = {0x78, 0x01};
    out.insert(out.end(), bits.Out().begin(), bits.Out().end());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (unsigned char byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    Put32BigEndian(out, (b << 16) | a);
    return out;
}

inline std::uint32_t Crc32(const unsigned char* data, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFU;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320U & (0U - (crc & 1U)));
        }
    }
    return crc ^ 0xFFFFFFFFU;
}

inline void PutChunk(Bytes& out, const char* type, const Bytes& body)
{
    Put32BigEndian(out, static_cast<std::uint32_t>(body.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    Put32BigEndian(out, Crc32(out.data() + start, out.size() - start));
}

// One image as a PNG: red, green, blue and alpha, eight bits each, every row
// but the first given as its difference from the row above. The pixels come
// from PixelAt, or MaskablePixelAt where maskable.
inline Bytes Png(int size, bool maskable = false)
{
    const auto pixel = [size, maskable](int row, int column) {
        return maskable ? MaskablePixelAt(size, row, column) : PixelAt(size, row, column);
    };
    Bytes rows;
    const int rowLength = 1 + size * 4;
    for (int row = 0; row < size; ++row) {
        rows.push_back(row == 0 ? 0 : 2);
        for (int column = 0; column < size; ++column) {
            const std::uint32_t argb = pixel(row, column);
            const std::uint32_t above = row == 0 ? 0 : pixel(row - 1, column);
            for (int shift : {16, 8, 0, 24}) {
                rows.push_back(static_cast<unsigned char>(((argb >> shift) & 0xFFU) -
                                                          ((above >> shift) & 0xFFU)));
            }
        }
    }
    Bytes header;
    Put32BigEndian(header, static_cast<std::uint32_t>(size));
    Put32BigEndian(header, static_cast<std::uint32_t>(size));
    header.insert(header.end(), {8, 6, 0, 0, 0});
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", Compress(rows, rowLength));
    PutChunk(out, "IEND", {});
    return out;
}

} // namespace tintara::icon

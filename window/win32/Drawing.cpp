#include "Drawing.h"

#include "Layout.h"
#include "Look.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tintara
{

COLORREF Resolve(ColorWord color)
{
    if ((color & 0x80000000U) != 0) {
        return GetSysColor(static_cast<int>(color & 0xFFU));
    }
    return static_cast<COLORREF>(color & 0x00FFFFFFU);
}

bool HighContrast()
{
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) != 0 &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0) {
        return true;
    }
    return GetSysColor(COLOR_BTNFACE) == GetSysColor(COLOR_WINDOW);
}

void FillBlock(HDC dc, int left, int top, int width, int height, HBRUSH brush)
{
    const RECT rect = {left, top, left + width, top + height};
    FillRect(dc, &rect, brush);
}

void FillBlock(HDC dc, int left, int top, int width, int height, int sysColor)
{
    FillBlock(dc, left, top, width, height, GetSysColorBrush(sysColor));
}

OwnedIcon ArrowIcon(Direction direction, double size, int side, COLORREF ink)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = -side;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const OwnedBitmap color(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (color == nullptr || bits == nullptr) {
        return nullptr;
    }
    const std::vector<std::uint8_t> coverage = look::ArrowCoverage(direction, size, side);
    // Rows of the mask run to a whole number of 16-bit words; a set bit is clear.
    const int maskRow = (side + 15) / 16 * 2;
    std::vector<BYTE> mask(static_cast<std::size_t>(maskRow * side), 0);
    auto* pixels = static_cast<DWORD*>(bits);
    const DWORD rgb = (static_cast<DWORD>(GetRValue(ink)) << 16) |
                      (static_cast<DWORD>(GetGValue(ink)) << 8) | GetBValue(ink);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const DWORD alpha = coverage[static_cast<std::size_t>(y * side + x)];
            pixels[y * side + x] = alpha == 0 ? 0 : (alpha << 24) | rgb;
            if (alpha == 0) {
                mask[static_cast<std::size_t>(y * maskRow + x / 8)] |=
                    static_cast<BYTE>(0x80U >> (x % 8));
            }
        }
    }
    const OwnedBitmap clear(CreateBitmap(side, side, 1, 1, mask.data()));
    if (clear == nullptr) {
        return nullptr;
    }
    // The icon takes copies of the two bitmaps.
    ICONINFO parts{};
    parts.fIcon = TRUE;
    parts.hbmMask = clear.get();
    parts.hbmColor = color.get();
    return OwnedIcon(CreateIconIndirect(&parts));
}

OwnedBrush HatchBrush(int dpi, COLORREF ink, COLORREF back)
{
    const int n = std::max(1, layout::Scaled(look::HatchSize, dpi));
    std::vector<BYTE> packed(sizeof(BITMAPINFOHEADER) + static_cast<std::size_t>(n * n) * 4);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = n;
    header.biHeight = n;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    std::copy_n(reinterpret_cast<const BYTE*>(&header), sizeof header, packed.begin());
    const auto bgr = [](COLORREF color) {
        return (static_cast<DWORD>(GetRValue(color)) << 16) |
               (static_cast<DWORD>(GetGValue(color)) << 8) | GetBValue(color);
    };
    BYTE* pixels = packed.data() + sizeof header;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const bool on = look::HatchPixel(x * look::HatchSize / n, y * look::HatchSize / n);
            const DWORD value = bgr(on ? ink : back);
            // The rows of the bitmap run from the bottom up.
            std::copy_n(reinterpret_cast<const BYTE*>(&value), 4,
                        pixels + (static_cast<std::size_t>((n - 1 - y) * n + x) * 4));
        }
    }
    return OwnedBrush(CreateDIBPatternBrushPt(packed.data(), DIB_RGB_COLORS));
}

} // namespace tintara

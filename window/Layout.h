// The main window's layout: one record per control, created once and never
// moved. Positions and sizes are in twips (1/1440 inch) from the top-left
// corner of the client area; at 96 dots per inch 15 twips make one pixel.
#pragma once

#include "Tintara.h"

#include <array>
#include <string_view>

namespace tintara::layout
{

enum class Kind { Shape, PictureBox, CommandButton, ArrowButton, Label };

enum class Align { Left, Center };

// The fonts of the window; all are bold.
enum class Font { None, Cell, Label, Counter, Button, Arrow };

struct Face {
    // The face the window is drawn for.
    std::string_view named;
    // Where the named face is not installed, the first of these that is: faces
    // with the same widths, so that every text keeps its length. Liberation
    // Serif, Tinos and Nimbus Roman have the widths of Times New Roman;
    // Liberation Sans, Arimo and Nimbus Sans, Arial's widths, the nearest to MS
    // Sans Serif. An empty entry stands for none.
    std::array<std::string_view, 3> standIns;
    // Where none of those is installed either, the desktop's face of this
    // generic family: "serif" or "sans-serif" (the names CSS and fontconfig
    // use); empty for the symbol face.
    std::string_view generic;
    double points;
    bool italic;
};

inline constexpr std::array<std::string_view, 3> TimesStandIns = {"Liberation Serif", "Tinos",
                                                                  "Nimbus Roman"};
inline constexpr std::array<std::string_view, 3> ArialStandIns = {"Liberation Sans", "Arimo",
                                                                  "Nimbus Sans"};
inline constexpr std::string_view Serif = "serif";
inline constexpr std::string_view SansSerif = "sans-serif";

inline constexpr Face FaceOf(Font font)
{
    switch (font) {
    case Font::Cell:
        return {"Times New Roman", TimesStandIns, Serif, 20.25, false};
    case Font::Label:
        return {"Times New Roman", TimesStandIns, Serif, 14.25, false};
    case Font::Counter:
        return {"Times New Roman", TimesStandIns, Serif, 24.75, true};
    case Font::Button:
        return {"MS Sans Serif", ArialStandIns, SansSerif, 9.75, false};
    case Font::Arrow:
        return {"Wingdings 3", {}, {}, 36.0, false};
    case Font::None:
        break;
    }
    return {"", {}, {}, 0.0, false};
}

// System colours the window uses: 0x800000nn names the desktop's colour nn.
inline constexpr ColorWord ScrollBar = 0x80000000;
inline constexpr ColorWord ActiveCaptionText = 0x80000009;
inline constexpr ColorWord InactiveBorder = 0x8000000B;
inline constexpr ColorWord ButtonFace = 0x8000000F;
inline constexpr ColorWord ButtonText = 0x80000012;

struct Control {
    std::string_view name;
    Kind kind;
    int left;
    int top;
    int width;
    int height;
    // Background; for the shape, its fill.
    ColorWord back;
    // Text colour; for the shape, its outline.
    ColorWord fore;
    std::string_view text;
    // The glyph of an arrow button in its symbol font, or the shape's style.
    int code;
    Font font;
    Align align;
    // -1 for the shape, which takes no focus and has no place in the order.
    int tabIndex;
};

struct WindowRecord {
    std::string_view title;
    int clientWidth;
    int clientHeight;
    ColorWord back;
};

inline constexpr WindowRecord Window = {"Tintara by Orlandek", 7440, 3945, InactiveBorder};

// Style 7 of the shape: a fill of crossing diagonal lines.
inline constexpr int CrossHatch = 7;
// Outline width of the shape, in pixels.
inline constexpr int ShapeOutline = 2;

// Arrow glyphs of the symbol font.
inline constexpr int GlyphLeft = 0xC5;
inline constexpr int GlyphRight = 0xC6;
inline constexpr int GlyphUp = 0xC7;
inline constexpr int GlyphDown = 0xC8;

// The shape comes first: it is drawn on the window beneath everything else.
// The board cells are created with the empty cell's colour; the load event
// deals before the window is first shown.
// clang-format off
inline constexpr std::array<Control, 43> Controls = {{
    {"Shape1", Kind::Shape, 3720, 960, 1695, 1695, 0x00FFC0C0, 0x00FF0000, "", CrossHatch, Font::None, Align::Left, -1},
    {"cmdUp", Kind::ArrowButton, 5760, 1920, 735, 735, ButtonFace, ButtonText, "", GlyphUp, Font::Arrow, Align::Center, 0},
    {"cmdLeft", Kind::ArrowButton, 4920, 2760, 735, 735, ButtonFace, ButtonText, "", GlyphLeft, Font::Arrow, Align::Center, 1},
    {"cmdDown", Kind::ArrowButton, 5760, 2760, 735, 735, ButtonFace, ButtonText, "", GlyphDown, Font::Arrow, Align::Center, 2},
    {"cmdRight", Kind::ArrowButton, 6600, 2760, 735, 735, ButtonFace, ButtonText, "", GlyphRight, Font::Arrow, Align::Center, 3},
    {"cmdAbout", Kind::CommandButton, 5760, 120, 1575, 615, ButtonFace, ButtonText, "About", 0, Font::Button, Align::Center, 4},
    {"cmdExit", Kind::CommandButton, 5760, 840, 1575, 615, ButtonFace, ButtonText, "Exit", 0, Font::Button, Align::Center, 5},
    {"B1", Kind::PictureBox, 240, 240, 800, 800, HoleColor, ButtonText, "", 0, Font::Cell, Align::Left, 6},
    {"B2", Kind::PictureBox, 1080, 240, 800, 800, HoleColor, ButtonText, "", 0, Font::Cell, Align::Left, 7},
    {"B3", Kind::PictureBox, 1920, 240, 800, 800, HoleColor, ButtonText, "", 0, Font::Cell, Align::Left, 8},
    {"B4", Kind::PictureBox, 2760, 240, 800, 800, HoleColor, ButtonText, "", 0, Font::Cell, Align::Left, 9},
    {"B5", Kind::PictureBox, 240, 1080, 800, 800, HoleColor, ButtonText, "", 0, Font::Cell, Align::Left, 10},
    {"B6", Kind::PictureBox, 1080, 1080, 800, 800, HoleColor, ButtonText, "", 0, Font::Cell, Align::Left, 11},
    {"B7", Kind::PictureBox, 1920, 1080, 800, 800, HoleColor, ButtonText, "", 0, Font::Cell, Align::Left, 12},
    {"B8", Kind::PictureBox, 2760, 1080, 800, 800, HoleColor, ButtonText, "", 0, Font::Cell, Align::Left, 13},
    {"B9", Kind::PictureBox, 240, 1920, 800, 800, HoleColor, ButtonText, "", 0, Font::Cell, Align::Left, 14},
    {"B10", Kind::PictureBox, 1080, 1920, 800, 800, HoleColor, ButtonText, "", 0, Font::Cell, Align::Left, 15},
    {"B11", Kind::PictureBox, 1920, 1920, 800, 800, HoleColor, ButtonText, "", 0, Font::Cell, Align::Left, 16},
    {"B12", Kind::PictureBox, 2760, 1920, 800, 800, HoleColor, ButtonText, "", 0, Font::Cell, Align::Left, 17},
    {"B13", Kind::PictureBox, 240, 2760, 800, 800, HoleColor, ButtonText, "", 0, Font::Cell, Align::Left, 18},
    {"B14", Kind::PictureBox, 1080, 2760, 800, 800, HoleColor, ButtonText, "", 0, Font::Cell, Align::Left, 19},
    {"B15", Kind::PictureBox, 1920, 2760, 800, 800, HoleColor, ButtonText, "", 0, Font::Cell, Align::Left, 20},
    {"B16", Kind::PictureBox, 2760, 2760, 800, 800, HoleColor, ButtonText, "", 0, Font::Cell, Align::Left, 21},
    {"Picture1", Kind::PictureBox, 3840, 1080, 333, 333, 0x00800000, ButtonText, "", 0, Font::None, Align::Left, 22},
    {"Picture2", Kind::PictureBox, 4920, 2160, 333, 333, 0x80000000, ButtonText, "", 0, Font::None, Align::Left, 23},
    {"Picture3", Kind::PictureBox, 4560, 2160, 333, 333, 0x80000009, ButtonText, "", 0, Font::None, Align::Left, 24},
    {"Picture4", Kind::PictureBox, 4200, 2160, 333, 333, 0x0000FFFF, ButtonText, "", 0, Font::None, Align::Left, 25},
    {"Picture5", Kind::PictureBox, 3840, 2160, 333, 333, 0x00FF00FF, ButtonText, "", 0, Font::None, Align::Left, 26},
    {"Picture6", Kind::PictureBox, 4920, 1800, 333, 333, 0x00404040, ButtonText, "", 0, Font::None, Align::Left, 27},
    {"Picture7", Kind::PictureBox, 4560, 1800, 333, 333, 0x00808080, ButtonText, "", 0, Font::None, Align::Left, 28},
    {"Picture8", Kind::PictureBox, 4200, 1800, 333, 333, 0x00004080, ButtonText, "", 0, Font::None, Align::Left, 29},
    {"Picture9", Kind::PictureBox, 3840, 1800, 333, 333, 0x00800080, ButtonText, "", 0, Font::None, Align::Left, 30},
    {"Picture10", Kind::PictureBox, 4920, 1440, 333, 333, 0x000000FF, ButtonText, "", 0, Font::None, Align::Left, 31},
    {"Picture11", Kind::PictureBox, 4560, 1440, 333, 333, 0x00FFFF00, ButtonText, "", 0, Font::None, Align::Left, 32},
    {"Picture12", Kind::PictureBox, 4200, 1440, 333, 333, 0x0000FF00, ButtonText, "", 0, Font::None, Align::Left, 33},
    {"Picture13", Kind::PictureBox, 3840, 1440, 333, 333, 0x00FF0000, ButtonText, "", 0, Font::None, Align::Left, 34},
    {"Picture14", Kind::PictureBox, 4920, 1080, 333, 333, 0x00000080, ButtonText, "", 0, Font::None, Align::Left, 35},
    {"Picture15", Kind::PictureBox, 4560, 1080, 333, 333, 0x00808000, ButtonText, "", 0, Font::None, Align::Left, 36},
    {"Picture16", Kind::PictureBox, 4200, 1080, 333, 333, 0x00008000, ButtonText, "", 0, Font::None, Align::Left, 37},
    {"Label1", Kind::Label, 3720, 120, 1815, 735, ButtonFace, 0x00FF0000, "Do this and win the game. ", 0, Font::Label, Align::Left, 38},
    {"Label2", Kind::Label, 1200, 3600, 2295, 375, ButtonFace, ButtonText, "You already did:", 0, Font::Label, Align::Left, 39},
    {"lblNum", Kind::Label, 3600, 3360, 855, 495, ButtonFace, 0x000000FF, "0", 0, Font::Counter, Align::Center, 40},
    {"Label4", Kind::Label, 4560, 3600, 2055, 375, ButtonFace, ButtonText, "course(courses)", 0, Font::Label, Align::Left, 41}
}};
// clang-format on

// Twips to whole pixels at 96 dots per inch, to the nearest pixel. Qt scales
// these device-independent pixels on denser screens.
inline constexpr int Pixels(int twips)
{
    return (twips * 2 + 15) / 30;
}

// Pixels at 96 dots per inch on a screen of `dpi` dots per inch, to the
// nearest pixel. The twips are rounded to whole pixels at 96 first, as Qt
// scales its device-independent pixels, so both front ends agree at every
// density: at 192 the window is exactly twice its size at 96.
inline constexpr int Scaled(int pixels, int dpi)
{
    return (pixels * dpi + 48) / 96;
}

inline constexpr int PixelsAt(int twips, int dpi)
{
    return Scaled(Pixels(twips), dpi);
}

// Font sizes in pixels at 96 dots per inch, to the nearest pixel.
inline constexpr int PixelSize(double points)
{
    return static_cast<int>(points * 96.0 / 72.0 + 0.5);
}

} // namespace tintara::layout

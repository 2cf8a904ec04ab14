// The main window's layout: one record per control, created once and never
// moved. Positions and sizes are in twips (1/1440 inch) from the top-left
// corner of the client area; at 96 dots per inch 15 twips make one pixel.
#pragma once

#include "Tintara.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tintara::layout
{

enum class Kind : std::uint8_t { Shape, PictureBox, CommandButton, ArrowButton, Label };

enum class Align : std::uint8_t { Left, Center };

// The fonts of the window; all are bold. The arrows take none: they are
// drawn as shapes, with no symbol face.
enum class Font : std::uint8_t { None, Cell, Label, Counter, Button };

// Every font a control takes.
inline constexpr std::array<Font, 4> Fonts = {Font::Cell, Font::Label, Font::Counter, Font::Button};

// What a control does when the player uses it: an arrow slides a tile its
// way, About and Exit open their dialogues, and the red preview swatch's
// shortcut announces the win.
enum class Action : std::uint8_t { None, Up, Down, Left, Right, About, Exit, Announce };

// The player's event that runs a control's action, numbered as the web page
// sends them.
enum class Event : std::uint8_t { Click = 0, DoubleClick = 1 };

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
    std::int16_t left;
    std::int16_t top;
    std::int16_t width;
    std::int16_t height;
    // Background; for the shape, its fill.
    ColorWord back;
    // Text colour; for the shape, its outline.
    ColorWord fore;
    std::string_view text;
    Action action;
    // The event that runs the action.
    Event on;
    Font font;
    Align align;
    // -1 for the shape, which takes no focus and has no place in the order.
    std::int8_t tabIndex;
};

struct WindowRecord {
    std::string_view title;
    int clientWidth;
    int clientHeight;
    ColorWord back;
};

inline constexpr WindowRecord Window = {"Tintara by Orlandek", 7440, 3945, InactiveBorder};

// Outline width of the shape, in pixels.
inline constexpr int ShapeOutline = 2;

// The shape, filled with crossing diagonal lines, comes first: it is drawn
// on the window beneath everything else.
// The board cells are created with the empty cell's colour; the load event
// deals before the window is first shown.
// clang-format off
inline constexpr std::array<Control, 43> Controls = {{
    {"Shape1", Kind::Shape, 3720, 960, 1695, 1695, 0x00FFC0C0, 0x00FF0000, "", Action::None, Event::Click, Font::None, Align::Left, -1},
    {"cmdUp", Kind::ArrowButton, 5760, 1920, 735, 735, ButtonFace, ButtonText, "", Action::Up, Event::Click, Font::None, Align::Center, 0},
    {"cmdLeft", Kind::ArrowButton, 4920, 2760, 735, 735, ButtonFace, ButtonText, "", Action::Left, Event::Click, Font::None, Align::Center, 1},
    {"cmdDown", Kind::ArrowButton, 5760, 2760, 735, 735, ButtonFace, ButtonText, "", Action::Down, Event::Click, Font::None, Align::Center, 2},
    {"cmdRight", Kind::ArrowButton, 6600, 2760, 735, 735, ButtonFace, ButtonText, "", Action::Right, Event::Click, Font::None, Align::Center, 3},
    {"cmdAbout", Kind::CommandButton, 5760, 120, 1575, 615, ButtonFace, ButtonText, "About", Action::About, Event::Click, Font::Button, Align::Center, 4},
    {"cmdExit", Kind::CommandButton, 5760, 840, 1575, 615, ButtonFace, ButtonText, "Exit", Action::Exit, Event::Click, Font::Button, Align::Center, 5},
    {"B1", Kind::PictureBox, 240, 240, 800, 800, HoleColor, ButtonText, "", Action::None, Event::Click, Font::Cell, Align::Left, 6},
    {"B2", Kind::PictureBox, 1080, 240, 800, 800, HoleColor, ButtonText, "", Action::None, Event::Click, Font::Cell, Align::Left, 7},
    {"B3", Kind::PictureBox, 1920, 240, 800, 800, HoleColor, ButtonText, "", Action::None, Event::Click, Font::Cell, Align::Left, 8},
    {"B4", Kind::PictureBox, 2760, 240, 800, 800, HoleColor, ButtonText, "", Action::None, Event::Click, Font::Cell, Align::Left, 9},
    {"B5", Kind::PictureBox, 240, 1080, 800, 800, HoleColor, ButtonText, "", Action::None, Event::Click, Font::Cell, Align::Left, 10},
    {"B6", Kind::PictureBox, 1080, 1080, 800, 800, HoleColor, ButtonText, "", Action::None, Event::Click, Font::Cell, Align::Left, 11},
    {"B7", Kind::PictureBox, 1920, 1080, 800, 800, HoleColor, ButtonText, "", Action::None, Event::Click, Font::Cell, Align::Left, 12},
    {"B8", Kind::PictureBox, 2760, 1080, 800, 800, HoleColor, ButtonText, "", Action::None, Event::Click, Font::Cell, Align::Left, 13},
    {"B9", Kind::PictureBox, 240, 1920, 800, 800, HoleColor, ButtonText, "", Action::None, Event::Click, Font::Cell, Align::Left, 14},
    {"B10", Kind::PictureBox, 1080, 1920, 800, 800, HoleColor, ButtonText, "", Action::None, Event::Click, Font::Cell, Align::Left, 15},
    {"B11", Kind::PictureBox, 1920, 1920, 800, 800, HoleColor, ButtonText, "", Action::None, Event::Click, Font::Cell, Align::Left, 16},
    {"B12", Kind::PictureBox, 2760, 1920, 800, 800, HoleColor, ButtonText, "", Action::None, Event::Click, Font::Cell, Align::Left, 17},
    {"B13", Kind::PictureBox, 240, 2760, 800, 800, HoleColor, ButtonText, "", Action::None, Event::Click, Font::Cell, Align::Left, 18},
    {"B14", Kind::PictureBox, 1080, 2760, 800, 800, HoleColor, ButtonText, "", Action::None, Event::Click, Font::Cell, Align::Left, 19},
    {"B15", Kind::PictureBox, 1920, 2760, 800, 800, HoleColor, ButtonText, "", Action::None, Event::Click, Font::Cell, Align::Left, 20},
    {"B16", Kind::PictureBox, 2760, 2760, 800, 800, HoleColor, ButtonText, "", Action::None, Event::Click, Font::Cell, Align::Left, 21},
    {"Picture1", Kind::PictureBox, 3840, 1080, 333, 333, 0x00800000, ButtonText, "", Action::None, Event::Click, Font::None, Align::Left, 22},
    {"Picture2", Kind::PictureBox, 4920, 2160, 333, 333, ScrollBar, ButtonText, "", Action::None, Event::Click, Font::None, Align::Left, 23},
    {"Picture3", Kind::PictureBox, 4560, 2160, 333, 333, ActiveCaptionText, ButtonText, "", Action::None, Event::Click, Font::None, Align::Left, 24},
    {"Picture4", Kind::PictureBox, 4200, 2160, 333, 333, 0x0000FFFF, ButtonText, "", Action::None, Event::Click, Font::None, Align::Left, 25},
    {"Picture5", Kind::PictureBox, 3840, 2160, 333, 333, 0x00FF00FF, ButtonText, "", Action::None, Event::Click, Font::None, Align::Left, 26},
    {"Picture6", Kind::PictureBox, 4920, 1800, 333, 333, 0x00404040, ButtonText, "", Action::None, Event::Click, Font::None, Align::Left, 27},
    {"Picture7", Kind::PictureBox, 4560, 1800, 333, 333, 0x00808080, ButtonText, "", Action::None, Event::Click, Font::None, Align::Left, 28},
    {"Picture8", Kind::PictureBox, 4200, 1800, 333, 333, 0x00004080, ButtonText, "", Action::None, Event::Click, Font::None, Align::Left, 29},
    {"Picture9", Kind::PictureBox, 3840, 1800, 333, 333, 0x00800080, ButtonText, "", Action::None, Event::Click, Font::None, Align::Left, 30},
    {"Picture10", Kind::PictureBox, 4920, 1440, 333, 333, 0x000000FF, ButtonText, "", Action::Announce, Event::DoubleClick, Font::None, Align::Left, 31},
    {"Picture11", Kind::PictureBox, 4560, 1440, 333, 333, 0x00FFFF00, ButtonText, "", Action::None, Event::Click, Font::None, Align::Left, 32},
    {"Picture12", Kind::PictureBox, 4200, 1440, 333, 333, 0x0000FF00, ButtonText, "", Action::None, Event::Click, Font::None, Align::Left, 33},
    {"Picture13", Kind::PictureBox, 3840, 1440, 333, 333, 0x00FF0000, ButtonText, "", Action::None, Event::Click, Font::None, Align::Left, 34},
    {"Picture14", Kind::PictureBox, 4920, 1080, 333, 333, 0x00000080, ButtonText, "", Action::None, Event::Click, Font::None, Align::Left, 35},
    {"Picture15", Kind::PictureBox, 4560, 1080, 333, 333, 0x00808000, ButtonText, "", Action::None, Event::Click, Font::None, Align::Left, 36},
    {"Picture16", Kind::PictureBox, 4200, 1080, 333, 333, 0x00008000, ButtonText, "", Action::None, Event::Click, Font::None, Align::Left, 37},
    {"Label1", Kind::Label, 3720, 120, 1815, 735, ButtonFace, 0x00FF0000, "Do this and win the game. ", Action::None, Event::Click, Font::Label, Align::Left, 38},
    {"Label2", Kind::Label, 1200, 3600, 2295, 375, ButtonFace, ButtonText, "You already did:", Action::None, Event::Click, Font::Label, Align::Left, 39},
    {"lblNum", Kind::Label, 3600, 3360, 855, 495, ButtonFace, 0x000000FF, "0", Action::None, Event::Click, Font::Counter, Align::Center, 40},
    {"Label4", Kind::Label, 4560, 3600, 2055, 375, ButtonFace, ButtonText, "course(courses)", Action::None, Event::Click, Font::Label, Align::Left, 41}
}};
// clang-format on

// The record of the control of this name; Controls.size() where none has it.
inline constexpr std::size_t RecordOf(std::string_view name)
{
    std::size_t index = 0;
    while (index < Controls.size() && Controls[index].name != name) {
        ++index;
    }
    return index;
}

// The records in the order of their tab indices, which is the order Tab
// walks and so the order the front ends make the controls in. The shape,
// which takes no focus, comes first and so lies beneath the rest.
inline constexpr std::array<std::size_t, Controls.size()> TabOrder = [] {
    std::array<std::size_t, Controls.size()> order{};
    for (std::size_t i = 0; i < order.size(); ++i) {
        std::size_t place = 0;
        for (std::size_t j = 0; j < order.size(); ++j) {
            const int before = Controls[j].tabIndex;
            const int self = Controls[i].tabIndex;
            place += before < self || (before == self && j < i) ? 1 : 0;
        }
        order[place] = i;
    }
    return order;
}();

// The number k of a board cell's name "Bk", 1 to 16; 0 for any other name.
inline constexpr int CellNumber(std::string_view name)
{
    if (name.size() < 2 || name.size() > 3 || name[0] != 'B' || name[1] == '0') {
        return 0;
    }
    int k = 0;
    for (const char digit : name.substr(1)) {
        if (digit < '0' || digit > '9') {
            return 0;
        }
        k = k * 10 + (digit - '0');
    }
    return k <= CellCount ? k : 0;
}

// The record of board cell k is CellRecords[k - 1]: the picture box Bk.
inline constexpr std::array<std::size_t, CellCount> CellRecords = [] {
    std::array<std::size_t, CellCount> records{};
    records.fill(Controls.size());
    for (std::size_t i = 0; i < Controls.size(); ++i) {
        const int k = CellNumber(Controls[i].name);
        if (k > 0 && Controls[i].kind == Kind::PictureBox) {
            records[static_cast<std::size_t>(k - 1)] = i;
        }
    }
    return records;
}();

// The move counter's record, and the record of the control that has the
// focus when the window first shows: the first in the tab order.
inline constexpr std::size_t CounterRecord = RecordOf("lblNum");
inline constexpr std::size_t FirstFocus = TabOrder[1];

// The direction of an arrow's action.
inline constexpr Direction DirectionOf(Action action)
{
    switch (action) {
    case Action::Up:
        return Direction::Up;
    case Action::Down:
        return Direction::Down;
    case Action::Left:
        return Direction::Left;
    default:
        return Direction::Right;
    }
}

inline constexpr bool IsArrow(Action action)
{
    return action == Action::Up || action == Action::Down || action == Action::Left ||
           action == Action::Right;
}

// What the front ends take from the table, checked as it is compiled.
static_assert(std::all_of(CellRecords.begin(), CellRecords.end(),
                          [](std::size_t record) { return record < Controls.size(); }),
              "every board cell B1 to B16 is a picture box of the table");
static_assert(std::all_of(Controls.begin(), Controls.end(),
                          [](const Control& record) {
                              return (record.kind == Kind::ArrowButton) == IsArrow(record.action);
                          }),
              "the arrow buttons, and they alone, slide a tile their way");
static_assert(Controls[TabOrder[0]].kind == Kind::Shape && Controls[FirstFocus].tabIndex == 0,
              "the shape comes first, then the first control in the tab order");
static_assert(Controls[CounterRecord].kind == Kind::Label, "the counter is a label");

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

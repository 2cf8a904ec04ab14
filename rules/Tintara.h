// The rules of Tintara: the board, the deal, the tile moves and the win test.
//
// The rules own no storage and call no system service. Everything they touch
// outside themselves goes through one interface, Platform, which the main window
// implements: the board cells are the window's picture boxes, the counter is its
// label, and the state kept between events lives in the window object.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tintara
{

// A background colour as the window takes it: 0x00BBGGRR for an RGB colour, or
// 0x800000nn for the desktop's system colour nn, resolved only when painting.
using ColorWord = std::uint32_t;

inline constexpr int CellCount = 16;

// The colour of the empty cell: system colour 15, the button face.
inline constexpr ColorWord HoleColor = 0x8000000F;

// A colour of the palette, with the name a screen reader speaks for it.
struct PaletteColor {
    ColorWord color;
    std::string_view name;
};

// Every board is dealt from these sixteen colours; entry 0 is the empty cell.
inline constexpr std::array<PaletteColor, CellCount> Palette = {{
    {HoleColor, "empty"},
    {0x00800000, "navy"},
    {0x00008000, "green"},
    {0x00808000, "teal"},
    {0x00000080, "maroon"},
    {0x00FF0000, "blue"},
    {0x0000FF00, "lime"},
    {0x00FFFF00, "cyan"},
    {0x000000FF, "red"},
    {0x00800080, "purple"},
    {0x00004080, "brown"},
    {0x00808080, "grey"},
    {0x00404040, "dark grey"},
    {0x00FF00FF, "magenta"},
    {0x0000FFFF, "yellow"},
    {0x00FFFFFF, "white"},
}};

// The palette's colours alone, in its order.
inline constexpr std::array<ColorWord, CellCount> TilePalette = [] {
    std::array<ColorWord, CellCount> colors{};
    for (std::size_t i = 0; i < colors.size(); ++i) {
        colors[i] = Palette[i].color;
    }
    return colors;
}();

// The board that wins, cell B1 first: the tiles in palette order and the empty
// cell in the bottom-right corner.
inline constexpr std::array<ColorWord, CellCount> SolvedArrangement = {
    TilePalette[1],  TilePalette[2],  TilePalette[3],  TilePalette[4],
    TilePalette[5],  TilePalette[6],  TilePalette[7],  TilePalette[8],
    TilePalette[9],  TilePalette[10], TilePalette[11], TilePalette[12],
    TilePalette[13], TilePalette[14], TilePalette[15], HoleColor,
};

// The values the window keeps for the rules from one event to the next.
struct GameState {
    // Whether the running arrow click has already moved a tile.
    std::int16_t MovedFlag = 0;
    // Moves in the current game. Empty from start-up until the first counted
    // move or reset: it then counts as 0 and shows as empty text.
    std::optional<std::int64_t> MoveCount;
    // The palette index drawn for each cell in the latest deal: Draw1..Draw15
    // as floating-point numbers, Draw16 as a 16-bit integer.
    std::array<float, CellCount - 1> Draw{};
    std::int16_t Draw16 = 0;
    // The colour of the tile being moved, as signed decimal text.
    std::string CarriedColor;
};

enum class Direction { Up, Down, Left, Right };

enum class Buttons { Ok, YesNo };

enum class Answer { Ok, Yes, No };

// Whether the running handler may go on, or the program has been ended and
// the handler must stop at once.
enum class [[nodiscard]] Flow{Continue, Ended};

// What the rules need from the window and the platform.
class Platform
{
public:
    virtual ~Platform() = default;

    // The form-level state, owned by the window.
    virtual GameState& State() = 0;

    // Cell k (1 to 16): its colour reads back exactly as it was written.
    [[nodiscard]] virtual ColorWord CellColor(int k) const = 0;
    virtual void SetCellColor(int k, ColorWord color) = 0;

    // Replaces the text of the move counter.
    virtual void SetCounterText(std::string_view text) = 0;

    // A modal message box without icon; Yes is the default of Yes and No.
    // Returns only once the player has answered.
    virtual Answer MessageBox(std::string_view text, std::string_view title, Buttons buttons) = 0;

    // Redraws the whole window before returning.
    virtual void Repaint() = 0;

    // The next value r of the random generator, 0 <= r < 1.
    virtual float NextRandom() = 0;
    // Sets the generator's state from a number.
    virtual void Reseed(float seed) = 0;
    // Seconds since midnight, with their fraction.
    [[nodiscard]] virtual float SecondsSinceMidnight() const = 0;

    // Ends the program. The caller must stop at once: the rules return
    // Flow::Ended after calling it and do nothing more.
    virtual void EndProgram() = 0;
};

// Texts of the end-of-game dialogues.
inline constexpr std::string_view WinTitle = "Winner!";
inline constexpr std::string_view WinTextBefore = "You win the game! And you have spent ";
inline constexpr std::string_view WinTextAfter = " course(courses)";
inline constexpr std::string_view PlayAgainTitle = "Attention!";
inline constexpr std::string_view PlayAgainText = "Will you play once again?";

// Reseeds the generator from the time of day.
void ReseedFromClock(Platform& platform);

// Fills the sixteen cells with a random solvable arrangement of the palette.
void DealBoard(Platform& platform);

// Slides the tile beside the empty cell in the given direction, if there is
// one, and counts the move.
void SlideTile(Platform& platform, Direction direction);

// Whether every cell holds its colour of the solved board.
[[nodiscard]] bool IsSolved(const Platform& platform);

// The win message and the play-again question. Yes repaints and continues;
// any other answer ends the program.
Flow AnnounceWin(Platform& platform);

// The tail of every arrow click: on a solved board, announce the win and,
// after a Yes, deal a new game without reseeding.
Flow CheckForWin(Platform& platform);

// An arrow click: slide a tile, then run the win test whether or not a tile
// moved. The four arrows differ only in their direction.
Flow ArrowClick(Platform& platform, Direction direction);

// The counter shows "0", then the count becomes 0.
void ResetCount(Platform& platform);

// A whole number in decimal digits, with a minus sign when negative: what
// std::to_string writes, in a few instructions where the library brings in
// its digit tables (which the web build would carry).
[[nodiscard]] std::string DecimalText(std::int64_t value);

// The move count as the counter and the win message show it: bare digits, or
// empty text while the count has no value.
[[nodiscard]] std::string MoveCountText(const std::optional<std::int64_t>& count);

// Board arithmetic, shared with the tests.

// Palette indices of a board, cell B1 first; index 0 is the empty cell.
using Arrangement = std::array<int, CellCount>;

// Whether moves can bring this arrangement to the solved board.
[[nodiscard]] bool IsSolvable(const Arrangement& indices);

// The deal's mend of an unsolvable arrangement: the two highest-numbered cells
// that hold tiles exchange their indices. The empty cell stays where it is.
void MakeSolvable(Arrangement& indices);

} // namespace tintara

#include "Tintara.h"

#include <algorithm>
#include <utility>

namespace tintara
{

namespace
{

// One position of a scan: the cell that may be empty, and the neighbour whose
// tile then slides into it.
struct ScanStep {
    int empty;
    int source;
};

using ScanTable = std::array<ScanStep, 12>;

// The tile always comes from the side opposite to the arrow.
constexpr ScanTable ScanUp = {{{1, 5},
                               {2, 6},
                               {3, 7},
                               {4, 8},
                               {5, 9},
                               {6, 10},
                               {7, 11},
                               {8, 12},
                               {9, 13},
                               {10, 14},
                               {11, 15},
                               {12, 16}}};

// The bottom row first, then the candidates from B12 down to B5.
constexpr ScanTable ScanDown = {{{13, 9},
                                 {14, 10},
                                 {15, 11},
                                 {16, 12},
                                 {12, 8},
                                 {11, 7},
                                 {10, 6},
                                 {9, 5},
                                 {8, 4},
                                 {7, 3},
                                 {6, 2},
                                 {5, 1}}};

constexpr ScanTable ScanLeft = {{{1, 2},
                                 {2, 3},
                                 {3, 4},
                                 {5, 6},
                                 {6, 7},
                                 {7, 8},
                                 {9, 10},
                                 {10, 11},
                                 {11, 12},
                                 {13, 14},
                                 {14, 15},
                                 {15, 16}}};

constexpr ScanTable ScanRight = {{{2, 1},
                                  {3, 2},
                                  {4, 3},
                                  {6, 5},
                                  {7, 6},
                                  {8, 7},
                                  {10, 9},
                                  {11, 10},
                                  {12, 11},
                                  {14, 13},
                                  {15, 14},
                                  {16, 15}}};

constexpr const ScanTable& ScanFor(Direction direction)
{
    switch (direction) {
    case Direction::Up:
        return ScanUp;
    case Direction::Down:
        return ScanDown;
    case Direction::Left:
        return ScanLeft;
    case Direction::Right:
        break;
    }
    return ScanRight;
}

// The signed decimal text of a colour word, and the word read back from it.
std::string ColorToText(ColorWord color)
{
    return DecimalText(static_cast<std::int32_t>(color));
}

ColorWord ColorFromText(const std::string& text)
{
    // The text is one that ColorToText wrote: an optional minus, then digits.
    const bool negative = !text.empty() && text.front() == '-';
    std::uint32_t magnitude = 0;
    for (const char digit : std::string_view(text).substr(negative ? 1 : 0)) {
        if (digit < '0' || digit > '9') {
            break;
        }
        magnitude = magnitude * 10U + static_cast<std::uint32_t>(digit - '0');
    }
    return negative ? 0U - magnitude : magnitude;
}

// Draw slot k (1 to 16) of the latest deal, written as a number.
void SetDrawSlot(GameState& state, int k, int index)
{
    if (k == CellCount) {
        state.Draw16 = static_cast<std::int16_t>(index);
    } else {
        state.Draw[static_cast<std::size_t>(k - 1)] = static_cast<float>(index);
    }
}

// One draw: the whole part of 16 r. The generator promises r < 1; a value
// out of range is held to the palette rather than read past its end.
int DrawIndex(Platform& platform)
{
    const auto d = static_cast<int>(16.0F * platform.NextRandom());
    return std::clamp(d, 0, CellCount - 1);
}

} // namespace

std::string DecimalText(std::int64_t value)
{
    // The digits come last first, from the magnitude as unsigned, which the
    // most negative value has too.
    std::uint64_t magnitude =
        value < 0 ? 0U - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::array<char, 20> digits{};
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10U);
        magnitude /= 10U;
    } while (magnitude != 0);
    std::string text(value < 0 ? 1 : 0, '-');
    while (count != 0) {
        text += digits[--count];
    }
    return text;
}

std::string MoveCountText(const std::optional<std::int64_t>& count)
{
    return count ? DecimalText(*count) : std::string();
}

void ReseedFromClock(Platform& platform)
{
    platform.Reseed(platform.SecondsSinceMidnight());
}

bool IsSolvable(const Arrangement& indices)
{
    // Each index stands for the cell where its colour belongs: index i > 0 on
    // cell i, the empty cell's index 0 on cell 16.
    std::array<int, CellCount> home{};
    int hole = CellCount;
    for (int k = 1; k <= CellCount; ++k) {
        const int index = indices[static_cast<std::size_t>(k - 1)];
        home[static_cast<std::size_t>(k - 1)] = index == 0 ? CellCount : index;
        if (index == 0) {
            hole = k;
        }
    }
    int inversions = 0;
    for (std::size_t i = 0; i < home.size(); ++i) {
        for (std::size_t j = i + 1; j < home.size(); ++j) {
            inversions += home[i] > home[j] ? 1 : 0;
        }
    }
    // Every move exchanges the empty cell with a neighbour: one transposition
    // and one step of the empty cell, so the two parities change together.
    const int row = (hole - 1) / 4;
    const int column = (hole - 1) % 4;
    const int distance = (3 - row) + (3 - column);
    return inversions % 2 == distance % 2;
}

void MakeSolvable(Arrangement& indices)
{
    if (IsSolvable(indices)) {
        return;
    }
    // The exchange keeps the empty cell in place and is its own inverse, so it
    // maps the unsolvable boards one to one onto the solvable ones.
    int last = CellCount - 1;
    if (indices[static_cast<std::size_t>(last)] == 0) {
        --last;
    }
    int before = last - 1;
    if (indices[static_cast<std::size_t>(before)] == 0) {
        --before;
    }
    std::swap(indices[static_cast<std::size_t>(last)], indices[static_cast<std::size_t>(before)]);
}

void DealBoard(Platform& platform)
{
    GameState& state = platform.State();
    Arrangement indices{};
    for (int k = 1; k <= CellCount; ++k) {
        const auto slot = static_cast<std::size_t>(k - 1);
        bool taken = false;
        do {
            indices[slot] = DrawIndex(platform);
            SetDrawSlot(state, k, indices[slot]);
            // Draw again while an earlier cell of this deal holds the index.
            taken = std::find(indices.begin(), indices.begin() + static_cast<std::ptrdiff_t>(slot),
                              indices[slot]) != indices.begin() + static_cast<std::ptrdiff_t>(slot);
        } while (taken);
    }

    // Half of all arrangements can never be solved; they become solvable ones
    // before anything is painted.
    MakeSolvable(indices);
    for (int k = 1; k <= CellCount; ++k) {
        const int index = indices[static_cast<std::size_t>(k - 1)];
        SetDrawSlot(state, k, index);
        platform.SetCellColor(k, Palette[static_cast<std::size_t>(index)].color);
    }
}

void SlideTile(Platform& platform, Direction direction)
{
    GameState& state = platform.State();
    state.MovedFlag = 0;
    // The walk goes on to the end; the flag keeps a tile that has just moved
    // from being met, and moved again, later in the same walk.
    for (const ScanStep step : ScanFor(direction)) {
        const ColorWord emptyColor = platform.CellColor(step.empty);
        if (state.MovedFlag == 0 && emptyColor == HoleColor) {
            state.CarriedColor = ColorToText(platform.CellColor(step.source));
            platform.SetCellColor(step.source, HoleColor);
            platform.SetCellColor(step.empty, ColorFromText(state.CarriedColor));
            state.MovedFlag = 1;
        }
    }
    if (state.MovedFlag == 1) {
        state.MoveCount = state.MoveCount.value_or(0) + 1;
        platform.SetCounterText(MoveCountText(state.MoveCount));
    }
}

bool IsSolved(const Platform& platform)
{
    // Every cell is read, every time.
    bool solved = true;
    for (int k = 1; k <= CellCount; ++k) {
        solved =
            (platform.CellColor(k) == SolvedArrangement[static_cast<std::size_t>(k - 1)]) && solved;
    }
    return solved;
}

Flow AnnounceWin(Platform& platform)
{
    std::string text(WinTextBefore);
    text += MoveCountText(platform.State().MoveCount);
    text += WinTextAfter;
    platform.MessageBox(text, WinTitle, Buttons::Ok);
    if (platform.MessageBox(PlayAgainText, PlayAgainTitle, Buttons::YesNo) != Answer::Yes) {
        platform.EndProgram();
        return Flow::Ended;
    }
    platform.Repaint();
    return Flow::Continue;
}

Flow CheckForWin(Platform& platform)
{
    if (!IsSolved(platform)) {
        return Flow::Continue;
    }
    if (AnnounceWin(platform) == Flow::Ended) {
        return Flow::Ended;
    }
    // The generator goes on with its sequence: no reseed here.
    DealBoard(platform);
    ResetCount(platform);
    return Flow::Continue;
}

Flow ArrowClick(Platform& platform, Direction direction)
{
    SlideTile(platform, direction);
    return CheckForWin(platform);
}

void ResetCount(Platform& platform)
{
    platform.SetCounterText("0");
    platform.State().MoveCount = 0;
}

} // namespace tintara

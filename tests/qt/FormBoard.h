// The board of a real window, read and written cell by cell.
#pragma once

#include "Form1.h"

#include <array>

using Board = std::array<tintara::ColorWord, tintara::CellCount>;

inline Board BoardOf(const tintara::Form1& form)
{
    Board board{};
    for (int k = 1; k <= tintara::CellCount; ++k) {
        board[static_cast<std::size_t>(k - 1)] = form.CellColor(k);
    }
    return board;
}

inline void SetBoard(tintara::Form1& form, const Board& board)
{
    for (int k = 1; k <= tintara::CellCount; ++k) {
        form.SetCellColor(k, board[static_cast<std::size_t>(k - 1)]);
    }
}

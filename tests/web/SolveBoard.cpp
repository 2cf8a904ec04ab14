// The browser test's solver, built for and run on the build machine: reads the
// board as a screen reader hears it, one cell a line from B1 to B16 ("B1,
// navy", ..., "B16, empty"), and prints the arrow clicks that solve it, one
// letter each (U, D, L, R).
#include "Look.h"
#include "Solver.h"
#include "Tintara.h"

#include <cstdio>
#include <iostream>
#include <string>

int main()
{
    std::array<int, tintara::CellCount> board{};
    std::string line;
    for (int& cell : board) {
        cell = -1;
        if (std::getline(std::cin, line) && line.find(", ") != std::string::npos) {
            const std::string color = line.substr(line.find(", ") + 2);
            for (int i = 0; i < tintara::CellCount; ++i) {
                if (tintara::look::ColorName(tintara::TilePalette[static_cast<std::size_t>(i)]) ==
                    color) {
                    cell = i;
                }
            }
        }
        if (cell < 0) {
            std::fprintf(stderr, "not a cell of the board: '%s'\n", line.c_str());
            return 1;
        }
    }
    std::printf("%s\n", tintara::test::Solve(board).c_str());
    return 0;
}

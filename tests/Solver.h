// A way through the board to the solved arrangement, for the end-to-end
// tests that play a whole game: the Wine probe and the browser test's solver.
// The board is given as palette indices, cell B1 first, 0 for the empty cell;
// the answer is the arrow clicks, one letter each (U, D, L, R), or "?" where
// no way was found within the search's bound.
#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <queue>
#include <string>
#include <unordered_map>
#include <utility>

namespace tintara::test
{

using Packed = std::uint64_t;

inline Packed Pack(const std::array<int, 16>& board)
{
    Packed packed = 0;
    for (int k = 15; k >= 0; --k) {
        packed = (packed << 4) | static_cast<Packed>(board[static_cast<std::size_t>(k)]);
    }
    return packed;
}

inline int At(Packed packed, int cell)
{
    return static_cast<int>((packed >> (4 * cell)) & 0xFU);
}

// Rows and columns each tile is away from its place in the solved board.
inline int Distance(Packed packed)
{
    int sum = 0;
    for (int cell = 0; cell < 16; ++cell) {
        const int tile = At(packed, cell);
        if (tile != 0) {
            sum += std::abs(cell / 4 - (tile - 1) / 4) + std::abs(cell % 4 - (tile - 1) % 4);
        }
    }
    return sum;
}

// The arrows and where each takes the empty cell: Up brings the tile below
// it up, so the empty cell goes down.
struct Arrow {
    char name;
    int step;
};
inline constexpr Arrow Arrows[] = {{'U', 4}, {'D', -4}, {'L', 1}, {'R', -1}};

inline bool CanMove(int hole, const Arrow& arrow)
{
    const int to = hole + arrow.step;
    if (to < 0 || to > 15) {
        return false;
    }
    return arrow.step == 4 || arrow.step == -4 || to / 4 == hole / 4;
}

// A weighted best-first search: not the shortest way, but a short one found
// quickly.
inline std::string Solve(const std::array<int, 16>& start)
{
    std::array<int, 16> solved{};
    for (int i = 0; i < 15; ++i) {
        solved[static_cast<std::size_t>(i)] = i + 1;
    }
    const Packed goal = Pack(solved);
    struct Node {
        int score;
        int cost;
        Packed board;
        bool operator<(const Node& other) const { return score > other.score; }
    };
    std::priority_queue<Node> open;
    std::unordered_map<Packed, std::pair<Packed, char>> from;
    const Packed first = Pack(start);
    from[first] = {first, 0};
    open.push({3 * Distance(first), 0, first});
    while (!open.empty() && from.size() < 4000000) {
        const Node node = open.top();
        open.pop();
        if (node.board == goal) {
            std::string moves;
            for (Packed at = goal; at != first; at = from[at].first) {
                moves.insert(moves.begin(), from[at].second);
            }
            return moves;
        }
        int hole = 0;
        while (At(node.board, hole) != 0) {
            ++hole;
        }
        for (const Arrow& arrow : Arrows) {
            if (!CanMove(hole, arrow)) {
                continue;
            }
            const int source = hole + arrow.step;
            const Packed tile = static_cast<Packed>(At(node.board, source));
            const Packed next =
                (node.board & ~(Packed{0xF} << (4 * source))) | (tile << (4 * hole));
            if (from.count(next) != 0) {
                continue;
            }
            from[next] = {node.board, arrow.name};
            open.push({node.cost + 1 + 3 * Distance(next), node.cost + 1, next});
        }
    }
    return "?";
}

} // namespace tintara::test

// Tile moves: which tile slides for each arrow, one tile per click, and the count.
#include "ScriptedPlatform.h"
#include "Tintara.h"

#include <QtTest>

using namespace tintara;

Q_DECLARE_METATYPE(tintara::Direction)

namespace
{

// The solved tiles in order, with the empty cell moved to the given cell by
// shifting the tiles between it and B16 one step along.
std::array<ColorWord, CellCount> BoardWithHoleAt(int hole)
{
    std::array<ColorWord, CellCount> board{};
    int tile = 1;
    for (int k = 1; k <= CellCount; ++k) {
        board[static_cast<std::size_t>(k - 1)] =
            k == hole ? HoleColor : TilePalette[static_cast<std::size_t>(tile++)];
    }
    return board;
}

int HoleOf(const ScriptedPlatform& platform)
{
    return static_cast<int>(std::find(platform.cells.begin(), platform.cells.end(), HoleColor) -
                            platform.cells.begin()) +
           1;
}

} // namespace

class MovesTest : public QObject
{
    Q_OBJECT

private slots:
    void eachArrowSlidesItsNeighbour_data()
    {
        QTest::addColumn<int>("hole");
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<int>("source"); // 0: nothing moves

        QTest::newRow("empty B1, up takes B5") << 1 << Direction::Up << 5;
        QTest::newRow("empty B1, left takes B2") << 1 << Direction::Left << 2;
        QTest::newRow("empty B1, down finds nothing") << 1 << Direction::Down << 0;
        QTest::newRow("empty B1, right finds nothing") << 1 << Direction::Right << 0;
        QTest::newRow("empty B16, down takes B12") << 16 << Direction::Down << 12;
        QTest::newRow("empty B16, right takes B15") << 16 << Direction::Right << 15;
        QTest::newRow("empty B16, up finds nothing") << 16 << Direction::Up << 0;
        QTest::newRow("empty B16, left finds nothing") << 16 << Direction::Left << 0;
        QTest::newRow("empty B6, up takes B10") << 6 << Direction::Up << 10;
        QTest::newRow("empty B6, down takes B2") << 6 << Direction::Down << 2;
        QTest::newRow("empty B6, left takes B7") << 6 << Direction::Left << 7;
        QTest::newRow("empty B6, right takes B5") << 6 << Direction::Right << 5;
        QTest::newRow("empty B4, left finds nothing across the edge") << 4 << Direction::Left << 0;
        QTest::newRow("empty B5, right finds nothing across the edge")
            << 5 << Direction::Right << 0;
        QTest::newRow("empty B13, down takes only B9") << 13 << Direction::Down << 9;
        QTest::newRow("empty B9, up takes B13") << 9 << Direction::Up << 13;
    }

    void eachArrowSlidesItsNeighbour()
    {
        QFETCH(int, hole);
        QFETCH(Direction, direction);
        QFETCH(int, source);

        ScriptedPlatform platform;
        const auto before = BoardWithHoleAt(hole);
        platform.SetBoard(before);
        platform.state.MoveCount = 4;
        SlideTile(platform, direction);

        auto expected = before;
        if (source != 0) {
            std::swap(expected[static_cast<std::size_t>(hole - 1)],
                      expected[static_cast<std::size_t>(source - 1)]);
        }
        QCOMPARE(platform.cells, expected);
        QCOMPARE(*platform.state.MoveCount, source != 0 ? 5 : 4);
        QCOMPARE(platform.counterText, std::string(source != 0 ? "5" : "0"));
    }

    void oneTilePerClick_data()
    {
        QTest::addColumn<int>("hole");
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<std::vector<int>>("holeAfterEachClick");

        QTest::newRow("empty B13, down four times")
            << 13 << Direction::Down << std::vector<int>{9, 5, 1, 1};
        QTest::newRow("empty B1, left four times")
            << 1 << Direction::Left << std::vector<int>{2, 3, 4, 4};
        QTest::newRow("empty B1, up four times")
            << 1 << Direction::Up << std::vector<int>{5, 9, 13, 13};
        QTest::newRow("empty B16, right four times")
            << 16 << Direction::Right << std::vector<int>{15, 14, 13, 13};
    }

    void oneTilePerClick()
    {
        QFETCH(int, hole);
        QFETCH(Direction, direction);
        QFETCH(std::vector<int>, holeAfterEachClick);

        ScriptedPlatform platform;
        platform.SetBoard(BoardWithHoleAt(hole));
        std::int64_t moves = 0;
        for (const int expectedHole : holeAfterEachClick) {
            const int from = HoleOf(platform);
            SlideTile(platform, direction);
            QCOMPARE(HoleOf(platform), expectedHole);
            moves += from != expectedHole ? 1 : 0;
            QCOMPARE(platform.state.MoveCount.value_or(0), moves);
        }
        QCOMPARE(platform.counterText, std::to_string(moves));
    }

    void tileKeepsItsExactColour_data()
    {
        QTest::addColumn<ColorWord>("color");
        QTest::newRow("dark grey") << ColorWord{0x00404040};
        QTest::newRow("white") << ColorWord{0x00FFFFFF};
        QTest::newRow("a system colour, negative as signed text") << ColorWord{0x80000012};
        QTest::newRow("the top bit alone") << ColorWord{0x80000000};
    }

    void tileKeepsItsExactColour()
    {
        QFETCH(ColorWord, color);
        ScriptedPlatform platform;
        auto board = BoardWithHoleAt(1);
        board[4] = color;
        platform.SetBoard(board);
        SlideTile(platform, Direction::Up);
        QCOMPARE(platform.cells[0], color);
        QCOMPARE(platform.cells[4], HoleColor);
        QCOMPARE(platform.state.CarriedColor, std::to_string(static_cast<std::int32_t>(color)));
    }

    void sourceIsEmptiedBeforeTheTileLands()
    {
        ScriptedPlatform platform;
        platform.SetBoard(BoardWithHoleAt(6));
        SlideTile(platform, Direction::Right);
        QCOMPARE(platform.calls, (std::vector<std::string>{"SetCellColor 5", "SetCellColor 6",
                                                           "SetCounterText 1"}));
    }

    void lookAlikeColourIsATile()
    {
        // A grey like the button face, but an RGB word: no tile slides into it.
        ScriptedPlatform platform;
        auto board = BoardWithHoleAt(16);
        board[0] = 0x00F0F0F0;
        board[15] = 0x00C0C0C0;
        platform.SetBoard(board);
        SlideTile(platform, Direction::Up);
        SlideTile(platform, Direction::Left);
        QCOMPARE(platform.cells, board);
        QVERIFY(!platform.state.MoveCount.has_value());
    }

    void counterShowsBareDigits()
    {
        ScriptedPlatform platform;
        platform.SetBoard(BoardWithHoleAt(16));
        // The count starts with no value: the first move shows 1.
        SlideTile(platform, Direction::Down);
        QCOMPARE(platform.counterText, std::string("1"));
        SlideTile(platform, Direction::Up);
        for (int i = 0; i < 8; ++i) {
            SlideTile(platform, i % 2 == 0 ? Direction::Down : Direction::Up);
        }
        QCOMPARE(platform.counterText, std::string("10"));
        ResetCount(platform);
        QCOMPARE(platform.counterText, std::string("0"));
        SlideTile(platform, Direction::Down);
        QCOMPARE(platform.counterText, std::string("1"));
    }

    void countHasRoomForAnyGame()
    {
        ScriptedPlatform platform;
        platform.SetBoard(BoardWithHoleAt(16));
        platform.state.MoveCount = 2'147'483'647;
        SlideTile(platform, Direction::Down);
        QCOMPARE(platform.counterText, std::string("2147483648"));
    }
};

QTEST_APPLESS_MAIN(MovesTest)
#include "MovesTest.moc"

// The deal: the rejection draw, its edges, solvability, and the real generator.
#include "RandomGenerator.h"
#include "ScriptedPlatform.h"
#include "Tintara.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <set>

using namespace tintara;

Q_DECLARE_METATYPE(tintara::Arrangement)

namespace
{

// A generator value that draws exactly this palette index.
float ValueFor(int index)
{
    return (static_cast<float>(index) + 0.5F) / 16.0F;
}

Arrangement IndicesOf(const ScriptedPlatform& platform)
{
    Arrangement indices{};
    for (std::size_t k = 0; k < indices.size(); ++k) {
        const auto at = std::find(TilePalette.begin(), TilePalette.end(), platform.cells[k]);
        indices[k] = at == TilePalette.end() ? -1 : static_cast<int>(at - TilePalette.begin());
    }
    return indices;
}

// Scripts a deal that draws these indices, one value each, no rejections.
void ScriptDeal(ScriptedPlatform& platform, const Arrangement& indices)
{
    for (const int index : indices) {
        platform.randoms.push_back(ValueFor(index));
    }
}

// A platform whose random values come from the game's own generator.
class SeededPlatform : public ScriptedPlatform
{
public:
    RandomGenerator generator;
    float NextRandom() override { return generator.Next(); }
};

} // namespace

class DealTest : public QObject
{
    Q_OBJECT

private slots:
    void workedExample()
    {
        ScriptedPlatform platform;
        platform.randoms = {0.5F, 0.53F, 0.0F, 0.999F};
        // The rest of the board, without rejections.
        for (const int index : {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14}) {
            platform.randoms.push_back(ValueFor(index));
        }
        DealBoard(platform);

        QCOMPARE(platform.cells[0], ColorWord{0x000000FF});
        QCOMPARE(platform.cells[1], HoleColor);
        QCOMPARE(platform.cells[2], ColorWord{0x00FFFFFF});
        // Four values for the first three cells, then one per cell.
        QCOMPARE(platform.randomCalls, 4 + 13);
        QCOMPARE(platform.state.Draw[0], 8.0F);
        QCOMPARE(platform.state.Draw[1], 0.0F);
        QCOMPARE(platform.state.Draw[2], 15.0F);
    }

    void edgesOfTheGenerator_data()
    {
        QTest::addColumn<float>("r");
        QTest::addColumn<ColorWord>("firstCell");
        QTest::newRow("just below one is white")
            << std::nextafter(1.0F, 0.0F) << ColorWord{0x00FFFFFF};
        QTest::newRow("zero is the empty cell") << 0.0F << HoleColor;
    }

    void edgesOfTheGenerator()
    {
        QFETCH(float, r);
        QFETCH(ColorWord, firstCell);
        ScriptedPlatform platform;
        platform.randoms.push_back(r);
        for (int index = 0; index < CellCount; ++index) {
            platform.randoms.push_back(ValueFor(index));
        }
        DealBoard(platform);
        QCOMPARE(platform.cells[0], firstCell);
    }

    void dealLeavesCountAndLabelAlone()
    {
        ScriptedPlatform platform;
        ScriptDeal(platform, {3, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0});
        DealBoard(platform);
        QVERIFY(!platform.state.MoveCount.has_value());
        QCOMPARE(platform.counterText, std::string("0"));
        // Each cell painted once, in order, and nothing else touched.
        QCOMPARE(platform.calls.size(), std::size_t{16});
        for (int k = 1; k <= CellCount; ++k) {
            QCOMPARE(platform.calls[static_cast<std::size_t>(k - 1)],
                     "SetCellColor " + std::to_string(k));
        }
    }

    void unsolvableDealIsMended_data()
    {
        QTest::addColumn<Arrangement>("drawn");
        QTest::addColumn<Arrangement>("dealt");
        QTest::newRow("fourteen and fifteen swapped, empty cell last")
            << Arrangement{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 14, 0}
            << Arrangement{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0};
        QTest::newRow("empty cell on B15 is stepped over")
            << Arrangement{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 0, 14}
            << Arrangement{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 15};
        QTest::newRow("empty cell on B14 is stepped over")
            << Arrangement{2, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 0, 14, 15}
            << Arrangement{2, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 0, 15, 14};
        QTest::newRow("a solvable deal is left as drawn")
            << Arrangement{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 15}
            << Arrangement{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 15};
        QTest::newRow("the shifted board with the empty cell first")
            << Arrangement{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}
            << Arrangement{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 14};
    }

    void unsolvableDealIsMended()
    {
        QFETCH(Arrangement, drawn);
        QFETCH(Arrangement, dealt);
        ScriptedPlatform platform;
        ScriptDeal(platform, drawn);
        DealBoard(platform);
        QCOMPARE(IndicesOf(platform), dealt);
        QVERIFY(IsSolvable(dealt));
        // The draw slots hold what was painted.
        for (std::size_t k = 0; k + 1 < dealt.size(); ++k) {
            QCOMPARE(platform.state.Draw[k], static_cast<float>(dealt[k]));
        }
        QCOMPARE(int{platform.state.Draw16}, dealt[15]);
    }

    void solvabilityFollowsTheMoves()
    {
        // Every board reached by moves from the solved one is solvable, and
        // exchanging any two tiles of it makes it unsolvable.
        ScriptedPlatform platform;
        platform.SetBoard(SolvedArrangement);
        RandomGenerator generator(42.0F);
        constexpr std::array directions = {Direction::Up, Direction::Down, Direction::Left,
                                           Direction::Right};
        for (int move = 0; move < 2000; ++move) {
            SlideTile(platform, directions[static_cast<std::size_t>(generator.Next() * 4.0F)]);
            Arrangement indices = IndicesOf(platform);
            QVERIFY(IsSolvable(indices));
            const auto a = static_cast<std::size_t>(generator.Next() * 16.0F);
            const auto b = (a + 1 + static_cast<std::size_t>(generator.Next() * 15.0F)) % 16;
            if (indices[a] != 0 && indices[b] != 0) {
                std::swap(indices[a], indices[b]);
                QVERIFY(!IsSolvable(indices));
            }
        }
    }

    void realGeneratorDealsAreSound()
    {
        SeededPlatform platform;
        std::array<int, CellCount> holeSeen{};
        for (int seed = 0; seed < 100; ++seed) {
            platform.generator.Reseed(static_cast<float>(seed) * 863.25F);
            for (int deal = 0; deal < 100; ++deal) {
                DealBoard(platform);
                const std::set<ColorWord> words(platform.cells.begin(), platform.cells.end());
                QCOMPARE(words, std::set<ColorWord>(TilePalette.begin(), TilePalette.end()));
                const Arrangement indices = IndicesOf(platform);
                QVERIFY(IsSolvable(indices));
                ++holeSeen[static_cast<std::size_t>(std::find(indices.begin(), indices.end(), 0) -
                                                    indices.begin())];
            }
        }
        // 10,000 deals: each cell holds the empty cell about 625 times.
        for (const int seen : holeSeen) {
            QVERIFY2(seen > 450 && seen < 800, qPrintable(QString::number(seen)));
        }
    }

    void generatorStaysBelowOne()
    {
        RandomGenerator generator(0.0F);
        float highest = 0.0F;
        for (int i = 0; i < 1'000'000; ++i) {
            const float r = generator.Next();
            QVERIFY(r >= 0.0F && r < 1.0F);
            highest = std::max(highest, r);
        }
        QVERIFY(highest > 0.999F);
    }

    void reseedChangesTheSequence()
    {
        // Seconds since midnight one tick apart, and the same seed twice.
        RandomGenerator a(43200.0F);
        RandomGenerator b(std::nextafter(43200.0F, 90000.0F));
        RandomGenerator c(43200.0F);
        std::vector<float> fromA, fromB, fromC;
        for (int i = 0; i < 8; ++i) {
            fromA.push_back(a.Next());
            fromB.push_back(b.Next());
            fromC.push_back(c.Next());
        }
        QVERIFY(fromA != fromB);
        QCOMPARE(fromA, fromC);
    }

    void reseedFromClockPassesTheTime()
    {
        ScriptedPlatform platform;
        platform.clock = 3661.5F;
        ReseedFromClock(platform);
        QCOMPARE(platform.calls, std::vector<std::string>{"Reseed " + std::to_string(3661.5F)});
    }
};

QTEST_APPLESS_MAIN(DealTest)
#include "DealTest.moc"

// The shared form against the scripted platform: the handlers' steps in
// order, the twips rule at other densities, and the arrow and icon patterns.
#include "Handlers.h"
#include "Layout.h"
#include "Look.h"
#include "ScriptedPlatform.h"

#include <QtTest>

#include <cmath>
#include <cstdint>
#include <numeric>
#include <vector>

using namespace tintara;

namespace
{

// A platform with random values enough for a few deals: multiples of 1/1024
// in an order that visits each once.
void Stock(ScriptedPlatform& platform)
{
    for (int i = 0; i < 1024; ++i) {
        platform.randoms.push_back(static_cast<float>((i * 389) % 1024) / 1024.0F);
    }
}

// The calls, leaving out those that start with the prefix.
std::vector<std::string> CallsWithout(const ScriptedPlatform& platform, const std::string& prefix)
{
    std::vector<std::string> calls;
    for (const std::string& call : platform.calls) {
        if (call.rfind(prefix, 0) != 0) {
            calls.push_back(call);
        }
    }
    return calls;
}

} // namespace

class FormTest : public QObject
{
    Q_OBJECT

private slots:
    void loadReseedsFromTheClockThenDeals()
    {
        ScriptedPlatform platform;
        Stock(platform);
        platform.clock = 3600.5F;
        form::Form_Load(platform);
        QCOMPARE(platform.calls.front(), std::string("Reseed ") + std::to_string(3600.5F));
        QVERIFY(platform.randomCalls > 0);
        QCOMPARE(platform.counterText, std::string("0"));
        QVERIFY(!platform.state.MoveCount.has_value());
        int holes = 0;
        for (ColorWord cell : platform.cells) {
            holes += cell == HoleColor ? 1 : 0;
        }
        QCOMPARE(holes, 1);
    }

    void exitYesRepaintsReseedsDealsAndResets()
    {
        ScriptedPlatform platform;
        Stock(platform);
        platform.state.MoveCount = 12;
        platform.counterText = "12";
        platform.clock = 100.25F;
        platform.answers = {Answer::Yes};
        QCOMPARE(form::cmdExit_Click(platform), Flow::Continue);

        const std::vector<std::string> calls = CallsWithout(platform, "SetCellColor");
        const std::vector<std::string> expected = {
            "MessageBox Attention!: Maybe will you play once again?(NO - Exit) [Yes/No]", "Repaint",
            "Reseed " + std::to_string(100.25F), "SetCounterText 0"};
        QCOMPARE(calls, expected);
        QCOMPARE(platform.state.MoveCount, std::optional<std::int64_t>(0));
        QVERIFY(!platform.ended);
    }

    void exitNoEndsAtOnce()
    {
        ScriptedPlatform platform;
        platform.answers = {Answer::No};
        QCOMPARE(form::cmdExit_Click(platform), Flow::Ended);
        QVERIFY(platform.ended);
        QCOMPARE(platform.calls.back(), std::string("EndProgram"));
        QCOMPARE(platform.callsAfterEnd, 0);
        QCOMPARE(platform.randomCalls, 0);
    }

    void aboutShowsItsMessageAndChangesNothing()
    {
        ScriptedPlatform platform;
        platform.SetBoard(SolvedArrangement);
        form::cmdAbout_Click(platform);
        const std::vector<std::string> expected = {
            "MessageBox About the game: Tintara has made by Orlandek [OK]"};
        QCOMPARE(platform.calls, expected);
        QCOMPARE(platform.cells, SolvedArrangement);
    }

    void shortcutAnnouncesWithoutTestOrDeal_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("flow");
        QTest::addColumn<QString>("last");
        QTest::newRow("yes only repaints") << int(Answer::Yes) << int(Flow::Continue) << "Repaint";
        QTest::newRow("no ends") << int(Answer::No) << int(Flow::Ended) << "EndProgram";
    }

    void shortcutAnnouncesWithoutTestOrDeal()
    {
        QFETCH(int, answer);
        QFETCH(int, flow);
        QFETCH(QString, last);
        ScriptedPlatform platform;
        platform.answers = {static_cast<Answer>(answer)};
        QCOMPARE(int(form::Picture10_DblClick(platform)), flow);
        QCOMPARE(platform.calls.size(), std::size_t(3));
        QVERIFY(platform.calls[0].rfind("MessageBox Winner!:", 0) == 0);
        QCOMPARE(QString::fromStdString(platform.calls.back()), last);
        QCOMPARE(platform.randomCalls, 0);
    }

    void eachArrowSlidesItsOwnWay_data()
    {
        QTest::addColumn<int>("arrow");
        QTest::addColumn<int>("source");
        QTest::newRow("up") << 0 << 10;
        QTest::newRow("down") << 1 << 2;
        QTest::newRow("left") << 2 << 7;
        QTest::newRow("right") << 3 << 5;
    }

    void eachArrowSlidesItsOwnWay()
    {
        QFETCH(int, arrow);
        QFETCH(int, source);
        Flow (*const handlers[])(Platform&) = {form::cmdUp_Click, form::cmdDown_Click,
                                               form::cmdLeft_Click, form::cmdRight_Click};
        ScriptedPlatform platform;
        auto board = SolvedArrangement;
        std::swap(board[5], board[15]); // the empty cell on B6
        platform.SetBoard(board);
        QCOMPARE(handlers[arrow](platform), Flow::Continue);
        QCOMPARE(platform.cells[static_cast<std::size_t>(source - 1)], HoleColor);
        QCOMPARE(platform.cells[5], board[static_cast<std::size_t>(source - 1)]);
        QCOMPARE(platform.counterText, std::string("1"));
    }

    void twipsScaleAsQtScales_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("cell");
        QTest::newRow("96") << 96 << 496 << 263 << 53;
        QTest::newRow("120") << 120 << 620 << 329 << 66;
        QTest::newRow("144") << 144 << 744 << 395 << 80;
        QTest::newRow("192") << 192 << 992 << 526 << 106;
    }

    void twipsScaleAsQtScales()
    {
        QFETCH(int, dpi);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, cell);
        QCOMPARE(layout::PixelsAt(layout::Window.clientWidth, dpi), width);
        QCOMPARE(layout::PixelsAt(layout::Window.clientHeight, dpi), height);
        QCOMPARE(layout::PixelsAt(800, dpi), cell);
    }

    void arrowsPointTheirWay_data()
    {
        QTest::addColumn<layout::Action>("action");
        QTest::addColumn<double>("tipX");
        QTest::addColumn<double>("tipY");
        QTest::addColumn<QString>("name");
        QTest::newRow("up") << layout::Action::Up << 0.0 << -0.5 << "Up";
        QTest::newRow("down") << layout::Action::Down << 0.0 << 0.5 << "Down";
        QTest::newRow("left") << layout::Action::Left << -0.5 << 0.0 << "Left";
        QTest::newRow("right") << layout::Action::Right << 0.5 << 0.0 << "Right";
    }

    void arrowsPointTheirWay()
    {
        QFETCH(layout::Action, action);
        QFETCH(double, tipX);
        QFETCH(double, tipY);
        QFETCH(QString, name);
        const Direction direction = layout::DirectionOf(action);
        const look::Point tip = look::ArrowFor(direction).front();
        QCOMPARE(tip.x + 0.0, tipX);
        QCOMPARE(tip.y + 0.0, tipY);
        QCOMPARE(QString::fromUtf8(form::ArrowName(direction).data()), name);
    }

    // The arrow's pixels as the Win32 front end shows them, at the buttons'
    // sizes at 96 and at 192 dots per inch: the right area, the same shape
    // in every direction, solid in the stem, clear in the corners.
    void arrowPixelsCoverTheArrow_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("96 dpi") << 49;
        QTest::newRow("192 dpi") << 98;
    }

    void arrowPixelsCoverTheArrow()
    {
        QFETCH(int, button);
        const double size = look::ArrowShare * button;
        const int side = static_cast<int>(std::ceil(size)) + 2;
        const auto up = look::ArrowCoverage(Direction::Up, size, side);
        QCOMPARE(up.size(), static_cast<std::size_t>(side * side));
        const auto at = [side](const std::vector<std::uint8_t>& pixels, int x, int y) {
            return static_cast<int>(pixels[static_cast<std::size_t>(y * side + x)]);
        };
        // A head half the arrow's height on a stem a third of its width.
        const double area = (0.25 + 1.0 / 6.0) * size * size * 255.0;
        const double total = std::accumulate(up.begin(), up.end(), 0.0);
        QVERIFY2(std::abs(total - area) < 0.01 * area, qPrintable(QString::number(total / area)));
        QCOMPARE(at(up, side / 2, side / 2 + static_cast<int>(size / 4)), 255);
        QCOMPARE(at(up, 0, 0), 0);
        QCOMPARE(at(up, side - 1, side - 1), 0);
        // Each direction is the up arrow turned by quarter turns.
        const auto right = look::ArrowCoverage(Direction::Right, size, side);
        const auto down = look::ArrowCoverage(Direction::Down, size, side);
        const auto left = look::ArrowCoverage(Direction::Left, size, side);
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const int turned = side - 1 - x;
                QCOMPARE(at(right, side - 1 - y, x), at(up, x, y));
                QCOMPARE(at(down, turned, side - 1 - y), at(up, x, y));
                QCOMPARE(at(left, y, turned), at(up, x, y));
            }
        }
    }

    // Black on the light tiles, white on the dark ones, grey included.
    void focusMarkStandsOut()
    {
        QVERIFY(look::FocusMarkIsBlack(255, 255, 255));
        QVERIFY(look::FocusMarkIsBlack(255, 255, 0));
        QVERIFY(look::FocusMarkIsBlack(0, 255, 0));
        QVERIFY(!look::FocusMarkIsBlack(128, 128, 128));
        QVERIFY(!look::FocusMarkIsBlack(0, 0, 128));
        QVERIFY(!look::FocusMarkIsBlack(0, 0, 0));
    }

    void colourNamesForScreenReaders()
    {
        QCOMPARE(look::ColorName(HoleColor), std::string("empty"));
        QCOMPARE(look::ColorName(0x00404040), std::string("dark grey"));
        QCOMPARE(look::ColorName(layout::ScrollBar), std::string("empty"));
        QCOMPARE(look::ColorName(0x00123456), std::string("#00123456"));
    }
};

QTEST_GUILESS_MAIN(FormTest)
#include "FormTest.moc"

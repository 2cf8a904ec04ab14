// The win test, the announcement and what follows each answer.
#include "ScriptedPlatform.h"
#include "Tintara.h"

#include <QtTest>

#include <optional>

using namespace tintara;

Q_DECLARE_METATYPE(std::optional<std::int64_t>)

namespace
{

const std::string WinBox = "MessageBox Winner!: You win the game! And you have spent ";
const std::string PlayAgainBox = "MessageBox Attention!: Will you play once again? [Yes/No]";

// A solved board whose next deal draws the palette in this order.
void ScriptWinAndDeal(ScriptedPlatform& platform)
{
    platform.SetBoard(SolvedArrangement);
    for (const int index : {5, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0}) {
        platform.randoms.push_back((static_cast<float>(index) + 0.5F) / 16.0F);
    }
}

std::vector<std::string> DealCalls()
{
    std::vector<std::string> calls;
    for (int k = 1; k <= CellCount; ++k) {
        calls.push_back("SetCellColor " + std::to_string(k));
    }
    return calls;
}

} // namespace

class WinTest : public QObject
{
    Q_OBJECT

private slots:
    void onlyTheSolvedBoardWins()
    {
        ScriptedPlatform platform;
        platform.SetBoard(SolvedArrangement);
        QVERIFY(IsSolved(platform));

        // The tiles in order but shifted one cell on, the empty cell first.
        std::array<ColorWord, CellCount> shifted{};
        shifted[0] = HoleColor;
        std::copy(SolvedArrangement.begin(), SolvedArrangement.end() - 1, shifted.begin() + 1);
        platform.SetBoard(shifted);
        QVERIFY(!IsSolved(platform));

        // Any one cell off its colour spoils the win, B16 included.
        for (std::size_t k = 0; k < SolvedArrangement.size(); ++k) {
            auto board = SolvedArrangement;
            board[k] = k == 15 ? ColorWord{0x00F0F0F0} : board[k] ^ 0x00000001U;
            platform.SetBoard(board);
            QVERIFY2(!IsSolved(platform), qPrintable(QString("B%1").arg(k + 1)));
        }
    }

    void testReadsEveryCell()
    {
        ScriptedPlatform platform;
        platform.SetBoard(BoardWithHoleFirst());
        (void)IsSolved(platform);
        QCOMPARE(platform.cellReads, 16);
    }

    void winTextShowsTheCount_data()
    {
        QTest::addColumn<std::optional<std::int64_t>>("count");
        QTest::addColumn<std::string>("text");
        QTest::newRow("no count yet: two spaces")
            << std::optional<std::int64_t>{}
            << std::string("You win the game! And you have spent  course(courses)");
        QTest::newRow("right after a reset")
            << std::optional<std::int64_t>{0}
            << std::string("You win the game! And you have spent 0 course(courses)");
        QTest::newRow("forty-two moves")
            << std::optional<std::int64_t>{42}
            << std::string("You win the game! And you have spent 42 course(courses)");
    }

    void winTextShowsTheCount()
    {
        QFETCH(std::optional<std::int64_t>, count);
        QFETCH(std::string, text);
        ScriptedPlatform platform;
        platform.state.MoveCount = count;
        platform.answers = {Answer::Yes};
        QCOMPARE(AnnounceWin(platform), Flow::Continue);
        QCOMPARE(platform.calls.at(0), "MessageBox Winner!: " + text + " [OK]");
        QCOMPARE(platform.calls.at(1), PlayAgainBox);
        QCOMPARE(platform.calls.at(2), std::string("Repaint"));
        QCOMPARE(platform.calls.size(), std::size_t{3});
    }

    void yesDealsAFreshGame()
    {
        ScriptedPlatform platform;
        ScriptWinAndDeal(platform);
        platform.state.MoveCount = 31;
        platform.answers = {Answer::Yes};
        QCOMPARE(CheckForWin(platform), Flow::Continue);

        // Repaint, then a deal without reseeding, then the label, then the count.
        std::vector<std::string> expected = {WinBox + "31 course(courses) [OK]", PlayAgainBox,
                                             "Repaint"};
        for (const auto& call : DealCalls()) {
            expected.push_back(call);
        }
        expected.push_back("SetCounterText 0");
        QCOMPARE(platform.calls, expected);
        QCOMPARE(platform.state.MoveCount, std::optional<std::int64_t>{0});
        QCOMPARE(platform.cells[0], TilePalette[5]);
        QVERIFY(platform.randoms.empty());
    }

    void anyOtherAnswerEndsTheProgram_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("No") << Answer::No;
        QTest::newRow("closed without a choice") << Answer::Ok;
    }

    void anyOtherAnswerEndsTheProgram()
    {
        QFETCH(Answer, answer);
        ScriptedPlatform platform;
        ScriptWinAndDeal(platform);
        platform.state.MoveCount = 7;
        platform.answers = {answer};
        QCOMPARE(ArrowClick(platform, Direction::Up), Flow::Ended);
        QVERIFY(platform.ended);
        QCOMPARE(platform.callsAfterEnd, 0);
        QCOMPARE(platform.calls.back(), std::string("EndProgram"));
        QCOMPARE(platform.cells, SolvedArrangement);
        QCOMPARE(platform.randomCalls, 0);
        QCOMPARE(platform.state.MoveCount, std::optional<std::int64_t>{7});
    }

    void clickThatMovesNothingStillTests_data()
    {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<bool>("announced");
        QTest::newRow("up moves nothing and wins") << Direction::Up << true;
        QTest::newRow("left moves nothing and wins") << Direction::Left << true;
        QTest::newRow("down breaks the board first") << Direction::Down << false;
        QTest::newRow("right breaks the board first") << Direction::Right << false;
    }

    void clickThatMovesNothingStillTests()
    {
        QFETCH(Direction, direction);
        QFETCH(bool, announced);
        ScriptedPlatform platform;
        ScriptWinAndDeal(platform);
        platform.answers = {Answer::Yes};
        QCOMPARE(ArrowClick(platform, direction), Flow::Continue);
        const bool sawWin =
            std::any_of(platform.calls.begin(), platform.calls.end(),
                        [](const std::string& call) { return call.rfind(WinBox, 0) == 0; });
        QCOMPARE(sawWin, announced);
        if (announced) {
            // A deal straight after start-up: the count had no value.
            QCOMPARE(platform.calls.at(0), WinBox + " course(courses) [OK]");
            QCOMPARE(platform.counterText, std::string("0"));
        }
    }

    void completingMoveIsCounted()
    {
        ScriptedPlatform platform;
        auto board = SolvedArrangement;
        std::swap(board[14], board[15]); // one move short
        platform.SetBoard(board);
        platform.state.MoveCount = 41;
        platform.answers = {Answer::No};
        QCOMPARE(ArrowClick(platform, Direction::Left), Flow::Ended);
        QCOMPARE(platform.counterText, std::string("42"));
        QCOMPARE(platform.calls.at(3), WinBox + "42 course(courses) [OK]");
    }

    void shortcutAnnouncesWithoutTest()
    {
        // A Yes only repaints: the same board and the same count go on.
        ScriptedPlatform platform;
        const auto board = BoardWithHoleFirst();
        platform.SetBoard(board);
        platform.state.MoveCount = 7;
        platform.counterText = "7";
        platform.answers = {Answer::Yes};
        QCOMPARE(AnnounceWin(platform), Flow::Continue);
        QCOMPARE(platform.calls.at(0), WinBox + "7 course(courses) [OK]");
        QCOMPARE(platform.calls.back(), std::string("Repaint"));
        QCOMPARE(platform.cells, board);
        QCOMPARE(platform.counterText, std::string("7"));

        platform.answers = {Answer::No};
        QCOMPARE(AnnounceWin(platform), Flow::Ended);
        QCOMPARE(platform.callsAfterEnd, 0);
    }

private:
    static std::array<ColorWord, CellCount> BoardWithHoleFirst()
    {
        std::array<ColorWord, CellCount> board{};
        board[0] = HoleColor;
        std::copy(SolvedArrangement.begin(), SolvedArrangement.end() - 1, board.begin() + 1);
        return board;
    }
};

QTEST_APPLESS_MAIN(WinTest)
#include "WinTest.moc"

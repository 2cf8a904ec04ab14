// A long game through the real window: seeded random arrow clicks, with wins
// brought about by playing back scrambles, and the invariants checked after
// every click.
#include "Form1.h"
#include "FormBoard.h"

#include <QAbstractButton>
#include <QLabel>
#include <QtTest>

#include <random>
#include <set>

using namespace tintara;

namespace
{

// The window with scripted answers: mostly Yes, now and then No.
class ScriptedForm : public Form1
{
public:
    explicit ScriptedForm(std::mt19937& random) : random_(random) {}

    int winsAnnounced = 0;

    Answer MessageBox(std::string_view /*text*/, std::string_view title, Buttons buttons) override
    {
        if (title == WinTitle) {
            ++winsAnnounced;
        }
        if (buttons == Buttons::Ok) {
            return Answer::Ok;
        }
        return std::uniform_int_distribution(0, 99)(random_) != 0 ? Answer::Yes : Answer::No;
    }

    // The same deals on every run.
    float SecondsSinceMidnight() const override { return 43200.0F; }

private:
    std::mt19937& random_;
};

// The neighbour whose tile an arrow slides into the empty cell, or 0.
int SourceFor(int hole, Direction direction)
{
    const int row = (hole - 1) / 4;
    const int column = (hole - 1) % 4;
    switch (direction) {
    case Direction::Up:
        return row < 3 ? hole + 4 : 0;
    case Direction::Down:
        return row > 0 ? hole - 4 : 0;
    case Direction::Left:
        return column < 3 ? hole + 1 : 0;
    case Direction::Right:
        break;
    }
    return column > 0 ? hole - 1 : 0;
}

Direction Opposite(Direction direction)
{
    switch (direction) {
    case Direction::Up:
        return Direction::Down;
    case Direction::Down:
        return Direction::Up;
    case Direction::Left:
        return Direction::Right;
    case Direction::Right:
        break;
    }
    return Direction::Left;
}

} // namespace

class SoakTest : public QObject
{
    Q_OBJECT

private slots:
    void twoHundredThousandClicks()
    {
        std::mt19937 random(20261208);
        auto form = std::make_unique<ScriptedForm>(random);
        form->show();

        const std::set<ColorWord> palette(TilePalette.begin(), TilePalette.end());
        std::optional<std::int64_t> expectedCount;
        std::vector<Direction> replay; // the clicks that solve a scramble
        int wins = 0;
        int endings = 0;

        for (int click = 0; click < 200'000; ++click) {
            // Now and then a scramble of the solved board, to be played back.
            if (replay.empty() && click % 500 == 0) {
                Board board = SolvedArrangement;
                int hole = CellCount;
                const int length = 1 + std::uniform_int_distribution(0, 40)(random);
                for (int i = 0; i < length; ++i) {
                    const auto direction =
                        static_cast<Direction>(std::uniform_int_distribution(0, 3)(random));
                    const int source = SourceFor(hole, direction);
                    if (source != 0) {
                        std::swap(board[static_cast<std::size_t>(hole - 1)],
                                  board[static_cast<std::size_t>(source - 1)]);
                        hole = source;
                        replay.push_back(Opposite(direction));
                    }
                }
                SetBoard(*form, board);
            }

            Direction direction{};
            if (!replay.empty()) {
                direction = replay.back();
                replay.pop_back();
            } else {
                direction = static_cast<Direction>(std::uniform_int_distribution(0, 3)(random));
            }
            static constexpr std::array names = {"cmdUp", "cmdDown", "cmdLeft", "cmdRight"};
            auto* button = static_cast<QAbstractButton*>(
                form->Control(names[static_cast<std::size_t>(direction)]));

            const Board before = BoardOf(*form);
            const int winsBefore = form->winsAnnounced;
            button->click();

            if (form->HasEnded()) {
                // A No after a win: the board stays solved, and nothing more runs.
                QCOMPARE(BoardOf(*form), SolvedArrangement);
                button->click();
                QCOMPARE(BoardOf(*form), SolvedArrangement);
                ++endings;
                form = std::make_unique<ScriptedForm>(random);
                form->show();
                expectedCount.reset();
                replay.clear();
                continue;
            }

            const Board after = BoardOf(*form);
            QCOMPARE(std::set<ColorWord>(after.begin(), after.end()), palette);
            if (form->winsAnnounced != winsBefore) {
                // A win always starts a new game with the count at zero.
                ++wins;
                expectedCount = 0;
            } else if (after != before) {
                expectedCount = expectedCount.value_or(0) + 1;
            }
            QCOMPARE(form->State().MoveCount, expectedCount);
            QCOMPARE(form->Counter()->text(), QString::number(expectedCount.value_or(0)));
        }
        qInfo("%d wins, %d endings", wins, endings);
        QVERIFY(wins > 300);
        QVERIFY(endings > 0);
    }
};

QTEST_MAIN(SoakTest)
#include "SoakTest.moc"

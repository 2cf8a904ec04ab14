// Speed of the game's own work: one arrow click through the window (slide and
// win test, without painting), and one deal. Run with -median 9 for steadier
// figures; QtTest prints the time per iteration.
#include "Form1.h"

#include <QAbstractButton>
#include <QtTest>

using namespace tintara;

class ClickBenchmark : public QObject
{
    Q_OBJECT

private slots:
    void arrowClick()
    {
        Form1 form;
        form.show();
        // The empty cell in the middle: Down and Up each move a tile, back
        // and forth, and the board is never solved.
        for (int k = 1; k <= CellCount; ++k) {
            form.SetCellColor(k, TilePalette[static_cast<std::size_t>(k % CellCount)]);
        }
        form.SetCellColor(6, HoleColor);
        form.SetCellColor(16, TilePalette[6]);
        auto* down = static_cast<QAbstractButton*>(form.Control("cmdDown"));
        auto* up = static_cast<QAbstractButton*>(form.Control("cmdUp"));
        QBENCHMARK
        {
            down->click();
            up->click();
        }
        // Two clicks an iteration.
        QVERIFY(form.State().MoveCount.value_or(0) > 0);
    }

    void dealBoard()
    {
        Form1 form;
        form.Reseed(1.0F);
        QBENCHMARK
        {
            DealBoard(form);
        }
    }
};

QTEST_MAIN(ClickBenchmark)
#include "ClickBenchmark.moc"

// The whole game through the real window: start-up, clicks, and the message
// boxes answered as a player would.
#include "Form1.h"
#include "DialogAnswerer.h"
#include "FormBoard.h"
#include "PictureBox.h"

#include <QLabel>
#include <QtTest>

#include <set>

using namespace tintara;

Q_DECLARE_METATYPE(tintara::Direction)

namespace
{

int HoleOf(const Form1& form)
{
    for (int k = 1; k <= CellCount; ++k) {
        if (form.CellColor(k) == HoleColor) {
            return k;
        }
    }
    return 0;
}

bool IsDealtBoard(const Board& board)
{
    return std::set<ColorWord>(board.begin(), board.end()) ==
           std::set<ColorWord>(TilePalette.begin(), TilePalette.end());
}

void Click(Form1& form, const char* name)
{
    QTest::mouseClick(form.Control(name), Qt::LeftButton);
}

// The solved board with its last move undone: white on B16, empty B15.
Board OneMoveFromSolved()
{
    Board board = SolvedArrangement;
    std::swap(board[14], board[15]);
    return board;
}

} // namespace

class Form1Test : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        form = std::make_unique<Form1>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    void cleanup() { form.reset(); }

    void startUpDealsBeforeTheWindowShows()
    {
        Form1 fresh;
        Board empty{};
        empty.fill(HoleColor);
        QCOMPARE(BoardOf(fresh), empty);
        fresh.show();
        QVERIFY(IsDealtBoard(BoardOf(fresh)));
        QCOMPARE(fresh.Counter()->text(), QString("0"));
        QVERIFY(!fresh.State().MoveCount.has_value());

        // The first counted move shows 1.
        const char* arrow = HoleOf(fresh) > 4 ? "cmdDown" : "cmdUp";
        QTest::mouseClick(fresh.Control(arrow), Qt::LeftButton);
        QCOMPARE(fresh.Counter()->text(), QString("1"));
    }

    void eachArrowMovesItsOwnWay_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("source");
        QTest::newRow("up takes the tile below") << "cmdUp" << 10;
        QTest::newRow("down takes the tile above") << "cmdDown" << 2;
        QTest::newRow("left takes the tile on the right") << "cmdLeft" << 7;
        QTest::newRow("right takes the tile on the left") << "cmdRight" << 5;
    }

    void eachArrowMovesItsOwnWay()
    {
        QFETCH(QString, button);
        QFETCH(int, source);
        Board board = SolvedArrangement;
        std::swap(board[5], board[15]); // the empty cell on B6
        SetBoard(*form, board);
        const ColorWord tile = form->CellColor(source);

        QTest::mouseClick(form->Control(button.toStdString()), Qt::LeftButton);
        QCOMPARE(HoleOf(*form), source);
        QCOMPARE(form->CellColor(6), tile);
        QCOMPARE(form->Counter()->text(), QString("1"));
    }

    void keyboardActivatesTheFocusedArrow()
    {
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        Board board = SolvedArrangement;
        std::swap(board[5], board[15]);
        SetBoard(*form, board);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(HoleOf(*form), 10);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(HoleOf(*form), 14);
    }

    void clicksElsewhereChangeNothing()
    {
        DialogAnswerer answerer({QMessageBox::Ok, QMessageBox::Yes});
        const Board board = BoardOf(*form);
        QStringList names = {"Label1", "Label2", "lblNum", "Label4"};
        for (int k = 1; k <= 16; ++k) {
            names << QString("B%1").arg(k) << QString("Picture%1").arg(k);
        }
        for (const QString& name : names) {
            QTest::mouseClick(form->Control(name.toStdString()), Qt::LeftButton);
            if (name != "Picture10") {
                QTest::mouseDClick(form->Control(name.toStdString()), Qt::LeftButton);
            }
        }
        QCOMPARE(BoardOf(*form), board);
        QCOMPARE(form->Counter()->text(), QString("0"));
        QVERIFY(answerer.shown.empty());
    }

    void doubleClickOnTheRedSwatchAnnounces()
    {
        const Board board = BoardOf(*form);
        DialogAnswerer answerer({QMessageBox::Ok, QMessageBox::Yes});
        QTest::mouseDClick(form->Control("Picture10"), Qt::LeftButton);
        QCOMPARE(answerer.shown.size(), std::size_t{2});
        // No counted move yet: the count is empty text.
        QCOMPARE(answerer.shown[0].title, QString("Winner!"));
        QCOMPARE(answerer.shown[0].text,
                 QString("You win the game! And you have spent  course(courses)"));
        QCOMPARE(answerer.shown[0].buttons, QList{QMessageBox::Ok});
        QCOMPARE(answerer.shown[1].title, QString("Attention!"));
        QCOMPARE(answerer.shown[1].text, QString("Will you play once again?"));
        QCOMPARE(answerer.shown[1].defaultButton, QMessageBox::Yes);
        // A Yes goes on with the same game.
        QCOMPARE(BoardOf(*form), board);
        QCOMPARE(form->Counter()->text(), QString("0"));
        QVERIFY(form->isVisible());
    }

    void aboutChangesNothing()
    {
        Board board = SolvedArrangement;
        std::swap(board[5], board[15]);
        SetBoard(*form, board);
        Click(*form, "cmdRight");
        DialogAnswerer answerer({QMessageBox::Ok});
        Click(*form, "cmdAbout");
        QCOMPARE(answerer.shown.size(), std::size_t{1});
        QCOMPARE(answerer.shown[0].title, QString("About the game"));
        QCOMPARE(answerer.shown[0].text, QString("Tintara has made by Orlandek"));
        QCOMPARE(answerer.shown[0].buttons, QList{QMessageBox::Ok});
        QCOMPARE(answerer.shown[0].icon, QMessageBox::NoIcon);
        std::swap(board[4], board[5]);
        QCOMPARE(BoardOf(*form), board);
        QCOMPARE(form->Counter()->text(), QString("1"));
    }

    void exitYesStartsAFreshGame()
    {
        // The solved board: Exit deals anew and never announces a win.
        SetBoard(*form, SolvedArrangement);
        form->State().MoveCount = 12;
        form->SetCounterText("12");
        DialogAnswerer answerer({QMessageBox::Yes});
        Click(*form, "cmdExit");
        QCOMPARE(answerer.shown.size(), std::size_t{1});
        QCOMPARE(answerer.shown[0].title, QString("Attention!"));
        QCOMPARE(answerer.shown[0].text, QString("Maybe will you play once again?(NO - Exit)"));
        QCOMPARE(answerer.shown[0].buttons, (QList{QMessageBox::Yes, QMessageBox::No}));
        QCOMPARE(answerer.shown[0].defaultButton, QMessageBox::Yes);
        QCOMPARE(answerer.shown[0].icon, QMessageBox::NoIcon);
        QVERIFY(IsDealtBoard(BoardOf(*form)));
        QCOMPARE(form->Counter()->text(), QString("0"));
        QCOMPARE(form->State().MoveCount, std::optional<std::int64_t>{0});
        QVERIFY(!form->HasEnded());
    }

    void exitNoEndsTheProgram_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::newRow("No") << QMessageBox::No;
        QTest::newRow("Escape") << QMessageBox::NoButton;
    }

    void exitNoEndsTheProgram()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        const Board board = BoardOf(*form);
        DialogAnswerer answerer({answer});
        Click(*form, "cmdExit");
        QVERIFY(form->HasEnded());
        QVERIFY(!form->isVisible());
        QCOMPARE(BoardOf(*form), board);
    }

    void closingAsksNothing()
    {
        // The close control in the middle of a game: no question, no deal.
        Click(*form, "cmdDown");
        Click(*form, "cmdUp");
        const Board board = BoardOf(*form);
        DialogAnswerer answerer({QMessageBox::Yes});
        QVERIFY(form->close());
        QVERIFY(!form->isVisible());
        QTest::qWait(20);
        QVERIFY(answerer.shown.empty());
        QCOMPARE(BoardOf(*form), board);
    }

    void winningMoveIsAnnouncedAndYesDealsAgain()
    {
        SetBoard(*form, OneMoveFromSolved());
        form->State().MoveCount = 41;
        DialogAnswerer answerer({QMessageBox::Ok, QMessageBox::Yes});
        Click(*form, "cmdLeft");
        QCOMPARE(answerer.shown.size(), std::size_t{2});
        QCOMPARE(answerer.shown[0].text,
                 QString("You win the game! And you have spent 42 course(courses)"));
        QCOMPARE(answerer.shown[0].icon, QMessageBox::NoIcon);
        QCOMPARE(answerer.shown[1].buttons, (QList{QMessageBox::Yes, QMessageBox::No}));
        QVERIFY(IsDealtBoard(BoardOf(*form)));
        QCOMPARE(form->Counter()->text(), QString("0"));
        QCOMPARE(form->State().MoveCount, std::optional<std::int64_t>{0});
    }

    void winningMoveAnsweredNoEnds()
    {
        SetBoard(*form, OneMoveFromSolved());
        DialogAnswerer answerer({QMessageBox::Ok, QMessageBox::No});
        Click(*form, "cmdLeft");
        QVERIFY(form->HasEnded());
        QVERIFY(!form->isVisible());
        // No deal after the No: the solved board stays.
        QCOMPARE(BoardOf(*form), SolvedArrangement);
        // Nothing runs once the program has ended.
        Click(*form, "cmdDown");
        QCOMPARE(BoardOf(*form), SolvedArrangement);
    }

private:
    std::unique_ptr<Form1> form;
};

QTEST_MAIN(Form1Test)
#include "Form1Test.moc"

// What a screen reader hears: names for the controls, colours for the cells.
#include "Form1.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QtTest>

using namespace tintara;

namespace
{

QString Said(QWidget* widget, QAccessible::Text what)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible != nullptr ? accessible->text(what) : QString();
}

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT

private slots:
    void controlsHaveNames_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::newRow("up arrow") << "cmdUp"
                                  << "Up"
                                  << "";
        QTest::newRow("down arrow") << "cmdDown"
                                    << "Down"
                                    << "";
        QTest::newRow("left arrow") << "cmdLeft"
                                    << "Left"
                                    << "";
        QTest::newRow("right arrow") << "cmdRight"
                                     << "Right"
                                     << "";
        QTest::newRow("about") << "cmdAbout"
                               << "About"
                               << "";
        QTest::newRow("counter") << "lblNum"
                                 << "0"
                                 << "";
        QTest::newRow("first swatch") << "Picture1"
                                      << "Picture1"
                                      << "navy";
        QTest::newRow("red swatch") << "Picture10"
                                    << "Picture10"
                                    << "red";
        QTest::newRow("scroll-bar swatch") << "Picture2"
                                           << "Picture2"
                                           << "empty";
    }

    void controlsHaveNames()
    {
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(QString, description);
        Form1 form;
        QWidget* widget = form.Control(control.toStdString());
        QCOMPARE(Said(widget, QAccessible::Name), name);
        QCOMPARE(Said(widget, QAccessible::Description), description);
    }

    void cellsSayTheirColourAsItChanges()
    {
        Form1 form;
        QCOMPARE(Said(form.Control("B1"), QAccessible::Name), QString("B1"));
        QCOMPARE(Said(form.Control("B1"), QAccessible::Description), QString("empty"));

        form.show(); // the deal
        for (int k = 1; k <= CellCount; ++k) {
            QVERIFY(
                !Said(form.Control("B" + std::to_string(k)), QAccessible::Description).isEmpty());
        }

        for (int k = 1; k <= CellCount; ++k) {
            form.SetCellColor(k, SolvedArrangement[static_cast<std::size_t>(k - 1)]);
        }
        static_cast<QAbstractButton*>(form.Control("cmdDown"))->click();
        QCOMPARE(Said(form.Control("B12"), QAccessible::Description), QString("empty"));
        QCOMPARE(Said(form.Control("B16"), QAccessible::Description), QString("dark grey"));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"

// The main window as the player sees it: places, texts, colours, fonts, focus.
#include "Layout.h"
#include "AppIcon.h"
#include "Form1.h"
#include "PictureBox.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace tintara;

namespace
{

QString Name(std::string_view name)
{
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

class LayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void everyControlStandsInPlace_data()
    {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < layout::Controls.size(); ++i) {
            if (layout::Controls[i].kind != layout::Kind::Shape) {
                QTest::newRow(layout::Controls[i].name.data()) << static_cast<int>(i);
            }
        }
    }

    void everyControlStandsInPlace()
    {
        QFETCH(int, index);
        const layout::Control& record = layout::Controls[static_cast<std::size_t>(index)];
        Form1 form;
        QWidget* control = form.Control(record.name);
        QVERIFY(control != nullptr);
        QCOMPARE(control->geometry(),
                 QRect(layout::Pixels(record.left), layout::Pixels(record.top),
                       layout::Pixels(record.width), layout::Pixels(record.height)));

        if (auto* label = qobject_cast<QLabel*>(control)) {
            QCOMPARE(label->text(), Name(record.text));
            QVERIFY(label->wordWrap());
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        } else if (auto* box = qobject_cast<PictureBox*>(control)) {
            // Board cells start as the empty cell's colour until the deal.
            QCOMPARE(box->BackColor(), record.back);
            QCOMPARE(QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name),
                     Name(record.name));
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            QCOMPARE(button->text(), Name(record.text));
            QVERIFY(!static_cast<QPushButton*>(button)->isDefault());
        }
    }

    void pixelPlacesAtNinetySixDotsPerInch_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("first cell") << "B1" << QRect(16, 16, 53, 53);
        QTest::newRow("last cell") << "B16" << QRect(184, 184, 53, 53);
        QTest::newRow("red swatch") << "Picture10" << QRect(328, 96, 22, 22);
        QTest::newRow("swatch for the empty cell") << "Picture2" << QRect(328, 144, 22, 22);
        QTest::newRow("up arrow") << "cmdUp" << QRect(384, 128, 49, 49);
        QTest::newRow("right arrow") << "cmdRight" << QRect(440, 184, 49, 49);
        QTest::newRow("counter") << "lblNum" << QRect(240, 224, 57, 33);
        QTest::newRow("exit") << "cmdExit" << QRect(384, 56, 105, 41);
    }

    void pixelPlacesAtNinetySixDotsPerInch()
    {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        Form1 form;
        QCOMPARE(form.Control(name.toStdString())->geometry(), rect);
    }

    void windowAndTexts()
    {
        Form1 form;
        QCOMPARE(form.windowTitle(), QString("Tintara by Orlandek"));
        QCOMPARE(form.size(), QSize(496, 263));
        QVERIFY(!form.windowIcon().isNull());
        QCOMPARE(form.Counter()->text(), QString("0"));
        QCOMPARE(form.Counter()->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
        QCOMPARE(qobject_cast<QLabel*>(form.Control("Label1"))->text(),
                 QString("Do this and win the game. "));
        QCOMPARE(form.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(), 42);
    }

    void fontsHaveTheirSizeAndFace()
    {
        Form1 form;
        const QFont counter = form.Counter()->font();
        QCOMPARE(counter.pixelSize(), 33);
        QVERIFY(counter.bold() && counter.italic());
        const QFont words = form.Control("Label2")->font();
        QCOMPARE(words.pixelSize(), 19);
        QVERIFY(words.bold() && !words.italic());
        const QFont button = form.Control("cmdExit")->font();
        QCOMPARE(button.pixelSize(), 13);
        QVERIFY(button.bold());
    }

    void labelColoursFollowTheTable()
    {
        Form1 form;
        const QPalette colors = form.palette();
        QCOMPARE(form.Control("Label1")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(form.Control("lblNum")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(form.Control("Label2")->palette().color(QPalette::WindowText),
                 colors.color(QPalette::ButtonText));
        QCOMPARE(form.Control("Label4")->palette().color(QPalette::Window),
                 colors.color(QPalette::Button));
    }

    void tabOrderAndFirstFocus()
    {
        Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(QApplication::focusWidget(), form.Control("cmdUp"));

        QStringList expected = {"cmdUp", "cmdLeft", "cmdDown", "cmdRight", "cmdAbout", "cmdExit"};
        for (int k = 1; k <= 16; ++k) {
            expected << QString("B%1").arg(k);
        }
        for (int n = 1; n <= 16; ++n) {
            expected << QString("Picture%1").arg(n);
        }
        QStringList walked;
        QWidget* widget = form.Control("cmdUp");
        do {
            if (widget->focusPolicy() & Qt::TabFocus) {
                walked << widget->objectName();
            }
            widget = widget->nextInFocusChain();
        } while (widget != form.Control("cmdUp"));
        QCOMPARE(walked, expected);
    }

    void frameIsDrawnBeneathTheSwatches()
    {
        Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QImage image = form.grab().toImage();
        // The blue outline, two pixels wide, at the frame's left edge.
        QCOMPARE(image.pixelColor(248, 120), QColor(0, 0, 255));
        QCOMPARE(image.pixelColor(249, 120), QColor(0, 0, 255));
        // A swatch covers the frame's hatching with its own colour.
        QCOMPARE(image.pixelColor(339, 107), QColor(255, 0, 0));
    }

    void systemColoursFollowThePalette()
    {
        Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        int hole = 1;
        while (form.CellColor(hole) != HoleColor) {
            ++hole;
        }
        QPalette colors = form.palette();
        colors.setColor(QPalette::Button, QColor(10, 120, 30));
        form.setPalette(colors);
        QCOMPARE(form.CellColor(hole), HoleColor);
        const QImage cell = form.Cell(hole)->grab().toImage();
        QCOMPARE(cell.pixelColor(cell.width() / 2, cell.height() / 2), QColor(10, 120, 30));
        // The window paints the labels' background, beside their text.
        const QRect label = form.Control("Label2")->geometry();
        QCOMPARE(form.grab().toImage().pixelColor(label.right() - 1, label.center().y()),
                 QColor(10, 120, 30));
    }

    void iconHasSixBandsOnAStaircase()
    {
        const QImage icon = AppIconImage();
        QCOMPARE(icon.size(), QSize(32, 32));
        // Transparent corners, stepped at columns 25, 9 and 6.
        QCOMPARE(qAlpha(icon.pixel(24, 0)), 0);
        QCOMPARE(icon.pixel(25, 0), qRgb(255, 0, 0));
        QCOMPARE(qAlpha(icon.pixel(5, 2)), 0);
        QCOMPARE(icon.pixel(6, 2), qRgb(255, 0, 0));
        QCOMPARE(icon.pixel(0, 31), qRgb(128, 0, 128));
        QCOMPARE(qAlpha(icon.pixel(6, 31)), 0);
        QCOMPARE(qAlpha(icon.pixel(25, 29)), 0);
        QCOMPARE(icon.pixel(24, 29), qRgb(128, 0, 128));
        // Bands five rows deep, rising towards the right.
        QCOMPARE(icon.pixel(30, 4), qRgb(255, 0, 0));
        QCOMPARE(icon.pixel(30, 5), qRgb(255, 255, 0));
        QCOMPARE(icon.pixel(0, 7), qRgb(255, 0, 0));
        QCOMPARE(icon.pixel(0, 8), qRgb(255, 255, 0));
        QCOMPARE(icon.pixel(15, 16), qRgb(0, 255, 255));
        QCOMPARE(icon.pixel(15, 21), qRgb(0, 0, 255));
    }
};

QTEST_MAIN(LayoutTest)
#include "LayoutTest.moc"

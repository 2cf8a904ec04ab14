// The game tells fontconfig to list only the faces it draws with. Under a small
// font set and under a large one, with and without that, the window must draw
// the same pixels in the same faces, and its message boxes the face the desktop
// gives them. Each drawing is made by a child run of this program under a
// private fontconfig set-up, since fontconfig and Qt read the installed faces
// once per process.
#include "FontSet.h"
#include "Form1.h"
#include "Layout.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

using namespace tintara;

namespace
{

// Where Debian keeps the Liberation faces: liberation2 up to Debian 12, liberation after.
constexpr const char* LiberationFolders[] = {"/usr/share/fonts/truetype/liberation2",
                                             "/usr/share/fonts/truetype/liberation"};
constexpr const char* DejaVuFolder = "/usr/share/fonts/truetype/dejavu";

// The large set: the machine's own faces, and this many copies of each
// Liberation face, each copy a family of its own.
constexpr int FillerFamilies = 60;

// The machine's own set-up, with fontconfig's caches of the faces scanned here
// written into folder: the first cache folder named is the one written.
QString Header(const QString& folder)
{
    return QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM "
                          "\"urn:fontconfig:fonts.dtd\">\n<fontconfig>\n"
                          "<cachedir>%1/cache</cachedir>\n"
                          "<include ignore_missing=\"yes\">/etc/fonts/fonts.conf</include>\n")
        .arg(folder);
}

QStringList LiberationFaces(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("*.ttf")}, QDir::Files);
}

bool WriteFile(const QString& path, const QString& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0;
}

// The small set: the Liberation faces and DejaVu, the desktop's rules all the same.
bool WriteSmallSet(const QString& folder, const QString& liberation)
{
    return WriteFile(folder + QStringLiteral("/small.conf"),
                     Header(folder) + QStringLiteral("<reset-dirs/>\n<dir>%1</dir>\n<dir>%2</dir>\n"
                                                     "</fontconfig>\n")
                                          .arg(liberation, QLatin1String(DejaVuFolder)));
}

// The large set: every installed face, and links to the Liberation faces under
// FillerFamilies folders, each folder's faces renamed to a family of their own.
bool WriteLargeSet(const QString& folder, const QString& liberation)
{
    const QStringList faces = LiberationFaces(liberation);
    QString rules;
    for (int k = 0; k < FillerFamilies; ++k) {
        const QString copies = QStringLiteral("%1/fillers/%2").arg(folder).arg(k);
        if (!QDir().mkpath(copies)) {
            return false;
        }
        for (const QString& face : faces) {
            if (!QFile::link(liberation + QLatin1Char('/') + face,
                             copies + QLatin1Char('/') + face)) {
                return false;
            }
        }
        rules += QStringLiteral("<match target=\"scan\"><test name=\"file\" compare=\"contains\">"
                                "<string>/fillers/%1/</string></test>"
                                "<edit name=\"family\" mode=\"assign\" binding=\"same\">"
                                "<string>Filler %1</string></edit></match>\n")
                     .arg(k);
    }
    return WriteFile(folder + QStringLiteral("/large.conf"),
                     Header(folder) + QStringLiteral("<dir>%1/fillers</dir>\n").arg(folder) +
                         rules + QStringLiteral("</fontconfig>\n"));
}

// What one child run drew: the window's picture, the faces of its texts and of
// a message box, and how many faces fontconfig listed.
struct Drawing {
    QImage window;
    QStringList windowFaces;
    QStringList dialogFaces;
    int listed = 0;
    // Of those, the faces of the filler families.
    int fillers = 0;
};

QString Describe(const QFont& font)
{
    const QFontInfo info(font);
    return QStringLiteral("%1 %2px%3%4")
        .arg(info.family())
        .arg(info.pixelSize())
        .arg(info.bold() ? QStringLiteral(" bold") : QString())
        .arg(info.italic() ? QStringLiteral(" italic") : QString());
}

// The child: draws the window under the set-up in FONTCONFIG_FILE, with the
// game's selection of faces or without, and writes what it drew into folder.
int Draw(int argc, char* argv[], const QString& folder, bool select)
{
    QApplication application(argc, argv);
    Form1::Fonts fonts = Form1::LayoutFonts();
    const int kept = select ? KeepOnlyFacesFor(FamiliesAskedFor(fonts)) : 1;
    if (kept <= 0) {
        std::fputs("FontSetTest: no faces kept\n", stderr);
        return 1;
    }
    if (select) {
        AskForInstalledFamilies(fonts);
    }
    Form1 form(fonts);
    QStringList windowFaces;
    for (const layout::Control& record : layout::Controls) {
        if (record.kind == layout::Kind::Label || record.kind == layout::Kind::CommandButton) {
            const QString name =
                QString::fromUtf8(record.name.data(), static_cast<qsizetype>(record.name.size()));
            windowFaces << name + QLatin1Char(' ') + Describe(form.Control(record.name)->font());
        }
    }
    form.grab().toImage().save(folder + QStringLiteral("/window.png"));

    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tintara"), QStringLiteral("You won!"),
                    QMessageBox::Yes | QMessageBox::No, &form);
    QStringList dialogFaces;
    for (const QLabel* label : box.findChildren<QLabel*>()) {
        if (label->text() == box.text()) {
            dialogFaces << QStringLiteral("text ") + Describe(label->font());
        }
    }
    dialogFaces << QStringLiteral("button ") + Describe(box.button(QMessageBox::Yes)->font());
    box.grab();

    const FcFontSet* listed = FcConfigGetFonts(nullptr, FcSetSystem);
    const int count = listed != nullptr ? listed->nfont : 0;
    int fillers = 0;
    for (int i = 0; i < count; ++i) {
        FcChar8* family = nullptr;
        if (FcPatternGetString(listed->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch &&
            QString::fromUtf8(reinterpret_cast<const char*>(family))
                .startsWith(QLatin1String("Filler "))) {
            ++fillers;
        }
    }
    const QString faces = windowFaces.join(QLatin1Char('\n')) + QStringLiteral("\n--\n") +
                          dialogFaces.join(QLatin1Char('\n')) +
                          QStringLiteral("\n--\n%1 %2\n").arg(count).arg(fillers);
    const bool written = WriteFile(folder + QStringLiteral("/faces.txt"), faces);
    return written && (!select || kept == count) ? 0 : 1;
}

} // namespace

class FontSetTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(folder.isValid());
        QVERIFY(WriteSmallSet(folder.path(), liberation));
        QVERIFY(WriteLargeSet(folder.path(), liberation));
        for (const char* set : {"small", "large"}) {
            for (const char* faces : {"selected", "all"}) {
                const QString name =
                    QStringLiteral("%1-%2").arg(QLatin1String(set), QLatin1String(faces));
                QVERIFY2(RunChild(name, QLatin1String(set), std::strcmp(faces, "selected") == 0),
                         qPrintable(name));
            }
        }
    }

    void theLargeSetIsLarge()
    {
        const int small = drawings[QStringLiteral("small-all")].listed;
        const int large = drawings[QStringLiteral("large-all")].listed;
        const int kept = drawings[QStringLiteral("large-selected")].listed;
        const int fillers = FillerFamilies * static_cast<int>(LiberationFaces(liberation).size());
        qInfo("faces listed: small set %d, large set %d, of which the game keeps %d", small, large,
              kept);
        QVERIFY(large >= small + fillers);
        QCOMPARE(drawings[QStringLiteral("large-all")].fillers, fillers);
        // The fillers are dropped. Where no installed face answers a request (a
        // generic family without DejaVu, say), fontconfig's choice among equal
        // faces may fall on one filler family in place of a Liberation one, as
        // it would for Qt without the selection; never on more.
        QVERIFY(kept > 0);
        QVERIFY(drawings[QStringLiteral("large-selected")].fillers <=
                static_cast<int>(LiberationFaces(liberation).size()));
    }

    void theWindowIsDrawnTheSame_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"small-selected", "large-selected", "large-all"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }

    // Compared with the window under the small set with every face listed.
    void theWindowIsDrawnTheSame()
    {
        QFETCH(QString, name);
        const Drawing& reference = drawings[QStringLiteral("small-all")];
        const Drawing& drawing = drawings[name];
        QCOMPARE(drawing.windowFaces, reference.windowFaces);
        QVERIFY(!drawing.window.isNull());
        QCOMPARE(drawing.window.size(), reference.window.size());
        QVERIFY(drawing.window == reference.window);
    }

    void theDialogsKeepTheDesktopsFace_data()
    {
        QTest::addColumn<QString>("set");
        QTest::newRow("small") << QStringLiteral("small");
        QTest::newRow("large") << QStringLiteral("large");
    }

    void theDialogsKeepTheDesktopsFace()
    {
        QFETCH(QString, set);
        QCOMPARE(drawings[set + QStringLiteral("-selected")].dialogFaces,
                 drawings[set + QStringLiteral("-all")].dialogFaces);
    }

public:
    explicit FontSetTest(QString liberation) : liberation(std::move(liberation)) {}

private:
    bool RunChild(const QString& name, const QString& set, bool select)
    {
        const QString output = folder.path() + QLatin1Char('/') + name;
        if (!QDir().mkpath(output)) {
            return false;
        }
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("FONTCONFIG_FILE"),
                           QStringLiteral("%1/%2.conf").arg(folder.path(), set));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--draw"), output,
                     select ? QStringLiteral("selected") : QStringLiteral("all")});
        // Two minutes natively; longer under emulation, by the tests' factor.
        const int scale = std::max(1, qEnvironmentVariableIntValue("TINTARA_TIME_SCALE"));
        if (!child.waitForFinished(120000 * scale)) {
            child.kill();
            child.waitForFinished(5000);
            return false;
        }
        if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
            return false;
        }
        QFile faces(output + QStringLiteral("/faces.txt"));
        if (!faces.open(QIODevice::ReadOnly)) {
            return false;
        }
        const QStringList parts =
            QString::fromUtf8(faces.readAll()).split(QStringLiteral("\n--\n"));
        if (parts.size() != 3) {
            return false;
        }
        Drawing& drawing = drawings[name];
        drawing.windowFaces = parts[0].split(QLatin1Char('\n'));
        drawing.dialogFaces = parts[1].split(QLatin1Char('\n'));
        const QStringList counts = parts[2].trimmed().split(QLatin1Char(' '));
        if (counts.size() != 2) {
            return false;
        }
        drawing.listed = counts[0].toInt();
        drawing.fillers = counts[1].toInt();
        drawing.window.load(output + QStringLiteral("/window.png"));
        return true;
    }

    QString liberation;
    QTemporaryDir folder;
    QMap<QString, Drawing> drawings;
};

// usage: FontSetTest [QtTest options]; FontSetTest --draw FOLDER selected|all (a child run)
int main(int argc, char* argv[])
{
    if (argc == 4 && std::strcmp(argv[1], "--draw") == 0) {
        const QString folder = QString::fromLocal8Bit(argv[2]);
        const bool select = std::strcmp(argv[3], "selected") == 0;
        int count = 1;
        return Draw(count, argv, folder, select);
    }
    QString liberation;
    for (const char* folder : LiberationFolders) {
        if (!LiberationFaces(QLatin1String(folder)).isEmpty()) {
            liberation = QLatin1String(folder);
            break;
        }
    }
    if (liberation.isEmpty()) {
        std::puts("SKIP: the Liberation faces are not installed where Debian keeps them");
        return 77;
    }
    QCoreApplication application(argc, argv);
    FontSetTest test(liberation);
    return QTest::qExec(&test, argc, argv);
}

#include "FontSetTest.moc"

// The window's texts are drawn in the faces it names, "Times New Roman" and
// "MS Sans Serif", where the desktop has them, and in the first of their
// stand-ins, the Liberation faces, where it does not. Each run gives the test process a private
// fontconfig set-up: "stand-in" hides any installed face of those names; "named" adds copies of the
// Liberation faces that fontconfig is told to call by the named families. As in
// the game, fontconfig then lists only the faces the window draws with.
#include "FontSet.h"
#include "Form1.h"
#include "Layout.h"

#include <QFile>
#include <QFontInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

using namespace tintara;

namespace
{

// Where Debian keeps the Liberation faces: liberation2 up to Debian 12, liberation after.
constexpr const char* LiberationFolders[] = {"/usr/share/fonts/truetype/liberation2",
                                             "/usr/share/fonts/truetype/liberation"};
QString liberationFolder;

// The copies of the stand-ins that play the named faces, and the family each plays.
struct Copy {
    const char* file;
    const char* family;
};
constexpr Copy Copies[] = {
    {"LiberationSerif-Bold.ttf", "Times New Roman"},
    {"LiberationSerif-BoldItalic.ttf", "Times New Roman"},
    {"LiberationSans-Bold.ttf", "MS Sans Serif"},
};

QString Name(std::string_view name)
{
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

// Writes the private set-up into folder and returns the path of its file.
QString WriteFontSetUp(const QString& folder, bool named)
{
    QString rules;
    if (named) {
        for (const Copy& copy : Copies) {
            const QString target = folder + QStringLiteral("/named-") + copy.file;
            QFile::copy(QStringLiteral("%1/%2").arg(liberationFolder, copy.file), target);
            rules += QStringLiteral(
                         "<match target=\"scan\"><test name=\"file\"><string>%1</string></test>"
                         "<edit name=\"family\" mode=\"assign\" binding=\"same\"><string>%2"
                         "</string></edit></match>\n")
                         .arg(target, QString::fromLatin1(copy.family));
        }
        rules += QStringLiteral("<dir>%1</dir>\n").arg(folder);
    } else {
        rules = QStringLiteral(
            "<selectfont><rejectfont>"
            "<pattern><patelt name=\"family\"><string>Times New Roman</string></patelt></pattern>"
            "<pattern><patelt name=\"family\"><string>MS Sans Serif</string></patelt></pattern>"
            "</rejectfont></selectfont>\n");
    }
    const QString path = folder + QStringLiteral("/fonts.conf");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return {};
    }
    file.write(QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM "
                              "\"urn:fontconfig:fonts.dtd\">\n<fontconfig>\n"
                              // The first cache folder named is the one fontconfig
                              // writes: the copies' cache stays in folder.
                              "<cachedir>%1/cache</cachedir>\n"
                              "<include ignore_missing=\"yes\">/etc/fonts/fonts.conf</include>\n"
                              "%2</fontconfig>\n")
                   .arg(folder, rules)
                   .toUtf8());
    return path;
}

} // namespace

class FaceTest : public QObject
{
    Q_OBJECT

public:
    explicit FaceTest(bool named) : named(named) {}

private slots:
    void textsUseTheNamedFaceWhereItIsInstalled_data()
    {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < layout::Controls.size(); ++i) {
            const layout::Control& record = layout::Controls[i];
            const bool drawsText =
                record.kind == layout::Kind::Label || record.kind == layout::Kind::CommandButton;
            if (drawsText && record.font != layout::Font::None) {
                QTest::newRow(record.name.data()) << static_cast<int>(i);
            }
        }
    }

    void textsUseTheNamedFaceWhereItIsInstalled()
    {
        QFETCH(int, index);
        const layout::Control& record = layout::Controls[static_cast<std::size_t>(index)];
        const layout::Face face = layout::FaceOf(record.font);
        Form1 form;
        const QFontInfo used(form.Control(record.name)->font());
        QCOMPARE(used.family(), Name(named ? face.named : face.standIns.front()));
        QCOMPARE(used.pixelSize(), layout::PixelSize(face.points));
        QVERIFY(used.bold());
    }

private:
    bool named;
};

// usage: FaceTest named|stand-in [QtTest options]
int main(int argc, char* argv[])
{
    if (argc < 2 || (std::strcmp(argv[1], "named") != 0 && std::strcmp(argv[1], "stand-in") != 0)) {
        std::fputs("usage: FaceTest named|stand-in [QtTest options]\n", stderr);
        return 2;
    }
    const bool named = std::strcmp(argv[1], "named") == 0;
    argv[1] = argv[0];
    --argc;
    ++argv;

    for (const char* folder : LiberationFolders) {
        if (QFile::exists(QStringLiteral("%1/%2").arg(QLatin1String(folder), Copies[0].file))) {
            liberationFolder = QLatin1String(folder);
            break;
        }
    }
    if (liberationFolder.isEmpty()) {
        std::puts("SKIP: the Liberation faces are not installed where Debian keeps them");
        return 77;
    }
    const QTemporaryDir folder;
    const QString setUp = WriteFontSetUp(folder.path(), named);
    if (!folder.isValid() || setUp.isEmpty()) {
        std::fputs("FaceTest: cannot write the private font set-up\n", stderr);
        return 1;
    }
    qputenv("FONTCONFIG_FILE", QFile::encodeName(setUp));

    QApplication application(argc, argv);
    // As the game does: fontconfig lists only the faces the window draws with.
    if (KeepOnlyFacesFor(FamiliesAskedFor(Form1::LayoutFonts())) <= 0) {
        std::fputs("FaceTest: no faces kept of the private font set-up\n", stderr);
        return 1;
    }
    FaceTest test(named);
    return QTest::qExec(&test, argc, argv);
}

#include "FaceTest.moc"

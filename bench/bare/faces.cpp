// The text window with the game's six texts in the faces the game draws them
// in where Liberation is installed: Liberation Serif Bold at 19 pixels, its
// italic at 33 for the counter, Liberation Sans Bold at 13 for the buttons. The
// floor of a Qt program that draws what the game draws, less its picture boxes,
// frame and icon.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace
{

QFont Face(const QString& family, int pixels, bool italic = false)
{
    QFont font;
    font.setFamilies({family});
    font.setPixelSize(pixels);
    font.setBold(true);
    font.setItalic(italic);
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("faces"));
    window.resize(496, 263);
    const QFont serif = Face(QStringLiteral("Liberation Serif"), 19);
    const QFont sans = Face(QStringLiteral("Liberation Sans"), 13);
    QLabel goal(QStringLiteral("Do this and win the game. "), &window);
    goal.setGeometry(248, 8, 121, 49);
    goal.setWordWrap(true);
    goal.setFont(serif);
    QLabel did(QStringLiteral("You already did:"), &window);
    did.setGeometry(80, 240, 153, 25);
    did.setFont(serif);
    QLabel count(QStringLiteral("0"), &window);
    count.setGeometry(240, 224, 57, 33);
    count.setFont(Face(QStringLiteral("Liberation Serif"), 33, true));
    QLabel courses(QStringLiteral("course(courses)"), &window);
    courses.setGeometry(304, 240, 137, 25);
    courses.setFont(serif);
    QPushButton about(QStringLiteral("About"), &window);
    about.setGeometry(384, 8, 105, 41);
    about.setFont(sans);
    QPushButton leave(QStringLiteral("Exit"), &window);
    leave.setGeometry(384, 56, 105, 41);
    leave.setFont(sans);
    window.show();
    return app.exec();
}

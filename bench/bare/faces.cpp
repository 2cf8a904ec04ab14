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

// A text control of the window, which owns it, at its place in its face.
template <typename Control>
Control* Place(QWidget& window, const char* text, const QRect& place, const QFont& font)
{
    auto* control = new Control(QString::fromLatin1(text), &window);
    control->setGeometry(place);
    control->setFont(font);
    return control;
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
    Place<QLabel>(window, "Do this and win the game. ", {248, 8, 121, 49}, serif)
        ->setWordWrap(true);
    Place<QLabel>(window, "You already did:", {80, 240, 153, 25}, serif);
    Place<QLabel>(window, "0", {240, 224, 57, 33},
                  Face(QStringLiteral("Liberation Serif"), 33, true));
    Place<QLabel>(window, "course(courses)", {304, 240, 137, 25}, serif);
    Place<QPushButton>(window, "About", {384, 8, 105, 41}, sans);
    Place<QPushButton>(window, "Exit", {384, 56, 105, 41}, sans);
    window.show();
    return app.exec();
}

// A window of the game's size with one label and one button in the desktop's
// default font: the start-up floor of a Qt program that draws text, against
// which the game's font selection is judged.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("text"));
    window.resize(496, 263);
    QLabel label(QStringLiteral("You already did:"), &window);
    label.setGeometry(80, 240, 153, 25);
    QPushButton button(QStringLiteral("About"), &window);
    button.setGeometry(384, 8, 105, 41);
    window.show();
    return app.exec();
}

// Tintara's entry: create the main window and run the event loop.
#include "Form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tintara"));
    QApplication::setApplicationVersion(QStringLiteral("0.00"));
    QApplication::setDesktopFileName(QStringLiteral("tintara"));

    tintara::Form1 form;
    form.show();
    return QApplication::exec();
}

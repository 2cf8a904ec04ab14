// Tintara's entry: create the main window and run the event loop.
#include "Form1.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace
{

// Qt's messages while the application object is made, held back until it is
// known whether a window can be opened at all.
std::vector<std::pair<QtMsgType, QString>> heldMessages;

// Without a display Qt cannot start its platform layer and aborts with a
// page of advice and a core dump; the player gets one line and status 1.
[[noreturn]] void NoDisplay()
{
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (display != nullptr && *display != '\0') {
        std::fprintf(stderr, "tintara: no display found: cannot open DISPLAY=%s\n", display);
    } else if (wayland != nullptr && *wayland != '\0') {
        std::fprintf(stderr, "tintara: no display found: cannot open WAYLAND_DISPLAY=%s\n",
                     wayland);
    } else {
        std::fputs("tintara: no display found: DISPLAY is not set\n", stderr);
    }
    std::_Exit(1);
}

void HoldMessage(QtMsgType type, const QMessageLogContext& /*context*/, const QString& message)
{
    if (type == QtFatalMsg) {
        NoDisplay();
    }
    heldMessages.emplace_back(type, message);
}

} // namespace

int main(int argc, char* argv[])
{
    const QtMessageHandler report = qInstallMessageHandler(HoldMessage);
    QApplication application(argc, argv);
    qInstallMessageHandler(report);
    for (const auto& [type, message] : heldMessages) {
        report(type, QMessageLogContext(), message);
    }
    heldMessages.clear();

    QApplication::setApplicationName(QStringLiteral("tintara"));
    QApplication::setApplicationVersion(QStringLiteral("0.00"));
    QApplication::setDesktopFileName(QStringLiteral("tintara"));

    tintara::Form1 form;
    form.show();
    return QApplication::exec();
}

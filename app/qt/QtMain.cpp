// Tintara's entry: create the main window and run the event loop.
#include "FontSet.h"
#include "Form1.h"

#include <QApplication>
#include <QRegularExpression>

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif
#include <sys/mman.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define TINTARA_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TINTARA_LEAK_CHECK 1
#endif
#endif
#ifdef TINTARA_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace
{

// What Qt said while it started the window system, held back until it is
// known whether a window can be opened at all.
struct HeldMessage {
    QtMsgType type;
    QString text;
};
std::vector<HeldMessage> heldMessages;
bool holding = true;

// What libraries below Qt write straight to standard error while the window
// system starts (libwayland does), held in memory for the same reason.
class HeldErrorOutput
{
public:
    HeldErrorOutput() : saved(dup(STDERR_FILENO)), held(memfd_create("tintara-stderr", MFD_CLOEXEC))
    {
        if (saved < 0 || held < 0 || dup2(held, STDERR_FILENO) < 0) {
            Drop();
        }
    }
    HeldErrorOutput(const HeldErrorOutput&) = delete;
    HeldErrorOutput& operator=(const HeldErrorOutput&) = delete;
    ~HeldErrorOutput() { Release(); }

    // Standard error is the terminal's again, without what was held.
    void Drop()
    {
        if (saved >= 0) {
            dup2(saved, STDERR_FILENO);
            close(saved);
            saved = -1;
        }
        if (held >= 0) {
            close(held);
            held = -1;
        }
    }

    // Standard error is the terminal's again, and gets what was held.
    void Release()
    {
        const int file = held;
        held = -1;
        Drop();
        if (file < 0) {
            return;
        }
        char buffer[4096];
        ssize_t count = 0;
        lseek(file, 0, SEEK_SET);
        while ((count = read(file, buffer, sizeof buffer)) > 0) {
            if (write(STDERR_FILENO, buffer, static_cast<size_t>(count)) != count) {
                break;
            }
        }
        close(file);
    }

private:
    int saved;
    int held;
};
HeldErrorOutput* heldErrorOutput = nullptr;
QtMessageHandler report = nullptr;

QString Environment(const char* name)
{
    return QString::fromLocal8Bit(qgetenv(name));
}

// The first sentence of one of Qt's messages, without the advice after it.
QString FirstSentence(const QString& text)
{
    QString sentence = text.section(QLatin1Char('\n'), 0, 0).trimmed();
    const qsizetype end = sentence.indexOf(QLatin1String(". "));
    if (end >= 0) {
        sentence.truncate(end + 1);
    }
    return sentence;
}

// Why the window system could not start, from what Qt said on the way: the
// display that is missing or cannot be opened, the platform plugin that cannot
// be found or loaded, or else Qt's own reason.
QString StartupFailure(const QString& fatal)
{
    static const QRegularExpression x11(QStringLiteral("^could not connect to display ?(.*)$"));
    static const QRegularExpression wayland(QStringLiteral("^Failed to create wl_display"));
    static const QRegularExpression plugin(
        QStringLiteral("^Could not (find|load) the Qt platform plugin \"([^\"]*)\""));
    for (const HeldMessage& message : heldMessages) {
        if (const auto match = x11.match(message.text); match.hasMatch()) {
            const QString display = match.captured(1).trimmed();
            return display.isEmpty() ? QStringLiteral("no display found: DISPLAY is not set")
                                     : QStringLiteral("cannot open display %1").arg(display);
        }
        if (wayland.match(message.text).hasMatch()) {
            const QString display = Environment("WAYLAND_DISPLAY");
            return display.isEmpty()
                       ? QStringLiteral("no Wayland display found: WAYLAND_DISPLAY is not set")
                       : QStringLiteral("cannot open Wayland display %1").arg(display);
        }
    }
    for (const HeldMessage& message : heldMessages) {
        if (const auto match = plugin.match(message.text); match.hasMatch()) {
            return QStringLiteral("could not %1 the Qt platform plugin \"%2\"")
                .arg(match.captured(1), match.captured(2));
        }
    }
    return FirstSentence(fatal);
}

// Where the window system cannot start, or fails later, Qt aborts with a page
// of advice and a core dump; the player gets one line that names the cause,
// and status 1.
void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        if (heldErrorOutput != nullptr) {
            heldErrorOutput->Drop();
        }
        const QString cause = holding ? StartupFailure(message) : FirstSentence(message);
        std::fprintf(stderr, "tintara: %s\n", qPrintable(cause));
        std::_Exit(1);
    }
    if (holding) {
        heldMessages.push_back({type, message});
    } else {
        report(type, context, message);
    }
}

// Ends the process once the event loop is over, without taking the window
// system's connection down piece by piece: the game keeps nothing, so nothing is
// lost, and Qt 6.4's Wayland plugin can deadlock in that teardown (its event
// thread waits for a read that the main thread, waiting for the event thread,
// never finishes), which left the game running with no window after a No.
[[noreturn]] void EndWithoutTeardown(int status)
{
    std::fflush(nullptr);
#ifdef TINTARA_LEAK_CHECK
    // Exiting this way skips the sanitizer's own check at exit.
    __lsan_do_leak_check();
#endif
    std::_Exit(status);
}

} // namespace

// The game takes no command line: Qt is given the program's name alone, so that
// none of its own options (a style sheet, a title, a plugin path) reach it.
// The environment Qt reads, such as QT_QPA_PLATFORM, is the desktop's and stays.
int main()
{
    static char name[] = "tintara";
    static char* arguments[] = {name, nullptr};
    static int count = 1;
    // The threads Qt starts (the window system's event reader, D-Bus) allocate
    // little and seldom: from the main thread's heap, not from an arena of
    // their own each, whose pages would stay written for a few objects. Only
    // glibc's allocator has arenas to limit.
#ifdef M_ARENA_MAX
    mallopt(M_ARENA_MAX, 1);
#endif

    // The window system starts in the application object and the first show.
    auto held = std::make_unique<HeldErrorOutput>();
    heldErrorOutput = held.get();
    report = qInstallMessageHandler(HoldMessage);
    QApplication application(count, arguments);
    QApplication::setApplicationName(QStringLiteral("tintara"));
    QApplication::setApplicationVersion(QStringLiteral("0.00"));
    QApplication::setDesktopFileName(QStringLiteral("tintara"));

    // Before the first text is measured: Qt lists only the faces the window
    // and its message boxes draw with, not every face the desktop has, and the
    // window's fonts name the families installed before its controls take them.
    tintara::Form1::Fonts fonts = tintara::Form1::LayoutFonts();
    if (tintara::KeepOnlyFacesFor(tintara::FamiliesAskedFor(fonts)) > 0) {
        tintara::AskForInstalledFamilies(fonts);
    }
    auto form = std::make_unique<tintara::Form1>(fonts);
    form->show();

    heldErrorOutput = nullptr;
    held.reset();
    holding = false;
    for (const HeldMessage& message : heldMessages) {
        report(message.type, QMessageLogContext(), message.text);
    }
    heldMessages.clear();
    const int status = QApplication::exec();
    form.reset();
    EndWithoutTeardown(status);
}

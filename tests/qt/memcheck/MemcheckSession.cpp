// A short real session of the game, for valgrind's memcheck (tools/memcheck):
// the main window on the offscreen platform, a hundred arrow clicks through the
// real buttons, About answered OK, Exit answered Yes, then the window closed and
// everything destroyed. The message boxes are real and are answered from a
// timer, as a player would: OK to a box that has only OK, Yes to a question.
//
// Exits 0 when the session went as planned, 1 otherwise.
#include "FontSet.h"
#include "Form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include <array>
#include <cstdint>
#include <cstdio>

namespace
{

constexpr int ArrowClicks = 100;

// A fixed seed for the deal, so that every run plays the same board.
constexpr float DealSeed = 4321.5F;

// Answers every modal message box: Yes where there is a Yes, otherwise OK.
class Answerer
{
public:
    Answerer()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start(5);
    }

    int about = 0;
    int exitQuestion = 0;
    int wins = 0;
    int other = 0;

private:
    void Poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        const QString title = box->windowTitle();
        if (title == QLatin1String(tintara::WinTitle.data(), tintara::WinTitle.size())) {
            ++wins;
        } else if (title == QStringLiteral("About the game")) {
            ++about;
        } else if (box->text().startsWith(QStringLiteral("Maybe will you play once again?"))) {
            ++exitQuestion;
        } else if (box->text() !=
                   QLatin1String(tintara::PlayAgainText.data(), tintara::PlayAgainText.size())) {
            ++other;
        }
        QAbstractButton* yes = box->button(QMessageBox::Yes);
        QAbstractButton* answer = yes != nullptr ? yes : box->button(QMessageBox::Ok);
        if (answer == nullptr) {
            ++other;
            box->reject();
            return;
        }
        answer->click();
    }

    QTimer timer_;
};

// The arrow clicked at each step: a fixed xorshift sequence, the same on
// every run.
class DirectionSequence
{
public:
    const char* Next()
    {
        static constexpr std::array<const char*, 4> Names = {"cmdUp", "cmdDown", "cmdLeft",
                                                             "cmdRight"};
        state_ ^= state_ << 13U;
        state_ ^= state_ >> 17U;
        state_ ^= state_ << 5U;
        return Names[(state_ >> 8U) % Names.size()];
    }

private:
    std::uint32_t state_ = 0x2545F491U;
};

void Click(const tintara::Form1& form, const char* name)
{
    static_cast<QAbstractButton*>(form.Control(name))->click();
    // Let the changed boxes paint before the next click.
    QCoreApplication::processEvents();
}

struct Outcome {
    bool played = false;
    QString counter;
};

Outcome Play(tintara::Form1& form)
{
    DirectionSequence directions;
    for (int i = 0; i < ArrowClicks; ++i) {
        Click(form, directions.Next());
        if (form.HasEnded()) {
            return {};
        }
    }
    Outcome outcome{true, form.Counter()->text()};
    Click(form, "cmdAbout");
    Click(form, "cmdExit");
    outcome.played = !form.HasEnded() && form.isVisible();
    return outcome;
}

} // namespace

int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tintara"));

    Outcome outcome;
    int status = 0;
    Answerer answerer;
    {
        // As the game does: fontconfig lists only the faces it draws with.
        tintara::Form1::Fonts fonts = tintara::Form1::LayoutFonts();
        if (tintara::KeepOnlyFacesFor(tintara::FamiliesAskedFor(fonts)) > 0) {
            tintara::AskForInstalledFamilies(fonts);
        }
        tintara::Form1 form(fonts);
        form.show();
        // The first show dealt from the clock; deal again from a fixed seed.
        form.Reseed(DealSeed);
        tintara::DealBoard(form);

        QTimer::singleShot(0, &form, [&form, &outcome] {
            outcome = Play(form);
            // Closing the last window ends the event loop.
            form.close();
        });
        status = QApplication::exec();
    }

    const bool ok = status == 0 && outcome.played && answerer.about == 1 &&
                    answerer.exitQuestion == 1 && answerer.other == 0;
    std::fprintf(stderr,
                 "MemcheckSession: %d arrow clicks, counter %s, %d win(s), %d About, %d Exit "
                 "question(s), %d unexpected box(es), event loop status %d: %s\n",
                 ArrowClicks, qPrintable(outcome.counter), answerer.wins, answerer.about,
                 answerer.exitQuestion, answerer.other, status, ok ? "ok" : "FAILED");
    return ok ? 0 : 1;
}

// Answers the real message boxes that the window opens, from a timer, and
// records what each one showed.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <deque>

struct ShownDialog {
    QString title;
    QString text;
    QList<QMessageBox::StandardButton> buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

class DialogAnswerer : public QObject
{
public:
    // Each answer is a button to press, or NoButton to press Escape.
    explicit DialogAnswerer(std::deque<QMessageBox::StandardButton> answers)
        : answers_(std::move(answers))
    {
        connect(&timer_, &QTimer::timeout, this, &DialogAnswerer::Poll);
        timer_.start(5);
    }

    std::vector<ShownDialog> shown;

private:
    void Poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible() || answers_.empty()) {
            return;
        }
        ShownDialog dialog{box->windowTitle(), box->text(), {}, box->icon(), QMessageBox::NoButton};
        for (QAbstractButton* button : box->buttons()) {
            dialog.buttons.push_back(box->standardButton(button));
        }
        if (box->defaultButton() != nullptr) {
            dialog.defaultButton = box->standardButton(box->defaultButton());
        }
        shown.push_back(dialog);
        const QMessageBox::StandardButton answer = answers_.front();
        answers_.pop_front();
        if (answer == QMessageBox::NoButton) {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(box, &escape);
        } else {
            box->button(answer)->click();
        }
    }

    std::deque<QMessageBox::StandardButton> answers_;
    QTimer timer_;
};

// The main window: the board, the target preview, the counter and the six
// buttons. It holds the game's state and gives the rules their platform.
#pragma once

#include "Handlers.h"
#include "Layout.h"
#include "Tintara.h"

#include <QFont>
#include <QWidget>

#include <array>

class QLabel;

namespace tintara
{

class PictureBox;

class Form1 : public QWidget, public form::Events
{
    Q_OBJECT

public:
    // The window's fonts, indexed by layout::Font, one for each of the
    // layout's: every control of that font takes the same one.
    using Fonts = std::array<QFont, layout::Fonts.size() + 1>;
    // The fonts as the layout asks for them: each named face, then its
    // stand-ins, then its generic family.
    [[nodiscard]] static Fonts LayoutFonts();

    explicit Form1(QWidget* parent = nullptr);
    explicit Form1(const Fonts& fonts, QWidget* parent = nullptr);

    // A control of the layout by name ("B1", "cmdUp", "lblNum", …).
    [[nodiscard]] QWidget* Control(std::string_view name) const;
    // Board cell k, 1 to 16.
    [[nodiscard]] PictureBox* Cell(int k) const;
    [[nodiscard]] QLabel* Counter() const;

    // The rules' platform.
    [[nodiscard]] ColorWord CellColor(int k) const override;
    void SetCellColor(int k, ColorWord color) override;
    void SetCounterText(std::string_view text) override;
    Answer MessageBox(std::string_view text, std::string_view title, Buttons buttons) override;
    void Repaint() override;
    [[nodiscard]] float SecondsSinceMidnight() const override;
    void EndProgram() override;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void CreateControls(const Fonts& fonts);
    void ApplyTextColors();
    bool loaded_ = false;

    // The control of each record of the layout table; none for the shape.
    std::array<QWidget*, layout::Controls.size()> controls_{};
};

} // namespace tintara

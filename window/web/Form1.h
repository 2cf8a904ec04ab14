// The main window in a web page: the board, the target preview, the counter
// and the six buttons as elements of the page, made and changed through the
// page library beside this file (Form1.js). It holds the game's state and
// gives the rules their platform; the handlers' steps are the shared form's.
#pragma once

#include "Handlers.h"
#include "Layout.h"
#include "Tintara.h"

#include <array>
#include <cstddef>
#include <string>

namespace tintara
{

class Form1 final : public form::Events
{
public:
    Form1() = default;
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Makes the window's element with its controls, then runs the load event.
    void Create();
    // Shows the window with the focus on cmdUp.
    void Show();
    // An event of the page on the control of record `index` of the layout
    // table, delivered to the shared form; then the page may send the next.
    void HandlePageEvent(std::size_t index, layout::Event event);

    // The rules' platform.
    [[nodiscard]] ColorWord CellColor(int k) const override;
    void SetCellColor(int k, ColorWord color) override;
    void SetCounterText(std::string_view text) override;
    Answer MessageBox(std::string_view text, std::string_view title, Buttons buttons) override;
    void Repaint() override;
    [[nodiscard]] float SecondsSinceMidnight() const override;
    void EndProgram() override;

private:
    // The record of board cell k, 1 to 16.
    [[nodiscard]] static std::size_t Cell(int k);
};

// A colour word as CSS paints it: an RGB word as "#rrggbb", a system colour
// as the CSS system colour that stands for it, resolved by the browser.
[[nodiscard]] std::string CssColor(ColorWord color);

// A font of the window as a CSS font: slant, weight, size in pixels, families;
// empty for none.
[[nodiscard]] const char* CssFont(layout::Font font);

} // namespace tintara

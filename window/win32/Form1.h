// The main window on the Win32 API: the board, the target preview, the counter
// and the six buttons as child windows. It holds the game's state and gives the
// rules their platform; the handlers' steps are the shared form's.
#pragma once

#include "Handlers.h"
#include "Layout.h"
#include "RandomGenerator.h"
#include "Tintara.h"

#include <windows.h>
// The rules' Platform and this window have members of these names; the Win32
// functions are called by their wide names.
#undef MessageBox
#undef IsDialogMessage

#include <array>
#include <string>

namespace tintara
{

class Form1 final : public form::Events
{
public:
    Form1() = default;
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;
    ~Form1() override;

    // Registers the window classes and creates the window, still hidden, with
    // its controls, then runs the load event. False where the system refused,
    // with its error code left for GetLastError.
    bool Create(HINSTANCE instance);
    // Shows the window with the focus on cmdUp.
    void Show(int how);

    [[nodiscard]] HWND Window() const { return hwnd_; }
    // Whether a message is the dialogue navigation of the window (Tab, Space,
    // Enter), which it has then handled.
    bool IsDialogMessage(MSG& message);

    // The rules' platform.
    GameState& State() override { return state_; }
    [[nodiscard]] ColorWord CellColor(int k) const override;
    void SetCellColor(int k, ColorWord color) override;
    void SetCounterText(std::string_view text) override;
    Answer MessageBox(std::string_view text, std::string_view title, Buttons buttons) override;
    void Repaint() override;
    float NextRandom() override;
    void Reseed(float seed) override;
    [[nodiscard]] float SecondsSinceMidnight() const override;
    void EndProgram() override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    bool CreateControls();
    // Places the controls and makes the fonts for the window's density.
    void LayOut();
    void MakeFonts();
    void FreeFonts();
    [[nodiscard]] SIZE WindowSizeFor(int dpi) const;
    void Paint();
    void DrawArrow(const DRAWITEMSTRUCT& item) const;
    void OnCommand(int id, int code);
    [[nodiscard]] HWND Control(std::string_view name) const;
    [[nodiscard]] HWND Cell(int k) const;

    HWND hwnd_ = nullptr;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    // The control of each record of the layout table; none for the shape.
    std::array<HWND, layout::Controls.size()> controls_{};
    std::array<HFONT, 6> fonts_{};
    // Whether "Wingdings 3" is installed, so that the arrows are its glyphs.
    bool symbolFace_ = false;
    HWND lastFocus_ = nullptr;

    GameState state_;
    RandomGenerator random_;
};

} // namespace tintara

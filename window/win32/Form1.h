// The main window on the Win32 API: the board, the target preview, the counter
// and the six buttons as child windows. It holds the game's state and gives the
// rules their platform; the handlers' steps are the shared form's.
#pragma once

#include "Handlers.h"
#include "Layout.h"
#include "Owned.h"
#include "Tintara.h"

#include <windows.h>

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
    bool HandleDialogKey(MSG& message);

    // The rules' platform.
    [[nodiscard]] ColorWord CellColor(int k) const override;
    void SetCellColor(int k, ColorWord color) override;
    void SetCounterText(std::string_view text) override;
// The SDK's MessageBox names MessageBoxW; here it is the rules' member.
#pragma push_macro("MessageBox")
#undef MessageBox
    Answer MessageBox(std::string_view text, std::string_view title, Buttons buttons) override;
#pragma pop_macro("MessageBox")
    void Repaint() override;
    [[nodiscard]] float SecondsSinceMidnight() const override;
    void EndProgram() override;

private:
    // Control identifiers: this plus the control's place in the layout table.
    static constexpr int FirstId = 100;

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    // Reports a failure that stopped a handler, and ends the program.
    void Fail(const char* what);
    // A change of the focus and keyboard cues the window shows (UIS_SET or
    // UIS_CLEAR of UISF_HIDEFOCUS, UISF_HIDEACCEL).
    void ChangeCues(int action, int flags);

    bool CreateControls();
    // Places the controls and makes the fonts, the arrows' images and the
    // window's icons for the window's density.
    void LayOut();
    void MakeFonts();
    // The arrows in the button text colour, again whenever it may change.
    void MakeArrows();
    void LoadIcons();
    [[nodiscard]] SIZE WindowSizeFor(int dpi) const;
    void Paint();
    void OnCommand(int id, int code, HWND from);
    [[nodiscard]] HWND Cell(int k) const;

    HWND hwnd_ = nullptr;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    // The control of each record of the layout table; none for the shape.
    std::array<HWND, layout::Controls.size()> controls_{};
    // The font of each layout::Font, none for Font::None.
    using Fonts = std::array<OwnedFont, layout::Fonts.size() + 1>;
    Fonts fonts_;
    // The image of each control that shows one: the arrows.
    std::array<OwnedIcon, layout::Controls.size()> images_;
    // The window's own icons, big and small, loaded for its density.
    std::array<OwnedIcon, 2> icons_;
    HWND lastFocus_ = nullptr;
    // The cues the window hides (UISF_HIDEFOCUS, UISF_HIDEACCEL). The window
    // keeps them itself, as well as telling the system, for the picture boxes:
    // not every system that runs Windows programs keeps them (Wine does not).
    int cues_ = 0;
    bool failed_ = false;
};

} // namespace tintara

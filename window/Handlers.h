// The bodies of the main window's eight event handlers. They need only the
// rules' Platform, so every front end runs the same steps: each front end
// creates the controls, delivers the events here and implements Platform.
#pragma once

#include "Layout.h"
#include "RandomGenerator.h"
#include "Tintara.h"

#include <cstddef>
#include <string_view>

namespace tintara::form
{

// The texts of the window's own two dialogues.
inline constexpr std::string_view ExitTitle = "Attention!";
inline constexpr std::string_view ExitText = "Maybe will you play once again?(NO - Exit)";
inline constexpr std::string_view AboutTitle = "About the game";
inline constexpr std::string_view AboutText = "Tintara has made by Orlandek";

// The load event, before the window is first shown: reseed from the clock and
// deal.
void Form_Load(Platform& platform);

// The four arrows: slide a tile, then the win test.
Flow cmdUp_Click(Platform& platform);
Flow cmdDown_Click(Platform& platform);
Flow cmdLeft_Click(Platform& platform);
Flow cmdRight_Click(Platform& platform);

// Exit asks whether to play again: Yes repaints, reseeds, deals and resets
// the count; anything else ends the program.
Flow cmdExit_Click(Platform& platform);

// About shows its message and changes nothing.
void cmdAbout_Click(Platform& platform);

// The red preview swatch's shortcut to the win announcement.
Flow Picture10_DblClick(Platform& platform);

// The window as every front end derives it: the rules' platform, with the
// player's events delivered to the steps above. Once a No has ended the
// program no event runs, though the window may still deliver one that was
// queued.
class Events : public Platform
{
public:
    void Form_Load();

    // The one entry of every front end's events: an event on the control of
    // record `record` of the layout table runs the action the record names
    // for that event (a click on an arrow, About or Exit, a double-click on
    // the red preview swatch). Every other event is ignored.
    void Deliver(std::size_t record, layout::Event event);

    // Whether a No has ended the program.
    [[nodiscard]] bool HasEnded() const { return ended_; }

    // The state the rules keep between events, and the random generator: the
    // window owns both, on every front end alike.
    GameState& State() override { return state_; }
    float NextRandom() override { return random_.Next(); }
    void Reseed(float seed) override { random_.Reseed(seed); }

protected:
    // The front end's EndProgram says so first.
    void MarkEnded() { ended_ = true; }

private:
    bool ended_ = false;
    GameState state_;
    RandomGenerator random_;
};

// The name a screen reader speaks for an arrow button, in place of its glyph.
[[nodiscard]] std::string_view ArrowName(Direction direction);

} // namespace tintara::form

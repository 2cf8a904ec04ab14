#include "Handlers.h"

namespace tintara::form
{

void Form_Load(Platform& platform)
{
    ReseedFromClock(platform);
    DealBoard(platform);
}

Flow cmdUp_Click(Platform& platform)
{
    return ArrowClick(platform, Direction::Up);
}

Flow cmdDown_Click(Platform& platform)
{
    return ArrowClick(platform, Direction::Down);
}

Flow cmdLeft_Click(Platform& platform)
{
    return ArrowClick(platform, Direction::Left);
}

Flow cmdRight_Click(Platform& platform)
{
    return ArrowClick(platform, Direction::Right);
}

Flow cmdExit_Click(Platform& platform)
{
    if (platform.MessageBox(ExitText, ExitTitle, Buttons::YesNo) != Answer::Yes) {
        platform.EndProgram();
        return Flow::Ended;
    }
    platform.Repaint();
    ReseedFromClock(platform);
    DealBoard(platform);
    ResetCount(platform);
    return Flow::Continue;
}

void cmdAbout_Click(Platform& platform)
{
    static_cast<void>(platform.MessageBox(AboutText, AboutTitle, Buttons::Ok));
}

Flow Picture10_DblClick(Platform& platform)
{
    return AnnounceWin(platform);
}

void Events::Form_Load()
{
    form::Form_Load(*this);
}

void Events::Deliver(std::size_t record, layout::Event event)
{
    if (ended_ || record >= layout::Controls.size() || layout::Controls[record].on != event) {
        return;
    }
    switch (layout::Controls[record].action) {
    case layout::Action::None:
        break;
    case layout::Action::Up:
        static_cast<void>(cmdUp_Click(*this));
        break;
    case layout::Action::Down:
        static_cast<void>(cmdDown_Click(*this));
        break;
    case layout::Action::Left:
        static_cast<void>(cmdLeft_Click(*this));
        break;
    case layout::Action::Right:
        static_cast<void>(cmdRight_Click(*this));
        break;
    case layout::Action::About:
        cmdAbout_Click(*this);
        break;
    case layout::Action::Exit:
        static_cast<void>(cmdExit_Click(*this));
        break;
    case layout::Action::Announce:
        static_cast<void>(Picture10_DblClick(*this));
        break;
    }
}

std::string_view ArrowName(Direction direction)
{
    switch (direction) {
    case Direction::Up:
        return "Up";
    case Direction::Down:
        return "Down";
    case Direction::Left:
        return "Left";
    case Direction::Right:
        break;
    }
    return "Right";
}

} // namespace tintara::form

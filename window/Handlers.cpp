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

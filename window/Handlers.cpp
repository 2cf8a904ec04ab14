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

void Events::cmdUp_Click()
{
    if (!ended_) {
        static_cast<void>(form::cmdUp_Click(*this));
    }
}

void Events::cmdDown_Click()
{
    if (!ended_) {
        static_cast<void>(form::cmdDown_Click(*this));
    }
}

void Events::cmdLeft_Click()
{
    if (!ended_) {
        static_cast<void>(form::cmdLeft_Click(*this));
    }
}

void Events::cmdRight_Click()
{
    if (!ended_) {
        static_cast<void>(form::cmdRight_Click(*this));
    }
}

void Events::cmdExit_Click()
{
    if (!ended_) {
        static_cast<void>(form::cmdExit_Click(*this));
    }
}

void Events::cmdAbout_Click()
{
    if (!ended_) {
        form::cmdAbout_Click(*this);
    }
}

void Events::Picture10_DblClick()
{
    if (!ended_) {
        static_cast<void>(form::Picture10_DblClick(*this));
    }
}

void Events::Click(std::string_view name)
{
    if (name == "cmdUp") {
        cmdUp_Click();
    } else if (name == "cmdDown") {
        cmdDown_Click();
    } else if (name == "cmdLeft") {
        cmdLeft_Click();
    } else if (name == "cmdRight") {
        cmdRight_Click();
    } else if (name == "cmdExit") {
        cmdExit_Click();
    } else if (name == "cmdAbout") {
        cmdAbout_Click();
    }
}

void Events::DoubleClick(std::string_view name)
{
    if (name == "Picture10") {
        Picture10_DblClick();
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

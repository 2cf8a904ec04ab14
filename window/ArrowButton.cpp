#include "ArrowButton.h"

#include <QPainterPath>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace tintara
{

namespace
{

// An arrow pointing up, in a box of 1 × 1 centred on the origin: a head the
// full width and half the height, on a stem of a third of the width.
QPainterPath UpArrow()
{
    QPainterPath path;
    path.moveTo(0.0, -0.5);
    path.lineTo(0.5, 0.0);
    path.lineTo(1.0 / 6.0, 0.0);
    path.lineTo(1.0 / 6.0, 0.5);
    path.lineTo(-1.0 / 6.0, 0.5);
    path.lineTo(-1.0 / 6.0, 0.0);
    path.lineTo(-0.5, 0.0);
    path.closeSubpath();
    return path;
}

qreal TurnFor(Direction direction)
{
    switch (direction) {
    case Direction::Up:
        return 0.0;
    case Direction::Right:
        return 90.0;
    case Direction::Down:
        return 180.0;
    case Direction::Left:
        break;
    }
    return 270.0;
}

} // namespace

ArrowButton::ArrowButton(Direction direction, QWidget* parent)
    : QPushButton(parent), direction_(direction)
{
}

void ArrowButton::paintEvent(QPaintEvent* /*event*/)
{
    // The button's bevel and focus frame, then the arrow on its face; it
    // shifts with the face while the button is held down. There is no
    // caption, so no font is loaded for it.
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal size = 0.6 * std::min(width(), height());
    const qreal shift = isDown() ? 1.0 : 0.0;
    painter.translate(width() / 2.0 + shift, height() / 2.0 + shift);
    painter.rotate(TurnFor(direction_));
    painter.scale(size, size);
    painter.setPen(Qt::NoPen);
    painter.setBrush(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawPath(UpArrow());
}

} // namespace tintara

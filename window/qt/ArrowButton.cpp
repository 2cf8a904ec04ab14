#include "ArrowButton.h"

#include "Look.h"

#include <QPainterPath>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace tintara
{

namespace
{

// The arrow of a direction, in a box of 1 × 1 centred on the origin.
QPainterPath Arrow(Direction direction)
{
    const auto points = look::ArrowFor(direction);
    QPainterPath path;
    path.moveTo(points[0].x, points[0].y);
    for (std::size_t i = 1; i < points.size(); ++i) {
        path.lineTo(points[i].x, points[i].y);
    }
    path.closeSubpath();
    return path;
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
    const qreal size = look::ArrowShare * std::min(width(), height());
    const qreal shift = isDown() ? 1.0 : 0.0;
    painter.translate(width() / 2.0 + shift, height() / 2.0 + shift);
    painter.scale(size, size);
    painter.setPen(Qt::NoPen);
    painter.setBrush(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawPath(Arrow(direction_));
}

} // namespace tintara

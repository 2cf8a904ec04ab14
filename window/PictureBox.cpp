#include "PictureBox.h"

#include "SystemColors.h"

#include <QMouseEvent>
#include <QPainter>
#include <QtWidgets/qdrawutil.h>

namespace tintara
{

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::SetBackColor(ColorWord color)
{
    backColor_ = color;
    setAccessibleDescription(ColorName(color));
    update();
}

void PictureBox::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QPalette& colors = palette();
    // The two-pixel sunken edge of a picture box: shadow and dark shadow at the
    // top and left, light and button face at the bottom and right.
    qDrawWinPanel(&painter, rect(), colors, true);
    painter.fillRect(rect().adjusted(2, 2, -2, -2), ResolveColor(backColor_, colors));
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        emit doubleClicked();
    }
}

} // namespace tintara

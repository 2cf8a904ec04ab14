#include "PictureBox.h"

#include "SystemColors.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>

namespace tintara
{

namespace
{

// What a screen reader hears of a picture box: its name, and its colour as
// its description, both read when asked. Making and dealing the 32 boxes so
// sends no event, unless a screen reader listens.
class PictureBoxAccessible : public QAccessibleWidget
{
public:
    explicit PictureBoxAccessible(PictureBox* box) : QAccessibleWidget(box) {}

    [[nodiscard]] QString text(QAccessible::Text what) const override
    {
        const auto* box = static_cast<const PictureBox*>(widget());
        switch (what) {
        case QAccessible::Name:
            return box->objectName();
        case QAccessible::Description:
            return ColorName(box->BackColor());
        default:
            return QAccessibleWidget::text(what);
        }
    }
};

QAccessibleInterface* AccessibleOf(const QString& className, QObject* object)
{
    if (className == QLatin1String(PictureBox::staticMetaObject.className())) {
        return new PictureBoxAccessible(static_cast<PictureBox*>(object));
    }
    return nullptr;
}

} // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
    static const bool accessible = (QAccessible::installFactory(AccessibleOf), true);
    (void)accessible;
    setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::SetBackColor(ColorWord color)
{
    backColor_ = color;
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    }
    update();
}

void PictureBox::paintEvent(QPaintEvent* /*event*/)
{
    // The two-pixel sunken edge of a picture box: shadow and dark shadow at the
    // top and left, light and button face at the bottom and right. Filled
    // rectangles rather than lines, so that each pixel of the edge stays a
    // solid block on a scaled screen.
    QPainter painter(this);
    const QPalette& colors = palette();
    const int w = width();
    const int h = height();
    painter.fillRect(0, 0, w - 1, 1, colors.dark());
    painter.fillRect(0, 0, 1, h - 1, colors.dark());
    painter.fillRect(0, h - 1, w, 1, colors.light());
    painter.fillRect(w - 1, 0, 1, h, colors.light());
    painter.fillRect(1, 1, w - 3, 1, colors.shadow());
    painter.fillRect(1, 1, 1, h - 3, colors.shadow());
    painter.fillRect(1, h - 2, w - 2, 1, colors.midlight());
    painter.fillRect(w - 2, 1, 1, h - 2, colors.midlight());
    painter.fillRect(2, 2, w - 4, h - 4, ResolveColor(backColor_, colors));
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && doubleClick_) {
        doubleClick_();
    }
}

} // namespace tintara

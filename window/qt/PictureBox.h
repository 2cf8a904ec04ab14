// A picture box: a sunken edge around a rectangle of its background colour.
// It keeps the colour word it was given and returns it unchanged; a system
// colour is looked up only when painting.
#pragma once

#include "Tintara.h"

#include <QWidget>

namespace tintara
{

class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    [[nodiscard]] ColorWord BackColor() const { return backColor_; }
    void SetBackColor(ColorWord color);

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    ColorWord backColor_ = 0;
};

} // namespace tintara

// A picture box: a sunken edge around a rectangle of its background colour.
// It keeps the colour word it was given and returns it unchanged; a system
// colour is looked up only when painting.
#pragma once

#include "Tintara.h"

#include <QWidget>

#include <functional>
#include <utility>

namespace tintara
{

class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    [[nodiscard]] ColorWord BackColor() const { return backColor_; }
    void SetBackColor(ColorWord color);

    // What a double click with the left button does: a plain call, where a
    // signal would keep a list of connections for each of the 32 boxes.
    void OnDoubleClick(std::function<void()> handler) { doubleClick_ = std::move(handler); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    ColorWord backColor_ = 0;
    std::function<void()> doubleClick_;
};

} // namespace tintara

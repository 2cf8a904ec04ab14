// A push button whose face is a solid arrow, drawn as a shape so that it
// stays sharp at any scale and needs no symbol font.
#pragma once

#include "Tintara.h"

#include <QPushButton>

namespace tintara
{

class ArrowButton : public QPushButton
{
    Q_OBJECT

public:
    ArrowButton(Direction direction, QWidget* parent = nullptr);

    [[nodiscard]] Direction ArrowDirection() const { return direction_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Direction direction_;
};

} // namespace tintara

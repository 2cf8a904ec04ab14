// The program's icon: six coloured bands on a staircase, 32 × 32.
#pragma once

#include <QImage>

namespace tintara
{

QImage AppIconImage();

} // namespace tintara

// The rounded frame the strips share: a dark blue card that turns lighter blue with a
// bright edge while the strip is the selected one.
#pragma once

#include <QRect>

#include "ui/foundation/colour.h"

class QPainter;

namespace vorante {

struct strip_frame_colours {
  rgb565 background;
  rgb565 border;
  int border_alpha;  // 0..255
};

constexpr strip_frame_colours strip_frame_normal{0x1988, 0x1988, 255};
constexpr strip_frame_colours strip_frame_selected{0x2ACF, 0x4D3A, 255};
constexpr int strip_frame_radius = 4;

void paint_strip_frame(QPainter& p, QRect r, const strip_frame_colours& c);

}  // namespace vorante

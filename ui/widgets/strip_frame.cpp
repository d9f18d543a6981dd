#include "ui/widgets/strip_frame.h"

#include <QPainter>

namespace vorante {

void paint_strip_frame(QPainter& p, QRect r, const strip_frame_colours& c) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(to_qcolor(c.border, c.border_alpha), 1));
  p.setBrush(to_qcolor(c.background));
  p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), strip_frame_radius, strip_frame_radius);
  p.restore();
}

}  // namespace vorante

#include "ui/widgets/strip_frame.h"

#include <QPainter>

#include "ui/widgets/box_cache.h"
namespace vorante {

void paint_strip_frame(QPainter& p, QRect r, const strip_frame_colours& c) {
  p.drawImage(r.topLeft(), rounded_box(r.size(), {c.background, c.background, true, c.border, c.border_alpha,
                                                  1, strip_frame_radius}));
}

}  // namespace vorante

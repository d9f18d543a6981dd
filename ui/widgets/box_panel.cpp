#include "ui/widgets/box_panel.h"

#include <QPainter>

namespace vorante {

void box_panel::paintEvent(QPaintEvent* event) {
  (void)event;
  QPainter p(this);
  p.drawImage(QPoint(0, 0), rounded_box(size(), look_));
}

}  // namespace vorante

#include "ui/widgets/touch_slider.h"

#include <QMouseEvent>
#include <algorithm>

#include "ui/foundation/assign.h"

namespace vorante {

touch_slider::touch_slider(QWidget* parent, int min, int max, int initial)
    : QWidget(parent), min_(min), max_(max), value_(std::clamp(initial, min, max)) {}

void touch_slider::set_value(int value) {
  const int v = std::clamp(value, min_, max_);
  if (assign_changed(value_, v)) update();
}

void touch_slider::take_value(int value) {
  if (!assign_changed(value_, value)) return;
  update();
  emit value_changed(value);
}

void touch_slider::set_drags(bool on) {
  drags_ = on;
  dragging_ = false;
}

void touch_slider::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !drags_) {
    e->ignore();
    return;
  }
  dragging_ = true;
  drag_started(e->position().x());
  update();  // a pressed knob may look different
}

void touch_slider::mouseMoveEvent(QMouseEvent* e) {
  if (dragging_) dragged_to(e->position().x());
}

void touch_slider::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  dragging_ = false;
  update();
}

void touch_slider::hideEvent(QHideEvent* e) {
  dragging_ = false;
  QWidget::hideEvent(e);
}

}  // namespace vorante

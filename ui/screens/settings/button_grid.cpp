#include "ui/screens/settings/button_grid.h"

#include <QGridLayout>
#include <algorithm>

namespace vorante {

namespace {

// Hidden on purpose (a channel not fitted), not merely not shown yet.
bool left_out(const QWidget* w) { return w->isHidden() && w->testAttribute(Qt::WA_WState_ExplicitShowHide); }

}  // namespace

flat_toggle::flat_toggle(QWidget* parent, rgb565 released, bool border)
    : toggle_button(parent), released_(released), border_(border) {}

face_look flat_toggle::look(bool highlighted) const {
  if (highlighted) {
    face_look l = toggle_button::look(true);
    if (!border_) l.border_alpha = 0;
    return l;
  }
  return {released_, released_, released_, border_ ? 255 : 0};
}

button_grid::button_grid(QWidget* parent, int gap, height_rule rule)
    : QWidget(parent), grid_(new QGridLayout(this)), rule_(std::move(rule)) {
  grid_->setContentsMargins(0, 0, 0, 0);
  grid_->setSpacing(gap);
  resize_timer_.setSingleShot(true);
  resize_timer_.setInterval(grid_resize_delay_ms);
  connect(&resize_timer_, &QTimer::timeout, this, &button_grid::fit_heights);
}

flat_toggle* button_grid::add_button() {
  auto* b = new flat_toggle(this, group_button_colour, true);
  b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  buttons_.push_back(b);
  return b;
}

void button_grid::arrange(int columns) {
  for (flat_toggle* b : buttons_) grid_->removeWidget(b);
  if (columns < 1) columns = 1;
  int n = 0;
  for (flat_toggle* b : buttons_) {
    if (left_out(b)) continue;
    grid_->addWidget(b, n / columns, n % columns);
    ++n;
  }
  // Every column of the grid shares the width, also those a short grid leaves empty.
  for (int c = 0; c < std::max(columns, grid_->columnCount()); ++c) {
    grid_->setColumnStretch(c, c < columns ? 1 : 0);
    grid_->setColumnMinimumWidth(c, 0);
  }
}

void button_grid::fit_heights() {
  for (flat_toggle* b : buttons_) {
    if (left_out(b)) continue;
    const int h = rule_(b->width());
    for (flat_toggle* other : buttons_) other->setFixedHeight(h);
    return;
  }
}

void button_grid::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  resize_timer_.start();
}

}  // namespace vorante

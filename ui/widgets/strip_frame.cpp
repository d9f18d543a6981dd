#include "ui/widgets/strip_frame.h"

#include <QPainter>

#include "ui/foundation/assign.h"
#include "ui/widgets/box_cache.h"

namespace vorante {

namespace {

constexpr strip_frame_colours strip_frame_selected{0x2ACF, 0x4D3A, 255};
constexpr int strip_frame_radius = 4;

}  // namespace

void paint_strip_frame(QPainter& p, QRect r, const strip_frame_colours& c) {
  p.drawImage(r.topLeft(), rounded_box(r.size(), {c.background, c.background, true, c.border, c.border_alpha,
                                                  1, strip_frame_radius}));
}

framed_strip::framed_strip(QWidget* parent, QSize default_size, QSizePolicy::Policy upright,
                           const strip_frame_colours& frame)
    : QWidget(parent), default_size_(default_size), frame_(frame) {
  setSizePolicy(QSizePolicy::Preferred, upright);
  resize(default_size);
}

void framed_strip::set_selected(bool on) {
  if (assign_changed(selected_, on)) update();
}

void framed_strip::set_frame(const strip_frame_colours& colours) {
  frame_ = colours;
  update();
}

void framed_strip::paintEvent(QPaintEvent*) {
  QPainter p(this);
  paint_strip_frame(p, rect(), selected_ ? strip_frame_selected : frame_);
}

}  // namespace vorante

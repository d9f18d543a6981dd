#include "ui/widgets/gr_meter.h"

#include <QPainter>
#include <algorithm>
#include <cstdint>

#include "ui/foundation/assign.h"

namespace vorante {

namespace {

constexpr rgb565 gr_meter_background = 0x6000;
constexpr rgb565 gr_meter_indicator = 0xC800;
constexpr QSize default_size{12, 200};
}

QRect gr_meter_fill(QRect inner, int min, int max, int value) {
  if (max <= min || inner.isEmpty()) return {};
  const std::int64_t span = std::int64_t{max} - min;
  const std::int64_t filled = (std::int64_t{std::clamp(value, min, max)} - min) * inner.height() / span;
  return QRect(inner.left(), inner.top(), inner.width(), static_cast<int>(filled));
}

gr_meter::gr_meter(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  resize(default_size);
}

QSize gr_meter::sizeHint() const { return default_size; }

void gr_meter::set_range(int min, int max) {
  if (min >= max) return;
  const int v = std::clamp(value_, min, max);
  if (min == min_ && max == max_ && v == value_) return;
  min_ = min;
  max_ = max;
  value_ = v;
  update();
}

void gr_meter::set_value(int value) {
  const int v = std::clamp(value, min_, max_);
  if (assign_changed(value_, v)) update();
}

void gr_meter::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  const QRectF r(rect());
  const qreal radius = std::min(r.width(), r.height()) / 2;
  p.setBrush(to_qcolor(gr_meter_background));
  p.drawRoundedRect(r, radius, radius);

  const QRect fill = gr_meter_fill(rect(), min_, max_, value_);
  if (fill.isEmpty()) return;
  const QRectF f(fill);
  const qreal fr = std::min(f.width(), f.height()) / 2;
  p.setBrush(to_qcolor(gr_meter_indicator));
  p.drawRoundedRect(f, fr, fr);
}

}  // namespace vorante

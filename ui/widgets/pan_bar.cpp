#include "ui/widgets/pan_bar.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "ui/foundation/assign.h"
#include "ui/foundation/fader_math.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr rgb565 pan_track_colour = 0x9CD3;
constexpr rgb565 pan_indicator_colour = 0xF81F;
constexpr int pan_min = -100;
constexpr int pan_text_px = 12;
constexpr QSize default_size{96, 32};
constexpr double track_height_ratio = 0.3;  // of the inner height
constexpr double height_per_line = 1 / 0.6;
constexpr int text_gap = 4;                 // between "L"/"R" and the track
constexpr int knob_height_factor = 3;
}  // namespace

pan_bar::pan_bar(QWidget* parent) : touch_slider(parent, pan_min, pan_max, 0) {
  setFont(ui_font(pan_text_px));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  resize(default_size);
}

QSize pan_bar::sizeHint() const {
  return {default_size.width(), static_cast<int>(QFontMetrics(font()).height() * height_per_line)};
}

QSize pan_bar::minimumSizeHint() const { return {0, sizeHint().height()}; }

int pan_bar::side_text_width() const {
  const QFontMetrics fm(font());
  return std::max(fm.horizontalAdvance('L'), fm.horizontalAdvance('R')) + text_gap;
}

pan_geometry pan_bar::geometry_of(int value) const {
  pan_geometry g;
  const double side = side_text_width();
  const double track_h = std::max(2.0, height() * track_height_ratio);
  const double left = side + track_h / 2;  // room for half a knob at either end
  const double right = width() - side - track_h / 2;
  const double w = std::max(0.0, right - left);
  g.track = QRectF(left, (height() - track_h) / 2, w, track_h);
  g.half_width = w / 2;
  const double centre = g.track.center().x();
  const double x = pan_value_x(value, centre, g.half_width, pan_min, pan_max);
  g.indicator = QRectF(std::min(centre, x), g.track.y(), std::abs(x - centre), track_h);
  const double knob_h = std::min<double>(height(), track_h * knob_height_factor);
  g.knob = QRectF(x - track_h / 2, (height() - knob_h) / 2, track_h, knob_h);
  return g;
}

void pan_bar::set_clickable(bool on) {
  if (!assign_changed(clickable_, on)) return;
  set_drags(on);
  setAttribute(Qt::WA_TransparentForMouseEvents, !on);
}

void pan_bar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setFont(font());
  p.setPen(to_qcolor(theme::white));
  const int side = side_text_width();
  p.drawText(QRect(0, 0, side - text_gap, height()), Qt::AlignLeft | Qt::AlignVCenter, "L");
  p.drawText(QRect(width() - side + text_gap, 0, side - text_gap, height()),
             Qt::AlignRight | Qt::AlignVCenter, "R");

  const pan_geometry g = geometry_of(value());
  p.setPen(Qt::NoPen);
  const qreal r = g.track.height() / 2;
  p.setBrush(to_qcolor(pan_track_colour));
  p.drawRoundedRect(g.track, r, r);
  if (g.indicator.width() > 0) p.fillRect(g.indicator, to_qcolor(pan_indicator_colour));
  p.setBrush(to_qcolor(theme::white));
  const qreal kr = g.knob.width() / 2;
  p.drawRoundedRect(g.knob, kr, kr);
}

void pan_bar::follow_pointer(double x) {
  const pan_geometry g = geometry_of(value());
  take_value(pan_value_at(x, g.track.center().x(), g.half_width, pan_min, pan_max));
}

}  // namespace vorante

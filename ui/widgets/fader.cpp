#include "ui/widgets/fader.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

#include "ui/foundation/assign.h"
#include "ui/foundation/res_images.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {
constexpr QSize default_size{130, 130};
constexpr rgb565 plain_knob_colour = rgb565_from_rgb(0x4C, 0xAF, 0x50);
constexpr int plain_knob_radius = 4;
constexpr int glow_layers = 4;  // how far the glow spreads, px
constexpr const char* widest_tick_label = "-00";

// A soft halo round `r`: rings fading outwards.
void paint_glow(QPainter& p, const QRectF& r, qreal radius, QColor colour, int alpha) {
  if (alpha <= 0) return;
  p.setPen(Qt::NoPen);
  for (int i = glow_layers; i >= 1; --i) {
    QColor c = colour;
    c.setAlpha(alpha * (glow_layers + 1 - i) / (2 * glow_layers));
    p.setBrush(c);
    p.drawRoundedRect(r.adjusted(-i, -i, i, i), radius + i, radius + i);
  }
}
}  // namespace

fader::fader(QWidget* parent) : QWidget(parent) {
  setFont(ui_font(default_text_px));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  resize(default_size);
  set_knob(fader_knob_normal);
}

QSize fader::sizeHint() const { return default_size; }

std::span<const double> fader::law() const {
  if (mode_ == fader_mode::custom) return custom_;
  return fader_law_of(mode_);
}

double fader::permille() const {
  if (mode_ == fader_mode::range) return range_permille(int_value_, min_, max_);
  return law_permille(law(), value_);
}

void fader::set_mode(fader_mode mode) {
  mode_ = mode;
  update();
}

void fader::set_law(int kind) {
  if (kind != 0 && kind != 1) return;
  const fader_mode m = kind == 0 ? fader_mode::law_61 : fader_mode::law_49;
  if (m == mode_) return;
  set_mode(m);
}

void fader::set_table(std::span<const double> table) {
  auto same = [&](std::span<const double> law) { return std::ranges::equal(table, law); };
  if (table.empty() || same(fader_law_61())) {
    set_mode(fader_mode::law_61);
  } else if (same(fader_law_49())) {
    set_mode(fader_mode::law_49);
  } else {
    custom_.assign(table.begin(), table.end());
    set_mode(fader_mode::custom);
  }
}

void fader::set_range(int min, int max) {
  if (min >= max) return;
  min_ = min;
  max_ = max;
  int_value_ = std::clamp(int_value_, min_, max_);
  value_ = int_value_;
  set_mode(fader_mode::range);
}

void fader::set_value(double value) {
  if (std::isnan(value)) return;
  double v = value;
  int iv = static_cast<int>(std::lround(std::clamp(value, -1e9, 1e9)));
  if (mode_ == fader_mode::range) {
    iv = std::clamp(iv, min_, max_);
    v = iv;
  }
  if (v == value_ && iv == int_value_) return;
  value_ = v;
  int_value_ = iv;
  update();
}

void fader::set_knob(std::string_view path) {
  knob_ = image_file_load(path);
  update();
}

void fader::set_track_width(int px) {
  if (assign_changed(track_width_, std::max(1, px))) update();
}
void fader::set_tick_length(int px) {
  if (assign_changed(tick_length_, std::max(0, px))) update();
}
void fader::set_tick_gap(int px) {
  if (assign_changed(tick_gap_, px)) update();
}
void fader::set_label_gap(int px) {
  if (assign_changed(label_gap_, px)) update();
}
void fader::set_track_colour(rgb565 c) {
  if (assign_changed(track_colour_, c)) update();
}
void fader::set_fill_colour(rgb565 c) {
  if (assign_changed(fill_colour_, c)) update();
}
void fader::set_tick_colour(rgb565 c) {
  if (assign_changed(tick_colour_, c)) update();
}
void fader::set_highlight_radius(int px) {
  if (assign_changed(highlight_radius_, std::max(0, px))) update();
}
void fader::set_track_offset(int px) {
  if (assign_changed(track_offset_, px)) update();
}
void fader::set_show_labels(bool on) {
  if (assign_changed(show_labels_, on)) update();
}
void fader::set_centred(bool on) {
  if (assign_changed(centred_, on)) update();
}
void fader::set_fill(bool on) {
  if (assign_changed(fill_, on)) update();
}

void fader::set_glow(int glow) {
  const int g = std::clamp(glow, 0, 255);
  if (assign_changed(glow_, g)) update();
}

void fader::set_padding(int top, int bottom) {
  if (top == pad_top_ && bottom == pad_bottom_) return;
  pad_top_ = std::max(0, top);
  pad_bottom_ = std::max(0, bottom);
  update();
}

int fader::label_width() const {
  const bool db_law = mode_ == fader_mode::law_61 || mode_ == fader_mode::law_49;
  if (!show_labels_ || !db_law) return 0;
  return QFontMetrics(font()).horizontalAdvance(widest_tick_label);
}

knob_travel fader::travel() const {
  return fader_knob_travel(height(), pad_top_, pad_bottom_, knob_.isNull() ? 0 : knob_.height());
}

fader_track fader::track() const {
  return fader_track_layout({width(), height(), pad_top_, pad_bottom_, label_width(), label_gap_,
                             track_width_, track_offset_, centred_});
}

QRect fader::knob_geometry() const {
  const int y = travel_y(travel(), permille());
  const int_rect k = knob_rect(track().centre_x, y, knob_.width(), knob_.height());
  return QRect(k.x, k.y, k.w, k.h);
}

void fader::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const fader_track tr = track();
  const knob_travel tv = travel();
  const QRectF track_r(tr.rect.x, tr.rect.y, tr.rect.w, tr.rect.h);
  const qreal track_radius = tr.rect.w / 2.0;

  p.setPen(Qt::NoPen);
  p.setBrush(to_qcolor(track_colour_));
  p.drawRoundedRect(track_r, track_radius, track_radius);

  // Ticks either side of the track, labels on the left.
  const fader_scale scale = fader_ticks(mode_);
  const int gap = fader_tick_gap(tick_gap_, knob_.width(), tick_length_, track_width_);
  const QColor tick = to_qcolor(tick_colour_);
  const bool labels = label_width() > 0;
  const QFontMetrics fm(font());
  p.setFont(font());
  for (int i = 0; i < scale.count; ++i) {
    const int y = travel_y(tv, scale.ticks[i].permille);
    const int left_end = tr.rect.x - gap;                  // exclusive
    const int right_start = tr.rect.x + tr.rect.w + gap;
    p.fillRect(QRect(left_end - tick_length_, y, tick_length_, 1), tick);
    p.fillRect(QRect(right_start, y, tick_length_, 1), tick);
    if (!labels) continue;
    std::array<char, 8> buf{};
    const QString text = QString::fromUtf8(fader_tick_label(scale.ticks[i].db, buf));
    const int right = left_end - tick_length_ - label_gap_;
    const QRect box(right - 200, y - fm.height() / 2, 200, fm.height());
    p.setPen(tick);
    p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, text);
    p.setPen(Qt::NoPen);
  }

  const QRect knob = knob_geometry();
  const QColor fill = to_qcolor(fill_colour_);
  const int glow_alpha = fader_glow_alpha(glow_);
  if (fill_) {
    const int top = std::clamp(knob.center().y(), tr.rect.y, tr.rect.y + tr.rect.h);
    const QRectF level(track_r.x(), top, track_r.width(), track_r.bottom() - top);
    if (level.height() > 0) {
      paint_glow(p, level, track_radius, fill, glow_alpha);
      p.setBrush(fill);
      p.drawRoundedRect(level, track_radius, track_radius);
    }
  }
  if (dragging_ && fill_ && glow_ != 0) {
    const QRectF halo = QRectF(knob).adjusted(-1, -1, 0, 0);
    paint_glow(p, halo, highlight_radius_, fill, glow_alpha);
    p.setBrush(fill);
    p.drawRoundedRect(halo, highlight_radius_, highlight_radius_);
  }

  if (!knob_.isNull()) {
    p.drawImage(knob.topLeft(), knob_);
  } else {
    // No picture: a small plain knob on the value.
    const int y = travel_y(tv, permille());
    p.setBrush(to_qcolor(plain_knob_colour));
    p.drawRoundedRect(QRectF(tr.centre_x - 10, y - 6, 20, 12), plain_knob_radius, plain_knob_radius);
  }
}

void fader::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    e->ignore();
    return;
  }
  // Anywhere on the fader takes hold of the knob where it stands; only movement moves it.
  dragging_ = true;
  grab_y_ = last_y_ = e->position().toPoint().y();
  grab_permille_ = permille();
  grab_value_ = value_;
  grab_int_ = int_value_;
  update();
  emit pressed();
}

void fader::mouseMoveEvent(QMouseEvent* e) {
  if (!dragging_) return;
  const int y = e->position().toPoint().y();
  if (y == last_y_) return;
  last_y_ = y;

  const double p = grab_permille_ + drag_permille(travel(), y - grab_y_);
  if (mode_ == fader_mode::range) {
    const int iv = y == grab_y_ ? grab_int_ : range_value(p, min_, max_);
    if (iv == int_value_) return;
    int_value_ = iv;
    value_ = iv;
    update();
    emit value_changed(iv);
    return;
  }
  // Back at the grab point the value is exactly what it was, not a rounding of it.
  const double v = y == grab_y_ ? grab_value_ : law_value(law(), p);
  if (!assign_changed(value_, v)) return;
  int_value_ = static_cast<int>(std::lround(v));
  update();
  emit value_changed(v);
}

void fader::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !dragging_) {
    e->ignore();
    return;
  }
  end_drag();
  if (rect().contains(e->position().toPoint())) emit clicked();
}

void fader::end_drag() {
  if (!dragging_) return;
  dragging_ = false;
  update();
}

// A fader that is disabled or hidden mid-drag lets go: no release will come.
void fader::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange && !isEnabled()) end_drag();
  QWidget::changeEvent(e);
}

void fader::hideEvent(QHideEvent* e) {
  end_drag();
  QWidget::hideEvent(e);
}

}  // namespace vorante

#include "ui/widgets/eq_graph.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "app/params/convert.h"
#include "ui/foundation/assign.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

// Opacities of the graph's layers, 0..255.
constexpr int spectrum_opa = 76;
constexpr int dragged_curve_opa = 127;
constexpr int band_handle_opa = 153;
constexpr int dragged_handle_opa = 153;
constexpr int info_box_opa = 76;
constexpr int info_box_radius = 3;
constexpr int dash_on = 4;
constexpr int dash_off = 5;

bool usable_marks(std::span<const eq_mark> marks, bool frequencies) {
  if (marks.size() < 2 || !(marks.front().value < marks.back().value)) return false;
  for (size_t i = 0; i < marks.size(); ++i) {
    if (frequencies && !(marks[i].value > 0)) return false;
    if (i > 0 && marks[i].value < marks[i - 1].value) return false;
  }
  return true;
}

std::vector<eq_mark> marks_or(std::span<const eq_mark> given, std::span<const eq_mark> fallback,
                              bool frequencies) {
  const auto use = usable_marks(given, frequencies) ? given : fallback;
  return {use.begin(), use.end()};
}

// Solid or dashed 1 px lines, pixel exact.
void hline(QPainter& p, int x1, int x2, int y, const QColor& c, bool dashed) {
  if (!dashed) {
    p.fillRect(QRect(QPoint(x1, y), QPoint(x2, y)), c);
    return;
  }
  for (int x = x1; x <= x2; x += dash_on + dash_off)
    p.fillRect(QRect(QPoint(x, y), QPoint(std::min(x + dash_on - 1, x2), y)), c);
}

void vline(QPainter& p, int x, int y1, int y2, const QColor& c, bool dashed) {
  if (!dashed) {
    p.fillRect(QRect(QPoint(x, y1), QPoint(x, y2)), c);
    return;
  }
  for (int y = y1; y <= y2; y += dash_on + dash_off)
    p.fillRect(QRect(QPoint(x, y), QPoint(x, std::min(y + dash_on - 1, y2))), c);
}

}  // namespace

eq_graph::eq_graph(QWidget* parent, std::span<const eq_mark> frequency_marks,
                   std::span<const eq_mark> level_marks)
    : QWidget(parent),
      frequency_marks_(marks_or(frequency_marks, default_eq_frequency_marks(), true)),
      level_marks_(marks_or(level_marks, default_eq_level_marks(), false)),
      font_(ui_font(eq_graph_default_text_px)) {
  refresh_timer_.setSingleShot(true);
  refresh_timer_.setInterval(eq_graph_refresh_ms);
  connect(&refresh_timer_, &QTimer::timeout, this, &eq_graph::run_refresh);
  resize(eq_graph_default_size);
  relayout();
}

// ---- look ----

void eq_graph::set_compact(bool on) {
  if (assign_changed(compact_, on)) relayout();
}

void eq_graph::set_solid_grid(bool on) {
  if (assign_changed(solid_grid_, on)) relayout();
}

void eq_graph::set_colour(rgb565 c) {
  if (!assign_changed(colour_, c)) return;
  rebuild_images();
  update();
}

void eq_graph::set_outline(bool on) {
  if (!assign_changed(outline_, on)) return;
  rebuild_images();
  update();
}

void eq_graph::set_fill_opa(int opa) {
  opa = std::clamp(opa, 0, 255);
  if (!assign_changed(fill_opa_, opa)) return;
  rebuild_images();
  update();
}

void eq_graph::set_text_font(const QFont& f) {
  font_ = f;
  relayout();
}

void eq_graph::set_background(QColor c) {
  background_ = c;
  update();
}

void eq_graph::set_border(QColor c, int width) {
  border_ = c;
  border_width_ = std::max(0, width);
  update();
}

void eq_graph::set_radius(int r) {
  radius_ = std::max(0, r);
  update();
}

// ---- curves ----

template <typename V>
bool eq_graph::set_curve(eq_curve* c, bool (eq_curve::*set)(V), V value) {
  if (!c || !(c->*set)(value)) return false;
  request_refresh();
  return true;
}

int eq_graph::add_highpass(double hz, int type_code) {
  const int id = response_.add_highpass(hz, type_code);
  if (id >= 0) request_refresh();
  return id;
}

int eq_graph::add_lowpass(double hz, int type_code) {
  const int id = response_.add_lowpass(hz, type_code);
  if (id >= 0) request_refresh();
  return id;
}

int eq_graph::add_band(double hz, double gain_db, double q) {
  const int number = response_.add_band(hz, gain_db, q);
  request_refresh();
  return number;
}

void eq_graph::spread_bands(int n) {
  if (n <= 0) return;
  response_.spread_bands(n);
  request_refresh();
}

void eq_graph::reset_bands(int n) {
  // A dragged band is about to go away.
  if (dragged_ && dragged_->kind == curve_kind::band) dragged_.reset();
  response_.reset_bands(n);
  request_refresh();
}

bool eq_graph::set_highpass_frequency(double hz) {
  return set_curve(response_.highpass(), &eq_curve::set_frequency, hz);
}

bool eq_graph::set_highpass_type(int code) {
  return set_curve(response_.highpass(), &eq_curve::set_type, code);
}

bool eq_graph::set_lowpass_frequency(double hz) {
  return set_curve(response_.lowpass(), &eq_curve::set_frequency, hz);
}

bool eq_graph::set_lowpass_type(int code) {
  return set_curve(response_.lowpass(), &eq_curve::set_type, code);
}

bool eq_graph::set_band_frequency(int band, double hz) {
  return set_curve(response_.band(band), &eq_curve::set_frequency, hz);
}

bool eq_graph::set_band_gain(int band, double db) {
  return set_curve(response_.band(band), &eq_curve::set_gain, db);
}

bool eq_graph::set_band_q(int band, double q) {
  return set_curve(response_.band(band), &eq_curve::set_q, q);
}

bool eq_graph::set_band_shape(int band, band_shape shape) {
  return set_curve(response_.band(band), &eq_curve::set_shape, shape);
}

const eq_curve* eq_graph::curve(eq_handle h) const {
  switch (h.kind) {
    case curve_kind::high_pass: return response_.highpass();
    case curve_kind::low_pass: return response_.lowpass();
    case curve_kind::band: break;
  }
  return response_.band(h.band);
}

eq_curve* eq_graph::curve_mut(eq_handle h) { return const_cast<eq_curve*>(curve(h)); }

// ---- spectrum ----

void eq_graph::set_spectrum_enabled(bool on) {
  spectrum_on_ = on;
  spectrum_.fill(0);
  update();
}

void eq_graph::set_spectrum(std::span<const int> percent) {
  bool any = false;
  const size_t n = std::min(percent.size(), spectrum_.size());
  for (size_t i = 0; i < n; ++i) {
    const int v = std::clamp(percent[i], 0, 100);
    if (v != spectrum_[i]) {
      spectrum_[i] = v;
      any = true;
    }
  }
  if (any) update();
}

void eq_graph::set_spectrum_colour(rgb565 c) {
  if (assign_changed(spectrum_colour_, c)) update();
}

// ---- geometry ----

QPoint eq_graph::handle_centre(eq_handle h) const {
  const eq_curve* c = curve(h);
  if (!c) return {};
  return eq_handle_centre(layout_, c->frequency(), c->kind() == curve_kind::band ? c->gain() : 0.0);
}

std::optional<eq_handle> eq_graph::handle_at(QPoint p) const {
  std::vector<eq_handle> order;
  if (response_.highpass()) order.push_back({curve_kind::high_pass});
  if (response_.lowpass()) order.push_back({curve_kind::low_pass});
  for (int b = 0; b < response_.band_count(); ++b) order.push_back({curve_kind::band, b});
  for (const auto& h : order)
    if (eq_handle_hit_area(layout_, handle_centre(h)).contains(p)) return h;
  return std::nullopt;
}

// ---- refresh ----

void eq_graph::request_refresh() {
  if (pending_) return;
  pending_ = true;
  refresh_timer_.start();
}

void eq_graph::run_refresh() {
  refresh_timer_.stop();
  response_.compute_dirty();
  response_.sum_rows(layout_.h, layout_.level_min, layout_.level_max);
  rebuild_images();
  update();
  pending_ = false;
  emit refreshed();
}

void eq_graph::relayout() {
  QSize label_size;
  if (!compact_) {
    const QFontMetrics fm(font_);
    label_size = QSize(fm.horizontalAdvance(QStringLiteral("888")), fm.height());
  }
  layout_ = eq_layout_for(size(), label_size, level_marks_.front().value, level_marks_.back().value);

  frequency_lines_.clear();
  const auto fp = eq_frequency_mark_positions(frequency_marks_, layout_.n);
  for (size_t k = 0; k < fp.size(); ++k)
    frequency_lines_.push_back({fp[k], QString::fromUtf8(frequency_marks_[k].label)});
  // Lines are laid out from the top in table order and labelled from the bottom of the
  // table, so the top line reads +12 and the bottom one dB.
  level_lines_.clear();
  const auto lp = eq_level_mark_positions(level_marks_, layout_.h);
  for (size_t k = 0; k < lp.size(); ++k)
    level_lines_.push_back({lp[k], QString::fromUtf8(level_marks_[lp.size() - 1 - k].label)});

  spectrum_bars_ = eq_spectrum_bars(layout_);
  response_.set_points(layout_.n);
  response_.compute_dirty();
  response_.sum_rows(layout_.h, layout_.level_min, layout_.level_max);
  rebuild_images();
  update();
}

void eq_graph::rebuild_images() {
  const QSize plot(layout_.n, layout_.h);
  curve_image_ = QImage(plot, QImage::Format_ARGB32_Premultiplied);
  curve_image_.fill(Qt::transparent);
  eq_paint_rows(curve_image_, response_.rows(), layout_.zero_row, rgb565_to_rgb(colour_),
                fill_opa_, outline_);

  dragged_image_ = QImage();
  const eq_curve* c = dragged_ ? curve(*dragged_) : nullptr;
  if (!c) return;
  const auto rows = eq_response::curve_rows(*c, layout_.h, layout_.level_min, layout_.level_max);
  dragged_image_ = QImage(plot, QImage::Format_ARGB32_Premultiplied);
  dragged_image_.fill(Qt::transparent);
  eq_paint_rows(dragged_image_, rows, layout_.zero_row, rgb565_to_rgb(eq_colours::grid_line),
                dragged_curve_opa, true, dragged_curve_opa);
}

void eq_graph::resizeEvent(QResizeEvent*) { relayout(); }

// ---- touch ----

void eq_graph::mousePressEvent(QMouseEvent* event) {
  dragged_ = handle_at(event->position().toPoint());
  rebuild_images();
  update();
}

void eq_graph::mouseMoveEvent(QMouseEvent* event) {
  if (dragged_) drag_to(event->position().toPoint());
}

void eq_graph::mouseReleaseEvent(QMouseEvent*) {
  if (!dragged_) return;
  dragged_.reset();
  rebuild_images();
  update();
}

void eq_graph::drag_to(QPoint p) {
  eq_curve* c = curve_mut(*dragged_);
  if (!c) return;
  const eq_drag_target t = eq_drag_at(layout_, p);
  const bool band = c->kind() == curve_kind::band;
  const bool moved = c->set_frequency(eq_drag_frequency(c->kind(), t.frequency));
  const bool lifted = c->set_gain(band ? t.level : 0.0);
  if (!moved && !lifted) return;
  request_refresh();
  update();  // the handle and its box follow at once; the curve on the next tick
  switch (c->kind()) {
    case curve_kind::high_pass:
      emit highpass_dragged(to_raw(value_type::highpass_frequency, c->frequency()));
      break;
    case curve_kind::low_pass:
      emit lowpass_dragged(to_raw(value_type::lowpass_frequency, c->frequency()));
      break;
    case curve_kind::band:
      emit band_dragged(dragged_->band, to_raw(value_type::peq_frequency, c->frequency()),
                        to_raw(value_type::peq_gain, c->gain()));
      break;
  }
}

// ---- painting ----

void eq_graph::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (background_.alpha() > 0 || (border_width_ > 0 && border_.alpha() > 0)) {
    p.setRenderHint(QPainter::Antialiasing);
    const qreal inset = border_width_ / 2.0;
    const QRectF frame = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    p.setPen(border_width_ > 0 ? QPen(border_, border_width_) : QPen(Qt::NoPen));
    p.setBrush(background_);
    p.drawRoundedRect(frame, radius_, radius_);
    p.setRenderHint(QPainter::Antialiasing, false);
  }

  const QRect plot(layout_.x0, layout_.y0, layout_.n, layout_.h);
  if (spectrum_on_) {
    p.save();
    p.setClipRect(plot);
    const QColor c = to_qcolor(spectrum_colour_, spectrum_opa);
    for (int j = 0; j < eq_spectrum_bands; ++j) {
      const QRect fill = eq_spectrum_fill(spectrum_bars_[j], layout_, spectrum_[j]);
      if (!fill.isEmpty()) p.fillRect(fill, c);
    }
    p.restore();
  }

  paint_grid(p);
  p.drawImage(plot.topLeft(), curve_image_);
  if (!dragged_image_.isNull()) p.drawImage(plot.topLeft(), dragged_image_);
  if (compact_) return;

  paint_labels(p);
  paint_handles(p);
  paint_info_box(p);
}

void eq_graph::paint_grid(QPainter& p) const {
  const eq_layout& l = layout_;
  if (compact_ && !solid_grid_) {
    const int y = l.y0 + l.h - l.zero_row;
    hline(p, l.x0, l.x0 + l.n - 1, y, to_qcolor(eq_colours::compact_zero), false);
    return;
  }
  const QColor frame = to_qcolor(eq_colours::frame_line);
  const QColor inner = to_qcolor(eq_colours::grid_line);
  const bool dashed = !solid_grid_;
  for (size_t k = 0; k < frequency_lines_.size(); ++k) {
    const bool edge = k == 0 || k + 1 == frequency_lines_.size();
    vline(p, l.x0 + frequency_lines_[k].position, l.y0, l.y0 + l.h, edge ? frame : inner,
          dashed && !edge);
  }
  for (size_t k = 0; k < level_lines_.size(); ++k) {
    const bool edge = k == 0 || k + 1 == level_lines_.size();
    const int y = l.y0 + level_lines_[k].position;
    if (edge)
      hline(p, l.x0 - 1, l.x0 + l.n + 1, y, frame, false);
    else
      hline(p, l.x0, l.x0 + l.n, y, inner, dashed);
  }
}

void eq_graph::paint_labels(QPainter& p) const {
  const eq_layout& l = layout_;
  p.setFont(font_);
  p.setPen(Qt::white);
  for (size_t k = 0; k < level_lines_.size(); ++k) {
    if (level_lines_[k].label.isEmpty()) continue;
    const int y = l.y0 + level_lines_[k].position;
    int top = y - l.label_h / 2;
    if (k + 1 == level_lines_.size()) top = y - l.label_h;  // fully above the bottom line
    p.drawText(QRect(eq_graph_margin, top, l.label_w, l.label_h), Qt::AlignRight | Qt::AlignVCenter,
               level_lines_[k].label);
  }
  const QFontMetrics fm(font_);
  for (const auto& line : frequency_lines_) {
    if (line.label.isEmpty()) continue;
    const int w = fm.horizontalAdvance(line.label) + 2;
    const int x = l.x0 + line.position;
    p.drawText(QRect(x - w / 2, l.y0 + l.h, w, l.label_h), Qt::AlignHCenter | Qt::AlignTop,
               line.label);
  }
}

void eq_graph::paint_handles(QPainter& p) const {
  const eq_layout& l = layout_;
  const int half = l.label_h / 2;
  if (half <= 0) return;
  p.save();
  p.setClipRect(QRect(l.x0, l.y0, l.n, l.h));
  p.setRenderHint(QPainter::Antialiasing);
  p.setFont(font_);
  auto draw = [&](eq_handle h, rgb565 colour, int opa, const QString& label) {
    if (!curve(h)) return;
    const QPoint c = handle_centre(h);
    const QRect circle(c.x() - half, c.y() - half, 2 * half, 2 * half);
    const bool is_dragged = dragged_ && *dragged_ == h;
    p.setPen(Qt::NoPen);
    p.setBrush(is_dragged ? to_qcolor(eq_colours::dragged, dragged_handle_opa) : to_qcolor(colour, opa));
    p.drawEllipse(circle);
    p.setPen(Qt::white);
    p.drawText(circle, Qt::AlignCenter, label);
  };
  draw({curve_kind::high_pass}, eq_colours::highpass, 255, QStringLiteral("H"));
  draw({curve_kind::low_pass}, eq_colours::lowpass, 255, QStringLiteral("L"));
  for (int b = 0; b < response_.band_count(); ++b)
    draw({curve_kind::band, b}, eq_colours::band, band_handle_opa, QString::number(b + 1));
  p.restore();
}

void eq_graph::paint_info_box(QPainter& p) const {
  const eq_curve* c = dragged_ ? curve(*dragged_) : nullptr;
  if (!c) return;
  const QRect box = eq_info_box(layout_, handle_centre(*dragged_));
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(to_qcolor(eq_colours::band, info_box_opa));
  p.drawRoundedRect(box, info_box_radius, info_box_radius);
  p.setFont(font_);
  p.setPen(Qt::white);
  // The box keeps its fixed width; a larger font may overhang it rather than lose digits.
  const Qt::Alignment vertical = c->kind() == curve_kind::band ? Qt::AlignTop : Qt::AlignVCenter;
  p.drawText(box, Qt::AlignHCenter | vertical | Qt::TextDontClip, eq_info_text(*c));
  p.restore();
}

}  // namespace vorante

#include "ui/widgets/dyn_curves.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <utility>

#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

dyn_point point_of(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  return {p.x(), p.y()};
}

QPoint qpoint(dyn_point p) { return {p.x, p.y}; }

// Curve rectangles, corners inclusive: the compressor keeps off the left grid line, the gate
// off the right one.
QRect comp_clip(const dyn_plot& pl) { return QRect(QPoint(pl.x0 + 1, pl.y0 + 1), QPoint(pl.x0 + pl.w, pl.y0 + pl.h - 1)); }
QRect gate_clip(const dyn_plot& pl) { return QRect(QPoint(pl.x0, pl.y0 + 1), QPoint(pl.x0 + pl.w - 1, pl.y0 + pl.h - 1)); }

}  // namespace

// --- shared -------------------------------------------------------------------------------

dyn_curve::dyn_curve(QWidget* parent, const char* widest_label) : QWidget(parent), widest_label_(widest_label) {
  setFont(ui_font(default_text_px));
  resize(dyn_curve_default_size);
  timer_.setInterval(dyn_redraw_ms);
  connect(&timer_, &QTimer::timeout, this, [this] {
    ++deferred_redraws_;
    update();
    pending_ = false;
    timer_.stop();
  });
}

void dyn_curve::set_curve_enabled(bool on) { restyle(enabled_, on); }

void dyn_curve::set_compact(bool on) {
  compact_ = on;
  relayout();
}

void dyn_curve::set_curve_colour(rgb565 c) { restyle(colour_, c); }

void dyn_curve::set_background(rgb565 c) { restyle(background_, c); }

void dyn_curve::set_radius(int r) { restyle(radius_, r); }

void dyn_curve::schedule_redraw() {
  if (pending_) return;
  pending_ = true;
  timer_.start();
}

void dyn_curve::ready() {
  ready_ = true;
  relayout();
}

void dyn_curve::relayout() {
  // The base's own font and size changes come before the subclass has a model.
  if (!ready_) return;
  const QFontMetrics fm(font());
  layout_model(fm.horizontalAdvance(QString::fromLatin1(widest_label_)), fm.height());
  update();
}

void dyn_curve::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  relayout();
}

void dyn_curve::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) relayout();
}

void dyn_curve::paint_frame(QPainter& p, const std::vector<dyn_mark>& x_marks,
                            const std::vector<dyn_mark>& y_marks) const {
  paint_background(p);
  paint_labels(p, x_marks, y_marks);
  paint_grid(p, x_marks, y_marks);
}

void dyn_curve::paint_background(QPainter& p) const {
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Qt::NoPen);
  p.setBrush(to_qcolor(background_));
  p.drawRoundedRect(QRectF(rect()), radius_, radius_);
  p.setRenderHint(QPainter::Antialiasing, false);
}

void dyn_curve::paint_labels(QPainter& p, const std::vector<dyn_mark>& x_marks,
                             const std::vector<dyn_mark>& y_marks) const {
  if (compact_) return;
  const dyn_plot& pl = plot();
  p.setPen(Qt::white);
  p.setFont(font());
  // The level column reads top down from the last entry; the bottom label sits above its line.
  const int n = static_cast<int>(y_marks.size());
  for (int k = 0; k < n; ++k) {
    const dyn_mark& shown = y_marks[static_cast<std::size_t>(n - 1 - k)];
    if (shown.label.empty()) continue;
    const int line = pl.y0 + y_marks[static_cast<std::size_t>(k)].offset;
    int top = line - pl.label_h / 2;
    if (k == n - 1) top = line - pl.label_h;
    const QRect box(dyn_margin + pl.left_offset, top, pl.label_w, pl.label_h);
    p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, QString::fromStdString(shown.label));
  }
  for (const dyn_mark& m : x_marks) {
    if (m.label.empty()) continue;
    const int centre = pl.x0 + m.offset;
    const QRect box(centre - pl.label_w, pl.y0 + pl.h, 2 * pl.label_w, pl.label_h);
    p.drawText(box, Qt::AlignHCenter | Qt::AlignTop, QString::fromStdString(m.label));
  }
}

void dyn_curve::paint_grid(QPainter& p, const std::vector<dyn_mark>& x_marks, const std::vector<dyn_mark>& y_marks) const {
  const dyn_plot& pl = plot();
  auto pen_for = [](std::size_t k, std::size_t n) {
    return QPen(to_qcolor(k == 0 || k + 1 == n ? dyn_grid_edge : dyn_grid_line), 1);
  };
  for (std::size_t k = 0; k < x_marks.size(); ++k) {
    p.setPen(pen_for(k, x_marks.size()));
    const int x = pl.x0 + x_marks[k].offset;
    p.drawLine(x, pl.y0, x, pl.y0 + pl.h);
  }
  for (std::size_t k = 0; k < y_marks.size(); ++k) {
    p.setPen(pen_for(k, y_marks.size()));
    const int y = pl.y0 + y_marks[k].offset;
    const bool last = k + 1 == y_marks.size();
    p.drawLine(last ? pl.x0 : pl.x0 + 1, y, last ? pl.x0 + pl.w + 1 : pl.x0 + pl.w, y);
  }
}

void dyn_curve::paint_segment(QPainter& p, QRect clip, dyn_point a, dyn_point b) const {
  p.save();
  p.setClipRect(clip);
  // What lies under the line, over the columns A.x .. B.x - 1, down to the bottom edge.
  if (b.x > a.x) {
    p.save();
    p.setClipRect(QRect(a.x, std::min(a.y, b.y), b.x - a.x, height()), Qt::IntersectClip);
    QPainterPath below;
    below.moveTo(a.x, a.y);
    below.lineTo(b.x, b.y);
    below.lineTo(b.x, height());
    below.lineTo(a.x, height());
    below.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(to_qcolor(colour_, enabled_ ? dyn_fill_alpha : dyn_fill_alpha_disabled));
    p.drawPath(below);
    p.restore();
  }
  if (enabled_) {
    p.setPen(QPen(to_qcolor(colour_), 1));
    p.drawLine(qpoint(a), qpoint(b));
  }
  p.restore();
}

void dyn_curve::paint_handle(QPainter& p, dyn_point at, const char* letter) const {
  if (compact_) return;
  const dyn_plot& pl = plot();
  const int r = pl.label_h / 2;
  p.save();
  p.setClipRect(QRect(pl.x0 - r, pl.y0 - r, pl.w + 2 * r + 1, pl.h + 2 * r + 1));
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setBrush(Qt::black);
  p.setPen(QPen(to_qcolor(enabled_ ? dyn_handle_ring : dyn_handle_ring_disabled), 1));
  const QRectF circle(at.x - r + 0.5, at.y - r + 0.5, 2 * r - 1, 2 * r - 1);
  p.drawEllipse(circle);
  p.setPen(Qt::white);
  p.setFont(ui_font(dyn_handle_font_px));
  p.drawText(QRect(at.x - r, at.y - r, 2 * r, 2 * r), Qt::AlignCenter, QString::fromLatin1(letter));
  p.restore();
}

// --- over either model ----------------------------------------------------------------

template <class Model>
dyn_curve_of<Model>::dyn_curve_of(QWidget* parent, const char* widest_label, Model model)
    : dyn_curve(parent, widest_label), model_(std::move(model)) {
  ready();
}

template <class Model>
void dyn_curve_of<Model>::set_value(double Model::*field, double value) {
  model_.*field = value;
  model_.compute_points();
  update();
}

template <class Model>
bool dyn_curve_of<Model>::taken(bool took) {
  if (took) update();
  return took;
}

template <class Model>
void dyn_curve_of<Model>::layout_model(int text_w, int text_h) {
  model_.layout(width(), height(), text_w, text_h, compact());
}

template <class Model>
void dyn_curve_of<Model>::mouseMoveEvent(QMouseEvent* e) {
  if (!curve_enabled() || model_.drag == 0) return;
  model_.drag_to(point_of(e));
  emit value_changed();
  schedule_redraw();
}

template class dyn_curve_of<comp_model>;
template class dyn_curve_of<gate_model>;

// --- compressor ---------------------------------------------------------------------------

comp_curve::comp_curve(QWidget* parent, std::span<const dyn_mark> input_marks, std::span<const dyn_mark> level_marks)
    : dyn_curve_of(parent, "888",
                   comp_model(copy_marks(input_marks, comp_default_marks), copy_marks(level_marks, comp_default_marks))) {}

void comp_curve::paintEvent(QPaintEvent*) {
  QPainter p(this);
  paint_frame(p, model_.input_marks, model_.level_marks);
  const QRect clip = comp_clip(model_.plot);
  paint_segment(p, clip, model_.start, model_.knee);
  paint_segment(p, clip, model_.knee, model_.end);
  paint_handle(p, model_.knee, "T");
  paint_handle(p, model_.end, "R");
}

void comp_curve::mousePressEvent(QMouseEvent* e) {
  if (!curve_enabled()) return;
  e->accept();
  const bool hit = model_.press(point_of(e)) != 0;
  update();
  if (hit) {
    schedule_redraw();
    holds_scroll_ = true;
  }
}

void comp_curve::mouseReleaseEvent(QMouseEvent*) {
  model_.release();
  update();
  holds_scroll_ = false;
}

// --- gate ---------------------------------------------------------------------------------

gate_curve::gate_curve(QWidget* parent, std::span<const dyn_mark> time_marks, std::span<const dyn_mark> level_marks)
    : dyn_curve_of(parent, "8888", gate_model(copy_marks(time_marks, [] { return std::vector<dyn_mark>{}; }),
                                              copy_marks(level_marks, gate_level_default_marks))) {}

void gate_curve::paintEvent(QPaintEvent*) {
  QPainter p(this);
  paint_frame(p, model_.time_marks, model_.level_marks);
  const QRect clip = gate_clip(model_.plot);
  for (std::size_t i = 0; i + 1 < model_.p.size(); ++i) paint_segment(p, clip, model_.p[i], model_.p[i + 1]);
  paint_handle(p, model_.p[1], "D");
  paint_handle(p, model_.p[2], "T");
}

void gate_curve::mousePressEvent(QMouseEvent* e) {
  if (!curve_enabled()) return;
  e->accept();
  model_.press(point_of(e));
  schedule_redraw();
  update();
}

void gate_curve::mouseReleaseEvent(QMouseEvent*) {
  model_.release();
  update();
}

}  // namespace vorante

#include "ui/widgets/level_meter.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "ui/foundation/assign.h"
#include "ui/widgets/box_cache.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr rgb565 meter_green = 0x0406;
constexpr rgb565 meter_yellow = 0xBD20;
constexpr rgb565 meter_red = 0xD0A2;
constexpr rgb565 meter_scale_text = 0xC618;
constexpr int meter_bar_width = 12;
constexpr int meter_default_text_px = 10;
constexpr QSize default_size{32, 320};
constexpr int border_alpha = 178;
constexpr const char* widest_label = "-30";

// A picture of the bar: its rounded shape filled with `fill` and framed by its border.
// Painting then only copies rows of two of these, above and below the lit line.
QImage bar_picture(QSize size, const QBrush& fill) {
  QImage img(size, QImage::Format_ARGB32_Premultiplied);
  if (size.isEmpty()) return img;
  img.fill(Qt::transparent);
  const QRectF bar(QPointF(0, 0), QSizeF(size));
  const qreal radius = bar.width() / 2.0;
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath shape;
  shape.addRoundedRect(bar, radius, radius);
  p.setClipPath(shape);
  p.fillRect(bar, fill);
  p.setClipping(false);
  p.setPen(QPen(QColor(0, 0, 0, border_alpha), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(bar.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
  return img;
}

// The lit colours of a bar: the three zones, each boundary softened into its neighbours.
QLinearGradient lit_colours(int height) {
  const meter_zones z = level_meter_zones(height);
  const QColor green = to_qcolor(meter_green);
  const QColor yellow = to_qcolor(meter_yellow);
  const QColor red = to_qcolor(meter_red);
  const qreal h = std::max(1, height);
  QLinearGradient g(0, 0, 0, h);
  auto at = [&](int y) { return std::clamp(y / h, 0.0, 1.0); };
  g.setColorAt(0, red);
  g.setColorAt(at(z.yellow_top - z.yellow_blend), red);
  g.setColorAt(at(z.yellow_top + z.yellow_blend), yellow);
  g.setColorAt(at(z.green_top - z.green_blend), yellow);
  g.setColorAt(at(z.green_top + z.green_blend), green);
  g.setColorAt(1, green);
  return g;
}
}  // namespace

level_meter::level_meter(QWidget* parent) : QWidget(parent) {
  setFont(ui_font(meter_default_text_px));
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  resize(default_size);
}

QSize level_meter::sizeHint() const {
  return {scale_width() + (scale_shown_ ? meter_scale_gap : 0) + meter_bar_width, default_size.height()};
}

QSize level_meter::minimumSizeHint() const { return {sizeHint().width(), 0}; }

int level_meter::scale_width() const {
  return scale_shown_ ? QFontMetrics(font()).horizontalAdvance(widest_label) : 0;
}

QRect level_meter::bar_rect() const {
  // The bar keeps to the right; the scale takes what is left of it.
  const int w = std::min(meter_bar_width, width());
  return QRect(width() - w, 0, w, height());
}

void level_meter::show_scale(bool show) {
  if (!assign_changed(scale_shown_, show)) return;
  pictures_stale_ = true;
  updateGeometry();
  update();
}

void level_meter::set_db(int db, int fall) {
  const int next = meter_ballistics(value_, meter_target(db), fall);
  if (next == value_) return;
  const QRect bar = bar_rect();
  const int old_line = meter_line_y(value_, bar.height());
  const int new_line = meter_line_y(next, bar.height());
  value_ = next;
  if (old_line == new_line) return;
  // Only the band between the two lines looks different.
  const int top = std::min(old_line, new_line);
  update(QRect(bar.x(), bar.y() + top, bar.width(), std::abs(new_line - old_line)));
}

void level_meter::set_dimmed(bool on) {
  if (assign_changed(dimmed_, on)) update();
}

double level_meter::db() const { return meter_db_of_value(value_); }

void level_meter::rebuild_pictures() {
  const QSize bar = bar_rect().size();
  lit_ = bar_picture(bar, lit_colours(bar.height()));
  dark_ = bar_picture(bar, Qt::black);
  rebuild_scale();
}

namespace {

// What a scale label takes up: its digits and sign with a pixel of air above and below,
// not the font's whole line, whose leading would keep neighbours apart for nothing.
QRect label_ink(const QFontMetrics& fm) { return fm.tightBoundingRect("-0123456789").adjusted(0, -1, 0, 1); }
}  // namespace

std::vector<meter_scale_label> meter_scale_layout(int width, int height, const QFontMetrics& fm) {
  std::vector<meter_scale_label> out;
  const int line = label_ink(fm).height();
  if (width <= 0 || height < line) return out;
  // The top label first: it names the bar's end and is the one the column clips.
  for (int i = static_cast<int>(level_meter_marks.size()) - 1; i >= 1; --i) {
    const QString text = QString::number(level_meter_marks[static_cast<std::size_t>(i)]);
    const int w = fm.horizontalAdvance(text);
    if (w > width) continue;
    const int y = height - height * i / level_meter_segments;
    const int top = std::clamp(y - line / 2, 0, height - line);
    const QRect r(width - w, top, w, line);
    if (!out.empty() && r.top() <= out.back().rect.bottom()) continue;
    out.push_back({i, r});
  }
  return out;
}

std::vector<meter_scale_label> level_meter::scale_labels() const {
  if (!scale_shown_) return {};
  return meter_scale_layout(bar_rect().x() - meter_scale_gap, bar_rect().height(), QFontMetrics(font()));
}

// The scale's labels, drawn once for the widget's size and font.
void level_meter::rebuild_scale() {
  const QRect bar = bar_rect();
  const int right = bar.x() - meter_scale_gap;
  if (!scale_shown_ || right <= 0 || height() <= 0) {
    scale_ = QImage();
    return;
  }
  scale_ = QImage(QSize(right, height()), QImage::Format_ARGB32_Premultiplied);
  scale_.fill(Qt::transparent);
  QPainter p(&scale_);
  p.setRenderHint(QPainter::Antialiasing);
  p.setFont(font());
  p.setPen(to_qcolor(meter_scale_text));
  const QFontMetrics fm(font());
  const int ink_top = label_ink(fm).top();
  for (const meter_scale_label& l : scale_labels())
    p.drawText(QPoint(l.rect.left(), l.rect.top() - ink_top), QString::number(level_meter_marks[static_cast<std::size_t>(l.mark)]));
}

void level_meter::resizeEvent(QResizeEvent* e) {
  // Layouts may resize a meter several times before it is next painted.
  pictures_stale_ = true;
  QWidget::resizeEvent(e);
}

void level_meter::changeEvent(QEvent* e) {
  if (e->type() == QEvent::FontChange) {
    pictures_stale_ = true;
    updateGeometry();
  }
  QWidget::changeEvent(e);
}

void level_meter::paintEvent(QPaintEvent*) {
  if (pictures_stale_) {
    rebuild_pictures();
    pictures_stale_ = false;
  }
  QPainter p(this);
  if (dimmed_) p.setOpacity(theme::offline_opacity);
  if (scale_shown_ && !scale_.isNull()) p.drawImage(QPoint(0, 0), scale_);
  const QRect bar = bar_rect();
  if (bar.isEmpty()) return;
  draw_split(p, bar.topLeft(), dark_, lit_, meter_line_y(value_, bar.height()));
}

}  // namespace vorante

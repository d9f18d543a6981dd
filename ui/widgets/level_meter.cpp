#include "ui/widgets/level_meter.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {
constexpr QSize default_size{32, 320};
constexpr int border_alpha = 178;
constexpr const char* widest_label = "-30";

// The lit picture of a bar: the three zones, each boundary softened into its neighbours.
QImage lit_picture(QSize size) {
  QImage img(size, QImage::Format_ARGB32_Premultiplied);
  if (size.isEmpty()) return img;
  const meter_zones z = level_meter_zones(size.height());
  const QColor green = to_qcolor(meter_green);
  const QColor yellow = to_qcolor(meter_yellow);
  const QColor red = to_qcolor(meter_red);
  const qreal h = size.height();
  QLinearGradient g(0, 0, 0, h);
  auto at = [&](int y) { return std::clamp(y / h, 0.0, 1.0); };
  g.setColorAt(0, red);
  g.setColorAt(at(z.yellow_top - z.yellow_blend), red);
  g.setColorAt(at(z.yellow_top + z.yellow_blend), yellow);
  g.setColorAt(at(z.green_top - z.green_blend), yellow);
  g.setColorAt(at(z.green_top + z.green_blend), green);
  g.setColorAt(1, green);
  QPainter p(&img);
  p.fillRect(img.rect(), g);
  return img;
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
  if (show == scale_shown_) return;
  scale_shown_ = show;
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

double level_meter::db() const { return meter_db_of_value(value_); }

void level_meter::rebuild_pictures() { lit_ = lit_picture(bar_rect().size()); }

void level_meter::resizeEvent(QResizeEvent* e) {
  rebuild_pictures();
  QWidget::resizeEvent(e);
}

void level_meter::changeEvent(QEvent* e) {
  if (e->type() == QEvent::FontChange) updateGeometry();
  QWidget::changeEvent(e);
}

void level_meter::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRect bar = bar_rect();

  if (scale_shown_) {
    // Each label centred on its mark, kept inside the widget at both ends. Where the
    // layout leaves less room than the widest label needs (between the bars of a stereo
    // strip), the labels shrink rather than lose their sign.
    const int right = bar.x() - meter_scale_gap;
    QFont scale_font = font();
    const int needed = QFontMetrics(scale_font).horizontalAdvance(widest_label);
    if (right > 0 && needed > right && scale_font.pixelSize() > 0)
      scale_font.setPixelSize(std::max(5, scale_font.pixelSize() * right / needed));
    const QFontMetrics fm(scale_font);
    p.setFont(scale_font);
    p.setPen(to_qcolor(meter_scale_text));
    for (int i = 1; i < static_cast<int>(level_meter_marks.size()); ++i) {
      const int y = bar.height() - bar.height() * i / level_meter_segments;
      const int top = std::clamp(y - fm.height() / 2, 0, std::max(0, height() - fm.height()));
      p.drawText(QRect(0, top, right, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
                 QString::number(level_meter_marks[i]));
    }
  }

  if (bar.isEmpty()) return;
  const qreal radius = bar.width() / 2.0;
  QPainterPath shape;
  shape.addRoundedRect(QRectF(bar), radius, radius);
  p.save();
  p.setClipPath(shape);
  const int line = meter_line_y(value_, bar.height());
  p.fillRect(QRect(bar.x(), bar.y(), bar.width(), line), Qt::black);
  if (line < bar.height())
    p.drawImage(QPoint(bar.x(), bar.y() + line), lit_, QRect(0, line, bar.width(), bar.height() - line));
  p.restore();
  p.setPen(QPen(QColor(0, 0, 0, border_alpha), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(bar).adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
}

}  // namespace vorante

#include "ui/widgets/tile.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "ui/foundation/assign.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr int tile_border = 1;
constexpr int tile_min_value_height = 16;
constexpr QSize default_size{100, 60};
constexpr int title_flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
constexpr qreal disabled_opacity = 0.4;
}  // namespace

tile_geometry tile_layout(QSize size, int title_height) {
  const QRect inner = QRect(QPoint(0, 0), size).adjusted(tile_border, tile_border,
                                                         -tile_border, -tile_border);
  const QRect title(inner.left(), inner.top(), inner.width(), std::max(0, title_height));
  const int value_h = std::max(tile_min_value_height, inner.bottom() - title.bottom());
  const QRect value(inner.left(), title.bottom() + 1, inner.width(), value_h);
  return {title, value};
}

tile::tile(QWidget* parent) : QAbstractButton(parent), title_font_(ui_font(small_title_px)) {
  setFont(ui_font(default_text_px));
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  resize(default_size);
}

QSize tile::sizeHint() const { return default_size; }

void tile::set_title(const QString& text) {
  if (assign_changed(title_, text)) update();
}

void tile::set_value(const QString& text) {
  if (assign_changed(value_, text)) update();
}

int tile::title_height() const {
  const QFontMetrics fm(title_font_);
  const int w = std::max(1, width() - 2 * tile_border);
  const int text_h = title_.isEmpty() ? 0 : fm.boundingRect(0, 0, w, 10000, title_flags, title_).height();
  return std::max(fm.height(), text_h);
}

void tile::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  if (!isEnabled()) p.setOpacity(disabled_opacity);

  const bool lit = highlighted();
  QPainterPath frame;
  frame.addRoundedRect(QRectF(rect()), tile_radius, tile_radius);
  // Border and fill share one colour, so one fill draws both.
  p.fillPath(frame, to_qcolor(lit ? tile_highlight : tile_background));
  p.setClipPath(frame);

  const tile_geometry g = tile_layout(size(), title_height());
  p.fillRect(g.value, to_qcolor(lit ? tile_value_highlight : tile_value_background));

  p.setFont(title_font_);
  p.setPen(to_qcolor(lit ? theme::black : theme::white));
  p.drawText(g.title, title_flags, title_);

  if (!value_.isEmpty()) {
    p.setFont(font());
    p.setPen(to_qcolor(theme::white));
    p.drawText(g.value, Qt::AlignCenter, value_);
  }
}

}  // namespace vorante

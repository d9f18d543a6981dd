#include "ui/widgets/level_readout.h"

#include <QLinearGradient>
#include <QPainter>

namespace vorante {

level_readout::level_readout(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setAlignment(Qt::AlignCenter);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void level_readout::set_text(const QString& text) {
  if (text == this->text()) return;
  setText(text);
}

QSize level_readout::sizeHint() const {
  const QFontMetrics fm(font());
  return {fm.horizontalAdvance(text()) + 2 * readout_padding, fm.height() + 2 * readout_padding};
}

QSize level_readout::minimumSizeHint() const { return {0, sizeHint().height()}; }

void level_readout::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(rect());
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, to_qcolor(readout_top));
  g.setColorAt(1, to_qcolor(readout_bottom));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawRoundedRect(r, readout_radius, readout_radius);
  p.setPen(to_qcolor(theme::white));
  p.setFont(font());
  p.drawText(rect(), Qt::AlignCenter, text());
}

}  // namespace vorante

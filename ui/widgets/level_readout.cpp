#include "ui/widgets/level_readout.h"

#include <QLinearGradient>
#include <QPainter>

#include "ui/foundation/assign.h"
#include "ui/widgets/box_cache.h"

namespace vorante {

namespace {

constexpr rgb565 readout_top = 0x5AEB;
constexpr rgb565 readout_bottom = 0x3186;
constexpr int readout_radius = 4;
constexpr int readout_padding = 8;  // above and below the text

}  // namespace

level_readout::level_readout(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setAlignment(Qt::AlignCenter);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void level_readout::set_text(const QString& text) {
  if (text == this->text()) return;
  setText(text);
}

void level_readout::set_dimmed(bool on) {
  if (assign_changed(dimmed_, on)) update();
}

QSize level_readout::sizeHint() const {
  const QFontMetrics fm(font());
  return {fm.horizontalAdvance(text()) + 2 * readout_padding, fm.height() + 2 * readout_padding};
}

QSize level_readout::minimumSizeHint() const { return {0, sizeHint().height()}; }

void level_readout::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (dimmed_) p.setOpacity(theme::offline_opacity);
  p.drawImage(QPoint(0, 0), rounded_box(size(), {readout_top, readout_bottom, true, 0, 0, 0, readout_radius}));
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(to_qcolor(theme::white));
  p.setFont(font());
  p.drawText(rect(), Qt::AlignCenter, text());
}

}  // namespace vorante

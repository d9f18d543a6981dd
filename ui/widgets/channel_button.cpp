#include "ui/widgets/channel_button.h"

#include <QPainter>

#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {
constexpr int sub_text_px = 14;
}

channel_button::channel_button(QWidget* parent) : button(parent) {}

void channel_button::set_main_text(const QString& text) {
  main_ = text;
  update();
}

void channel_button::set_sub_text(const QString& text) {
  sub_ = text;
  update();
}

void channel_button::paintEvent(QPaintEvent* event) {
  button::paintEvent(event);
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::white);
  const QFont main_font = font();
  const QFont sub_font = ui_font(sub_text_px);
  const int main_h = QFontMetrics(main_font).height();
  const int sub_h = sub_.isEmpty() ? 0 : QFontMetrics(sub_font).height();
  const int top = (height() - main_h - sub_h) / 2;
  p.setFont(main_font);
  p.drawText(QRect(0, top, width(), main_h), Qt::AlignCenter, main_);
  if (sub_h) {
    p.setFont(sub_font);
    p.drawText(QRect(0, top + main_h, width(), sub_h), Qt::AlignCenter, sub_);
  }
}

}  // namespace vorante

#include "ui/screens/media/player_parts.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/foundation/res_images.h"
#include "ui/foundation/assign.h"

namespace vorante {

namespace {
constexpr rgb565 bar_track = 0x4208;
constexpr rgb565 bar_fill = 0x2DBE;
constexpr int label_gap = 4;
}  // namespace

icon_button::icon_button(QWidget* parent, std::string icon, const QString& label)
    : QAbstractButton(parent), icon_(std::move(icon)), label_font_(font()) {
  setText(label);
  setFocusPolicy(Qt::NoFocus);
}

void icon_button::set_icon(std::string icon) {
  if (assign_changed(icon_, std::move(icon))) update();
}

void icon_button::set_angle(double degrees) {
  if (assign_changed(angle_, degrees)) update();
}

QSize icon_button::sizeHint() const {
  const QImage img = image_file_load(icon_);
  QSize s = img.isNull() ? QSize(48, 48) : img.size();
  if (!text().isEmpty()) s += QSize(0, QFontMetrics(label_font_).height() + label_gap);
  return s;
}

void icon_button::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  if (isDown() && pressed_fill_) p.fillRect(rect(), to_qcolor(*pressed_fill_));
  QImage img = isDown() && pressed_tint_ ? image_file_load_recoloured(icon_, to_qcolor(*pressed_tint_))
                                         : image_file_load(icon_);
  const int label_h = text().isEmpty() ? 0 : QFontMetrics(label_font_).height() + label_gap;
  const int total = img.height() + label_h;
  const int top = (height() - total) / 2;
  if (!img.isNull()) {
    if (angle_ != 0) {
      p.save();
      p.setRenderHint(QPainter::SmoothPixmapTransform);
      p.translate(width() / 2.0, top + img.height() / 2.0);
      p.rotate(angle_);
      p.drawImage(QPointF(-img.width() / 2.0, -img.height() / 2.0), img);
      p.restore();
    } else {
      p.drawImage(QPoint((width() - img.width()) / 2, top), img);
    }
  }
  if (label_h) {
    p.setFont(label_font_);
    p.setPen(Qt::white);
    p.drawText(QRect(0, top + img.height() + label_gap, width(), label_h - label_gap), Qt::AlignCenter, text());
  }
}

void thin_bar::set_value(int value) {
  if (assign_changed(value_, std::clamp(value, 0, 100))) update();
}

void thin_bar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  const qreal r = height() / 2.0;
  p.setBrush(to_qcolor(bar_track));
  p.drawRoundedRect(rect(), r, r);
  if (value_ > 0) {
    p.setBrush(to_qcolor(bar_fill));
    p.drawRoundedRect(QRectF(0, 0, width() * value_ / 100.0, height()), r, r);
  }
}

picture::picture(QWidget* parent, std::string path) : QWidget(parent), path_(std::move(path)) {}

QSize picture::sizeHint() const {
  const QImage img = image_file_load(path_);
  return img.isNull() ? QSize(0, 0) : img.size();
}

void picture::paintEvent(QPaintEvent*) {
  const QImage img = image_file_load(path_);
  if (img.isNull()) return;
  QPainter p(this);
  p.drawImage(QPoint((width() - img.width()) / 2, (height() - img.height()) / 2), img);
}

}  // namespace vorante

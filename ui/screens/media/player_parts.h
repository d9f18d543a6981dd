// Small pieces of the media page: the image button with an optional label under its icon
// and the thin progress bar.
#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QString>
#include <QWidget>
#include <optional>
#include <string>

#include "ui/foundation/colour.h"

namespace vorante {

class icon_button : public QAbstractButton {
  Q_OBJECT

 public:
  // `pressed_fill`: the background while pressed; `pressed_tint`: the icon's colour while
  // pressed (for the transport buttons, which have no background).
  icon_button(QWidget* parent, std::string icon, const QString& label = {});
  void set_icon(std::string icon);
  const std::string& icon() const { return icon_; }
  void set_pressed_fill(rgb565 colour) { pressed_fill_ = colour; }
  void set_pressed_tint(rgb565 colour) { pressed_tint_ = colour; }
  void set_label_font(const QFont& font) { label_font_ = font; }
  // Turns the icon about its centre (degrees).
  void set_angle(double degrees);
  double angle() const { return angle_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::string icon_;
  QFont label_font_;
  std::optional<rgb565> pressed_fill_;
  std::optional<rgb565> pressed_tint_;
  double angle_ = 0;
};

class thin_bar : public QWidget {
 public:
  explicit thin_bar(QWidget* parent) : QWidget(parent) {}
  void set_value(int value);  // 0..100
  int value() const { return value_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int value_ = 0;
};

// A picture from the volume, drawn centred at its own size.
class picture : public QWidget {
 public:
  picture(QWidget* parent, std::string path);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::string path_;
};

}  // namespace vorante

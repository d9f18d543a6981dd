// Pieces the settings screens share: the white value field the user taps to type into, a
// plain coloured box, labels in the screens' colours, the red close button of the system
// page's views, and the short notice over the whole window.
#pragma once

#include <QBoxLayout>
#include <QVBoxLayout>
#include <QLabel>
#include <QString>
#include <QWidget>
#include <string>

#include "ui/foundation/colour.h"
#include "ui/widgets/toggle_button.h"
#include "ui/widgets/ui_text.h"

namespace vorante {

constexpr rgb565 settings_background = 0x3186;
constexpr rgb565 settings_box_background = 0x2104;
constexpr rgb565 field_disabled_background = 0x8410;
constexpr int large_font_px = 24;

QString utf8_text(const std::string& text);
std::string utf8_bytes(const QString& text);

// A container painted in one colour, with rounded corners when `radius` is set.
class colour_box : public QWidget {
  Q_OBJECT

 public:
  colour_box(QWidget* parent, rgb565 colour, int radius = 0, int border_alpha = 0);

  void set_shadow(rgb565 colour, int width);
  void set_fill_alpha(int alpha) { fill_alpha_ = alpha; update(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  rgb565 colour_;
  int radius_;
  int border_alpha_;
  int fill_alpha_ = 255;
  rgb565 shadow_ = 0;
  int shadow_width_ = 0;
};

// Fills the widget's background with the settings screens' colour.
void paint_settings_background(QWidget* w);

// Paints `page` in the settings background and lays it out as a column with `margin` on
// every side and `spacing` between the items.
QVBoxLayout* settings_column(QWidget* page, int margin, int spacing);

// A 1 px white line at the screens' separator opacity.
QWidget* make_separator(QWidget* parent, bool vertical);

// A white text field (radius 6, 4 px padding) that reports a short click; grey and deaf
// while disabled.
class value_field : public QLabel {
  Q_OBJECT

 public:
  explicit value_field(QWidget* parent, const QString& text = {});

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void restyle();
};

// A label in white (or `colour`), in the given pixel size.
QLabel* make_label(QWidget* parent, const QString& text, int px = 20, rgb565 colour = theme::white);

// Adds to `column` a row of a label `label_width` wide and a value field named `name` that
// takes the rest; `spacing` between them, the layout's own when negative.
value_field* add_field_row(QBoxLayout* column, QWidget* parent, const QString& label, int label_width,
                           const QString& name, int spacing = -1);

// The 64 x 64 red close button of the system page's views.
class close_button : public toggle_button {
  Q_OBJECT

 public:
  explicit close_button(QWidget* parent);

  face_look look(bool highlighted) const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A layer over the whole window that swallows every touch, with a centred box showing
// `text` in `colour`; it deletes itself after 2000 ms. Returns the layer (nullptr without an
// overlay host).
QWidget* show_notice(const QString& text, rgb565 colour);
constexpr int notice_ms = 2000;

}  // namespace vorante

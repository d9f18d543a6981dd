// The segmented level meter: a dB scale beside a rounded bar that is lit green, yellow
// and red from the bottom up. The owner's meter timer feeds it one reading per tick and
// says how fast it may fall; the bar repaints only when the lit line moves by a pixel.
#pragma once

#include <QImage>
#include <QWidget>

#include "ui/foundation/colour.h"
#include "ui/foundation/fader_math.h"

namespace vorante {

constexpr rgb565 meter_green = 0x0406;
constexpr rgb565 meter_yellow = 0xBD20;
constexpr rgb565 meter_red = 0xD0A2;
constexpr rgb565 meter_scale_text = 0xC618;
constexpr int meter_bar_width = 12;
constexpr int meter_scale_gap = 2;
constexpr int meter_default_text_px = 10;
// A meter byte that reads as silence: the bar empties.
constexpr int meter_silent_db = -128;

class level_meter : public QWidget {
  Q_OBJECT

 public:
  explicit level_meter(QWidget* parent = nullptr);

  void show_scale(bool show);
  bool scale_shown() const { return scale_shown_; }

  // One reading: a signed dB byte, and how far the bar may fall this time in percent of
  // its range (0: at once). Rising is always immediate.
  void set_db(int db, int fall = 0);
  // The dB the bar shows now: -40 when empty, 14 at the top.
  double db() const;
  int value() const { return value_; }

  // Where the bar and the scale sit in the widget.
  QRect bar_rect() const;
  int scale_width() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void rebuild_pictures();
  void rebuild_scale();

  bool scale_shown_ = true;
  int value_ = level_meter_range;
  QImage lit_;
  QImage dark_;
  QImage scale_;
  bool pictures_stale_ = true;
};

}  // namespace vorante

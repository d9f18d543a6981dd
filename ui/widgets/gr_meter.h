// The vertical gain-reduction meter: a dark red bar filled in bright red from the top down,
// as consoles show gain reduction.
#pragma once

#include <QRect>
#include <QWidget>

#include "ui/foundation/colour.h"

namespace vorante {

// The filled part of `inner` for `value` in min..max (min < max); empty at min.
QRect gr_meter_fill(QRect inner, int min, int max, int value);

class gr_meter : public QWidget {
  Q_OBJECT

 public:
  explicit gr_meter(QWidget* parent = nullptr);

  // Ignored unless min < max; the value is clamped into the new range.
  void set_range(int min, int max);
  // Clamped to the range; repaints only when the value changes.
  void set_value(int value);

  int minimum() const { return min_; }
  int maximum() const { return max_; }
  int value() const { return value_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int min_ = 0;
  int max_ = 100;
  int value_ = 50;
};

}  // namespace vorante

// The pan bar: "L" and "R" either side of a grey track, a magenta indicator from the centre
// to the value and a white knob on it. A touch sets the value under the finger, with a
// dead zone round the centre so the middle is easy to hit.
#pragma once

#include "ui/foundation/colour.h"
#include "ui/widgets/touch_slider.h"

namespace vorante {

constexpr int pan_max = 100;

struct pan_geometry {
  QRectF track;
  QRectF indicator;  // from the centre to the value; empty at the centre
  QRectF knob;
  double half_width = 0;
};

class pan_bar : public touch_slider {
  Q_OBJECT

 public:
  explicit pan_bar(QWidget* parent = nullptr);

  // A pan bar that does not take touches (a channel whose pan follows its link partner).
  void set_clickable(bool on);
  bool clickable() const { return clickable_; }

  pan_geometry geometry_of(int value) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void drag_started(double x) override { follow_pointer(x); }
  void dragged_to(double x) override { follow_pointer(x); }

 private:
  int side_text_width() const;
  void follow_pointer(double x);

  bool clickable_ = true;
};

}  // namespace vorante

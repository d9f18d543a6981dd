// The rounded frame the strips share: a dark blue card that turns lighter blue with a
// bright edge while the strip is the selected one.
#pragma once

#include <QRect>
#include <QSize>
#include <QSizePolicy>
#include <QWidget>

#include "ui/foundation/colour.h"

class QPainter;

namespace vorante {

struct strip_frame_colours {
  rgb565 background;
  rgb565 border;
  int border_alpha;  // 0..255
};

constexpr strip_frame_colours strip_frame_normal{0x1988, 0x1988, 255};

void paint_strip_frame(QPainter& p, QRect r, const strip_frame_colours& c);

// A strip painted on the frame: it starts at its default size, takes what its column gives
// it upright, and turns to the selected look while it is the selected one.
class framed_strip : public QWidget {
  Q_OBJECT

 public:
  void set_selected(bool on);
  bool selected() const { return selected_; }
  // The look while not selected.
  void set_frame(const strip_frame_colours& colours);

  QSize sizeHint() const override { return default_size_; }

 protected:
  framed_strip(QWidget* parent, QSize default_size, QSizePolicy::Policy upright,
               const strip_frame_colours& frame = strip_frame_normal);

  void paintEvent(QPaintEvent* event) override;

 private:
  QSize default_size_;
  strip_frame_colours frame_;
  bool selected_ = false;
};

}  // namespace vorante

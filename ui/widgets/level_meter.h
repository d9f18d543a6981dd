// The segmented level meter: a dB scale beside a rounded bar that is lit green, yellow
// and red from the bottom up. The owner's meter timer feeds it one reading per tick and
// says how fast it may fall; the bar repaints only when the lit line moves by a pixel.
#pragma once

#include <QFontMetrics>
#include <QImage>
#include <QWidget>
#include <vector>

#include "ui/foundation/colour.h"
#include "ui/foundation/fader_math.h"

namespace vorante {

constexpr int meter_scale_gap = 2;
// A meter byte that reads as silence: the bar empties.
constexpr int meter_silent_db = -128;

// One label of the scale: the mark it names and where it is drawn.
struct meter_scale_label {
  int mark = 0;  // index into level_meter_marks
  QRect rect;
};

// The scale's labels for a scale column `width` px wide beside a bar `height` px high, in
// a font with the given metrics. A label's rectangle is its text's ink with a pixel of air
// above and below; each is centred on its mark, right-aligned and kept inside the column; from the top down, a label that would touch the one above it is left out, and
// so is one too wide for the column: the scale keeps its size and shows fewer numbers.
std::vector<meter_scale_label> meter_scale_layout(int width, int height, const QFontMetrics& fm);

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

  // Drawn faded while the console is not heard; the bar keeps its value.
  void set_dimmed(bool on);
  bool dimmed() const { return dimmed_; }

  // Where the bar and the scale sit in the widget.
  QRect bar_rect() const;
  int scale_width() const;
  // The labels as they are drawn now (none while the scale is hidden).
  std::vector<meter_scale_label> scale_labels() const;

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
  bool dimmed_ = false;
  int value_ = level_meter_range;
  QImage lit_;
  QImage dark_;
  QImage scale_;
  bool pictures_stale_ = true;
};

}  // namespace vorante

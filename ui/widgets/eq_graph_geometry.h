// Where things sit on the EQ graph: plot area, grid marks, handles, the drag mapping back to
// frequency and gain, the info box and the spectrum bars. Pure helpers, so the widget's
// painting and touch handling only compose them.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <span>
#include <vector>

#include "ui/foundation/eq_math.h"
#include "ui/foundation/plot_frame.h"

namespace vorante {

// One grid mark: a frequency in Hz or a level in dB, and its label (empty: a line only).
struct eq_mark {
  double value;
  const char* label;
};

// The axes run from the first to the last mark.
std::span<const eq_mark> default_eq_frequency_marks();
std::span<const eq_mark> default_eq_level_marks();

constexpr int eq_graph_margin = 2;     // on every side

// The plot area inside the widget; n columns (one grid point each) by h rows.
struct eq_layout : plot_frame {
  int n = 0;
  int h = 0;
  int zero_row = 0;  // height of the 0 dB line above the plot bottom
  double level_min = -12;
  double level_max = 12;
};

// label_size is the size of "888" in the graph's font; a compact graph passes an empty size
// and reserves no label space.
eq_layout eq_layout_for(QSize widget, QSize label_size, double level_min, double level_max);

// Pixel offsets of the marks from the plot's left / top edge. The first mark sits one pixel
// outside the plot and the last on its far edge, so the frame lines enclose the curve.
std::vector<int> eq_frequency_mark_positions(std::span<const eq_mark> marks, int n);
std::vector<int> eq_level_mark_positions(std::span<const eq_mark> marks, int h);

// Centre of a handle for a curve at (hz, gain); filters pass gain 0.
QPoint eq_handle_centre(const eq_layout& l, double hz, double gain);
// The square a press must land in: twice the label height across, edges included.
QRect eq_handle_hit_area(const eq_layout& l, QPoint centre);

// What a pointer position means while dragging: the grid frequency of its column and the
// level of its height, both clamped into the plot.
struct eq_drag_target {
  double frequency;
  double level;
};
eq_drag_target eq_drag_at(const eq_layout& l, QPoint pointer);

double eq_drag_frequency(curve_kind kind, double hz);

QRect eq_info_box(const eq_layout& l, QPoint handle_centre);
QString eq_info_text(const eq_curve& c);

// Spectrum bars, one per analyser band, 4 px apart, covering the plot's height.
constexpr int eq_spectrum_bands = 32;
std::array<QRect, eq_spectrum_bands> eq_spectrum_bars(const eq_layout& l);
// The filled part of a bar for a value in percent of the plot height.
QRect eq_spectrum_fill(const QRect& bar, const eq_layout& l, int percent);

// The outline's vertical run in one column (top <= bottom, plot-local rows): the curve
// point, plus half of any step of 2 px or more towards each neighbour.
struct eq_span {
  int top;
  int bottom;
};
eq_span eq_outline_span(int y_prev, int y, int y_next);

// Draws rows (heights above the plot bottom) into a transparent plot-sized image: the fill
// between the 0 dB row and the curve at the blend weight of `fill_opa`, and the outline when
// asked. The image is then drawn over whatever is behind it.
void eq_paint_rows(QImage& plot, std::span<const int> rows, int zero_row, QRgb colour,
                   int fill_opa, bool outline, int outline_opa = 255);
// The fill blend: a weight in 32nds, as the console's 16-bit blend does it.
constexpr int eq_fill_weight(int opa) { return (opa + 4) / 8; }

}  // namespace vorante

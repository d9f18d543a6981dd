#include "ui/widgets/eq_graph_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vorante {

namespace {

constexpr int eq_graph_label_gap = 4;  // between the level labels and the plot
// Frequency ranges a drag may set. The filters' ends switch them off.
constexpr double eq_band_min_hz = 19.700000762939453;
constexpr double eq_band_max_hz = 20000.0;
// The box that shows a dragged curve's values, kept inside the plot's right and bottom edges.
constexpr int eq_info_box_width = 65;

constexpr std::array<eq_mark, 30> frequency_marks{{
    {14, "Hz"},   {20, "20"},   {30, ""},     {40, ""},     {50, "50"},   {60, ""},
    {70, ""},     {80, ""},     {90, ""},     {100, "100"}, {200, "200"}, {300, ""},
    {400, ""},    {500, "500"}, {600, ""},    {700, ""},    {800, ""},    {900, ""},
    {1000, "1K"}, {2000, "2K"}, {3000, ""},   {4000, ""},   {5000, "5K"}, {6000, ""},
    {7000, ""},   {8000, ""},   {9000, ""},   {10000, "10K"}, {20000, "20K"}, {24000, ""},
}};

constexpr std::array<eq_mark, 9> level_marks{{
    {-12, "dB"}, {-9, ""}, {-6, "-6"}, {-3, ""}, {0, "0"}, {3, ""}, {6, "+6"}, {9, ""}, {12, "+12"},
}};

// The analyser's band centres; the last lies past the plot and only closes the band before it.
constexpr std::array<double, eq_spectrum_bands> spectrum_hz{
    20,   25,   32,   40,   50,   63,   80,   101,  125,  161,   202,   250,   315,   405,   500,   630,
    809,  1000, 1260, 1620, 2000, 2520, 3170, 4000, 5040, 6350,  8000,  10100, 12500, 16000, 20000, 26000,
};
constexpr int spectrum_gap = 4;

}  // namespace

std::span<const eq_mark> default_eq_frequency_marks() { return frequency_marks; }
std::span<const eq_mark> default_eq_level_marks() { return level_marks; }

eq_layout eq_layout_for(QSize widget, QSize label_size, double level_min, double level_max) {
  eq_layout l;
  l.label_w = std::max(0, label_size.width());
  l.label_h = std::max(0, label_size.height());
  l.label_gap = label_size.isEmpty() ? 0 : eq_graph_label_gap;
  l.level_min = level_min;
  l.level_max = level_max;
  l.x0 = eq_graph_margin + l.label_w + l.label_gap;
  l.y0 = eq_graph_margin + l.label_h / 2;
  l.n = std::max(0, widget.width() - l.label_h / 2 - eq_graph_margin - l.x0);
  l.h = std::max(0, widget.height() - l.y0 - l.label_h - eq_graph_margin);
  l.zero_row = eq_row_of(0, l.h, level_min, level_max);
  return l;
}

std::vector<int> eq_frequency_mark_positions(std::span<const eq_mark> marks, int n) {
  std::vector<int> p;
  p.reserve(marks.size());
  for (const auto& m : marks) p.push_back(eq_column_of(m.value, n));
  if (!p.empty()) {
    p.front() = -1;
    p.back() = n;
  }
  return p;
}

std::vector<int> eq_level_mark_positions(std::span<const eq_mark> marks, int h) {
  std::vector<int> p;
  p.reserve(marks.size());
  if (marks.empty()) return p;
  const double lo = marks.front().value;
  const double span = marks.back().value - lo;
  for (const auto& m : marks)
    p.push_back(span > 0 ? static_cast<int>(std::floor(h * (m.value - lo) / span)) : 0);
  p.front() = -1;
  p.back() = h;
  return p;
}

QPoint eq_handle_centre(const eq_layout& l, double hz, double gain) {
  return {l.x0 + eq_column_of(hz, l.n), l.y0 + l.h - eq_row_of(gain, l.h, l.level_min, l.level_max)};
}

QRect eq_handle_hit_area(const eq_layout& l, QPoint centre) {
  return QRect(QPoint(centre.x() - l.label_h, centre.y() - l.label_h),
               QPoint(centre.x() + l.label_h, centre.y() + l.label_h));
}

eq_drag_target eq_drag_at(const eq_layout& l, QPoint pointer) {
  // The column is one to the right of the pointer, as the console's touch mapping has it.
  const int column = std::clamp(pointer.x() - l.x0 + 1, 0, std::max(0, l.n - 1));
  const int height = std::clamp(l.y0 + l.h - pointer.y(), 0, std::max(0, l.h - 1));
  const double level =
      l.h > 0 ? l.level_min + (l.level_max - l.level_min) * height / l.h : l.level_min;
  return {eq_grid_frequency(column, l.n), level};
}

double eq_drag_frequency(curve_kind kind, double hz) {
  switch (kind) {
    case curve_kind::high_pass: return std::clamp(hz, eq_highpass_off_hz, eq_band_max_hz);
    case curve_kind::low_pass: return std::clamp(hz, eq_band_min_hz, eq_lowpass_off_hz);
    case curve_kind::band: break;
  }
  return std::clamp(hz, eq_band_min_hz, eq_band_max_hz);
}

QRect eq_info_box(const eq_layout& l, QPoint handle_centre) {
  const int half = l.label_h / 2;
  const QPoint handle_top_left = handle_centre - QPoint(half, half);
  QRect box(handle_top_left + QPoint(half, half), QSize(eq_info_box_width, 3 * l.label_h + 1));
  if (box.right() > l.x0 + l.n - 1) box.translate(-(l.label_h + 66), 0);
  if (box.bottom() > l.y0 + l.h - 1) box.translate(0, -box.height());
  return box;
}

QString eq_info_text(const eq_curve& c) {
  const double f = c.frequency();
  QString text;
  if (f < 20)
    text = QStringLiteral("OFF");
  else if (f < 100)
    text = QString::asprintf("F:%.1f", f);
  else if (f < 1000)
    text = QString::asprintf("F:%d", static_cast<int>(std::lround(f)));
  else if (f < 10000)
    text = QString::asprintf("F:%.2gk", f / 1000);
  else
    text = QString::asprintf("F:%.1fk", f / 1000);
  if (c.kind() == curve_kind::band)
    text += QString::asprintf("\nG:%.1f\nQ:%.2g", c.gain(), c.q());
  return text;
}

std::array<QRect, eq_spectrum_bands> eq_spectrum_bars(const eq_layout& l) {
  std::array<int, eq_spectrum_bands> centre{};
  for (int j = 0; j < eq_spectrum_bands; ++j) centre[j] = l.x0 + eq_column_of(spectrum_hz[j], l.n);
  std::array<int, eq_spectrum_bands> right{};
  for (int j = 0; j + 1 < eq_spectrum_bands; ++j) right[j] = (centre[j] + centre[j + 1]) / 2;
  right[eq_spectrum_bands - 1] = l.x0 + l.n - 1;

  std::array<QRect, eq_spectrum_bands> bars;
  for (int j = 0; j < eq_spectrum_bands; ++j) {
    int left;
    if (j > 0)
      left = right[j - 1] + spectrum_gap;
    else  // the first bar mirrors its right half when there is room for it
      left = centre[0] - l.x0 > right[0] - centre[0] ? 2 * centre[0] - right[0] : l.x0;
    bars[j] = QRect(QPoint(left, l.y0), QPoint(right[j] - 1, l.y0 + l.h - 1));
  }
  return bars;
}

QRect eq_spectrum_fill(const QRect& bar, const eq_layout& l, int percent) {
  const int px = std::min(std::clamp(percent, 0, 100) * l.h / 100, l.h);
  if (px <= 0 || bar.width() <= 0) return {};
  const int bottom = l.y0 + l.h - 1;
  return QRect(QPoint(bar.left(), bottom - px + 1), QPoint(bar.right(), bottom));
}

eq_span eq_outline_span(int y_prev, int y, int y_next) {
  eq_span s{y, y};
  // A step to the left neighbour: its lower half (towards us) belongs to this column.
  const int d = y - y_prev;
  if (std::abs(d) >= 2) {
    const int from = y_prev + d / 2 + (d > 0 ? 1 : -1);
    s.top = std::min(s.top, from);
    s.bottom = std::max(s.bottom, from);
  }
  // A step to the right neighbour: the half next to us is ours.
  const int e = y_next - y;
  if (std::abs(e) >= 2) {
    const int to = y + e / 2;
    s.top = std::min(s.top, to);
    s.bottom = std::max(s.bottom, to);
  }
  return s;
}

void eq_paint_rows(QImage& plot, std::span<const int> rows, int zero_row, QRgb colour,
                   int fill_opa, bool outline, int outline_opa) {
  const int w = std::min(plot.width(), static_cast<int>(rows.size()));
  const int h = plot.height();
  if (w <= 0 || h <= 0) return;
  if (plot.format() != QImage::Format_ARGB32_Premultiplied)
    plot = plot.convertToFormat(QImage::Format_ARGB32_Premultiplied);

  const auto blend_alpha = [](int opa) { return std::clamp(opa, 0, 255); };
  const int fill_alpha = std::min(255, eq_fill_weight(std::clamp(fill_opa, 0, 255)) * 255 / 32);
  const QRgb fill = qPremultiply(qRgba(qRed(colour), qGreen(colour), qBlue(colour), fill_alpha));
  const QRgb line = qPremultiply(
      qRgba(qRed(colour), qGreen(colour), qBlue(colour), blend_alpha(outline_opa)));

  const auto y_of = [&](int i) { return h - rows[static_cast<size_t>(i)]; };
  const int y_zero = h - zero_row;
  for (int i = 0; i < w; ++i) {
    const int y = y_of(i);
    if (fill_alpha > 0) {
      const int top = std::max(0, std::min(y, y_zero));
      const int bottom = std::min(h - 1, std::max(y, y_zero));
      for (int r = top; r <= bottom; ++r) reinterpret_cast<QRgb*>(plot.scanLine(r))[i] = fill;
    }
    if (outline) {
      const eq_span s = eq_outline_span(i > 0 ? y_of(i - 1) : y, y, i + 1 < w ? y_of(i + 1) : y);
      const int top = std::max(0, s.top);
      const int bottom = std::min(h - 1, s.bottom);
      for (int r = top; r <= bottom; ++r) reinterpret_cast<QRgb*>(plot.scanLine(r))[i] = line;
    }
  }
}

}  // namespace vorante

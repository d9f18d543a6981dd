// The EQ graph: the summed response of a channel's high-pass, low-pass and parametric bands
// on a log frequency axis, with a grid, labels and draggable handles in its full form and
// only the curve in its compact form; optionally a spectrum behind the curve.
//
// The owning page creates the curves, pushes stored values in through the setters (no
// signal comes back for those) and writes the parameters from the drag signals. Changes
// are recomputed at most once per refresh tick, and only for the curves that changed.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <array>
#include <optional>
#include <span>
#include <vector>

#include "ui/foundation/colour.h"
#include "ui/foundation/eq_math.h"
#include "ui/widgets/eq_graph_geometry.h"

namespace vorante {

constexpr QSize eq_graph_default_size{304, 140};
constexpr int eq_graph_refresh_ms = 100;
constexpr int eq_graph_default_fill_opa = 102;
constexpr int eq_graph_default_text_px = 12;
constexpr int eq_graph_radius = 3;

namespace eq_colours {
constexpr rgb565 curve = rgb565_from_rgb(0xF4, 0x43, 0x36);  // palette red
constexpr rgb565 frame_line = 0x738E;    // first and last grid lines
constexpr rgb565 grid_line = 0x4A49;     // inner grid lines; the dragged curve
constexpr rgb565 compact_zero = 0x3186;  // the 0 dB line of a compact graph
constexpr rgb565 highpass = 0xF800;
constexpr rgb565 lowpass = 0x001F;
constexpr rgb565 band = 0xFB37;          // band handles and the info box
constexpr rgb565 dragged = 0x07E0;
constexpr rgb565 spectrum = 0x041F;
}  // namespace eq_colours

// Which handle: a filter, or a band by its 0-based position.
struct eq_handle {
  curve_kind kind;
  int band = 0;
  bool operator==(const eq_handle&) const = default;
};

class eq_graph : public QWidget {
  Q_OBJECT

 public:
  // Empty mark tables take the defaults (14 Hz .. 24 kHz, -12 .. +12 dB). A table needs at
  // least two marks in rising order; anything else also takes the default.
  explicit eq_graph(QWidget* parent = nullptr, std::span<const eq_mark> frequency_marks = {},
                    std::span<const eq_mark> level_marks = {});

  // ---- look ----
  void set_compact(bool on);
  bool compact() const { return compact_; }
  void set_solid_grid(bool on);
  bool solid_grid() const { return solid_grid_; }
  void set_colour(rgb565 c);
  void set_outline(bool on);
  void set_fill_opa(int opa);  // 0..255
  // Labels and the info box; the pages choose it.
  void set_text_font(const QFont& f);
  // The widget's own frame: opaque black, radius 3 and no border unless a page says else.
  void set_background(QColor c);
  void set_border(QColor c, int width);
  void set_radius(int r);

  // ---- curves ----
  // -1 when the graph already has that filter, else the curve id.
  int add_highpass(double hz, int type_code);
  int add_lowpass(double hz, int type_code);
  // Returns the new band's number (numbers keep counting after reset_bands).
  int add_band(double hz, double gain_db, double q);
  void spread_bands(int n);
  void reset_bands(int n);
  int band_count() const { return response_.band_count(); }
  const eq_response& response() const { return response_; }

  // Values from the store. Each returns whether the curve changed; a change schedules a
  // refresh. Out-of-range bands and missing filters are ignored.
  bool set_highpass_frequency(double hz);
  bool set_highpass_type(int code);
  bool set_lowpass_frequency(double hz);
  bool set_lowpass_type(int code);
  bool set_band_frequency(int band, double hz);
  bool set_band_gain(int band, double db);
  bool set_band_q(int band, double q);
  bool set_band_shape(int band, band_shape shape);

  // ---- spectrum ----
  // Turning it on or off clears the values.
  void set_spectrum_enabled(bool on);
  bool spectrum_enabled() const { return spectrum_on_; }
  // Percent of the plot height per analyser band (the first 32 are taken), clamped to 0..100.
  void set_spectrum(std::span<const int> percent);
  const std::array<int, eq_spectrum_bands>& spectrum() const { return spectrum_; }
  void set_spectrum_colour(rgb565 c);

  // ---- geometry and state, for the page and for tests ----
  const eq_layout& layout() const { return layout_; }
  const eq_curve* curve(eq_handle h) const;
  QPoint handle_centre(eq_handle h) const;
  // The handle a press at p picks: high-pass first, then low-pass, then bands in order.
  std::optional<eq_handle> handle_at(QPoint p) const;
  std::optional<eq_handle> dragged() const { return dragged_; }
  bool refresh_pending() const { return pending_; }

  QSize sizeHint() const override { return eq_graph_default_size; }

 public slots:
  // What the refresh timer runs: recompute the changed curves, sum, redraw.
  void run_refresh();

 signals:
  // A drag moved a curve; raw values as the store holds them (frequency of the high-pass,
  // low-pass and band types, band gain).
  void highpass_dragged(uint16_t frequency_raw);
  void lowpass_dragged(uint16_t frequency_raw);
  void band_dragged(int band, uint16_t frequency_raw, uint16_t gain_raw);
  // After each refresh tick.
  void refreshed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  struct mark_line {
    int position;
    QString label;
  };

  eq_curve* curve_mut(eq_handle h);
  // Applies `set` to the curve `c` (none: ignored); a change schedules a refresh.
  template <typename V>
  bool set_curve(eq_curve* c, bool (eq_curve::*set)(V), V value);
  void request_refresh();
  void relayout();
  void rebuild_images();
  void drag_to(QPoint p);

  void paint_grid(QPainter& p) const;
  void paint_labels(QPainter& p) const;
  void paint_handles(QPainter& p) const;
  void paint_info_box(QPainter& p) const;

  eq_response response_;
  eq_layout layout_;
  std::vector<eq_mark> frequency_marks_;
  std::vector<eq_mark> level_marks_;
  std::vector<mark_line> frequency_lines_;
  std::vector<mark_line> level_lines_;

  bool compact_ = false;
  bool solid_grid_ = false;
  bool outline_ = true;
  int fill_opa_ = eq_graph_default_fill_opa;
  rgb565 colour_ = eq_colours::curve;
  QFont font_;
  QColor background_ = Qt::black;
  QColor border_ = Qt::transparent;
  int border_width_ = 0;
  int radius_ = eq_graph_radius;

  QImage curve_image_;    // the summed curve, plot-sized, transparent elsewhere
  QImage dragged_image_;  // the dragged curve alone

  QTimer refresh_timer_{this};  // a child, so tests can find it
  bool pending_ = false;
  std::optional<eq_handle> dragged_;

  bool spectrum_on_ = false;
  std::array<int, eq_spectrum_bands> spectrum_{};
  std::array<QRect, eq_spectrum_bands> spectrum_bars_{};
  rgb565 spectrum_colour_ = eq_colours::spectrum;
};

}  // namespace vorante

// The fader every level control uses: a vertical track with a knob picture, a dB scale of
// ticks and labels, and a level fill below the knob. Travel follows the console's fader
// law; a drag moves the knob by the distance the pointer travels from where it was put
// down, so touching the fader never makes the level jump.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <span>
#include <string_view>
#include <vector>

#include "ui/foundation/colour.h"
#include "ui/foundation/fader_math.h"

namespace vorante {

constexpr const char* fader_knob_normal = "res/common/img_slider_normal.png";
constexpr const char* fader_knob_small = "res/common/img_slider_small.png";
constexpr const char* fader_knob_smallest = "res/common/img_slider_smallest.png";

constexpr rgb565 fader_default_track = 0x0000;
constexpr rgb565 fader_default_fill = 0x57EF;
constexpr rgb565 fader_default_ticks = 0xB5B6;

class fader : public QWidget {
  Q_OBJECT

 public:
  explicit fader(QWidget* parent = nullptr);

  // Law 0 is the 61-point law (up to +10 dB), 1 the 49-point law (up to 0 dB); other
  // kinds are ignored.
  void set_law(int kind);
  // A table of dB at equal steps of travel, ascending. An empty table or either law
  // selects that law; any other table is copied and used without ticks.
  void set_table(std::span<const double> table);
  // An integer range instead of a law; ignored unless min < max. The value is clamped
  // into it.
  void set_range(int min, int max);

  // The value as the store has it: never reported back as a change.
  void set_value(double value);
  double value() const { return value_; }
  int int_value() const { return int_value_; }
  fader_mode mode() const { return mode_; }
  int range_min() const { return min_; }
  int range_max() const { return max_; }
  // Where the knob stands, 0..1000.
  double permille() const;
  bool dragging() const { return dragging_; }

  // The knob picture from the resource volume; a missing picture draws a plain knob.
  void set_knob(std::string_view path);
  QSize knob_size() const { return knob_.size(); }

  // Space above and below the travel.
  void set_padding(int top, int bottom);
  void set_track_width(int px);
  void set_tick_length(int px);
  void set_tick_gap(int px);  // below 0: automatic, clear of the knob
  void set_label_gap(int px);
  void set_track_colour(rgb565 c);
  void set_fill_colour(rgb565 c);
  void set_tick_colour(rgb565 c);
  void set_highlight_radius(int px);
  void set_track_offset(int px);
  void set_show_labels(bool on);
  void set_centred(bool on);
  void set_fill(bool on);
  void set_glow(int glow);  // 0..255; 0 draws no glow

  // Geometry of the current size and settings, as painting uses it.
  knob_travel travel() const;
  fader_track track() const;
  QRect knob_geometry() const;
  int label_width() const;

  QSize sizeHint() const override;

 signals:
  // Only the user's drags: the new value (the integer in the range mode).
  void value_changed(double value);
  void pressed();
  // Released over the fader, moved or not.
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  std::span<const double> law() const;
  void set_mode(fader_mode mode);
  void end_drag();

  fader_mode mode_ = fader_mode::law_61;
  std::vector<double> custom_;
  int min_ = 0;
  int max_ = 100;
  double value_ = 0;
  int int_value_ = 0;

  QImage knob_;
  int pad_top_ = 16;
  int pad_bottom_ = 16;
  int track_width_ = 4;
  int tick_length_ = 10;
  int tick_gap_ = -1;
  int label_gap_ = 4;
  rgb565 track_colour_ = fader_default_track;
  rgb565 fill_colour_ = fader_default_fill;
  rgb565 tick_colour_ = fader_default_ticks;
  int highlight_radius_ = 12;
  int track_offset_ = 0;
  bool show_labels_ = true;
  bool centred_ = false;
  bool fill_ = true;
  int glow_ = 0;

  bool dragging_ = false;
  int grab_y_ = 0;
  int last_y_ = 0;
  double grab_permille_ = 0;
  double grab_value_ = 0;
  int grab_int_ = 0;
};

}  // namespace vorante

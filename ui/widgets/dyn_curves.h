// The dynamics graphs of the channel editors: the compressor's transfer curve (output level
// against input level) and the gate's envelope over time, each in a full form with axis
// labels and lettered handles to drag, or a compact form (the editors' thumbnails) with the
// grid and the curve only. The editor pushes values in through the setters and, on
// value_changed, reads them back to write its parameters.
#pragma once

#include <QTimer>
#include <QWidget>
#include <span>

#include "ui/foundation/colour.h"
#include "ui/foundation/dyn_math.h"

namespace vorante {

constexpr QSize dyn_curve_default_size{320, 240};
constexpr int dyn_curve_default_radius = 3;
constexpr rgb565 dyn_curve_default_colour = rgb565_from_rgb(0x03, 0xA9, 0xF4);  // light blue
constexpr rgb565 gate_curve_colour = 0x07E0;
constexpr rgb565 comp_curve_colour = 0xFFE0;
constexpr rgb565 dyn_grid_edge = 0x630C;
constexpr rgb565 dyn_grid_line = 0x4208;
constexpr rgb565 dyn_handle_ring = rgb565_from_rgb(0xFF, 0x98, 0x00);           // orange
constexpr rgb565 dyn_handle_ring_disabled = rgb565_from_rgb(0x9E, 0x9E, 0x9E);  // grey
constexpr int dyn_fill_alpha = 153;
constexpr int dyn_fill_alpha_disabled = 76;
constexpr int dyn_handle_font_px = 14;

// What both curves share: look, enabled and compact flags, the deferred redraw.
class dyn_curve : public QWidget {
  Q_OBJECT

 public:
  // Off: touch is ignored, the line is not drawn, the fill is dimmed, the rings are grey.
  void set_curve_enabled(bool on);
  bool curve_enabled() const { return enabled_; }
  void set_compact(bool on);
  bool compact() const { return compact_; }
  void set_curve_colour(rgb565 c);
  rgb565 curve_colour() const { return colour_; }
  void set_background(rgb565 c);
  void set_radius(int r);

  virtual const dyn_plot& plot() const = 0;
  // Which handle a drag holds (0 none).
  virtual int drag() const = 0;

  // A drag asks for a repaint at most once per dyn_redraw_ms.
  bool redraw_pending() const { return pending_; }
  int deferred_redraws() const { return deferred_redraws_; }
  // While a handle is held a surrounding scroll area must not scroll.
  bool holds_scroll() const { return holds_scroll_; }

  QSize sizeHint() const override { return dyn_curve_default_size; }

 signals:
  // Every pointer move during a drag, whether or not a value changed.
  void value_changed();

 protected:
  dyn_curve(QWidget* parent, const char* widest_label);

  void schedule_redraw();
  // The subclass has its model: lay out from now on.
  void ready();
  void relayout();
  virtual void layout_model(int text_w, int text_h) = 0;

  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

  // Painting parts, in object coordinates. The frame is the background, the labels and the grid.
  void paint_frame(QPainter& p, const std::vector<dyn_mark>& x_marks, const std::vector<dyn_mark>& y_marks) const;
  void paint_background(QPainter& p) const;
  void paint_labels(QPainter& p, const std::vector<dyn_mark>& x_marks, const std::vector<dyn_mark>& y_marks) const;
  void paint_grid(QPainter& p, const std::vector<dyn_mark>& x_marks, const std::vector<dyn_mark>& y_marks) const;
  void paint_segment(QPainter& p, QRect clip, dyn_point a, dyn_point b) const;
  void paint_handle(QPainter& p, dyn_point at, const char* letter) const;

  bool holds_scroll_ = false;

 private:
  // A look value: a redraw only when it changes.
  template <class T>
  void restyle(T& field, T value) {
    if (value == field) return;
    field = value;
    update();
  }

  const char* widest_label_;
  bool ready_ = false;
  bool enabled_ = true;
  bool compact_ = false;
  rgb565 colour_ = dyn_curve_default_colour;
  rgb565 background_ = theme::black;
  int radius_ = dyn_curve_default_radius;
  bool pending_ = false;
  int deferred_redraws_ = 0;
  QTimer timer_;
};

// What both curves do the same way over their own model: the plot and the held handle it
// reports, the layout, a value set from outside and the drag between press and release.
template <class Model>
class dyn_curve_of : public dyn_curve {
 public:
  const Model& model() const { return model_; }
  const dyn_plot& plot() const override { return model_.plot; }
  int drag() const override { return model_.drag; }

 protected:
  dyn_curve_of(QWidget* parent, const char* widest_label, Model model);

  // One value of the model, the points following it.
  void set_value(double Model::*field, double value);
  // What a take function answered, redrawing when it took the parameter.
  bool taken(bool took);

  void layout_model(int text_w, int text_h) override;
  void mouseMoveEvent(QMouseEvent* event) override;

  Model model_;
};

extern template class dyn_curve_of<comp_model>;
extern template class dyn_curve_of<gate_model>;

class comp_curve : public dyn_curve_of<comp_model> {
  Q_OBJECT

 public:
  // Empty tables give the default -80..20 dB axes.
  explicit comp_curve(QWidget* parent = nullptr, std::span<const dyn_mark> input_marks = {},
                      std::span<const dyn_mark> level_marks = {});

  void set_threshold(double db) { set_value(&comp_model::threshold, db); }
  void set_ratio(double ratio) { set_value(&comp_model::ratio, ratio); }
  void set_gain(double db) { set_value(&comp_model::gain, db); }
  double threshold() const { return model_.threshold; }
  double ratio() const { return model_.ratio; }
  double gain() const { return model_.gain; }
  // A compressor parameter of the channel (threshold, ratio, make-up gain); false for others.
  bool take_param(int code, uint16_t raw) { return taken(comp_curve_take(model_, code, raw)); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

class gate_curve : public dyn_curve_of<gate_model> {
  Q_OBJECT

 public:
  // Empty tables give nine unlabelled time marks over 0..5000 and -80..0 dB.
  explicit gate_curve(QWidget* parent = nullptr, std::span<const dyn_mark> time_marks = {},
                      std::span<const dyn_mark> level_marks = {});

  void set_threshold(float db) { set_value(&gate_model::threshold, db); }
  void set_attack(int attack) { set_value(&gate_model::attack, attack); }
  void set_hold(int hold) { set_value(&gate_model::hold, hold); }
  void set_decay(int decay) { set_value(&gate_model::decay, decay); }
  float threshold() const { return static_cast<float>(model_.threshold); }
  // Rounded to the nearest integer, halves away from zero.
  int attack() const { return round_half_away(model_.attack); }
  int hold() const { return round_half_away(model_.hold); }
  int decay() const { return round_half_away(model_.decay); }
  // A gate parameter of the channel (threshold, attack, hold, decay); false for others.
  bool take_param(int code, uint16_t raw) { return taken(gate_curve_take(model_, code, raw)); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace vorante

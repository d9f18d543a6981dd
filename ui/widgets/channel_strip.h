// The channel strip of the strips page: one channel at a glance. Left, the level meters
// over a small fader; right, the name button in the channel's colour, gain and the gate
// and compressor lights, the 48v/M/S buttons, an EQ thumbnail, the pan bar and the level
// readout; on demand the sends panel beside it all.
//
// It owns no parameter: the owner pushes values in (never echoed back) and hears the
// user through the signals.
#pragma once

#include <QString>
#include <QWidget>

#include "ui/widgets/strip_frame.h"

class QLabel;
class QHBoxLayout;
class QVBoxLayout;

namespace vorante {

class button;
class eq_graph;
class fader;
class level_meter;
class level_readout;
class pan_bar;
class sends_panel;

// A small square lamp: black, or its colour while lit.
class indicator_lamp : public QWidget {
  Q_OBJECT

 public:
  indicator_lamp(rgb565 lit, QWidget* parent = nullptr);
  void set_lit(bool on);
  bool lit() const { return lit_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  rgb565 colour_;
  bool lit_ = false;
};

class channel_strip : public framed_strip {
  Q_OBJECT

 public:
  explicit channel_strip(QWidget* parent = nullptr);

  // ---- values from the store; none of these signals back ----
  void set_name(const QString& text);
  void set_name_colour(rgb565 colour);
  void set_gain(double db);
  void set_gate(bool on);
  void set_comp(bool on);
  void set_48v(bool on);
  void set_mute(bool on);
  void set_solo(bool on);
  void set_pan(int value);
  // The fader in dB and the readout's text for it.
  void set_level(double db);

  // ---- layout by channel type ----
  // Stereo shows the second meter and moves the scale between the two bars.
  void set_stereo(bool on);
  bool stereo() const;
  // On first use creates the sends panel beside the strip.
  void show_sends(bool show);
  sends_panel* sends() const { return sends_; }
  // "C" or "COMP" beside the compressor lamp.
  void set_comp_label(const QString& text);
  // M and S beside the lamps instead of in the button row (stereo pairs hide that row).
  void set_ms_beside_lamps(bool on);

  // ---- parts, for the owner's layout changes and for tests ----
  button* name_button() const { return name_; }
  button* phantom_button() const { return phantom_; }
  button* m_button() const { return m_; }
  button* s_button() const { return s_; }
  level_meter* meter1() const { return meter1_; }
  level_meter* meter2() const { return meter2_; }
  vorante::fader* fader() const { return fader_; }
  pan_bar* pan() const { return pan_; }
  level_readout* readout() const { return readout_; }
  QLabel* gain_label() const { return gain_; }
  QLabel* gate_label() const { return gate_label_; }
  QLabel* comp_label() const { return comp_label_; }
  indicator_lamp* gate_lamp() const { return gate_lamp_; }
  indicator_lamp* comp_lamp() const { return comp_lamp_; }
  QWidget* indicator_row() const { return info_row_; }
  QWidget* button_row() const { return button_row_; }
  // The EQ thumbnail: compact, blue, with a high-pass, a low-pass and four bands; the
  // owner pushes the channel's filter and band values into it.
  eq_graph* eq() const { return eq_; }
  QWidget* pan_row() const { return pan_row_; }

 signals:
  void name_clicked();
  void name_long_pressed();
  void mute_clicked(bool checked);
  void solo_clicked(bool checked);
  void phantom_clicked(bool checked);
  void fader_moved(double value);
  void pan_moved(int value);
  // A send slider moved: group (0 AUX, 1 FX, 2 MAIN), item from 0, value 0..100.
  void send_moved(int group, int item, int value);
  // Any press on the strip or its controls: the owner selects the strip.
  void touched();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build_left(QHBoxLayout* content);
  void build_right(QHBoxLayout* content);
  void watch_touches(QWidget* root);
  void size_parts();
  void report_touch();

  QHBoxLayout* outer_;
  QWidget* content_;
  QWidget* meter_row_;
  level_meter* meter1_;
  level_meter* meter2_;
  vorante::fader* fader_;
  QWidget* right_;
  button* name_;
  QWidget* info_row_;
  QLabel* gain_;
  QLabel* gate_label_;
  QLabel* comp_label_;
  indicator_lamp* gate_lamp_;
  indicator_lamp* comp_lamp_;
  QWidget* lamp_ms_;
  QWidget* button_row_;
  button* phantom_;
  button* m_;
  button* s_;
  eq_graph* eq_;
  QWidget* pan_row_;
  pan_bar* pan_;
  level_readout* readout_;
  sends_panel* sends_ = nullptr;
  bool touch_reported_ = false;
};

}  // namespace vorante

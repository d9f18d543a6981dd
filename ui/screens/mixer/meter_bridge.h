// The meter bridge along the bottom of the fader pages: one bar per channel with its short
// name above it, updated ten times a second from the meter values in the store. There is
// one bridge; each fader page moves it into its own bottom area when shown.
#pragma once

#include <QTimer>
#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>

#include "ui/foundation/colour.h"
#include "ui/screens/mixer/meter_bridge_map.h"
#include "ui/pages/page.h"

class QLabel;

namespace vorante {

constexpr int bridge_height = 180;
constexpr int bridge_bar_width = 12;
constexpr int bridge_row_padding = 4;  // round the bars, inside the meter row

// A vertical display bar 0..120, filled from the bottom.
class bridge_bar : public QWidget {
  Q_OBJECT

 public:
  explicit bridge_bar(QWidget* parent = nullptr);
  void set_value(int value);
  int value() const { return value_; }
  // Drawn faded while the console is not heard; the bar keeps its value.
  void set_dimmed(bool on);
  bool dimmed() const { return dimmed_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void rebuild_pictures();
  int fill_top() const;

  int value_ = 0;
  bool dimmed_ = false;
  QImage track_;
  QImage full_;
};

class meter_bridge : public QWidget {
  Q_OBJECT

 public:
  meter_bridge(page_env& env, QWidget* parent = nullptr);

  // One update as the 100 ms timer runs it, at time `now_ms` of the navigation's clock.
  void tick(uint32_t now_ms);
  // Into the bottom area (a widget with a layout) of the fader page being shown.
  void move_into(QWidget* area);

  int bar_value(int n) const { return bars_[n]->value(); }
  bridge_bar* bar(int n) const { return bars_[n]; }
  QLabel* label(int n) const { return labels_[n]; }
  bool ticking() const { return timer_.isActive(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void place_bars();
  void show_link_state(bool online);

  page_env& env_;
  QWidget* label_row_;
  QWidget* meter_row_;
  std::array<bridge_bar*, bridge_bar_count> bars_{};
  std::array<QLabel*, bridge_bar_count> labels_{};
  QTimer timer_;
  bool rounds_started_ = false;
  uint32_t last_round_ms_ = 0;
};

}  // namespace vorante
